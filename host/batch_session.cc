#include "batch_session.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <iostream>
#include <sstream>

#include "halvane/errors.h"
#include "json.h"
#include "main_loop.h"

namespace host {
namespace {

using halvane::CallKind;
using halvane::Variant;

const std::string kOk = "ok";
// The longest line read as an action; a longer one is answered "fail" and passed over.
constexpr size_t kLongestLine = size_t{1} << 20;
// How much of an unknown action's word its answer quotes.
constexpr size_t kShownWord = 80;

// Reads the next line (without its LF) into `line`, keeping at most kLongestLine bytes of it;
// `tooLong` says whether more came. False at the end of the input.
bool ReadLine(std::istream& in, std::string& line, bool& tooLong) {
  line.clear();
  tooLong = false;
  std::streambuf* buffer = in.rdbuf();
  if (buffer == nullptr) return false;
  for (;;) {
    const int c = buffer->sbumpc();
    if (c == std::char_traits<char>::eof()) {
      in.setstate(std::ios::eofbit);
      return !line.empty() || tooLong;
    }
    if (c == '\n') return true;
    if (line.size() < kLongestLine)
      line.push_back(static_cast<char>(c));
    else
      tooLong = true;
  }
}
// The most the "file" action reads.
constexpr size_t kFileActionLimit = size_t{16} << 20;

// A failure of the host itself (a mistyped action or argument), as opposed to a plug-in call
// that fails, which answers "error N".
struct HostFailure {
  std::string reason;
};

// "WORD REST": the first word and the rest of the line after the one blank that ends it.
std::pair<std::string_view, std::string_view> SplitWord(std::string_view text) {
  size_t blank = text.find(' ');
  if (blank == std::string_view::npos) return {text, {}};
  return {text.substr(0, blank), text.substr(blank + 1)};
}

int32_t WholeNumber(std::string_view text, const char* what) {
  int32_t n = 0;
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), n);
  const bool whole = !text.empty() && end == text.data() + text.size();
  if (whole && ec == std::errc::result_out_of_range)
    throw HostFailure{std::string(what) + (text[0] == '-' ? " is too small" : " is too large") +
                      ", got " + JsonString(text) + " (a whole number of 32 bits)"};
  if (!whole || ec != std::errc())
    throw HostFailure{std::string(what) + " must be a whole number, got " + JsonString(text)};
  return n;
}

std::shared_ptr<halvane::Dispatch> AsObject(const std::shared_ptr<ScreenObject>& screen) {
  return screen;
}

}  // namespace

// An action: its name, and what it does with the rest of the line.
struct BatchSession::Action {
  std::string_view name;
  std::string (*run)(BatchSession&, std::string_view rest);
};

const BatchSession::Action* BatchSession::FindAction(std::string_view name) {
  using S = BatchSession;
  static const Action kActions[] = {
      {"create", [](S& s, std::string_view r) { return s.Create(r); }},
      {"destroy", [](S& s, std::string_view r) { return s.Destroy(r); }},
      {"start", [](S& s, std::string_view) { return s.Call("StartRadio", {}), kOk; }},
      {"stop", [](S& s, std::string_view) { return s.Call("StopRadio", {}), kOk; }},
      {"refresh", [](S& s, std::string_view r) { return s.Refresh(r); }},
      {"active",
       [](S& s, std::string_view r) {
         return s.Call("SetActive", {Variant(std::string(r))}), kOk;
       }},
      {"tune",
       [](S& s, std::string_view r) { return s.Call("Tune", {Variant(std::string(r))}), kOk; }},
      {"recall",
       [](S& s, std::string_view r) {
         return s.Call("PresetRecall", {Variant(std::string(r))}), kOk;
       }},
      {"check", [](S& s, std::string_view) { return s.Call("Check", {}); }},
      {"cmd", [](S& s, std::string_view r) { return s.Command(r); }},
      {"screen", [](S& s, std::string_view r) { return s.Screen(r); }},
      {"type", [](S& s, std::string_view r) { return s.Type(r); }},
      {"pick", [](S& s, std::string_view r) { return s.Pick(r); }},
      {"rows", [](S& s, std::string_view r) { return s.Rows(r); }},
      {"highlight", [](S& s, std::string_view r) { return s.Highlight(r); }},
      {"label", [](S& s, std::string_view r) { return s.Label(r); }},
      {"indicator",
       [](S& s, std::string_view r) {
         return s.Call("ReturnIndicatorEx", {Variant(std::string(r))});
       }},
      {"slider",
       [](S& s, std::string_view r) { return s.Call("ReturnSlider", {Variant(std::string(r))}); }},
      {"artwork", [](S& s, std::string_view) { return s.Call("GetArtwork", {}); }},
      {"freq", [](S& s, std::string_view) { return s.Get("Freq"); }},
      {"name", [](S& s, std::string_view) { return s.Call("GetName", {}); }},
      {"tunertype", [](S& s, std::string_view) { return s.Get("TunerType"); }},
      {"isactive", [](S& s, std::string_view) { return s.Get("IsActive"); }},
      {"get", [](S& s, std::string_view r) { return s.Get(r); }},
      {"set", [](S& s, std::string_view r) { return s.Set(r); }},
      {"var", [](S& s, std::string_view r) { return s.Var(r); }},
      {"uservar", [](S& s, std::string_view r) { return s.UserVar(r); }},
      {"wait", [](S& s, std::string_view r) { return s.Wait(r); }},
      {"log", [](S& s, std::string_view r) { return s.Log(r); }},
      {"notice", [](S& s, std::string_view) { return JsonString(s.Notice()); }},
      {"errscrn", [](S& s, std::string_view r) { return s.ErrorScreens(r); }},
      {"file", [](S& s, std::string_view r) { return s.File(r); }},
  };
  for (const Action& action : kActions)
    if (action.name == name) return &action;
  return nullptr;
}

BatchSession::BatchSession(RadioHost& host, bool holdDriverClock)
    : host_(host), holdDriverClock_(holdDriverClock), screen_(host.radioScreen) {}

std::optional<std::string> BatchSession::Execute(std::string_view line) {
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);  // a script saved with CR LF
  if (line.empty() || line.front() == '#') return std::nullopt;
  auto [word, rest] = SplitWord(line);
  const Action* action = FindAction(word);
  if (action == nullptr) return "fail unknown action " + JsonString(word.substr(0, kShownWord));
  // Before the plug-in's first driver call, so that the driver's time starts held.
  if (holdDriverClock_) clock_.Hold(host_.DriverPath());
  try {
    return action->run(*this, rest);
  } catch (const halvane::RuntimeError& e) {
    return "error " + std::to_string(e.number());
  } catch (const HostFailure& f) {
    return "fail " + f.reason;
  } catch (const std::exception& e) {
    return std::string("fail ") + e.what();
  }
}

void BatchSession::Run(std::istream& in, std::ostream& out,
                       const std::function<void()>& afterEach) {
  std::string line;
  bool tooLong = false;
  while (ReadLine(in, line, tooLong)) {
    if (tooLong) {
      out << "fail the line is longer than " << kLongestLine << " bytes\n";
      out.flush();
    } else if (auto answer = Execute(line)) {
      out << *answer << '\n';
      out.flush();
    }
    if (afterEach) afterEach();
  }
}

std::string BatchSession::Create(std::string_view) {
  host_.Create();
  return kOk;
}

std::string BatchSession::Destroy(std::string_view) {
  host_.Destroy();
  return kOk;
}

std::string BatchSession::Call(std::string_view member, std::initializer_list<Variant> args) {
  std::vector<Variant> list(args);
  return JsonValue(host_.Dispatch()->Invoke(member, CallKind::Method, list));
}

std::string BatchSession::Refresh(std::string_view) {
  Call("Refresh", {Variant(AsObject(screen_))});
  return kOk;
}

std::string BatchSession::Command(std::string_view text) {
  return Call("ProcessCommand", {Variant(std::string(text)), Variant(AsObject(screen_))});
}

std::string BatchSession::Screen(std::string_view name) {
  if (name == "radio")
    screen_ = host_.radioScreen;
  else if (name == "osk")
    screen_ = host_.keyboardScreen;
  else if (name == "plain")
    screen_ = host_.plainScreen;
  else
    throw HostFailure{"screen must be radio, osk or plain, got " + JsonString(name)};
  return kOk;
}

std::string BatchSession::Type(std::string_view text) {
  host_.keyboardScreen->txt[0]->text = std::string(text);
  return kOk;
}

std::string BatchSession::Pick(std::string_view row) {
  int32_t n = WholeNumber(row, "pick's row");
  host_.radioScreen->list->value = n;
  host_.radioScreen->plValue = n;
  return kOk;
}

std::string BatchSession::Rows(std::string_view) {
  return JsonStringArray(host_.radioScreen->list->rows);
}

std::string BatchSession::Highlight(std::string_view) {
  return std::to_string(host_.radioScreen->list->value);
}

std::string BatchSession::Label(std::string_view keyword) {
  // LBL is passed by reference: the answer shows what the plug-in left in it.
  std::vector<Variant> args{Variant(std::string(keyword)), Variant(std::string())};
  Variant result = host_.Dispatch()->Invoke("ReturnLabel", CallKind::Method, args);
  return JsonArray({JsonValue(result), JsonValue(args[0])});
}

std::string BatchSession::Get(std::string_view property) {
  return JsonValue(halvane::GetProperty(host_.Dispatch(), property));
}

std::string BatchSession::Set(std::string_view rest) {
  auto [property, value] = SplitWord(rest);
  halvane::PutProperty(host_.Dispatch(), property, Variant(std::string(value)));
  return kOk;
}

std::string BatchSession::Var(std::string_view rest) {
  auto [name, value] = SplitWord(rest);
  if (name.empty()) throw HostFailure{"var needs a NAME"};
  host_.sdk().SetVariable(std::string(name), std::string(value));
  return kOk;
}

std::string BatchSession::UserVar(std::string_view rest) {
  auto [name, value] = SplitWord(rest);
  if (name.empty()) throw HostFailure{"uservar needs a NAME"};
  host_.sdk().SetUserVariable(std::string(name), std::string(value));
  return kOk;
}

std::string BatchSession::Wait(std::string_view ms) {
  int32_t n = WholeNumber(ms, "wait's milliseconds");
  if (n < 0) throw HostFailure{"wait's milliseconds can't be negative"};
  // The driver's time jumps first, so every tick of this wait sees the same RDS: the answers
  // depend on the script alone, not on how many ticks the machine managed.
  if (holdDriverClock_) clock_.Advance(n);
  RunMainLoopFor(n);
  return kOk;
}

std::string BatchSession::Log(std::string_view) { return JsonStringArray(host_.sdk().TakeLog()); }

std::string BatchSession::ErrorScreens(std::string_view) {
  std::vector<std::string> screens;
  for (const ErrorScreen& screen : host_.sdk().TakeErrorScreens()) {
    std::vector<std::string> args;
    for (const Variant& arg : screen) args.push_back(JsonValue(arg));
    screens.push_back(JsonArray(args));
  }
  return JsonArray(screens);
}

std::string BatchSession::File(std::string_view path) {
  if (path.empty()) throw HostFailure{"file needs a PATH"};
  std::string full(path);
  if (full[0] != '/') full = host_.folders().home + full;  // "" without --home: the current folder
  // Opened without waiting, so a pipe or a device under the name can't hold the session; only a
  // regular file is read, and only up to the cap.
  const int fd = ::open(full.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return "null";
  struct stat st {};
  std::string bytes;
  bool regular = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
  if (regular && static_cast<uint64_t>(st.st_size) > kFileActionLimit) {
    ::close(fd);
    throw HostFailure{"file " + JsonString(full) + " holds more than 16 MiB"};
  }
  char buffer[65536];
  for (ssize_t n = 0; regular && (n = ::read(fd, buffer, sizeof buffer)) != 0;) {
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 || bytes.size() + static_cast<size_t>(n) > kFileActionLimit)
      regular = false;
    else
      bytes.append(buffer, static_cast<size_t>(n));
  }
  ::close(fd);
  return regular ? JsonString(bytes) : "null";
}

}  // namespace host
