# The Debian packages each purpose needs, in one place; sourced by
# install-deps.sh. Each list holds only what its purpose adds to the ones
# it builds on: test, windows and web build on play.

# Building the program and its demo data set, and playing.
play_packages=(
  cmake ninja-build pkg-config g++
  libpng-dev zlib1g-dev libsdl2-dev libasound2-dev libsoxr-dev libdeflate-dev
  libfreetype-dev libharfbuzz-dev fonts-dejavu-core fonts-ipafont-mincho
)

# The suite: its libraries, the sanitizers' and fuzzers' compiler, the
# linker its builds use, the layout check, the private X server and what drives and reads it, the
# documentation checks, the benchmarks' comparison library, and the Debian
# package's build and lint (scripts/check-deb.sh; dpkg-buildpackage asks for
# build-essential beside the Build-Depends).
test_packages=(
  libgtest-dev libgmock-dev libbenchmark-dev libpixman-1-dev
  clang libclang-rt-14-dev lld clang-format
  xvfb xauth xdotool xfonts-base imagemagick libgl1-mesa-dri x11-apps x11-utils python3
  man-db groff-base desktop-file-utils appstream
  build-essential debhelper dpkg-dev fakeroot lintian
)

# The native Windows build, its run under Wine and the zip a player unpacks.
windows_packages=(g++-mingw-w64-x86-64 mingw-w64-x86-64-dev wine wine64 zip unzip)

# The browser build and its checks in headless Chromium (on Node 18 or
# later; a node that is already here, from Debian or elsewhere, is used as
# it is).
web_packages=(emscripten chromium)
command -v node >/dev/null || web_packages+=(nodejs npm)
