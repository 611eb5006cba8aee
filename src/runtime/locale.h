// The user's locale as the plug-in sees it: number separators and the Windows locale identifier.
// The plug-in never calls setlocale; the values come from the environment, and tests inject their
// own.
#ifndef HALVANE_RUNTIME_LOCALE_H
#define HALVANE_RUNTIME_LOCALE_H

#include <cstdint>
#include <memory>
#include <string>

namespace halvane {

struct NumberFormat {
  std::string decimal = ".";
  std::string grouping = ",";

  static const NumberFormat& Invariant();
};

class LocaleService {
 public:
  virtual ~LocaleService() = default;
  virtual const NumberFormat& Numbers() const = 0;
  // The Windows locale identifier (1033 en-US, 1031 de-DE, 127 invariant ...).
  virtual int32_t Lcid() const = 0;
};

// A locale fixed at construction: what tests and benchmarks inject.
class FixedLocale : public LocaleService {
 public:
  FixedLocale(NumberFormat numbers, int32_t lcid) : numbers_(std::move(numbers)), lcid_(lcid) {}
  const NumberFormat& Numbers() const override { return numbers_; }
  int32_t Lcid() const override { return lcid_; }

 private:
  NumberFormat numbers_;
  int32_t lcid_;
};

// Reads the process environment once: LC_ALL, then LC_NUMERIC, then LANG for the separators
// (through newlocale/nl_langinfo_l, with a built-in table when the locale is not installed), and
// LC_ALL, then LC_MESSAGES, then LANG for the identifier.
std::shared_ptr<const LocaleService> EnvironmentLocale();

// Windows locale identifier of a POSIX locale name such as "de_DE.UTF-8" (lcid_table.h); 127 for
// "C", "POSIX" and ""; 4096 (as Windows reports) for a locale without one. Only en_US is 1033.
int32_t LcidOfLocaleName(const std::string& name);

// The Windows locale identifier of the environment's locale for messages: LC_ALL, then
// LC_MESSAGES, then LANG, read now (EnvironmentLocale reads it once).
int32_t EnvironmentLcid();

// Whether programme types are read with the North American (RBDS) names: in the United States
// (1033), and nowhere else. The simulated band sends its stations' codes by the same rule.
bool ReadsRbdsNames(int32_t lcid);

// Separators of a POSIX locale name, from the system when installed, else from the built-in table.
NumberFormat NumberFormatOfLocaleName(const std::string& name);

}  // namespace halvane

#endif
