// Batch mode: one action a line in, exactly one answer line out (none for blank lines and
// "#" comments), so that another program can hold a conversation with the plug-in through pipes.
// The protocol is described in docs/host.md.
#ifndef HALVANE_HOST_BATCH_SESSION_H
#define HALVANE_HOST_BATCH_SESSION_H

#include <functional>
#include <iosfwd>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "batch_clock.h"
#include "radio_host.h"

namespace host {

class BatchSession {
 public:
  // With `holdDriverClock`, the simulated driver's clock moves only inside "wait".
  BatchSession(RadioHost& host, bool holdDriverClock);

  // The answer to one input line; nothing for a blank line or a comment.
  std::optional<std::string> Execute(std::string_view line);

  // Answers every line of `in` on `out`, flushing after each answer; `afterEach` runs after
  // every line.
  void Run(std::istream& in, std::ostream& out, const std::function<void()>& afterEach = {});

 private:
  struct Action;
  static const Action* FindAction(std::string_view name);

  std::string Create(std::string_view);
  std::string Destroy(std::string_view);
  std::string Call(std::string_view member, std::initializer_list<halvane::Variant> args);
  std::string Refresh(std::string_view);
  std::string Command(std::string_view text);
  std::string Screen(std::string_view name);
  std::string Type(std::string_view text);
  std::string Pick(std::string_view row);
  std::string Rows(std::string_view);
  std::string Highlight(std::string_view);
  std::string Label(std::string_view keyword);
  std::string Get(std::string_view property);
  std::string Set(std::string_view rest);
  std::string Var(std::string_view rest);
  std::string UserVar(std::string_view rest);
  std::string Wait(std::string_view ms);
  std::string Log(std::string_view);
  std::string Notice() const { return host_.sdk().LatestNotice(); }
  std::string ErrorScreens(std::string_view);
  std::string File(std::string_view path);

  RadioHost& host_;
  bool holdDriverClock_;
  BatchClock clock_;
  std::shared_ptr<ScreenObject> screen_;  // the screen "cmd" and "refresh" pass
};

}  // namespace host

#endif
