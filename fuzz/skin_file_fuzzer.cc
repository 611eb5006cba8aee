// A skin's radio screen file, whatever it holds, beside the default skin's keyboard screen.
// Loading it either gives a skin or fails with a reason that names the file; no handler or type
// function it names ever runs (the builder's scope connects and resolves nothing of the
// process), so an input naming "abort" or "exit" can't end the target.
#include <gtk/gtk.h>

#include <cstdint>
#include <fstream>
#include <sstream>
#include <string>
#include <string_view>

#include "fuzz_dirs.h"
#include "skin.h"

namespace {

using fuzzing::Fail;

const std::string& KeyboardScreen() {
  static const std::string text = [] {
    std::ifstream in(std::string(FUZZ_DEFAULT_SKIN) + host::gtk::kKeyboardScreenFile);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
  }();
  return text;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  if (!gtk_init_check()) Fail("no display to build widgets on (run under Xvfb)");
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string folder = fuzzing::FreshFolder("skin");
  fuzzing::WriteFileBytes(folder + host::gtk::kRadioScreenFile,
                          std::string_view(reinterpret_cast<const char*>(data), size));
  fuzzing::WriteFileBytes(folder + host::gtk::kKeyboardScreenFile, KeyboardScreen());
  std::string error;
  const auto skin = host::gtk::LoadSkin(folder, error);
  if (!skin && error.rfind(folder, 0) != 0) Fail("a failure that names no file: " + error);
  if (skin && !error.empty()) Fail("a skin that loaded with an error: " + error);
  return 0;
}
