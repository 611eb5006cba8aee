#!/usr/bin/env bash
# Builds the Debian packages from a finished build folder, unpacks them into a scratch root and
# uses what they installed: each file in the package Debian would put it in, both radios play
# from the root with the driver found in its private folder, their help names the installed guides, the
# manual pages render, the menu entries validate, a host builds against the development package,
# and lintian (when installed) finds nothing to object to.
#   package_test.sh SOURCE_DIR BUILD_DIR MULTIARCH PROGRAM...   (the programs this build makes)
set -euo pipefail
source_dir=$1 build_dir=$2 multiarch=$3
shift 3
programs=()
for program in "$@"; do [ -z "$program" ] || programs+=("$program"); done
work=$(mktemp -d /tmp/halvane-package-XXXXXX)
cd "$work"  # the tiny host keeps its preset list in the working folder
trap 'rm -rf "$work"' EXIT
fail() {
  echo "FAIL: $*" >&2
  exit 1
}

DEB_BUILD_OPTIONS=noautodbgsym "$source_dir/scripts/package" --from "$build_dir" --out "$work/out" \
  >/dev/null || fail "scripts/package"
version=$("$build_dir/bin/halvane-host" --version | cut -d' ' -f2)
lib=usr/lib/$multiarch

# Which package holds what; every package is named after the build's version.
declare -A holds=(
  [libhalvane1]="$lib/libHalvane.so.1 usr/share/doc/libhalvane1/copyright"
  [libhalvane-dev]="$lib/libHalvane.so usr/include/halvane/dm_radio.h $lib/pkgconfig/halvane.pc
    $lib/cmake/Halvane/HalvaneConfig.cmake"
  [halvane-tuner-driver]="$lib/halvane/RadioModules/Halvane/Radio_IO.so"
  [halvane-doc]="usr/share/doc/halvane-doc/docs/host.md.gz usr/share/doc/halvane-doc/README.md.gz"
)
for program in "${programs[@]}"; do
  holds[$program]="usr/bin/$program usr/share/man/man1/$program.1.gz
    usr/share/applications/$program.desktop usr/share/icons/hicolor/scalable/apps/$program.svg
    usr/share/doc/$program/changelog.gz usr/share/doc/$program/copyright"
done
root="$work/root"
for package in "${!holds[@]}"; do
  deb=$(ls "$work"/out/"${package}"_*.deb 2>/dev/null) || fail "no package $package"
  [ "$(dpkg-deb -f "$deb" Version)" = "$version" ] || fail "$package is not version $version"
  dpkg-deb -x "$deb" "$root"
  listing=$(dpkg-deb -c "$deb")
  for file in ${holds[$package]}; do
    grep -q " \./$file\( ->.*\)\?\$" <<<"$listing" || fail "$package does not hold /$file"
  done
done
[ "$(ls "$work"/out/*.deb | wc -l)" = "${#holds[@]}" ] || fail "unexpected packages: $(ls "$work/out")"
[ ! -e "$root/usr/bin/RadioModules" ] || fail "a driver folder under /usr/bin"
dpkg-deb -f "$work"/out/halvane-host_*.deb Depends | grep -q 'libhalvane1 (>= ' ||
  fail "halvane-host does not depend on the library it links"

# The installed programs, with nothing of the build tree, the user's registry or the bus in
# reach. Unpacked rather than installed, the library is found through LD_LIBRARY_PATH.
run() {
  env -u DBUS_SESSION_BUS_ADDRESS -u DISPLAY -u WAYLAND_DISPLAY LD_LIBRARY_PATH="$root/$lib" \
    HALVANE_CLASS_REGISTRY="$work/classes.reg" HALVANE_STATIONS="" "$@"
}
answers=$(printf 'create\nname\nstart\ncheck\nactive true\nfreq\n' |
  run "$root/usr/bin/halvane-host" --batch --home "$work/home" 2>/dev/null)
[ "$answers" = $'ok\n"Halvane 600"\nok\ntrue\nok\n8750' ] || fail "installed host answered: $answers"

# The graphical radio plays too, with the skin and the driver it found from its own place: a media
# client on a private bus sees the station it tunes.
if [[ " ${programs[*]} " == *" halvane-radio "* ]]; then
  LD_LIBRARY_PATH="$root/$lib" "$source_dir/tests/gtk/run_with_xvfb" \
    bash "$source_dir/tests/gtk/radio_mpris_test.sh" "$root/usr/bin/halvane-radio" >/dev/null ||
    fail "the installed halvane-radio does not play"
fi

declare -A guide=([halvane-host]=host.md.gz [halvane-radio]=skins.md.gz)
for program in "${programs[@]}"; do
  [ "$(run "$root/usr/bin/$program" --version)" = "$program $version" ] || fail "$program --version"
  run "$root/usr/bin/$program" --help | grep -qx "  $root/usr/share/doc/halvane-doc/docs/${guide[$program]}" ||
    fail "$program --help does not name its installed guide"
  rendered=$(MANWIDTH=80 man --warnings -l "$root/usr/share/man/man1/$program.1.gz" 2>"$work/man.err")
  [ ! -s "$work/man.err" ] || fail "man $program: $(cat "$work/man.err")"
  for section in NAME SYNOPSIS OPTIONS FILES ENVIRONMENT "EXIT STATUS"; do
    grep -q "^$section" <<<"$rendered" || fail "man $program has no $section"
  done
  entry="$root/usr/share/applications/$program.desktop"
  desktop-file-validate "$entry" || fail "desktop-file-validate $program.desktop"
  grep -q "^Exec=$program\$" "$entry" || fail "$program.desktop does not run $program"
done

# A host built against the development package, through pkg-config, plays the installed driver.
flags=$(PKG_CONFIG_PATH="$root/$lib/pkgconfig" pkg-config --cflags --libs halvane)
! grep -q rpath <<<"$flags" || fail "halvane.pc sets a run-time search path: $flags"
# shellcheck disable=SC2086  # the flags are words
g++ "-DHALVANE_HOST_DIR=\"$root/$lib/halvane/\"" "$source_dir/tests/install/consumer/tiny_host.cc" \
  -o "$work/tiny_host" $flags || fail "building against libhalvane-dev"
[ "$(run "$work/tiny_host")" = "Halvane 600 ready 8750" ] || fail "host built on libhalvane-dev"

if command -v lintian >/dev/null; then
  lintian --fail-on error,warning "$work"/out/*.deb >"$work/lintian.log" 2>&1 ||
    fail "lintian: $(cat "$work/lintian.log")"
fi
echo "package: all checks passed"
