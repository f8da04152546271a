// Write-path benchmarks of the jet engine, each next to the cost of copying and fsyncing a file of
// the same size measured in the same run:
//   almanac: empty a 1,861-row table and insert 1,861 rows of eleven text columns (about 500
//            bytes a row) in one unit, commit included (target: within 3x of the copy);
//   fortune: update 12 rows' memos of about 5 KB each in one unit, commit included;
//   the structure check of the rebuilt almanac file, which every writing connection runs twice
//   (on opening the file and on the new image before the commit), and its share of the rebuild.
// Prints the median of several runs and the peak resident memory.
//
// Usage: jet_write_bench [RUNS]
#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "jet/write/connection.h"
#include "jet/create/database_builder.h"
#include "jet/file/page_file.h"
#include "jet/check/structure_check.h"
#include "jet/tests/product_fixtures.h"

namespace fs = std::filesystem;
using namespace jet;
using namespace jet::fixtures;
using Clock = std::chrono::steady_clock;

namespace {

double millisecondsSince(Clock::time_point start) { return std::chrono::duration<double, std::milli>(Clock::now() - start).count(); }

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Reads `source` and writes it to `target` with an fsync: what any safe whole-file write costs.
double copyAndSync(const std::string& source, const std::string& target) {
    const auto start = Clock::now();
    std::ifstream in(source, std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const int fd = ::open(target.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0 || ::write(fd, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size()) || ::fsync(fd) != 0) {
        std::perror("copy");
        std::exit(1);
    }
    ::close(fd);
    return millisecondsSince(start);
}

void makeDatabase(const std::string& path, const std::vector<NewTable>& tables) {
    DatabaseOptions options;
    options.sortOrder = 2052;
    options.codePage = 936;
    createDatabase(path, tables, options, true);
}

void report(const char* name, const std::vector<double>& runs, const std::vector<double>& copies, std::uintmax_t size) {
    const double m = median(runs), c = median(copies);
    std::printf("%-8s %8.1f ms   copy+fsync of %7.1f KB: %6.2f ms   ratio %5.2fx\n", name, m, size / 1024.0, c, m / c);
}

}  // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 7;
    const fs::path dir = fs::temp_directory_path() / ("jet-write-bench-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    const std::string seed = (dir / "seed.dll").string(), work = (dir / "work.dll").string(), copy = (dir / "copy.dll").string();

    std::vector<std::vector<Value>> year;
    for (std::size_t day = 0; day < 1861; ++day) year.push_back(almanacRow(day, 2));
    makeDatabase(seed, {almanacTable(1861, 1)});
    std::vector<double> almanac, almanacCopy;
    std::uintmax_t almanacSize = 0;
    for (int run = 0; run < runs; ++run) {
        fs::copy_file(seed, work, fs::copy_options::overwrite_existing);
        const auto start = Clock::now();
        {
            Connection connection(work);
            connection.beginWork();
            connection.execute("DELETE FROM huangdao", {});
            PreparedStatement insert = connection.prepare(kAlmanacInsert);
            for (const auto& row : year) insert.execute(row);
            connection.commitWork();
        }
        almanac.push_back(millisecondsSince(start));
        almanacSize = fs::file_size(work);
        almanacCopy.push_back(copyAndSync(work, copy));
    }

    std::vector<double> check;
    const PageFile rebuilt = PageFile::load(work);
    for (int run = 0; run < runs; ++run) {
        const auto start = Clock::now();
        checkStructure(rebuilt);
        check.push_back(millisecondsSince(start));
    }

    makeDatabase(seed, {fortuneTable(), horoscopeTable()});
    std::vector<double> fortune, fortuneCopy;
    std::uintmax_t fortuneSize = 0;
    for (int run = 0; run < runs; ++run) {
        fs::copy_file(seed, work, fs::copy_options::overwrite_existing);
        const auto start = Clock::now();
        {
            Connection connection(work);
            connection.beginWork();
            PreparedStatement update = connection.prepare(kFortuneUpdate);
            for (std::size_t a = 0; a < 12; ++a)
                update.execute({Value(chineseText(2500, static_cast<unsigned>(a))), Value(chineseText(1650, static_cast<unsigned>(a + 20))), Value(zodiacAnimals()[a])});
            connection.commitWork();
        }
        fortune.push_back(millisecondsSince(start));
        fortuneSize = fs::file_size(work);
        fortuneCopy.push_back(copyAndSync(work, copy));
    }

    std::printf("jet write path, median of %d runs (commit with fsync included)\n", runs);
    report("almanac", almanac, almanacCopy, almanacSize);
    report("fortune", fortune, fortuneCopy, fortuneSize);
    std::printf("structure check of the almanac file: %.2f ms; twice per rebuild, %.1f %% of it\n", median(check),
                200.0 * median(check) / median(almanac));
    struct rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("peak resident memory: %.1f MB\n", usage.ru_maxrss / 1024.0);
    std::error_code ignored;
    fs::remove_all(dir, ignored);
    return 0;
}
