# The Debian package of the whole radio (scripts/package, or cpack in a build folder): the
# plug-in with its headers, CMake and pkg-config files, the hosts, the simulated tuner, skin and
# artwork, menu entries, icon, manual pages and docs. Its dependencies are read from the
# binaries by dpkg-shlibdeps, never listed by hand.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME halvane)
set(CPACK_PACKAGE_VENDOR HalvaneDM)
set(CPACK_PACKAGE_CONTACT "HalvaneDM developers <halvanedm@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "FM/AM radio plug-in with RDS, presets and reference hosts")
set(CPACK_PACKAGE_DESCRIPTION
  "HalvaneDM is a radio plug-in (libHalvane.so) that a media front end loads to play FM and AM
radio: tune, seek, presets, surf, scan and preset learning, with the station's RDS name,
RadioText, programme type and artwork. The package holds the plug-in and its development files,
a simulated tuner, and two radios built on it: halvane-host for the terminal and halvane-radio
for the desktop, both answering media keys.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
include(CPack)
