// Host objects for tests: an SDK object, screens, a list control and text boxes that answer from
// fields the test sets and record every member call.
#ifndef HALVANE_TESTS_FAKE_HOST_H
#define HALVANE_TESTS_FAKE_HOST_H

#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "halvane/dispatch.h"

namespace fake {

using halvane::Variant;

class Sdk : public halvane::MemberTable {
 public:
  Sdk();
  void Var(const std::string& name, Variant value) { vars["=$" + name + "$"] = std::move(value); }

  std::map<std::string, Variant> vars;  // by the full request, "=$Name$"; unset answers ""
  std::map<std::string, std::string> userVars;
  std::set<std::string> failingVars;               // GetInfo of these raises error 5
  std::vector<std::string> asked;                  // every GetInfo request, in order
  std::vector<std::string> log;                    // DMLOG lines
  std::vector<std::vector<std::string>> errscrns;  // Errscrn's four arguments, as text
};

class List : public halvane::MemberTable {
 public:
  List();
  std::vector<std::string> rows;
  Variant value = Variant(int32_t{-1});
  std::vector<std::string> events;  // "Clear", "AddItem <row>", "CenterList", "Value=<n>", "Value?"
  std::vector<int32_t> valuesWritten;
};

class TextBox : public halvane::MemberTable {
 public:
  TextBox();
  Variant text = Variant(std::string());
};

class Screen : public halvane::MemberTable {
 public:
  explicit Screen(std::string tag, bool showPL = true);
  Variant tag;
  Variant showPL;
  Variant plValue = Variant(int32_t{0});
  std::shared_ptr<List> list = std::make_shared<List>();
  std::vector<std::shared_ptr<TextBox>> txt{std::make_shared<TextBox>()};
  std::vector<std::string> events;  // "Tag?", "ShowPL?", "PLValue?", "PL?", "txt(0)?"
};

inline std::shared_ptr<Screen> RadioScreen() {
  return std::make_shared<Screen>("radio_player.skin", true);
}
inline std::shared_ptr<Screen> KeyboardScreen() {
  return std::make_shared<Screen>("osk.skin", false);
}
inline std::shared_ptr<Screen> PlainScreen() {
  return std::make_shared<Screen>("main.skin", false);
}

}  // namespace fake

#endif
