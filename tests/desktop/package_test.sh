#!/usr/bin/env bash
# Builds the Debian package from a build folder, unpacks it into a scratch root and uses what it
# installed: the host plays the simulated tuner it finds beside itself, the manual pages render,
# the menu entries validate, and the dependencies were read from the binaries.
#   package_test.sh BUILD_DIR PROGRAM...   (the programs whose page and entry must be there)
set -euo pipefail
build_dir=$1
shift
work=$(mktemp -d /tmp/halvane-package-XXXXXX)
trap 'rm -rf "$work"' EXIT
fail() {
  echo "FAIL: $*" >&2
  exit 1
}

cpack -G DEB --config "$build_dir/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1 ||
  fail "cpack: $(cat "$work/cpack.log")"
deb=$(ls "$work"/out/*.deb)
dpkg-deb -f "$deb" Depends | grep -q 'libc6' || fail "no dependencies read from the binaries"
root="$work/root"
dpkg -x "$deb" "$root"

for file in include/halvane/dm_radio.h lib/pkgconfig/halvane.pc lib/cmake/Halvane/HalvaneConfig.cmake \
  bin/RadioModules/Halvane/Radio_IO.so share/icons/hicolor/scalable/apps/halvane-radio.svg \
  share/doc/halvane/README.md; do
  [ -e "$root/usr/$file" ] || fail "not in the package: /usr/$file"
done

# The installed host, with nothing of the build tree or the user's registry in reach.
host="$root/usr/bin/halvane-host"
[ "$(env -u LD_LIBRARY_PATH "$host" --version)" = "halvane-host 1.0.0" ] || fail "--version"
answers=$(printf 'create\nname\nstart\ncheck\nactive true\nfreq\n' |
  env -u LD_LIBRARY_PATH -u DBUS_SESSION_BUS_ADDRESS HALVANE_CLASS_REGISTRY="$work/classes.reg" \
    HALVANE_STATIONS="" "$host" --batch --home "$work/home" 2>/dev/null)
[ "$answers" = $'ok\n"Halvane 600"\nok\ntrue\nok\n8750' ] || fail "installed host answered: $answers"

for program in "$@"; do
  [ -n "$program" ] || continue  # a program this build does not make
  [ -x "$root/usr/bin/$program" ] || fail "not in the package: /usr/bin/$program"
  env -u LD_LIBRARY_PATH "$root/usr/bin/$program" --help >/dev/null || fail "$program --help"
  page="$root/usr/share/man/man1/$program.1"
  [ -f "$page" ] || fail "no manual page for $program"
  rendered=$(MANWIDTH=80 man --warnings -l "$page" 2>"$work/man.err")
  [ ! -s "$work/man.err" ] || fail "man $program: $(cat "$work/man.err")"
  for section in NAME SYNOPSIS OPTIONS FILES ENVIRONMENT "EXIT STATUS"; do
    grep -q "^$section" <<<"$rendered" || fail "man $program has no $section"
  done
  entry="$root/usr/share/applications/$program.desktop"
  [ -f "$entry" ] || fail "no menu entry for $program"
  desktop-file-validate "$entry" || fail "desktop-file-validate $program.desktop"
  grep -q "^Exec=$program\$" "$entry" || fail "$program.desktop does not run $program"
done
echo "package: all checks passed"
