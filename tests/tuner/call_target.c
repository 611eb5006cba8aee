/* Functions for the call gate's tests. Each call is counted in library state, so a library that
   was unloaded and loaded again would show a count that starts over. */
#include <stdint.h>
#include <string.h>

static int32_t calls;

int32_t CallCount(void) { return calls; }
int32_t NoArgs(void) { return ++calls, 42; }
/* Argument order shows in the result: 0 and 87500000 give 87500000, 1 and 2 give 1002. */
int32_t Ordered(int32_t a, int32_t b) { return ++calls, a * 1000 + b; }
int32_t TextLength(const char* text) { return ++calls, (int32_t)strlen(text); }
int32_t Identity(int32_t a) { return ++calls, a; }
int32_t WriteBack(int32_t zero, int32_t* out) {
  ++calls;
  *out = 95800000 + zero;
  return 0;
}
int32_t Sum63(int32_t a0, int32_t a1, int32_t a2, int32_t a3, int32_t a4, int32_t a5, int32_t a6,
              int32_t a7, int32_t a8, int32_t a9, int32_t a10, int32_t a11, int32_t a12,
              int32_t a13, int32_t a14, int32_t a15, int32_t a16, int32_t a17, int32_t a18,
              int32_t a19, int32_t a20, int32_t a21, int32_t a22, int32_t a23, int32_t a24,
              int32_t a25, int32_t a26, int32_t a27, int32_t a28, int32_t a29, int32_t a30,
              int32_t a31, int32_t a32, int32_t a33, int32_t a34, int32_t a35, int32_t a36,
              int32_t a37, int32_t a38, int32_t a39, int32_t a40, int32_t a41, int32_t a42,
              int32_t a43, int32_t a44, int32_t a45, int32_t a46, int32_t a47, int32_t a48,
              int32_t a49, int32_t a50, int32_t a51, int32_t a52, int32_t a53, int32_t a54,
              int32_t a55, int32_t a56, int32_t a57, int32_t a58, int32_t a59, int32_t a60,
              int32_t a61, int32_t a62) {
  ++calls;
  /* Weighted so that a swapped pair shows: sum of (i+1) * a_i. */
  int32_t a[63] = {a0,  a1,  a2,  a3,  a4,  a5,  a6,  a7,  a8,  a9,  a10, a11, a12, a13, a14, a15,
                   a16, a17, a18, a19, a20, a21, a22, a23, a24, a25, a26, a27, a28, a29, a30, a31,
                   a32, a33, a34, a35, a36, a37, a38, a39, a40, a41, a42, a43, a44, a45, a46, a47,
                   a48, a49, a50, a51, a52, a53, a54, a55, a56, a57, a58, a59, a60, a61, a62};
  int32_t s = 0;
  for (int i = 0; i < 63; ++i) s += (i + 1) * a[i];
  return s;
}
