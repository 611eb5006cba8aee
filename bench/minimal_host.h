// Host objects that answer and do nothing else: an SDK object with fixed host variables, a radio
// screen that shows its preset list, and a list control that keeps nothing. What a benchmark
// measures through them is the plug-in's side of each host call.
#ifndef HALVANE_BENCH_MINIMAL_HOST_H
#define HALVANE_BENCH_MINIMAL_HOST_H

#include <map>
#include <memory>
#include <string>

#include "halvane/dispatch.h"

namespace bench {

class MinimalSdk : public halvane::MemberTable {
 public:
  MinimalSdk();
  // GetInfo answers these by the full request ("=$DMPath$"), "" for any other.
  std::map<std::string, halvane::Variant, std::less<>> vars;
  // GetUserVar answers these by name ("skinpath"), "" for any other.
  std::map<std::string, std::string, std::less<>> userVars;
};

class MinimalList : public halvane::MemberTable {
 public:
  MinimalList();
};

class MinimalScreen : public halvane::MemberTable {
 public:
  MinimalScreen();
  std::shared_ptr<MinimalList> list = std::make_shared<MinimalList>();
};

}  // namespace bench

#endif
