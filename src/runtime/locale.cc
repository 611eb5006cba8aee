#include "runtime/locale.h"

#include <langinfo.h>
#include <locale.h>

#include <array>
#include <cstdlib>
#include <string_view>

namespace halvane {
namespace {

struct LocaleRow {
  std::string_view language;  // "de_DE", or a bare language "de" as a fallback
  int32_t lcid;
  std::string_view decimal;
  std::string_view grouping;
};

// Identifiers are the Windows ones; separators are what glibc's locales give, used only when the
// locale is not installed on this machine.
constexpr std::array<LocaleRow, 36> kLocales{{
    {"en_US", 1033, ".", ","},      {"en_GB", 2057, ".", ","},      {"en_AU", 3081, ".", ","},
    {"en_CA", 4105, ".", ","},      {"en_IE", 6153, ".", ","},      {"en_NZ", 5129, ".", ","},
    {"de_DE", 1031, ",", "."},      {"de_AT", 3079, ",", "."},      {"de_CH", 2055, ".", "'"},
    {"fr_FR", 1036, ",", "\u202f"}, {"fr_BE", 2060, ",", "\u202f"}, {"fr_CA", 3084, ",", " "},
    {"fr_CH", 4108, ",", "\u202f"}, {"it_IT", 1040, ",", "."},      {"es_ES", 3082, ",", "."},
    {"es_MX", 2058, ".", ","},      {"pt_PT", 2070, ",", " "},      {"pt_BR", 1046, ",", "."},
    {"nl_NL", 1043, ",", "."},      {"nl_BE", 2067, ",", "."},      {"sv_SE", 1053, ",", " "},
    {"da_DK", 1030, ",", "."},      {"nb_NO", 1044, ",", " "},      {"fi_FI", 1035, ",", " "},
    {"pl_PL", 1045, ",", " "},      {"cs_CZ", 1029, ",", " "},      {"ru_RU", 1049, ",", " "},
    {"ja_JP", 1041, ".", ","},      {"zh_CN", 2052, ".", ","},      {"ko_KR", 1042, ".", ","},
    {"en", 1033, ".", ","},         {"de", 1031, ",", "."},         {"fr", 1036, ",", "\u202f"},
    {"it", 1040, ",", "."},         {"es", 3082, ",", "."},         {"nl", 1043, ",", "."},
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
  if (IsInvariantName(name)) return 127;
  const LocaleRow* row = FindRow(name);
  return row != nullptr ? row->lcid : 127;
}

NumberFormat NumberFormatOfLocaleName(const std::string& name) {
  if (IsInvariantName(name)) return NumberFormat{};
  if (locale_t loc = newlocale(LC_NUMERIC_MASK, name.c_str(), static_cast<locale_t>(0))) {
    NumberFormat f;
    f.decimal = nl_langinfo_l(RADIXCHAR, loc);
    f.grouping = nl_langinfo_l(THOUSEP, loc);
    freelocale(loc);
    if (f.decimal.empty()) f.decimal = ".";
    // A locale without a grouping separator still reads the other mark as grouping, as the
    // system's number reading does.
    if (f.grouping.empty()) f.grouping = f.decimal == "." ? "," : ".";
    return f;
  }
  if (const LocaleRow* row = FindRow(name))
    return NumberFormat{std::string(row->decimal), std::string(row->grouping)};
  return NumberFormat{};
}

std::shared_ptr<const LocaleService> EnvironmentLocale() {
  static const std::shared_ptr<const LocaleService> environment = [] {
    std::string numeric = FirstSet({"LC_ALL", "LC_NUMERIC", "LANG"});
    std::string messages = FirstSet({"LC_ALL", "LC_MESSAGES", "LANG"});
    return std::make_shared<FixedLocale>(NumberFormatOfLocaleName(numeric),
                                         LcidOfLocaleName(messages));
  }();
  return environment;
}

}  // namespace halvane
