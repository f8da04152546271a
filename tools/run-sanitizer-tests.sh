#!/usr/bin/env bash
# Builds the code below the window with clang's address and undefined-behaviour sanitizers, runs
# its tests, then runs each libFuzzer target of the engine for a short while on its corpus.
# Any failed test, sanitizer report (memory error, leak, undefined behaviour) or fuzzer finding
# makes the script exit non-zero. Installs what is missing first.
#   FUZZ_SECONDS=N   time per fuzzer (default 20; 0 skips fuzzing)
set -euo pipefail
cd "$(dirname "$0")/.."

build=build/sanitize
fuzz_seconds=${FUZZ_SECONDS:-20}
sanitize="-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer"

bash tools/install-packages.sh clang libclang-rt-14-dev
bash tools/install-node-helpers.sh

# Every report ends the process with a failure: the address sanitizer stops at its first error,
# the undefined-behaviour sanitizer aborts (-fno-sanitize-recover), both with a stack trace.
export ASAN_OPTIONS="halt_on_error=1:abort_on_error=0:detect_leaks=1:strict_string_checks=1:detect_stack_use_after_return=1:check_initialization_order=1:strict_init_order=1:print_summary=1"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1:report_error_type=1"
export QT_QPA_PLATFORM=offscreen

mkdir -p "$build"
# The leak checker cannot run under ptrace (a debugger or tracer) or where the process may not read
# its own memory maps; it is switched off only when a small leaking program shows that.
probe="$build/leak-probe"
if [ ! -x "$probe" ]; then
  printf '%s\n' '#include <cstdlib>' '__attribute__((noinline)) void* leak() { return std::malloc(64); }' \
    'int main() { void* volatile p = leak(); p = nullptr; return 0; }' |
    clang++ -x c++ -fsanitize=address -g - -o "$probe"
fi
if [[ $("$probe" 2>&1 || true) == *"detected memory leaks"* ]]; then
  echo "leak checking: on"
else
  echo "leak checking: off (LeakSanitizer does not work in this environment)"
  ASAN_OPTIONS=${ASAN_OPTIONS/detect_leaks=1/detect_leaks=0}
fi

# -O1 keeps the run quick while the sanitizers still see every access; no NDEBUG. CMake passes
# CMAKE_CXX_FLAGS to both compiling and linking every C++ target. The one C program, the
# interoperability tests' libmdb driver, stays uninstrumented: under the sanitizers' allocator
# libmdb's 4 MB column buffers cost seconds per table and the reader comparisons many minutes,
# and that third-party reader is not what this run checks.
cmake -S . -B "$build" -G Ninja \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DCMAKE_BUILD_TYPE=Sanitize \
  -DCMAKE_C_FLAGS_SANITIZE="-O1 -g" -DCMAKE_CXX_FLAGS_SANITIZE="-O1 -g" \
  -DCMAKE_C_FLAGS="" -DCMAKE_CXX_FLAGS="$sanitize" \
  -DCMAKE_EXE_LINKER_FLAGS="" -DCMAKE_SHARED_LINKER_FLAGS="" \
  -DPATCH_BUILD_GUI=OFF -DPATCH_BUILD_BENCHMARKS=OFF -DJET_BUILD_FUZZER=ON
cmake --build "$build" --parallel "$(nproc)"

# Reports go to files as well as failing their process, so that one from a process whose exit
# status a test does not look at (a child killed on purpose, a command expected to fail) still
# fails the run.
reports="$PWD/$build/sanitizer-reports"
rm -rf "$reports"
mkdir -p "$reports"
ctest_status=0
ASAN_OPTIONS="$ASAN_OPTIONS:log_path=$reports/report" UBSAN_OPTIONS="$UBSAN_OPTIONS:log_path=$reports/report" \
  ctest --test-dir "$build" --output-on-failure --parallel "$(nproc)" || ctest_status=$?
if [ -n "$(ls -A "$reports")" ]; then
  for report in "$reports"/*; do
    echo "=== $report"
    head -n 100 "$report"
  done >&2
  echo "sanitizer reports during the tests (above; all in $reports)" >&2
  exit 1
fi
[ "$ctest_status" -eq 0 ] || exit "$ctest_status"

[ "$fuzz_seconds" -gt 0 ] || exit 0

# Each fuzzer starts from the corpus kept in the repository; what it finds new goes to a scratch
# folder, crashes to build/sanitize/fuzz-artifacts/. libFuzzer exits non-zero on any finding.
fuzz_dir=jet/tests/fuzz
artifacts="$build/fuzz-artifacts"
mkdir -p "$artifacts"
for target in reader sql; do
  binary="$build/$fuzz_dir/jet_fuzz_$target"
  [ -x "$binary" ] || { echo "missing fuzzer $binary (does clang support -fsanitize=fuzzer?)" >&2; exit 1; }
  scratch="$build/fuzz-work/$target"
  rm -rf "$scratch"
  mkdir -p "$scratch"
  options=(-max_total_time="$fuzz_seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$artifacts/$target-")
  [ "$target" = sql ] && options+=(-dict="$fuzz_dir/sql.dict" -max_len=4096)
  echo "fuzzing $target for ${fuzz_seconds}s"
  if ! "$binary" "${options[@]}" "$scratch" "$fuzz_dir/corpus/$target" > "$build/fuzz-$target.log" 2>&1; then
    tail -n 60 "$build/fuzz-$target.log" >&2
    echo "fuzzer $target found a problem; the input is in $artifacts/ (log: $build/fuzz-$target.log)" >&2
    exit 1
  fi
  grep -E "^stat::number_of_executed_units|^Done" "$build/fuzz-$target.log" || true
done
echo "sanitizer tests and fuzzing passed"
