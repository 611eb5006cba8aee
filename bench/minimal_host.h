// Host objects that answer and do nothing else: an SDK object with fixed host variables, a radio
// screen that shows its preset list, and a list control that keeps nothing. Each answers its few
// members by a direct comparison of the name, so that what a benchmark measures through them is
// the plug-in's side of each host call, not a host's member table.
#ifndef HALVANE_BENCH_MINIMAL_HOST_H
#define HALVANE_BENCH_MINIMAL_HOST_H

#include <map>
#include <memory>
#include <string>

#include "halvane/dispatch.h"

namespace bench {

class MinimalSdk : public halvane::Dispatch {
 public:
  halvane::Variant Invoke(std::string_view member, halvane::CallKind kind,
                          std::span<halvane::Variant> args) override;
  // GetInfo answers these by the full request ("=$DMPath$"), "" for any other.
  std::map<std::string, halvane::Variant, std::less<>> vars;
  // GetUserVar answers these by name ("skinpath"), "" for any other.
  std::map<std::string, std::string, std::less<>> userVars;
};

// Rows added are dropped; the highlight reads back as "no row".
class MinimalList : public halvane::Dispatch {
 public:
  halvane::Variant Invoke(std::string_view member, halvane::CallKind kind,
                          std::span<halvane::Variant> args) override;
};

class MinimalScreen : public halvane::Dispatch {
 public:
  halvane::Variant Invoke(std::string_view member, halvane::CallKind kind,
                          std::span<halvane::Variant> args) override;
  std::shared_ptr<MinimalList> list = std::make_shared<MinimalList>();
};

}  // namespace bench

#endif
