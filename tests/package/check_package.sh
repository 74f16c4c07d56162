#!/usr/bin/env bash
# Builds the Debian package from a finished build folder, checks it with lintian,
# desktop-file-validate and appstreamcli, runs both programs from the unpacked files,
# then installs it with dpkg, runs it from /usr/bin and removes it again.
# Usage: tests/package/check_package.sh <build-folder>   (ctest runs it as package_install)
set -euo pipefail
build=$(cd "${1:?build folder}" && pwd)
out="$build/package-test"
rm -rf "$out"
# Only its owner may enter the folder, as with a checkout in a private folder: lintian,
# run as nobody, still has to get to the package.
mkdir -p "$out"
chmod 700 "$out"

fail() {
  echo "check_package: $*" >&2
  exit 1
}

(cd "$build" && cpack -G DEB -B "$out" >"$out/cpack.log" 2>&1) || {
  cat "$out/cpack.log"
  fail "cpack failed"
}
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
deb="$out/monidesk_${version}_amd64.deb"
[ -f "$deb" ] || fail "no $deb"
echo "package: $deb"

# lintian: errors fail the check, warnings are shown (as nobody where this runs as root).
"$(dirname "$0")/../../scripts/lintian-deb" "$deb" || fail "lintian found errors"

# The files as unpacked, run from the scratch root against the system's libraries.
root="$out/root"
dpkg-deb -x "$deb" "$root"
app=de.velcor.monidesk
desktop-file-validate "$root/usr/share/applications/$app.desktop"
appstreamcli validate --no-net "$root/usr/share/metainfo/$app.metainfo.xml" >/dev/null ||
  fail "appstreamcli rejects the metainfo file"
for page in monidesk monidesk-sim; do
  warnings=$(man --warnings -l "$root/usr/share/man/man1/$page.1.gz" 2>&1 >/dev/null)
  [ -z "$warnings" ] || fail "man page $page.1: $warnings"
done
[ -f "$root/usr/share/icons/hicolor/scalable/apps/monidesk.svg" ] || fail "no icon"
[ -f "$root/usr/share/doc/monidesk/copyright" ] || fail "no copyright file"

check_programs() { # <bin folder>
  local shown
  shown=$("$1/monidesk" --version) || fail "$1/monidesk --version failed"
  [ "$shown" = "Velcor Monidesk $version" ] || fail "monidesk --version said: $shown"
  shown=$("$1/monidesk-sim" --help) || fail "$1/monidesk-sim --help failed"
  grep -q -- "--link-com" <<<"$shown" || fail "monidesk-sim --help said: $shown"
}
check_programs "$root/usr/bin"
echo "package: runs from the unpacked files"

# Installed for real where this runs as root and no monidesk package is installed already
# (which it would replace); dpkg checks the dependencies against the system.
if [ "$(id -u)" -ne 0 ]; then
  echo "package: not root, dpkg -i skipped"
  exit 0
fi
if dpkg-query -W -f='${Status}' monidesk 2>/dev/null | grep -q installed; then
  echo "package: a monidesk package is installed already, dpkg -i skipped"
  exit 0
fi
dpkg_locked() { # runs dpkg, waiting while another dpkg or apt holds its lock
  local tries=0
  until "$@" >"$out/dpkg.log" 2>&1; do
    grep -q "lock" "$out/dpkg.log" && [ $((tries += 1)) -lt 60 ] || {
      cat "$out/dpkg.log"
      return 1
    }
    sleep 2
  done
}
trap 'dpkg_locked dpkg -r monidesk || true' EXIT
dpkg_locked dpkg -i "$deb" || fail "dpkg -i failed"
check_programs /usr/bin
dpkg_locked dpkg -r monidesk || fail "dpkg -r failed"
trap - EXIT
[ ! -e /usr/bin/monidesk ] && [ ! -e /usr/bin/monidesk-sim ] || fail "dpkg -r left the programs"
echo "package: installed, run from /usr/bin and removed"
