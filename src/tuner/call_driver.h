// The one gate into the tuner driver library: load by path, look the function up by name, call it
// with 32-bit arguments in list order, C calling convention. Nothing is cached between calls.
#ifndef HALVANE_TUNER_CALL_DRIVER_H
#define HALVANE_TUNER_CALL_DRIVER_H

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "runtime/locale.h"

namespace halvane {

// One argument of a driver call.
class DriverArg {
 public:
  enum class Kind { Number, Text, Address, Int32Ref };

  static DriverArg Number(double value) { return DriverArg(Kind::Number, value, nullptr, {}); }
  // Text that reads as a number goes as that number; other text as the address of a NUL-terminated
  // copy that lives for the call. The plug-in itself passes none, but the gate takes any argument
  // list a caller may build, and text is one of the values such a list holds.
  static DriverArg Text(std::string text) {
    return DriverArg(Kind::Text, 0, nullptr, std::move(text));
  }
  // The address of a variable of the plug-in that the driver fills in.
  static DriverArg Address(void* address) { return DriverArg(Kind::Address, 0, address, {}); }
  // A 32-bit variable passed by value, read when the call is made.
  static DriverArg ByRef(const int32_t* variable) {
    return DriverArg(Kind::Int32Ref, 0, const_cast<int32_t*>(variable), {});
  }

  Kind kind() const { return kind_; }
  double number() const { return number_; }
  void* address() const { return address_; }
  const std::string& text() const { return text_; }

 private:
  DriverArg(Kind k, double n, void* a, std::string t)
      : kind_(k), number_(n), address_(a), text_(std::move(t)) {}
  Kind kind_;
  double number_;
  void* address_;
  std::string text_;
};

inline constexpr int32_t kDriverCallFailed = -1;
inline constexpr size_t kMaxDriverArgs = 63;  // the argument byte count is held in one byte

// The function's result, or -1 when the library can't be loaded or doesn't export the function.
// A number that does not fit in 32 bits (ties to even) and a 64th argument are error 6; nothing is
// called then. The library is loaded again on every call and never unloaded.
int32_t CallDriver(const std::string& libraryPath, const char* functionName,
                   std::span<const DriverArg> args,
                   const NumberFormat& format = NumberFormat::Invariant());

}  // namespace halvane

#endif
