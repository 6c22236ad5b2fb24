#!/usr/bin/env bash
# Installs what is missing, builds every configuration once and runs the
# whole suite in each: plain, ASan+UBSan, TSan; then each fuzz target briefly,
# the Debian package, the Windows build under Wine and the browser build.
# First of all, every C++ file must be laid out as .clang-format says.
#   KAZE_FUZZ_SECONDS  seconds per fuzz target (default 10)
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh play test
scripts/check-format.sh

jobs=$(nproc)
# Tests wait on children, X servers and the clock as much as they compute,
# so twice as many run at once as there are cores.
test_jobs=$((jobs * 2))
fuzz_seconds=${KAZE_FUZZ_SECONDS:-10}

run_suite() {  # name, cmake options...; warnings are errors here
  local name=$1; shift
  echo "=== $name"
  cmake -S . -B "build/$name" -G Ninja -DKAZE_WERROR=ON "$@" >/dev/null
  cmake --build "build/$name" -j "$jobs"
  ctest --test-dir "build/$name" --output-on-failure --no-tests=error -j "$test_jobs"
}

run_suite release -DCMAKE_BUILD_TYPE=RelWithDebInfo
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  run_suite asan -DCMAKE_BUILD_TYPE=Debug -DKAZE_SANITIZE=address -DKAZE_BENCH=OFF
TSAN_OPTIONS=halt_on_error=1 \
  run_suite tsan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKAZE_SANITIZE=thread -DKAZE_BENCH=OFF

echo "=== fuzz (${fuzz_seconds}s per target)"
CC=clang CXX=clang++ cmake -S . -B build/fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DKAZE_FUZZ=ON -DKAZE_SANITIZE=address -DKAZE_BENCH=OFF -DKAZE_SDL=OFF >/dev/null
fuzz_targets=$(cd fuzz && ls *.cpp 2>/dev/null | sed 's/\.cpp$//; s/^/kaze_fuzz_/' || true)
[ -n "$fuzz_targets" ] && cmake --build build/fuzz -j "$jobs" --target $fuzz_targets
for target in build/fuzz/fuzz/kaze_fuzz_*; do
  [ -x "$target" ] || continue
  name=$(basename "$target"); corpus="fuzz/corpus/${name#kaze_fuzz_}"
  work=$(mktemp -d)
  [ -d "$corpus" ] && cp -r "$corpus/." "$work/"
  echo "--- $name"
  "$target" -max_total_time="$fuzz_seconds" -print_final_stats=0 "$work" 2>&1 | tail -n 2
  rm -rf "$work"
done
# The Debian package, built from a clean clone without its own run of the
# suite (it has just run), linted, installed into a private root, played
# and removed.
echo "=== debian package"
scripts/check-deb.sh
# The Windows build under Wine, its tools installed only now; it reuses
# build/release for the reference snapshots.
echo "=== windows build under wine"
scripts/install-deps.sh windows
tests/windows/run-win-tests.sh
# The browser build in headless chromium, likewise; it reuses build/release too.
echo "=== web build in headless chromium"
scripts/install-deps.sh web
tests/host/web/run-web-tests.sh
echo "all suites passed"
