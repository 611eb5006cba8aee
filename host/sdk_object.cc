#include "sdk_object.h"

#include <fstream>
#include <utility>

#include "folders.h"
#include "halvane/errors.h"
#include "halvane/plugin.h"
#include "log_file.h"

namespace host {
namespace {

using halvane::CallKind;
using halvane::Variant;

std::string Lower(std::string s) {
  for (char& c : s)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return s;
}

bool IsFolderVariable(const std::string& lowerName) {
  return lowerName == "dmpath" || lowerName == "dmartpath";
}

const Variant& Arg(std::span<Variant> args, size_t i) {
  if (i >= args.size()) halvane::Raise(halvane::kArgumentNotOptional);
  return args[i];
}

}  // namespace

std::string SdkObject::LatestNoticeText() const {
  // Both notice lines share the log's "Halvane---> " prefix.
  constexpr std::string_view kFailed = HALVANE_LOG_SAVE_FAILED;
  constexpr size_t kPrefix = kFailed.find("> ") + 2;
  return latestNotice_.size() > kPrefix ? latestNotice_.substr(kPrefix) : std::string();
}

SdkObject::SdkObject() {
  Define("GetInfo", [this](CallKind, std::span<Variant> args) {
    return Variant(Answer(Arg(args, 0).ToString()));
  });
  Define("GetUserVar", [this](CallKind, std::span<Variant> args) {
    return Variant(UserVariable(Arg(args, 0).ToString()));
  });
  Define("DMLOG", [this](CallKind, std::span<Variant> args) {
    std::string line = Arg(args, 0).ToString();
    if (line.starts_with(HALVANE_LOG_SAVE_FAILED)) latestNotice_ = line;
    if (line.starts_with(HALVANE_LOG_SAVED_AGAIN)) latestNotice_.clear();
    log_.push_back(line);
    if (!logFile_.empty()) AppendLogLine(logFile_, line);
    return Variant();
  });
  Define("Errscrn", [this](CallKind, std::span<Variant> args) {
    ErrorScreen screen(args.begin(), args.end());
    errorScreens_.push_back(screen);
    if (onErrorScreen) onErrorScreen(screen);
    return Variant();
  });
}

void SdkObject::SetVariable(const std::string& name, std::string value) {
  std::string key = Lower(name);
  if (IsFolderVariable(key)) value = WithSlash(std::move(value));
  variables_[key] = std::move(value);
}

std::string SdkObject::Variable(const std::string& name) const {
  auto it = variables_.find(Lower(name));
  return it == variables_.end() ? std::string() : it->second;
}

void SdkObject::SetUserVariable(const std::string& name, std::string value) {
  std::string key = Lower(name);
  if (key == "skinpath") value = WithSlash(std::move(value));
  userVariables_[key] = std::move(value);
}

std::string SdkObject::UserVariable(const std::string& name) const {
  auto it = userVariables_.find(Lower(name));
  return it == userVariables_.end() ? std::string() : it->second;
}

std::string SdkObject::Answer(const std::string& request) const {
  if (request.size() < 4 || request.compare(0, 2, "=$") != 0 || request.back() != '$') return {};
  return Variable(request.substr(2, request.size() - 3));
}

std::vector<std::string> SdkObject::TakeLog() { return std::exchange(log_, {}); }

std::vector<ErrorScreen> SdkObject::TakeErrorScreens() { return std::exchange(errorScreens_, {}); }

}  // namespace host
