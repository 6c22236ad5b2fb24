#!/usr/bin/env bash
# Installs what is missing, checks the layout of every C++ file, then builds
# each configuration once and runs everything, in three lanes:
#   plain  the suite, the Debian package, the Windows build under Wine and
#          the browser build in headless Chromium (both reuse build/release)
#   asan   the suite under ASan+UBSan, then each fuzz target briefly
#   tsan   the suite under TSan, built with clang
# The lanes' builds take turns; each lane's checks start when its build is
# done and run beside the next build and the other lanes' checks, which
# take the core that tests waiting on X servers, Wine or the browser leave
# idle. Each lane writes build/logs/<lane>.log; the console gets one line a
# step, and the end of the log of a lane that failed.
#   KAZE_FUZZ_SECONDS  seconds per fuzz target (default 10)
#   KAZE_TEST_LANES    "plain asan tsan" by default, built in that order; name
#                      fewer to run fewer
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

# LLVM's linker: the builds link some forty programs each, in half the time
# of the default one.
linker=-DCMAKE_EXE_LINKER_FLAGS=-fuse-ld=lld

build() {  # build dir, cmake options...; warnings are errors here
  local dir=$1
  shift
  cmake -S . -B "$dir" -G Ninja -DKAZE_WERROR=ON "$linker" "$@" >/dev/null
  cmake --build "$dir" -j "$jobs"
}

suite() {  # build dir, ctest options...
  local dir=$1
  shift
  ctest --test-dir "$dir" --output-on-failure --no-tests=error -j "$test_jobs" "$@"
}

# Runs a fuzz target on a copy of its corpus; prints the end of its output
# (all of it that tells of a failure when it fails).
fuzz_target() {
  local target=$1 name corpus work status=0
  name=$(basename "$target")
  corpus="fuzz/corpus/${name#kaze_fuzz_}"
  work=$(mktemp -d)
  [ -d "$corpus" ] && cp -r "$corpus/." "$work/"
  "$target" -max_total_time="$fuzz_seconds" -print_final_stats=0 "$work" >"$work.log" 2>&1 || status=$?
  echo "--- $name (${fuzz_seconds}s)"
  tail -n $((status == 0 ? 2 : 60)) "$work.log"
  rm -rf "$work" "$work.log"
  return $status
}

fuzz() {  # -O1 with line tables, as libFuzzer's own guide builds
  CC=clang CXX=clang++ cmake -S . -B build/fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g1" -DKAZE_FUZZ=ON -DKAZE_SANITIZE=address -DKAZE_BENCH=OFF \
    -DKAZE_SDL=OFF "$linker" >/dev/null
  local targets
  targets=$(cd fuzz && ls *.cpp | sed 's/\.cpp$//; s/^/kaze_fuzz_/')
  cmake --build build/fuzz -j "$jobs" --target $targets
  # A fuzzer keeps one core busy: as many run at once as there are cores.
  local target pids=() pid
  for target in build/fuzz/fuzz/kaze_fuzz_*; do
    [ -x "$target" ] || continue
    fuzz_target "$target" &
    pids+=($!)
    if ((${#pids[@]} == jobs)); then
      wait "${pids[0]}"
      pids=("${pids[@]:1}")
    fi
  done
  for pid in "${pids[@]}"; do
    wait "$pid"
  done
}

# Line tables (-g1) are all that a sanitizer's report or a crash's trace
# needs, and a third quicker to build than full debugging information.
plain_build() {
  build build/release -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O2 -g1 -DNDEBUG"
}

plain_checks() {
  step plain "suite" suite build/release
  # Built from a clean clone without its own run of the suite (it has just
  # run), linted, installed into a private root, played and removed.
  step plain "debian package" scripts/check-deb.sh
  step plain "windows under wine" tests/windows/run-win-tests.sh
  step plain "browser in chromium" tests/host/web/run-web-tests.sh
}

asan_build() {
  build build/asan -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-Og -g1" -DKAZE_SANITIZE=address \
    -DKAZE_BENCH=OFF
}

asan_checks() {
  export ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1
  # The suite first, beside the TSan build, whose links and one-job steps
  # leave a core idle that the suite's many tests fill; the fuzzers after
  # it, beside the TSan suite.
  step asan "suite" suite build/asan
  step asan "fuzz" fuzz
}

# Built with clang: its ThreadSanitizer (the runtime rewritten in LLVM 14)
# runs the suite in two thirds of the processor time of GCC 12's, and this
# lane keeps the tree free of clang's warnings too.
tsan_build() {
  CC=clang CXX=clang++ build build/tsan -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O2 -g1 -DNDEBUG" -DKAZE_SANITIZE=thread -DKAZE_BENCH=OFF
}

# The offline tools' tests (label "tool") are left out: the tools run on
# one thread, where ThreadSanitizer has nothing to find, and the other two
# lanes run them.
tsan_checks() {
  export TSAN_OPTIONS=halt_on_error=1
  step tsan "suite" suite build/tsan -LE tool
}

# The builds take turns, each with every core, rather than six compilers
# sharing two cores, where each build finished late. A lane's checks start
# as soon as its build is done, beside the next build, as its tests wait on
# X servers, Wine, the browser and the clock as much as they compute.
# Plain goes first: its checks are
# the longest in time and the lightest in work, beside which the largest
# build (ASan's) goes next. So the run ends on the TSan suite, whose tests
# spread over both cores, rather than on a build and the checks after it.
exec 3>&1
started=$SECONDS
lanes=()
for lane in ${KAZE_TEST_LANES:-plain asan tsan}; do
  declare -F "${lane}_checks" >/dev/null || { echo "test.sh: no lane '$lane' (plain, asan, tsan)" >&2; exit 2; }
  lanes+=("$lane")
done
declare -A lane_pid
failed=()
for lane in "${lanes[@]}"; do
  : >"$logs/$lane.log"
  # The plain lane ends with checks that keep time (the browser's sound,
  # Wine's screen): the sanitizer lanes' builds and checks give way to it,
  # and their checks to the build after them, which the run waits on.
  # The build runs in the background and is waited for, so that set -e
  # holds inside it (behind "if" or "||" it would be off).
  (
    [ "$lane" = plain ] || renice -n 5 -p "$BASHPID" >/dev/null
    set -e
    step "$lane" "build" "${lane}_build"
  ) >>"$logs/$lane.log" 2>&1 &
  if ! wait $!; then
    failed+=("$lane")
    continue
  fi
  (
    [ "$lane" = plain ] || renice -n 10 -p "$BASHPID" >/dev/null
    set -e
    "${lane}_checks"
  ) >>"$logs/$lane.log" 2>&1 &
  lane_pid[$lane]=$!
done
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
