// Calling a driver function of up to four arguments through a pointer of exactly its type: each
// argument is either a signed 32-bit number or an address, so a call with n arguments has one of
// 2^n signatures, and each signature has its caller here, chosen by table. This is the cheap path
// of the call gate; longer argument lists go through libffi.
#ifndef HALVANE_TUNER_DIRECT_CALL_H
#define HALVANE_TUNER_DIRECT_CALL_H

#include <array>
#include <cstddef>
#include <cstdint>
#include <type_traits>
#include <utility>

namespace halvane::direct_call {

// The most arguments the table covers; the plug-in passes at most four.
inline constexpr size_t kMaxArity = 4;

// One argument as the callee receives it. `pointerMask` bit i says which member slot i holds.
union Slot {
  int32_t number;
  void* address;
};

template <unsigned Mask, size_t I>
using Param = std::conditional_t<((Mask >> I) & 1u) != 0, void*, int32_t>;

template <class T>
T Take(const Slot& s) {
  if constexpr (std::is_pointer_v<T>) {
    return s.address;
  } else {
    return s.number;
  }
}

using Caller = int32_t (*)(void* function, const Slot* slots);

// The driver declares typed addresses (int32_t*, RdsRecord*) where this passes void*; the two
// are passed alike, but clang's check of indirect call types would flag the difference.
template <unsigned Mask, size_t... I>
#if defined(__clang__)
__attribute__((no_sanitize("function")))
#endif
int32_t
CallWith(void* function, const Slot* slots, std::index_sequence<I...>) {
  using Function = int32_t (*)(Param<Mask, I>...);
  return reinterpret_cast<Function>(function)(Take<Param<Mask, I>>(slots[I])...);
}

template <size_t N, unsigned Mask>
int32_t Call(void* function, const Slot* slots) {
  return CallWith<Mask>(function, slots, std::make_index_sequence<N>{});
}

template <size_t N, unsigned... Masks>
constexpr std::array<Caller, sizeof...(Masks)> CallersOf(
    std::integer_sequence<unsigned, Masks...>) {
  return {&Call<N, Masks>...};
}

template <size_t N>
inline constexpr auto kCallers = CallersOf<N>(std::make_integer_sequence<unsigned, 1u << N>{});

// The caller for `arity` arguments (at most kMaxArity) whose addresses are the set bits of
// `pointerMask`.
inline Caller CallerFor(size_t arity, unsigned pointerMask) {
  switch (arity) {
    case 0:
      return kCallers<0>[0];
    case 1:
      return kCallers<1>[pointerMask];
    case 2:
      return kCallers<2>[pointerMask];
    case 3:
      return kCallers<3>[pointerMask];
    default:
      return kCallers<4>[pointerMask];
  }
}

}  // namespace halvane::direct_call

#endif
