#include "tuner/call_driver.h"

#include <dlfcn.h>
#include <ffi.h>

#include "halvane/errors.h"
#include "runtime/numbers.h"
#include "tuner/direct_call.h"

namespace halvane {
namespace {

// Every argument becomes a 32-bit number or an address, in list order. Raises 6 for a number that
// does not fit, before anything is called. Returns the mask of the slots that hold addresses
// (only meaningful for the first 32 arguments, which is all the direct path uses).
unsigned Marshal(std::span<const DriverArg> args, const NumberFormat& format,
                 direct_call::Slot* slots, bool* isPointer) {
  unsigned mask = 0;
  for (size_t i = 0; i < args.size(); ++i) {
    const DriverArg& a = args[i];
    isPointer[i] = false;
    switch (a.kind()) {
      case DriverArg::Kind::Number:
        slots[i].number = ToInt32(a.number());
        break;
      case DriverArg::Kind::Int32Ref:
        slots[i].number = *static_cast<const int32_t*>(a.address());
        break;
      case DriverArg::Kind::Address:
        slots[i].address = a.address();
        isPointer[i] = true;
        break;
      case DriverArg::Kind::Text:
        if (auto value = TryLocaleNumber(a.text(), format)) {
          slots[i].number = ToInt32(*value);
        } else {
          slots[i].address = const_cast<char*>(a.text().c_str());
          isPointer[i] = true;
        }
        break;
    }
    if (isPointer[i] && i < 32) mask |= 1u << i;
  }
  return mask;
}

// Any arity up to 63, with a call signature built for this argument list. The plug-in's own calls
// never come here, but the gate promises every list the one-byte argument count can describe,
// and a pointer of each exact type for 63 arities and every mix of numbers and addresses is out
// of reach.
int32_t CallThroughFfi(void* function, size_t n, direct_call::Slot* slots, const bool* isPointer) {
  ffi_type* types[kMaxDriverArgs];
  void* values[kMaxDriverArgs];
  for (size_t i = 0; i < n; ++i) {
    types[i] = isPointer[i] ? &ffi_type_pointer : &ffi_type_sint32;
    values[i] =
        isPointer[i] ? static_cast<void*>(&slots[i].address) : static_cast<void*>(&slots[i].number);
  }
  ffi_cif cif;
  if (ffi_prep_cif(&cif, FFI_DEFAULT_ABI, static_cast<unsigned>(n), &ffi_type_sint32, types) !=
      FFI_OK)
    return kDriverCallFailed;
  ffi_arg result = 0;
  ffi_call(&cif, reinterpret_cast<void (*)()>(function), &result, values);
  return static_cast<int32_t>(result);
}

}  // namespace

int32_t CallDriver(const std::string& libraryPath, const char* functionName,
                   std::span<const DriverArg> args, const NumberFormat& format) {
  // An empty path names no library: the loader would hand back the program itself, and a
  // function of the host's with a driver's name would be called in the driver's place. A
  // relative path (a host folder left empty) names none either: the loader would look for it
  // from whatever folder the process was started in, and run code nobody chose.
  if (libraryPath.empty() || libraryPath.front() != '/') return kDriverCallFailed;
  // Loaded on every call and never released: the loader's count only grows, so the library stays
  // mapped for the life of the process.
  void* library = ::dlopen(libraryPath.c_str(), RTLD_NOW);
  if (library == nullptr) return kDriverCallFailed;
  void* function = ::dlsym(library, functionName);
  if (function == nullptr) return kDriverCallFailed;
  if (args.size() > kMaxDriverArgs) Raise(kOverflow, "more than 63 driver arguments");

  // Cleared, so no path through the marshalling can leave a slot the call reads undefined.
  direct_call::Slot slots[kMaxDriverArgs] = {};
  bool isPointer[kMaxDriverArgs] = {};
  const unsigned mask = Marshal(args, format, slots, isPointer);
  // The plug-in's own calls (at most four arguments) go through a pointer of their exact type;
  // only longer lists need a signature built at run time.
  if (args.size() <= direct_call::kMaxArity)
    return direct_call::CallerFor(args.size(), mask)(function, slots);
  return CallThroughFfi(function, args.size(), slots, isPointer);
}

}  // namespace halvane
