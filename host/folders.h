// Where the host keeps what it hands the plug-in: configuration, preset lists (user data, never
// the cache folder, which may be wiped), artwork and the skin. Every folder ends with "/" because
// the plug-in appends file names directly.
#ifndef HALVANE_HOST_FOLDERS_H
#define HALVANE_HOST_FOLDERS_H

#include <string>

namespace host {

struct Folders {
  std::string home;     // --home DIR with "/", or "" for the XDG layout
  std::string config;   // ConfigPath: programme-type names, named presets
  std::string data;     // CachePath: the preset lists
  std::string art;      // "=$dmartpath$": station pictures (under "RadioArt/")
  std::string skin;     // the "skinpath" user variable: mute-state pictures
  std::string logFile;  // where DMLOG lines go
  // Why there are no folders, for the user ("" when there are): without --home, HOME and the
  // XDG variables name no absolute folder. A host then stops rather than keep presets in a
  // shared folder such as /tmp.
  std::string problem;
};

// --home DIR when given: DIR/config/, DIR/data/, DIR/art/, DIR/skin/ and DIR/halvane.log.
// Otherwise $XDG_CONFIG_HOME/halvane/, $XDG_DATA_HOME/halvane/ (art/ and skin/ inside it) and
// $XDG_STATE_HOME/halvane/halvane.log, each XDG variable falling back to its default under
// $HOME when unset or not absolute. When neither names an absolute folder, `problem` says so.
Folders ResolveFolders(const std::string& homeOption);

// Makes the folders (and their parents) that do not exist yet. Returns false when one can't be
// made.
bool MakeFolders(const Folders& folders);
bool MakeFolderPath(const std::string& folder);

// The folder of the running program, with "/"; installed_paths.h finds what lies around it.
std::string ProgramFolder();

// `folder` with a "/" at its end; "" stays "".
std::string WithSlash(std::string folder);

}  // namespace host

#endif
