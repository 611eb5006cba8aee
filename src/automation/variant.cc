#include "halvane/variant.h"

#include <cstdio>

#include "halvane/dispatch.h"
#include "halvane/errors.h"
#include "runtime/ascii.h"
#include "runtime/numbers.h"

namespace halvane {
namespace {

const NumberFormat& Fmt(const NumberFormat* f) { return f ? *f : NumberFormat::Invariant(); }

// Text as a Boolean: "True"/"False" in any case, else a number.
bool TextToBool(const std::string& s, const NumberFormat& f) {
  std::string_view t = s;
  while (!t.empty() && (t.front() == ' ' || t.front() == '\t')) t.remove_prefix(1);
  while (!t.empty() && (t.back() == ' ' || t.back() == '\t')) t.remove_suffix(1);
  if (EqualsIgnoringAsciiCase(t, "true")) return true;
  if (EqualsIgnoringAsciiCase(t, "false")) return false;
  return LocaleNumber(t, f) != 0.0;
}

}  // namespace

bool Variant::IsNumeric() const {
  switch (type()) {
    case VarType::Boolean:
    case VarType::Integer:
    case VarType::Long:
    case VarType::Single:
    case VarType::Double:
      return true;
    default:
      return false;
  }
}

double Variant::ToDouble(const NumberFormat* format) const {
  switch (type()) {
    case VarType::Empty:
      return 0.0;
    case VarType::Boolean:
      return std::get<bool>(value_) ? -1.0 : 0.0;
    case VarType::Integer:
      return std::get<int16_t>(value_);
    case VarType::Long:
      return std::get<int32_t>(value_);
    case VarType::Single:
      return std::get<float>(value_);
    case VarType::Double:
      return std::get<double>(value_);
    case VarType::String: {
      const auto& s = std::get<std::string>(value_);
      std::string_view t = s;
      while (!t.empty() && (t.front() == ' ' || t.front() == '\t')) t.remove_prefix(1);
      while (!t.empty() && (t.back() == ' ' || t.back() == '\t')) t.remove_suffix(1);
      if (EqualsIgnoringAsciiCase(t, "true")) return -1.0;
      if (EqualsIgnoringAsciiCase(t, "false")) return 0.0;
      return LocaleNumber(s, Fmt(format));
    }
    case VarType::Object:
      break;
  }
  Raise(kTypeMismatch, "an object where a number was expected");
}

bool Variant::ToBool(const NumberFormat* format) const {
  switch (type()) {
    case VarType::Boolean:
      return std::get<bool>(value_);
    case VarType::String:
      return TextToBool(std::get<std::string>(value_), Fmt(format));
    default:
      return ToDouble(format) != 0.0;
  }
}

int16_t Variant::ToInt16(const NumberFormat* format) const {
  return halvane::ToInt16(ToDouble(format));
}

int32_t Variant::ToInt32(const NumberFormat* format) const {
  return halvane::ToInt32(ToDouble(format));
}

float Variant::ToSingle(const NumberFormat* format) const {
  return halvane::ToSingle(ToDouble(format));
}

std::string Variant::ToString(const NumberFormat* format) const {
  switch (type()) {
    case VarType::Empty:
      return {};
    case VarType::Boolean:
      return std::get<bool>(value_) ? "True" : "False";
    case VarType::Integer:
      return std::to_string(std::get<int16_t>(value_));
    case VarType::Long:
      return std::to_string(std::get<int32_t>(value_));
    case VarType::Single: {
      char buf[32];
      std::snprintf(buf, sizeof buf, "%.7G", static_cast<double>(std::get<float>(value_)));
      return FormatNumber(std::strtod(buf, nullptr), Fmt(format));
    }
    case VarType::Double:
      return FormatNumber(std::get<double>(value_), Fmt(format));
    case VarType::String:
      return std::get<std::string>(value_);
    case VarType::Object:
      break;
  }
  Raise(kTypeMismatch, "an object where text was expected");
}

std::shared_ptr<Dispatch> Variant::ToObject() const {
  if (type() == VarType::Empty) return nullptr;
  if (type() != VarType::Object) Raise(kTypeMismatch, "a value where an object was expected");
  return std::get<std::shared_ptr<Dispatch>>(value_);
}

}  // namespace halvane
