// Reading speed of the jet engine against mdbtools' mdb-export on the same table: 1,861 rows of
// eleven Chinese text columns (about 500 stored bytes a row), the size of a year of almanac data.
// Prints each measurement and the ratios; the target is at least 2x faster than mdb-export.
//
// Usage: jet_read_bench [benchmark options]   (JETDB and MDB_EXPORT paths are compiled in)
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <string>

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "jet/read/database.h"
#include "jet/create/database_builder.h"

namespace {

const std::string& benchFile() {
    static const std::string path = [] {
        const auto file = std::filesystem::temp_directory_path() / "jet_read_bench.mdb";
        jet::NewTable table;
        table.name = "huangdao";
        const char* names[] = {"gn", "nn", "suici", "tszf", "wuhang", "cong", "pzbj", "jsyq", "yi", "xsyq", "ji"};
        for (const char* name : names) {
            jet::NewColumn column;
            column.name = name;
            column.type = jet::ColumnType::Text;
            column.textLength = 255;
            table.columns.push_back(column);
        }
        for (int day = 0; day < 1861; ++day) {
            std::vector<jet::Value> row;
            for (int c = 0; c < 11; ++c)
                row.push_back(std::string("宜祭祀祈福求嗣开光出行 忌动土破土 ") + std::to_string(day * 11 + c));
            table.rows.push_back(std::move(row));
        }
        jet::createDatabase(file.string(), {table}, {}, true);
        return file.string();
    }();
    return path;
}

double childCpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// Runs a program per iteration (no shell, output to /dev/null); reports the child processes'
// CPU time too, which a busy machine disturbs less than wall time.
void runProgram(std::vector<std::string> args, benchmark::State& state) {
    std::vector<char*> argv;
    for (auto& arg : args) argv.push_back(arg.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    const double before = childCpuSeconds();
    for (auto _ : state) {
        pid_t child = 0;
        int status = 0;
        if (posix_spawn(&child, argv[0], &actions, nullptr, argv.data(), environ) != 0 || waitpid(child, &status, 0) != child ||
            !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
            state.SkipWithError(("failed: " + args[0]).c_str());
            break;
        }
    }
    posix_spawn_file_actions_destroy(&actions);
    state.counters["child_cpu_ms"] = benchmark::Counter((childCpuSeconds() - before) * 1000.0 / state.iterations());
}

void EngineReadAllRows(benchmark::State& state) {
    std::size_t bytes = 0;
    for (auto _ : state) {
        const jet::Database database = jet::Database::open(benchFile());
        jet::RowCursor cursor = database.rows("huangdao");
        std::vector<jet::Value> row;
        std::size_t rows = 0;
        while (cursor.next(row)) {
            ++rows;
            for (const auto& value : row) bytes += std::get<std::string>(value).size();
        }
        if (rows != 1861) state.SkipWithError("wrong row count");
    }
    benchmark::DoNotOptimize(bytes);
}

void JetdbDump(benchmark::State& state) { runProgram({JETDB_PATH, "dump", benchFile(), "huangdao"}, state); }

void MdbExport(benchmark::State& state) { runProgram({MDB_EXPORT_PATH, benchFile(), "huangdao"}, state); }

BENCHMARK(EngineReadAllRows)->Unit(benchmark::kMillisecond);
BENCHMARK(JetdbDump)->Unit(benchmark::kMillisecond);
BENCHMARK(MdbExport)->Unit(benchmark::kMillisecond);

// Keeps the real time per iteration of each benchmark to print the ratios at the end.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const auto& run : runs) {
            // With repetitions, keep the medians; single runs are kept as they are.
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name != "median") continue;
            const std::string name = run.run_name.function_name;
            wall_[name] = run.GetAdjustedRealTime();
            const auto child = run.counters.find("child_cpu_ms");
            cpu_[name] = child != run.counters.end() ? child->second.value : run.GetAdjustedCPUTime();
        }
        ConsoleReporter::ReportRuns(runs);
    }
    void printRatios() const {
        if (!wall_.count("MdbExport")) return;
        for (const char* name : {"EngineReadAllRows", "JetdbDump"}) {
            if (!wall_.count(name) || wall_.at(name) <= 0 || cpu_.at(name) <= 0) continue;
            std::printf("%s vs mdb-export: %.1fx faster (wall time), %.1fx (CPU time)\n", name,
                        wall_.at("MdbExport") / wall_.at(name), cpu_.at("MdbExport") / cpu_.at(name));
        }
    }

private:
    std::map<std::string, double> wall_;
    std::map<std::string, double> cpu_;   // milliseconds
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.printRatios();
    benchmark::Shutdown();
    return 0;
}
