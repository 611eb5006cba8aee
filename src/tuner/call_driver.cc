#include "tuner/call_driver.h"

#include <dlfcn.h>
#include <ffi.h>

#include "halvane/errors.h"
#include "runtime/numbers.h"

namespace halvane {

int32_t CallDriver(const std::string& libraryPath, const char* functionName,
                   std::span<const DriverArg> args, const NumberFormat& format) {
  // Loaded on every call and never released: the loader's count only grows, so the library stays
  // mapped for the life of the process.
  void* library = ::dlopen(libraryPath.c_str(), RTLD_NOW);
  if (library == nullptr) return kDriverCallFailed;
  void* function = ::dlsym(library, functionName);
  if (function == nullptr) return kDriverCallFailed;
  if (args.size() > kMaxDriverArgs) Raise(kOverflow, "more than 63 driver arguments");

  ffi_type* types[kMaxDriverArgs];
  void* values[kMaxDriverArgs];
  int32_t numbers[kMaxDriverArgs];
  void* pointers[kMaxDriverArgs];
  const size_t n = args.size();
  for (size_t i = 0; i < n; ++i) {
    const DriverArg& a = args[i];
    bool isPointer = false;
    switch (a.kind()) {
      case DriverArg::Kind::Number:
        numbers[i] = ToInt32(a.number());
        break;
      case DriverArg::Kind::Int32Ref:
        numbers[i] = *static_cast<const int32_t*>(a.address());
        break;
      case DriverArg::Kind::Address:
        pointers[i] = a.address();
        isPointer = true;
        break;
      case DriverArg::Kind::Text:
        if (auto value = TryLocaleNumber(a.text(), format)) {
          numbers[i] = ToInt32(*value);
        } else {
          pointers[i] = const_cast<char*>(a.text().c_str());
          isPointer = true;
        }
        break;
    }
    types[i] = isPointer ? &ffi_type_pointer : &ffi_type_sint32;
    values[i] = isPointer ? static_cast<void*>(&pointers[i]) : static_cast<void*>(&numbers[i]);
  }

  ffi_cif cif;
  if (ffi_prep_cif(&cif, FFI_DEFAULT_ABI, static_cast<unsigned>(n), &ffi_type_sint32, types) !=
      FFI_OK)
    return kDriverCallFailed;
  ffi_arg result = 0;
  ffi_call(&cif, reinterpret_cast<void (*)()>(function), &result, values);
  return static_cast<int32_t>(result);
}

}  // namespace halvane
