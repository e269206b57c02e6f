#!/usr/bin/env bash
# The slow check that the CI run leaves out. Builds everything with clang,
# AddressSanitizer and UndefinedBehaviorSanitizer (ORVELIN_SANITIZE) and the
# fuzz programs (ORVELIN_FUZZ), runs the whole test suite with leak checking,
# then runs every fuzz program for a while, and prints per program its
# executions, coverage and findings.
#
#   scripts/deep-check.sh [SECONDS]    seconds per fuzz program, default 60
#
# BUILD_DIR (default build-deep) is the build folder, BUILD_JOBS and
# CTEST_JOBS the parallel jobs (default 2: the machine is shared). Inputs the
# fuzzers add go to $BUILD_DIR/fuzz-work/<name>/corpus, findings to
# $BUILD_DIR/fuzz-work/<name>/findings; a finding worth keeping is copied into
# fuzz/corpus/<name>/ with a name that says what it found, and the fault is
# mended, so that its corpus replay guards it from then on.
#
# Fails when a test fails, a sanitizer reports, or a fuzz program finds
# anything.
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT=$(pwd)
FUZZ_SECONDS=${1:-60}
BUILD_DIR=${BUILD_DIR:-build-deep}
BUILD_JOBS=${BUILD_JOBS:-2}
CTEST_JOBS=${CTEST_JOBS:-2}

scripts/install-deps.sh --fuzz

echo "== build: clang, address and undefined-behaviour sanitizers, fuzz programs ($BUILD_DIR)"
launcher=()
if command -v ccache >/dev/null; then
  launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
CC=clang CXX=clang++ cmake -S . -B "$BUILD_DIR" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DORVELIN_SANITIZE=ON -DORVELIN_FUZZ=ON "${launcher[@]}" >/dev/null
cmake --build "$BUILD_DIR" -j"$BUILD_JOBS"

# Leaks are findings like any other; only Qt's own, listed and explained in
# the suppression file, are not ours to mend. The suppressions match frames
# inside Qt, which only the slow unwinder sees; the fuzz programs keep the
# fast one.
asan_common=detect_leaks=1:abort_on_error=0:detect_stack_use_after_return=1
export ASAN_OPTIONS=$asan_common:fast_unwind_on_malloc=0
export LSAN_OPTIONS=suppressions=$ROOT/scripts/lsan-suppressions.txt:print_suppressions=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export QT_QPA_PLATFORM=offscreen QT_QUICK_BACKEND=software ORVELIN_PORTS=

status=0
echo "== the whole test suite under the sanitizers"
suite_log=$BUILD_DIR/deep-check-suite.log
if (cd "$BUILD_DIR" && ctest --output-on-failure -j"$CTEST_JOBS") 2>&1 | tee "$suite_log"; then
  suite="passed"
else
  status=1
  suite="FAILED"
fi
suite="$suite: $(grep -E '^[0-9]+% tests passed' "$suite_log" | tail -1)"

echo "== fuzz programs, ${FUZZ_SECONDS}s each"
export ASAN_OPTIONS=$asan_common
# The harnesses write files (downloads beside the program, exports in the
# temporary folder), and every completed file is synced to disk. In memory
# that costs nothing, so the programs run from a copy in /dev/shm when there
# is one: several times the executions in the same time.
scratch=""
if [ -d /dev/shm ] && [ -w /dev/shm ]; then
  scratch=$(mktemp -d /dev/shm/orvelin-fuzz.XXXXXX)
  trap 'rm -rf "$scratch"' EXIT
  export TMPDIR=$scratch
fi
summary=()
for built in "$BUILD_DIR"/bin/fuzz_*; do
  name=$(basename "$built")
  program=$built
  if [ -n "$scratch" ]; then
    program=$scratch/$name
    cp "$built" "$program"
  fi
  corpus=${name#fuzz_}
  work=$BUILD_DIR/fuzz-work/$corpus
  mkdir -p "$work/corpus" "$work/findings"
  log=$work/last-run.log
  before=$(find "$work/findings" -type f | wc -l)
  # The first folder collects what the fuzzer learns; the corpus in the tree
  # is only read.
  set +e
  "$program" -max_total_time="$FUZZ_SECONDS" -print_final_stats=1 -timeout=20 -rss_limit_mb=3072 \
    -artifact_prefix="$work/findings/" "$work/corpus" "fuzz/corpus/$corpus" >"$log" 2>&1
  result=$?
  set -e
  executions=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" | tail -1)
  coverage=$(grep -o 'cov: [0-9]*' "$log" | tail -1 | cut -d' ' -f2)
  features=$(grep -o 'ft: [0-9]*' "$log" | tail -1 | cut -d' ' -f2)
  findings=$(( $(find "$work/findings" -type f | wc -l) - before ))
  if [ "$result" -ne 0 ] || [ "$findings" -ne 0 ]; then
    status=1
    echo "-- $name found something (exit $result); its log: $log"
    grep -E 'ERROR|broken|SUMMARY|runtime error|Test unit written' "$log" | head -20 || true
  fi
  summary+=("$(printf '%-22s %12s %8s %9s %9s %9s' "$name" "${executions:-?}" "${rate:-?}" \
    "${coverage:-?}" "${features:-?}" "$findings")")
done

echo
echo "== summary"
echo "test suite under the sanitizers, leak checking on: $suite"
printf '%-22s %12s %8s %9s %9s %9s\n' program executions exec/s coverage features findings
for line in "${summary[@]}"; do echo "$line"; done
if [ "$status" -eq 0 ]; then
  echo "deep check passed"
else
  echo "deep check FAILED"
fi
exit "$status"
