// The typed callers of the call gate: for every shape of up to four arguments (each a 32-bit
// number or an address), the function must receive each argument in its place and of its kind.
#include "tuner/direct_call.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <type_traits>
#include <utility>

namespace {

using halvane::direct_call::CallerFor;
using halvane::direct_call::kMaxArity;
using halvane::direct_call::Param;
using halvane::direct_call::Slot;

// Argument i contributes (i + 1) times its value, an address the value stored there, so that a
// swapped, dropped or misread argument changes the sum.
template <class T>
int32_t ValueOf(T argument) {
  if constexpr (std::is_pointer_v<T>) {
    return *static_cast<const int32_t*>(argument);
  } else {
    return argument;
  }
}

template <unsigned Mask, size_t... I>
int32_t Probe(Param<Mask, I>... args) {
  int32_t sum = 0;
  size_t position = 0;
  ((sum += static_cast<int32_t>(++position) * ValueOf(args)), ...);
  return sum;
}

template <unsigned Mask, size_t... I>
void* ProbeAddress(std::index_sequence<I...>) {
  return reinterpret_cast<void*>(&Probe<Mask, I...>);
}

template <size_t N, unsigned Mask>
void CheckShape() {
  int32_t stored[kMaxArity];
  Slot slots[kMaxArity];
  int32_t expected = 0;
  for (size_t i = 0; i < N; ++i) {
    const int32_t value = static_cast<int32_t>(100 * (i + 1) + Mask);
    if ((Mask >> i) & 1u) {
      stored[i] = value;
      slots[i].address = &stored[i];
    } else {
      slots[i].number = value;
    }
    expected += static_cast<int32_t>(i + 1) * value;
  }
  void* function = ProbeAddress<Mask>(std::make_index_sequence<N>{});
  EXPECT_EQ(CallerFor(N, Mask)(function, slots), expected) << N << " arguments, mask " << Mask;
}

template <size_t N, unsigned... Masks>
void CheckEveryShape(std::integer_sequence<unsigned, Masks...>) {
  (CheckShape<N, Masks>(), ...);
}

TEST(DirectCall, EveryShapeUpToFourArgumentsArrivesInOrderAndOfItsKind) {
  CheckEveryShape<0>(std::make_integer_sequence<unsigned, 1>{});
  CheckEveryShape<1>(std::make_integer_sequence<unsigned, 2>{});
  CheckEveryShape<2>(std::make_integer_sequence<unsigned, 4>{});
  CheckEveryShape<3>(std::make_integer_sequence<unsigned, 8>{});
  CheckEveryShape<4>(std::make_integer_sequence<unsigned, 16>{});
}

TEST(DirectCall, NumbersArriveAsSigned32BitValues) {
  void* function = ProbeAddress<0>(std::make_index_sequence<1>{});
  for (int32_t value : {-1, -87500000, INT32_MIN, INT32_MAX}) {
    Slot slot;
    slot.number = value;
    EXPECT_EQ(CallerFor(1, 0)(function, &slot), value);
  }
}

}  // namespace
