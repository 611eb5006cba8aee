#include "runtime/locale.h"

#include <langinfo.h>
#include <locale.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <string_view>

#include "runtime/lcid_table.h"

namespace halvane {
namespace {

struct LocaleRow {
  std::string_view language;  // "de_DE", or a bare language "de" as a fallback
  std::string_view decimal;
  std::string_view grouping;
};

// Separators as glibc's locales give them, used only when the locale is not installed on this
// machine.
constexpr std::array<LocaleRow, 36> kLocales{{
    {"en_US", ".", ","},      {"en_GB", ".", ","},      {"en_AU", ".", ","},
    {"en_CA", ".", ","},      {"en_IE", ".", ","},      {"en_NZ", ".", ","},
    {"de_DE", ",", "."},      {"de_AT", ",", "."},      {"de_CH", ".", "'"},
    {"fr_FR", ",", "\u202f"}, {"fr_BE", ",", "\u202f"}, {"fr_CA", ",", " "},
    {"fr_CH", ",", "\u202f"}, {"it_IT", ",", "."},      {"es_ES", ",", "."},
    {"es_MX", ".", ","},      {"pt_PT", ",", " "},      {"pt_BR", ",", "."},
    {"nl_NL", ",", "."},      {"nl_BE", ",", "."},      {"sv_SE", ",", " "},
    {"da_DK", ",", "."},      {"nb_NO", ",", " "},      {"fi_FI", ",", " "},
    {"pl_PL", ",", " "},      {"cs_CZ", ",", " "},      {"ru_RU", ",", " "},
    {"ja_JP", ".", ","},      {"zh_CN", ".", ","},      {"ko_KR", ".", ","},
    {"en", ".", ","},         {"de", ",", "."},         {"fr", ",", "\u202f"},
    {"it", ",", "."},         {"es", ",", "."},         {"nl", ",", "."},
}};

// "de_DE.UTF-8@euro" -> "de_DE"
std::string_view LanguageAndTerritory(std::string_view name) {
  auto end = name.find_first_of(".@");
  return end == std::string_view::npos ? name : name.substr(0, end);
}

const LocaleRow* FindRow(const std::string& name) {
  std::string_view key = LanguageAndTerritory(name);
  for (const auto& row : kLocales)
    if (row.language == key) return &row;
  std::string_view language = key.substr(0, key.find('_'));
  for (const auto& row : kLocales)
    if (row.language == language) return &row;
  return nullptr;
}

std::string FirstSet(std::initializer_list<const char*> names) {
  for (const char* n : names) {
    const char* v = std::getenv(n);
    if (v != nullptr && *v != '\0') return v;
  }
  return {};
}

bool IsInvariantName(const std::string& name) {
  return name.empty() || name == "C" || name == "POSIX" || name.rfind("C.", 0) == 0;
}

}  // namespace

const NumberFormat& NumberFormat::Invariant() {
  static const NumberFormat invariant{};
  return invariant;
}

int32_t LcidOfLocaleName(const std::string& name) {
  if (IsInvariantName(name)) return kLcidInvariant;
  // "sr_RS.UTF-8@latin": the language and territory, then the modifier, which names the script
  // where a language has two; a modifier the table does not know leaves the plain name.
  const std::string_view whole = name;
  const std::string_view base = LanguageAndTerritory(whole);
  const size_t at = whole.find('@');
  const std::string withModifier =
      std::string(base) + std::string(at == std::string_view::npos ? "" : whole.substr(at));
  const auto table = LcidTable();
  for (const std::string_view key : {std::string_view(withModifier), base}) {
    const auto row =
        std::lower_bound(table.begin(), table.end(), key,
                         [](const LcidRow& r, std::string_view k) { return r.name < k; });
    if (row != table.end() && row->name == key) return row->lcid;
  }
  return kLcidCustomUnspecified;
}

NumberFormat NumberFormatOfLocaleName(const std::string& name) {
  if (IsInvariantName(name)) return NumberFormat{};
  if (locale_t loc = newlocale(LC_NUMERIC_MASK, name.c_str(), nullptr)) {
    const char* radix = nl_langinfo_l(RADIXCHAR, loc);
    NumberFormat f{*radix != '\0' ? radix : ".", nl_langinfo_l(THOUSEP, loc)};
    freelocale(loc);
    // A locale without a grouping separator still reads the other mark as grouping, as the
    // system's number reading does.
    if (f.grouping.empty()) f.grouping.assign(1, f.decimal == "." ? ',' : '.');
    return f;
  }
  if (const LocaleRow* row = FindRow(name))
    return NumberFormat{std::string(row->decimal), std::string(row->grouping)};
  return NumberFormat{};
}

int32_t EnvironmentLcid() { return LcidOfLocaleName(FirstSet({"LC_ALL", "LC_MESSAGES", "LANG"})); }

bool ReadsRbdsNames(int32_t lcid) { return lcid == kLcidEnglishUnitedStates; }

std::shared_ptr<const LocaleService> EnvironmentLocale() {
  static const std::shared_ptr<const LocaleService> environment = [] {
    std::string numeric = FirstSet({"LC_ALL", "LC_NUMERIC", "LANG"});
    return std::make_shared<FixedLocale>(NumberFormatOfLocaleName(numeric), EnvironmentLcid());
  }();
  return environment;
}

}  // namespace halvane
