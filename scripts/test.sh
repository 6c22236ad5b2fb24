#!/usr/bin/env bash
# Installs what is missing, checks the layout of every C++ file, then builds
# each configuration once and runs everything, in three lanes side by side:
#   plain  the suite, the Debian package, the Windows build under Wine and
#          the browser build in headless Chromium (both reuse build/release)
#   asan   the suite under ASan+UBSan, then each fuzz target briefly
#   tsan   the suite under TSan, built with clang
# One after another, a lane often leaves a core idle (tests waiting on X
# servers, Wine or the browser, a fuzzer on one core); side by side, the
# other lanes take it. Each lane writes build/logs/<lane>.log; the console
# gets one line a step, and the end of the log of a lane that failed.
#   KAZE_FUZZ_SECONDS  seconds per fuzz target (default 10)
#   KAZE_TEST_LANES    "plain asan tsan" by default; name fewer to run fewer
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh play test windows web
scripts/check-format.sh

jobs=$(nproc)
# Tests wait on children, X servers and the clock as much as they compute,
# so twice as many run at once as there are cores.
test_jobs=$((jobs * 2))
fuzz_seconds=${KAZE_FUZZ_SECONDS:-10}
logs=build/logs
mkdir -p "$logs"

# A lane stops at its first failing command (set -e; so no step is run
# behind "||" or "if", which would switch that off inside it).
# Sets `ticks` to the processor time that this shell's finished children
# have used, in clock ticks: cutime + cstime of /proc/PID/stat, where the
# name before them is "(bash)", without spaces. (Not a function to call in
# $(...): that would read the stat of the subshell it runs in.)
read_children_ticks() {
  local fields
  read -r -a fields </proc/$BASHPID/stat
  ticks=$((fields[15] + fields[16]))
}

minutes() { printf '%dm%02ds' $(($1 / 60)) $(($1 % 60)); }

step() {  # lane, name, command...: runs it, with one line on the console
  local lane=$1 name=$2 started=$SECONDS ticks
  read_children_ticks
  local ticks_before=$ticks
  shift 2
  echo "=== $name"
  "$@"
  read_children_ticks
  local took=$((SECONDS - started)) cpu=$(((ticks - ticks_before) / $(getconf CLK_TCK)))
  printf '%-6s %-24s %7s  (processor %s)\n' "$lane" "$name" "$(minutes $took)" "$(minutes $cpu)" >&3
}

build() {  # build dir, cmake options...; warnings are errors here
  local dir=$1
  shift
  cmake -S . -B "$dir" -G Ninja -DKAZE_WERROR=ON "$@" >/dev/null
  cmake --build "$dir" -j "$jobs"
}

suite() {  # build dir
  ctest --test-dir "$1" --output-on-failure --no-tests=error -j "$test_jobs"
}

fuzz() {  # -O1 with line tables, as libFuzzer's own guide builds
  CC=clang CXX=clang++ cmake -S . -B build/fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g1" -DKAZE_FUZZ=ON -DKAZE_SANITIZE=address -DKAZE_BENCH=OFF \
    -DKAZE_SDL=OFF >/dev/null
  local targets
  targets=$(cd fuzz && ls *.cpp | sed 's/\.cpp$//; s/^/kaze_fuzz_/')
  cmake --build build/fuzz -j "$jobs" --target $targets
  local target name corpus work
  for target in build/fuzz/fuzz/kaze_fuzz_*; do
    [ -x "$target" ] || continue
    name=$(basename "$target")
    corpus="fuzz/corpus/${name#kaze_fuzz_}"
    work=$(mktemp -d)
    [ -d "$corpus" ] && cp -r "$corpus/." "$work/"
    echo "--- $name (${fuzz_seconds}s)"
    "$target" -max_total_time="$fuzz_seconds" -print_final_stats=0 "$work" 2>&1 | tail -n 2
    rm -rf "$work"
  done
}

# Line tables (-g1) are all that a sanitizer's report or a crash's trace
# needs, and a third quicker to build than full debugging information.
plain_lane() {
  step plain "build" build build/release -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O2 -g1 -DNDEBUG"
  step plain "suite" suite build/release
  # Built from a clean clone without its own run of the suite (it has just
  # run), linted, installed into a private root, played and removed.
  step plain "debian package" scripts/check-deb.sh
  step plain "windows under wine" tests/windows/run-win-tests.sh
  step plain "browser in chromium" tests/host/web/run-web-tests.sh
}

asan_lane() {
  export ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1
  step asan "build" build build/asan -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-Og -g1" \
    -DKAZE_SANITIZE=address -DKAZE_BENCH=OFF
  step asan "suite" suite build/asan
  step asan "fuzz" fuzz
}

# Built with clang: its ThreadSanitizer (the runtime rewritten in LLVM 14)
# runs the suite in two thirds of the processor time of GCC 12's, and this
# lane keeps the tree free of clang's warnings too.
tsan_lane() {
  export TSAN_OPTIONS=halt_on_error=1 CC=clang CXX=clang++
  step tsan "build" build build/tsan -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O2 -g1 -DNDEBUG" -DKAZE_SANITIZE=thread -DKAZE_BENCH=OFF
  step tsan "suite" suite build/tsan
}

exec 3>&1
started=$SECONDS
declare -A lane_pid
for lane in ${KAZE_TEST_LANES:-plain asan tsan}; do
  declare -F "${lane}_lane" >/dev/null || { echo "test.sh: no lane '$lane' (plain, asan, tsan)" >&2; exit 2; }
  # The plain lane ends with checks that keep time (the browser's sound,
  # Wine's screen): the sanitizer lanes give way to it.
  (
    [ "$lane" = plain ] || renice -n 10 -p "$BASHPID" >/dev/null
    set -e
    "${lane}_lane"
  ) >"$logs/$lane.log" 2>&1 &
  lane_pid[$lane]=$!
done
failed=()
for lane in "${!lane_pid[@]}"; do
  wait "${lane_pid[$lane]}" || failed+=("$lane")
done
took=$((SECONDS - started))
for lane in "${failed[@]}"; do
  echo "--- the end of $logs/$lane.log"
  tail -n 60 "$logs/$lane.log"
done
for lane in "${failed[@]}"; do
  echo "$lane failed in: $(grep '^=== ' "$logs/$lane.log" | tail -n 1 | cut -c5-)"
done
((${#failed[@]} == 0)) || exit 1
read_children_ticks
printf 'all suites passed in %s after the layout check, with %s of processor time\n' "$(minutes $took)" \
  "$(minutes $((ticks / $(getconf CLK_TCK))))"
