// The preset list file through LoadPresets, SavePresets and LoadPresets again. Whatever the first
// file held, what the plug-in writes it must read back as the same store: the same presets, the
// same header values, and the frequency it saved as the start frequency (unless the file was no
// list, which a save leaves as it is). No save leaves fewer lines than the file had. A second
// save must write the same bytes as the first.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz_dirs.h"
#include "plugin/component.h"
#include "plugin/dm_radio.h"
#include "presets/list_file.h"
#include "runtime/codepage.h"
#include "runtime/fields.h"
#include "runtime/numbers.h"
#include "runtime/text_file.h"

namespace {

using halvane::ModPresets;

struct Store {
  std::vector<std::string> freqs;
  std::vector<std::string> names;
  int32_t value2 = 0;
  int32_t value3 = 0;
  bool operator==(const Store&) const = default;
};

Store Take(const ModPresets& presets) {
  const halvane::PresetTable& table = presets.table();
  if (table.empty()) fuzzing::Fail("a load left the store without its table");
  if (table.size() - 1 > static_cast<size_t>(halvane::kMaxPresets))
    fuzzing::Fail("more presets than a 16-bit number can count");
  if (presets.currentPreset() != 0) fuzzing::Fail("a load left a current preset");
  Store store{{}, {}, presets.headerValue2(), presets.headerValue3()};
  for (size_t i = 1; i < table.size(); ++i) {
    store.freqs.emplace_back(table.Freq(i));
    store.names.emplace_back(table.Name(i));
    if (table.Value(i) != halvane::LeadingNumber(table.Freq(i)))
      fuzzing::Fail("a preset's number is not its text's leading number");
  }
  return store;
}

// The presets the file holds, read the plain way: every line after the first decoded on its
// own, split at its first two commas, at most 32767 of them.
Store Expected(std::string_view file, int32_t value2, int32_t value3) {
  Store store{{}, {}, value2, value3};
  const auto lines = halvane::SplitLines(halvane::WithoutByteOrderMark(file));
  for (size_t l = 1; l < lines.size() && store.freqs.size() < halvane::kMaxPresets; ++l) {
    const std::string line = halvane::DecodeFileText(lines[l]);
    const auto fields = halvane::SplitFields(line, ',');
    if (fields.size() >= 2) {
      store.freqs.emplace_back(fields[0]);
      store.names.emplace_back(fields[1]);
    }
  }
  return store;
}

std::string Bytes(const std::string& path) {
  auto bytes = halvane::ReadFileBytes(path, halvane::kListFileLimit);
  if (!bytes) fuzzing::Fail("the saved list can't be read: " + path);
  return *bytes;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzzing::ScratchRoot();
  return 0;
}

// Input: one byte of choices (bit 0 the local list, bit 1 the list given as an import path,
// bits 2-7 the header values the store held before), then the file's bytes.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const uint8_t choices = data[0];
  const std::string_view file(reinterpret_cast<const char*>(data + 1), size - 1);
  const bool local = choices & 1;
  const bool imported = local && (choices & 2);

  const std::string cache = fuzzing::FreshFolder("cache");
  const std::string listPath = cache + (local ? halvane::kLocalListFile : halvane::kMainListFile);
  const std::string importPath = fuzzing::ScratchRoot() + "import.ini";

  const halvane::Environment env(
      std::make_shared<halvane::FixedLocale>(halvane::NumberFormat{".", ","}, 2057),
      [](std::chrono::milliseconds) {});
  halvane::Component c(env);
  halvane::DMRadio radio(c);
  radio.CachePath(cache);
  radio.LocalMode(local);
  ModPresets& presets = c.presets();
  // The header values an earlier list left, which a header without them keeps.
  fuzzing::WriteFileBytes(listPath, "0|" + std::to_string((choices >> 2) & 7) + "|" +
                                        std::to_string(-((choices >> 5) & 7)) + "\r\n");
  presets.LoadPresets("");
  fuzzing::WriteFileBytes(imported ? importPath : listPath, file);

  presets.LoadPresets(imported ? importPath : "");
  const Store first = Take(presets);
  const Store expected = Expected(file, presets.headerValue2(), presets.headerValue3());
  if (first.freqs != expected.freqs || first.names != expected.names)
    fuzzing::Fail("the presets loaded are not the file's preset lines");
  // No tuner here: the frequency saved is the one never tuned, 0.
  presets.SavePresets();
  const std::string saved = Bytes(listPath);
  const int16_t again = presets.LoadPresets("");
  const Store second = Take(presets);
  if (!(second == first)) fuzzing::Fail("the list read back differs from the list written");
  if (saved != file && again != c.radio().currentFreq())
    fuzzing::Fail("the saved frequency did not come back");
  if (!imported && fuzzing::LineCount(saved) < fuzzing::LineCount(file))
    fuzzing::Fail("a save made the list shorter");

  presets.SavePresets();
  if (Bytes(listPath) != saved) fuzzing::Fail("saving the same store twice wrote different files");
  return 0;
}
