#!/usr/bin/env bash
# Builds the Debian package from a clean clone of this checkout's HEAD
# (uncommitted changes are not in it), checks it with lintian, installs it
# into a private dpkg root (never the machine's own /usr), plays the
# installed program headless from an empty folder, removes the package and
# checks that nothing of it is left. One "deb ok: ..." line per passing
# check; the first failure prints "deb: <what failed>" and exits 1.
#   KAZE_DEB_TESTS=1  run the suite in the package build too (default: nocheck,
#                     since scripts/test.sh has just run it)
#   KAZE_DEB_DIR      the scratch folder (default: $TMPDIR/kaze-check-deb). It is
#                     emptied first and removed after a pass, kept after a
#                     failure. A fixed path lets ccache hit across runs: the
#                     compiler's command lines name the source folder.
set -euo pipefail
repo=$(cd "$(dirname "$0")/.." && pwd)
work=${KAZE_DEB_DIR:-${TMPDIR:-/tmp}/kaze-check-deb}
fail() {
  echo "deb: $*"
  exit 1
}
ok() { echo "deb ok: $*"; }
for tool in git dpkg-buildpackage dpkg-parsechangelog lintian dh; do
  command -v "$tool" >/dev/null || fail "$tool is missing (scripts/install-deps.sh test)"
done

# One check at a time in the scratch folder.
mkdir -p "$(dirname "$work")"
exec 9>"$work.lock"
flock 9
rm -rf "$work"
mkdir -p "$work"
started=$SECONDS

# The source: a clean clone, named as dpkg-buildpackage expects.
git clone --quiet --no-hardlinks "$repo" "$work/clone" || fail "git clone of $repo failed"
version=$(cd "$work/clone" && dpkg-parsechangelog -S Version)
src="$work/kaze-$version"
mv "$work/clone" "$src"
ok "cloned $(git -C "$src" rev-parse --short HEAD) as kaze $version"

# The build, with ccache where there is one. debhelper gives the build a
# HOME of its own, so ccache is told where its cache is.
options="parallel=$(nproc)"
[ "${KAZE_DEB_TESTS:-0}" = 1 ] || options="nocheck $options"
if command -v ccache >/dev/null; then
  export CMAKE_C_COMPILER_LAUNCHER=ccache CMAKE_CXX_COMPILER_LAUNCHER=ccache
  CCACHE_DIR=${CCACHE_DIR:-$(ccache -k cache_dir)}
  export CCACHE_DIR
fi
# Line tables only (-g1, after Debian's -g): nothing checked here depends
# on the debugging information, which was a fifth of the build's time.
export DEB_CFLAGS_APPEND="${DEB_CFLAGS_APPEND:-} -g1" DEB_CXXFLAGS_APPEND="${DEB_CXXFLAGS_APPEND:-} -g1"
log="$work/build.log"
(cd "$src" && DEB_BUILD_OPTIONS="$options" dpkg-buildpackage -b -us -uc) >"$log" 2>&1 || {
  tail -n 30 "$log"
  fail "dpkg-buildpackage failed ($log)"
}
deb="$work/kaze_${version}_$(dpkg --print-architecture).deb"
[ -f "$deb" ] || fail "no $(basename "$deb") after the build ($log)"
ok "built $(basename "$deb") ($(($(stat -c %s "$deb") / 1024)) KiB, DEB_BUILD_OPTIONS=\"$options\", $((SECONDS - started)) s)"

# lintian: no error and no warning; the informational and pedantic tags
# are listed, not failed on.
lintian --display-info --pedantic "$deb" >"$work/lintian.txt" 2>&1 || true
if grep -qE '^[EW]: ' "$work/lintian.txt"; then
  grep -E '^[EW]: ' "$work/lintian.txt" | head -n 20
  fail "lintian reports $(grep -cE '^[EW]: ' "$work/lintian.txt") errors or warnings ($work/lintian.txt)"
fi
notes=$(grep -E '^[IPX]: ' "$work/lintian.txt" | awk '{print $1 $3}' | sort -u | tr '\n' ' ' | sed 's/ $//' || true)
ok "lintian: no E: or W: line${notes:+ (left: $notes)}"

# A private dpkg root with an admin folder of its own; nothing of the
# machine's dpkg, its log included, is touched. The package's libraries
# are the machine's, so its dependencies are not looked for there.
root="$work/root"
mkdir -p "$root/var/lib/dpkg/info" "$root/var/lib/dpkg/updates" "$root/var/lib/dpkg/triggers"
touch "$root/var/lib/dpkg/status" "$root/var/lib/dpkg/available"
private_dpkg() {
  local force=depends,script-chrootless
  [ "$(id -u)" = 0 ] || force+=,not-root
  PATH="$PATH:/usr/sbin:/sbin" dpkg --root="$root" --log="$work/dpkg.log" --force-"$force" "$@"
}
private_dpkg --install "$deb" >"$work/dpkg-install.txt" 2>&1 || fail "dpkg --install into $root failed: $(tail -n 1 "$work/dpkg-install.txt")"
private_dpkg --listfiles kaze >"$work/files.txt" || fail "dpkg --listfiles kaze in $root failed"
program="$root/usr/games/kaze"
[ -x "$program" ] || fail "the package has no executable /usr/games/kaze"
for part in usr/share/games/kaze/Data usr/share/man/man6/kaze.6.gz usr/share/applications/io.github.kaze.Kaze.desktop \
  usr/share/metainfo/io.github.kaze.Kaze.metainfo.xml usr/share/icons/hicolor/48x48/apps/io.github.kaze.Kaze.png \
  usr/share/doc/kaze/copyright; do
  [ -e "$root/$part" ] || fail "the package has no /$part"
done
grep -qx 'Exec=/usr/games/kaze' "$root/usr/share/applications/io.github.kaze.Kaze.desktop" ||
  fail "the desktop entry does not start /usr/games/kaze"
ok "installed into a private root: $(grep -c . "$work/files.txt") paths, the program in /usr/games"

# The installed program, from an empty folder, plays the demo set installed
# beside it (its own folder's ../share/games/kaze) without a message box.
mkdir "$work/empty"
(cd "$work/empty" && "$program" --headless --until 3000 --trace t.jsonl) >"$work/play.txt" 2>&1 ||
  fail "the installed program failed: $(tail -n 1 "$work/play.txt")"
trace="$work/empty/t.jsonl"
[ -s "$trace" ] || fail "the installed program wrote no trace"
grep -q '"msgbox"' "$trace" && fail "the installed program showed a message box: $(grep -m1 '"msgbox"' "$trace")"
grep -q '"frame"' "$trace" || fail "the installed program showed no frame"
ok "the installed program played the installed demo set: $(grep -c '"frame"' "$trace") frames in 3 s, no message box"

# Removed (and purged), nothing of the package is left: the private root
# held only it, so all that may stay is dpkg's own admin folder.
private_dpkg --purge kaze >"$work/dpkg-remove.txt" 2>&1 || fail "dpkg --purge kaze failed: $(tail -n 1 "$work/dpkg-remove.txt")"
left=$(cd "$root" && find . -mindepth 1 ! -path ./var ! -path ./var/lib ! -path './var/lib/dpkg*' | sed 's/^\.//')
[ -z "$left" ] || fail "left behind after dpkg --purge: $(echo $left)"
ok "removed: none of its $(grep -c . "$work/files.txt") paths is left"

rm -rf "$work" "$work.lock"
ok "all checks passed in $((SECONDS - started)) s"
