// The values that cross the automation boundary: arguments and results of calls by member name.
#ifndef HALVANE_VARIANT_H
#define HALVANE_VARIANT_H

#include <cstdint>
#include <memory>
#include <string>
#include <variant>

#include "halvane/export.h"

namespace halvane {

class Dispatch;
struct NumberFormat;

enum class VarType { Empty, Boolean, Integer, Long, Single, Double, String, Object };

class HALVANE_API Variant {
 public:
  Variant() = default;
  Variant(bool b) : value_(b) {}
  Variant(int16_t i) : value_(i) {}
  Variant(int32_t l) : value_(l) {}
  Variant(float f) : value_(f) {}
  Variant(double d) : value_(d) {}
  Variant(std::string s) : value_(std::move(s)) {}
  Variant(const char* s) : value_(std::string(s)) {}
  Variant(std::shared_ptr<Dispatch> o) : value_(std::move(o)) {}

  VarType type() const { return static_cast<VarType>(value_.index()); }
  bool IsEmpty() const { return type() == VarType::Empty; }
  bool IsNumeric() const;  // Boolean, Integer, Long, Single or Double

  // Conversions as an assignment to a typed variable makes them. Text is read with the given
  // locale (the invariant one when none is given); text that is not a number is error 13, a
  // number outside the target type error 6. Text "True"/"False" (any case) reads as a Boolean.
  bool ToBool(const NumberFormat* format = nullptr) const;
  int16_t ToInt16(const NumberFormat* format = nullptr) const;
  int32_t ToInt32(const NumberFormat* format = nullptr) const;
  float ToSingle(const NumberFormat* format = nullptr) const;
  double ToDouble(const NumberFormat* format = nullptr) const;
  // Booleans give "True"/"False", numbers their decimal text, Empty "". An object is error 13.
  std::string ToString(const NumberFormat* format = nullptr) const;
  // The object, or nothing for Empty; any other kind is error 13.
  std::shared_ptr<Dispatch> ToObject() const;

  const std::string* AsString() const { return std::get_if<std::string>(&value_); }

  bool operator==(const Variant& other) const { return value_ == other.value_; }

 private:
  std::variant<std::monostate, bool, int16_t, int32_t, float, double, std::string,
               std::shared_ptr<Dispatch>>
      value_;
};

}  // namespace halvane

#endif
