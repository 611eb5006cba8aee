#include "robustness_fixture.h"

#include <glib.h>

#include <cstdlib>
#include <fstream>
#include <iostream>

#include "halvane/errors.h"

namespace robustness {

const std::vector<std::string>& DriverFunctions() {
  static const std::vector<std::string> names = {
      HALVANE_FN_INITIALIZE, HALVANE_FN_UNINITIALIZE,  HALVANE_FN_VOLUME_MUTE,
      HALVANE_FN_FORCE_MONO, HALVANE_FN_SET_FREQUENCY, HALVANE_FN_GET_FREQUENCY,
      HALVANE_FN_SEARCH,     HALVANE_FN_RDS_STOP,      HALVANE_FN_RDS_START,
      HALVANE_FN_GET_STATE,  HALVANE_FN_DECODER_STATE, HALVANE_FN_EVAL_DATA};
  return names;
}

void Report(const std::string& section, const std::string& line) {
  std::cout << "[report] " << section << ": " << line << std::endl;
  if (const char* path = std::getenv("HALVANE_ROBUSTNESS_REPORT")) {
    std::ofstream out(path, std::ios::app);
    out << section << "\t" << line << "\n";
  }
}

const char* const RobustnessTest::kMainList =
    "9580|7|-3\r\n8750,Morning\r\n9580,News\r\n1040,Talk\r\n";

void RobustnessTest::SetUp() {
  PluginTest::SetUp();
  sdk_->Var("RadioDebug", halvane::Variant(true));
}

bool RobustnessTest::FireTick(halvane::CTimer& timer) {
  if (!timer.Running()) return false;
  GSource* source = g_main_context_find_source_by_user_data(context_->get(), &timer);
  if (source == nullptr) return false;
  g_source_set_ready_time(source, 0);  // due now; the timer sets its next time after the tick
  EXPECT_NO_THROW(g_main_context_iteration(context_->get(), FALSE));
  return true;
}

Outcome RobustnessTest::Run(const std::function<std::string()>& call) {
  try {
    return {std::nullopt, call()};
  } catch (const halvane::RuntimeError& e) {
    return {e.number(), e.what()};
  } catch (const std::exception& e) {
    ADD_FAILURE() << "an exception that is no run-time error: " << e.what();
    return {-1, e.what()};
  }
}

Outcome RobustnessTest::Cmd(const std::string& command, std::shared_ptr<fake::Screen> s) {
  return Run([&] { return std::to_string(Command(command, s)); });
}

std::optional<std::string> RobustnessTest::CacheFile(const std::string& name) const {
  const std::string path = CacheDir() + name;
  if (!testing_support::FileExists(path)) return std::nullopt;
  return testing_support::ReadFile(path);
}

void RobustnessTest::WriteCacheFile(const std::string& name, const std::string& bytes) {
  testing_support::WriteFile(CacheDir() + name, bytes);
}

void RobustnessTest::WriteMainList() { WriteCacheFile("Radio.ini", kMainList); }

std::map<std::string, int> RobustnessTest::SweepWithoutSaving() {
  static const char* const kCommands[] = {
      "seekup",       "seekdown",      "tuneup",     "tunedown",    "fineup",   "finedown",
      "freq+",        "freq-",         "next",       "prev",        "mono",     "radiomute",
      "radiomute;on", "radiomute;off", "rtune;95.8", "rtune;10150", "presetup", "presetdown",
      "seekmode",     "presetmode",    "freq+",      "freq-",       "next",     "prev",
      "seekmode",     "presetmode",    "tune",       "enter"};
  static const char* const kLabels[] = {"frequency", "fmam",         "mhzkhz",  "rsignal",
                                        "station",   "preset",       "rdsname", "rdstext",
                                        "rdspty",    "rdsptystring", "rdspi",   "tagartist",
                                        "trackname", "tracknumber",  "status"};
  static const char* const kIndicators[] = {
      "stereo",     "fmam",     "radiomute", "rdsta", "rdstp", "rdsms",         "radioart",
      "presetmode", "seekmode", "local",     "scan",  "surf",  "searchpresets", "status"};
  std::map<std::string, int> errors;
  for (const char* c : kCommands) {
    Outcome o = Cmd(c);
    if (!o.ok()) errors[c] = *o.error;
  }
  for (const char* l : kLabels) {
    Outcome o = Run([&] {
      std::string lbl = l, fmt;
      return radio_->ReturnLabel(lbl, fmt);
    });
    if (!o.ok()) errors[std::string("label ") + l] = *o.error;
  }
  for (const char* i : kIndicators) {
    Outcome o = Run([&] {
      std::string ind = i;
      return radio_->ReturnIndicatorEx(ind);
    });
    if (!o.ok()) errors[std::string("indicator ") + i] = *o.error;
  }
  Outcome slider = Run([&] {
    std::string s = "rsignal";
    return std::to_string(radio_->ReturnSlider(s));
  });
  if (!slider.ok()) errors["slider rsignal"] = *slider.error;
  return errors;
}

}  // namespace robustness
