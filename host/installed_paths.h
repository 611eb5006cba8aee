// Where a program finds what is installed beside it. Run from the build folder it finds the tuner
// driver and its data beside itself; installed in bin/ it finds the driver in the private library
// folder and the documentation under share/doc/, each found relative to the program so that an
// installation may be moved as a whole.
#ifndef HALVANE_HOST_INSTALLED_PATHS_H
#define HALVANE_HOST_INSTALLED_PATHS_H

#include <string>
#include <string_view>

namespace host {

// The host folder handed to the plug-in ("=$DMPath$", ending in "/"): `programFolder` when the
// driver lies under RadioModules/Halvane/ there, else the installed driver's private folder
// relative to it ("/usr/bin/" gives "/usr/lib/<multiarch>/halvane/").
std::string DriverHostFolder(const std::string& programFolder);

// The installed page of the documentation (`page` being "host.md", "skins.md" ...) as a full
// path: the Debian documentation package's (perhaps compressed, "host.md.gz"), else the plain
// installation's; "docs/<page>", its place in the source tree, when neither is there.
std::string DocumentPath(const std::string& programFolder, std::string_view page);

}  // namespace host

#endif
