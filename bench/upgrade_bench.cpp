// Times both upgrade actions on real product databases, each next to copying
// and flushing the same files to disk in the same run; a plain program, run by
// hand: build/release/bench/upgrade_bench [almanac|fortunes|both] [WORK_FOLDER]
//
// Almanac: every one of the 119 almanac-list directories installed. Fortune:
// one product with Tgcode.dll and QorFile.dll (24 memo updates).

#include "demo_prefix.h"
#include "recording_feedback.h"
#include "upgrade/almanac_upgrade.h"
#include "upgrade/fortune_upgrade.h"
#include "upgrade/jet_product_database.h"

#include <chrono>
#include <cstdio>
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

void benchAlmanac(const fs::path& work) {
    const fs::path prefix = work / "almanac";
    demo::makeDrives(prefix);
    fs::create_directories(prefix / "drive_f");
    std::set<std::string> done;
    for (std::size_t i = 0; i < upgrade::almanacList().count(); ++i) {
        const std::string directory = upgrade::almanacList().entry(i);
        if (done.insert(directory).second) demo::installProduct(prefix, {directory, true, false, false});
    }
    upgrade::JetDatabaseOpener opener;
    upgrade::ProductQuery query(opener, drivesOf(prefix));
    upgrade::LineList succeeded, failed;
    RecordingFeedback feedback;
    const auto start = Clock::now();
    upgrade::runAlmanacUpgrade(upgrade::almanacList(), query, {succeeded, failed}, feedback);
    const double total = secondsSince(start);

    double copies = 0;
    std::size_t files = 0;
    for (const std::string& directory : succeeded.lines()) {
        const bool fengShui = directory.find(upgrade::kFengShuiWord) != std::string::npos;
        const auto file = query.installation().locate(directory, fengShui ? "\\QorFile.dll" : "\\QorBirth.dll");
        copies += copyAndFlush(*file, work / "copy.tmp");
        ++files;
    }
    const double perDirectory = total / static_cast<double>(succeeded.count());
    const double copyPerFile = copies / static_cast<double>(files);
    std::printf("almanac upgrade: %zu directories upgraded, %zu failed, %.3f s in all\n", succeeded.count(),
                failed.count(), total);
    std::printf("  per directory %.1f ms; copy+fsync of the same file %.1f ms; ratio %.2f\n", perDirectory * 1e3,
                copyPerFile * 1e3, perDirectory / copyPerFile);
}

void benchFortunes(const fs::path& work) {
    const fs::path prefix = work / "fortunes";
    demo::makeDrives(prefix);
    const std::string directory = upgrade::fortuneList().entry(0);
    const auto files = demo::installProduct(prefix, {directory, false, true, true});
    upgrade::JetDatabaseOpener opener;
    upgrade::ProductQuery query(opener, drivesOf(prefix));
    RecordingFeedback feedback;
    const auto start = Clock::now();
    upgrade::runFortuneUpgrade(upgrade::CatalogueList({directory}), query, feedback);
    const double total = secondsSince(start);
    double copies = 0;
    for (const demo::InstalledFile& file : files) copies += copyAndFlush(file.path, work / "copy.tmp");
    std::printf("fortune upgrade: both blocks on one product (24 memo updates) %.1f ms; copy+fsync of both files "
                "%.1f ms; ratio %.2f\n",
                total * 1e3, copies * 1e3, total / copies);
}

}  // namespace

int main(int argc, char** argv) {
    std::random_device random;
    const std::string which = argc > 1 ? argv[1] : "both";
    if (which != "almanac" && which != "fortunes" && which != "both") {
        std::cerr << "usage: upgrade_bench [almanac|fortunes|both] [WORK_FOLDER]\n";
        return 2;
    }
    const fs::path work = argc > 2 ? fs::path(argv[2]) : fs::temp_directory_path() / ("upgrade-bench-" + std::to_string(random()));
    fs::create_directories(work);
    try {
        if (which != "fortunes") benchAlmanac(work);
        if (which != "almanac") benchFortunes(work);
    } catch (const std::exception& e) {
        std::cerr << "upgrade_bench: " << e.what() << "\n";
        fs::remove_all(work);
        return 1;
    }
    std::printf("peak memory %ld KiB\n", peakMemoryKiB());
    fs::remove_all(work);
    return 0;
}
