// The host SDK object the plug-in creates as "Dalmoth.SDK": host variables, user variables, the
// log and the error screen.
#ifndef HALVANE_HOST_SDK_OBJECT_H
#define HALVANE_HOST_SDK_OBJECT_H

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "halvane/dispatch.h"

namespace host {

// One Errscrn call: its four arguments as passed.
using ErrorScreen = std::vector<halvane::Variant>;

class SdkObject : public halvane::MemberTable {
 public:
  SdkObject();

  // Host variables, asked for as "=$NAME$"; names compare without regard to case. The folder
  // variables (DMPath, dmartpath) get a "/" at their end when set without one.
  void SetVariable(const std::string& name, std::string value);
  std::string Variable(const std::string& name) const;  // "" when unset
  // User variables, asked for by name ("skinpath" is a folder and gets its "/" likewise).
  void SetUserVariable(const std::string& name, std::string value);
  std::string UserVariable(const std::string& name) const;

  // DMLOG lines are appended to this file (when set) and kept for TakeLog.
  void SetLogFile(std::string path) { logFile_ = std::move(path); }
  std::vector<std::string> TakeLog();
  // The latest line the plug-in logged because a preset list could not be saved (it begins with
  // HALVANE_LOG_SAVE_FAILED, see halvane/plugin.h), "" when none, or when a save succeeded since
  // (a line beginning with HALVANE_LOG_SAVED_AGAIN). Both faces show it; TakeLog leaves it.
  std::string LatestNotice() const { return latestNotice_; }
  // The same line as a person reads it, without the plug-in's log prefix ("Presets not saved:
  // ..."); "" when there is none.
  std::string LatestNoticeText() const;
  std::vector<ErrorScreen> TakeErrorScreens();

  // Called for every Errscrn, after it is recorded: the interactive screen shows it.
  std::function<void(const ErrorScreen&)> onErrorScreen;

  // What GetInfo answers for a request: "=$NAME$" gives the variable, anything else "".
  std::string Answer(const std::string& request) const;

 private:
  std::map<std::string, std::string> variables_;  // lower-case names
  std::map<std::string, std::string> userVariables_;
  std::string logFile_;
  std::vector<std::string> log_;
  std::string latestNotice_;
  std::vector<ErrorScreen> errorScreens_;
};

}  // namespace host

#endif
