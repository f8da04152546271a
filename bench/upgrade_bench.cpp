// Times both upgrade actions on real product databases, each next to copying
// and flushing the same files to disk in the same run; a plain program, run by
// hand: build/release/bench/upgrade_bench [almanac|fortunes|both] [ROUNDS] [WORK_FOLDER]
//
// Almanac: every one of the 119 almanac-list directories installed. Fortune:
// one product with Tgcode.dll and QorFile.dll (24 memo updates). Each round
// installs afresh and prints its figures; the summary gives the median ratio,
// since a shared disk makes single rounds swing both ways.

#include "demo_prefix.h"
#include "recording_feedback.h"
#include "upgrade/almanac_upgrade.h"
#include "upgrade/fortune_upgrade.h"
#include "upgrade/jet_product_database.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <random>
#include <set>
#include <vector>

#ifndef _WIN32
#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>
#endif

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

double secondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// Copies a file and flushes the copy to the disk: the least an atomic
// replacement of the file costs.
double copyAndFlush(const fs::path& file, const fs::path& scratch) {
    const auto start = Clock::now();
    fs::copy_file(file, scratch, fs::copy_options::overwrite_existing);
#ifndef _WIN32
    const int fd = ::open(scratch.c_str(), O_RDONLY);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
#endif
    const double seconds = secondsSince(start);
    fs::remove(scratch);
    return seconds;
}

long peakMemoryKiB() {
#ifndef _WIN32
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
#else
    return -1;
#endif
}

upgrade::Installation drivesOf(const fs::path& prefix) {
    return upgrade::Installation::withDrives(
        {{'c', prefix / "drive_c"}, {'d', prefix / "drive_d"}, {'e', prefix / "drive_e"}, {'f', prefix / "drive_f"}});
}

// The upgrade's time next to the copy's, for one round.
struct Round {
    double upgrade = 0;   // seconds: per directory (almanac) or for the product (fortunes)
    double copy = 0;      // seconds: copy+fsync of the same file(s)
    double ratio() const { return upgrade / copy; }
};

// Each directory's rebuild is timed on its own, from the action's progress report for it to the
// report for the next one (or the action's end), and the copy of its file is made and timed right
// after it, outside the next directory's time: both figures of a pair meet the same disk load.
Round benchAlmanac(const fs::path& prefix) {
    demo::makeDrives(prefix);
    fs::create_directories(prefix / "drive_f");
    std::set<std::string> done;
    for (std::size_t i = 0; i < upgrade::almanacList().count(); ++i) {
        const std::string directory = upgrade::almanacList().entry(i);
        if (done.insert(directory).second) demo::installProduct(prefix, {directory, true, false, false});
    }
    upgrade::JetDatabaseOpener opener;
    upgrade::ProductQuery query(opener, drivesOf(prefix));
    text::LineList succeeded, failed;
    RecordingFeedback feedback;

    std::vector<Round> directories;
    std::string current;
    Clock::time_point started;
    auto finishCurrent = [&] {
        if (current.empty()) return;
        const double upgrade = secondsSince(started);
        const bool fengShui = current.find(upgrade::kFengShuiWord) != std::string::npos;
        const auto file = query.installation().locate(current, fengShui ? "\\QorFile.dll" : "\\QorBirth.dll");
        directories.push_back({upgrade, copyAndFlush(*file, prefix / "copy.tmp")});
    };
    const auto start = Clock::now();
    upgrade::runAlmanacUpgrade(upgrade::almanacList(), query, {succeeded, failed}, feedback,
                               [&](std::size_t, std::size_t, std::string_view directory) {
                                   finishCurrent();
                                   current = std::string(directory);
                                   started = Clock::now();
                               });
    finishCurrent();
    const double total = secondsSince(start);

    Round sum;
    for (const Round& directory : directories) {
        sum.upgrade += directory.upgrade;
        sum.copy += directory.copy;
    }
    std::sort(directories.begin(), directories.end(), [](const Round& a, const Round& b) { return a.ratio() < b.ratio(); });
    const double count = static_cast<double>(directories.size());
    const Round round{sum.upgrade / count, sum.copy / count};
    std::printf("almanac upgrade: %zu directories upgraded, %zu failed, %.3f s in all with the copies; per directory %.1f ms, "
                "copy+fsync of the same file %.1f ms, ratio %.2f (per directory: median %.2f, 90th percentile %.2f)\n",
                succeeded.count(), failed.count(), total, round.upgrade * 1e3, round.copy * 1e3, round.ratio(),
                directories[directories.size() / 2].ratio(), directories[directories.size() * 9 / 10].ratio());
    return round;
}

Round benchFortunes(const fs::path& prefix) {
    demo::makeDrives(prefix);
    const std::string directory = upgrade::fortuneList().entry(0);
    const auto files = demo::installProduct(prefix, {directory, false, true, true});
    upgrade::JetDatabaseOpener opener;
    upgrade::ProductQuery query(opener, drivesOf(prefix));
    RecordingFeedback feedback;
    const auto start = Clock::now();
    upgrade::runFortuneUpgrade(upgrade::CatalogueList({directory}), query, feedback);
    const Round round{secondsSince(start), 0};
    Round measured = round;
    for (const demo::InstalledFile& file : files) measured.copy += copyAndFlush(file.path, prefix / "copy.tmp");
    std::printf("fortune upgrade: both blocks on one product (24 memo updates) %.1f ms; copy+fsync of both files "
                "%.1f ms; ratio %.2f\n",
                measured.upgrade * 1e3, measured.copy * 1e3, measured.ratio());
    return measured;
}

void summarise(const char* what, std::vector<Round> rounds) {
    std::sort(rounds.begin(), rounds.end(), [](const Round& a, const Round& b) { return a.ratio() < b.ratio(); });
    const Round& median = rounds[rounds.size() / 2];
    std::printf("%s: median of %zu rounds: %.1f ms against %.1f ms for copy+fsync, ratio %.2f (rounds %.2f to %.2f)\n", what,
                rounds.size(), median.upgrade * 1e3, median.copy * 1e3, median.ratio(), rounds.front().ratio(), rounds.back().ratio());
}

}  // namespace

int main(int argc, char** argv) {
    std::random_device random;
    const std::string which = argc > 1 ? argv[1] : "both";
    const int rounds = argc > 2 ? std::atoi(argv[2]) : 5;
    if ((which != "almanac" && which != "fortunes" && which != "both") || rounds < 1) {
        std::cerr << "usage: upgrade_bench [almanac|fortunes|both] [ROUNDS] [WORK_FOLDER]\n";
        return 2;
    }
    const fs::path work = argc > 3 ? fs::path(argv[3]) : fs::temp_directory_path() / ("upgrade-bench-" + std::to_string(random()));
    fs::create_directories(work);
    try {
        std::vector<Round> almanac, fortunes;
        for (int round = 0; round < rounds; ++round) {
            const fs::path folder = work / ("round-" + std::to_string(round));
            if (which != "fortunes") almanac.push_back(benchAlmanac(folder / "almanac"));
            if (which != "almanac") fortunes.push_back(benchFortunes(folder / "fortunes"));
            fs::remove_all(folder);
        }
        if (!almanac.empty()) summarise("almanac upgrade per directory", almanac);
        if (!fortunes.empty()) {
            summarise("fortune upgrade, both blocks on one product", fortunes);
            // The texts are converted and scrambled once per process, on first use: only the
            // first round pays for it (and for loading the system's GBK converter).
            std::printf("fortune upgrade, first round (preparing the texts included): %.1f ms, ratio %.2f\n",
                        fortunes.front().upgrade * 1e3, fortunes.front().ratio());
        }
    } catch (const std::exception& e) {
        std::cerr << "upgrade_bench: " << e.what() << "\n";
        fs::remove_all(work);
        return 1;
    }
    std::printf("peak memory %ld KiB\n", peakMemoryKiB());
    fs::remove_all(work);
    return 0;
}
