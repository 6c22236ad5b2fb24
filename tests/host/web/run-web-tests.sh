#!/usr/bin/env bash
# Builds the story's web page with emscripten and plays it in Debian's
# headless chromium (the node tests beside this script, driven by
# puppeteer-core from npm):
#   - the page's server answers with the isolation headers and keeps to
#     its folder;
#   - a whole session: the canvas shows the native headless host's
#     snapshots of the same moments (the intro, the title, two pages, the
#     quit question), the sound starts with the first key and runs without
#     gaps on a still picture, clicks end the opening, turn a page, quit;
#   - a picture removed from the data set: the loader's box shows in the
#     page, its OK button closes it and the intro goes on.
# It prints the figures it measures ("web: figure ...") and one line
# "web: <check>: <what went wrong>" per failure, and exits 1 on failure.
# The browser session runs in real time: about three minutes.
#   KAZE_LINUX_BUILD  the native build for the snapshots and the demo data
#                     (default build/release; built if needed)
#   KAZE_WEB_BUILD    the web build (default build/web)
set -euo pipefail
root=$(cd "$(dirname "$0")/../../.." && pwd)
native=${KAZE_LINUX_BUILD:-$root/build/release}
web=${KAZE_WEB_BUILD:-$root/build/web}
tests=$root/tests/host/web
serve_tests=$root/tests/tools/web  # the page server's own tests, which need no browser
export NODE_PATH=/usr/share/nodejs  # Debian's emscripten finds its acorn there

fail() {
  echo "web: $*"
  exit 1
}

for tool in emcmake cmake ninja node npm /usr/bin/chromium; do
  command -v "$tool" >/dev/null || fail "$tool is missing (scripts/install-deps.sh web installs it)"
done
node -e 'process.exit(Number(process.versions.node.split(".")[0]) >= 18 ? 0 : 1)' ||
  fail "node $(node --version) is too old: the tests need 18 or later"

mkdir -p "$web"
[ -f "$native/CMakeCache.txt" ] ||
  cmake -S "$root" -B "$native" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null ||
  fail "cannot configure the native build in $native"
cmake --build "$native" --target kaze demo-data >"$web/native-build.log" 2>&1 ||
  fail "the native build failed (see $web/native-build.log)"
{ emcmake cmake -S "$root" -B "$web" -G Ninja -DCMAKE_BUILD_TYPE=Release -DKAZE_WEB_DATA="$native/demo" &&
    cmake --build "$web" -j "$(nproc)"; } >"$web/web-build.log" 2>&1 ||
  fail "the web build failed (see $web/web-build.log)"
(cd "$tests" && npm ci --no-audit --no-fund --loglevel=error) >"$web/npm-ci.log" 2>&1 ||
  fail "npm ci in tests/host/web failed (see $web/npm-ci.log)"

# One file at a time: each browser session has the machine to itself.
export KAZE_NATIVE_BUILD=$native KAZE_WEB_PAGE=$web/page
status=0
for path in "$serve_tests/serve.test.mjs" "$tests/missing_file.test.mjs" "$tests/story.test.mjs"; do
  file=${path##*/}
  log=$web/${file%.test.mjs}.log
  if (cd "${path%/*}" && node "$file") >"$log" 2>&1; then
    grep '^web: ' "$log" || true
    echo "web ok: $file"
  else
    status=1
    grep '^web: ' "$log" || true
    grep '^web: ' "$log" | grep -qv '^web: figure ' || echo "web: $file failed (see $log)"
  fi
done
[ $status = 0 ] && echo "web: all checks passed"
exit $status
