// HALVANE_UNDER_ASAN is defined in a build with AddressSanitizer, whose shadow memory does not
// fit under an address-space limit: tests that set one skip themselves there.
#ifndef HALVANE_TESTS_UNDER_ASAN_H
#define HALVANE_TESTS_UNDER_ASAN_H

#if defined(__SANITIZE_ADDRESS__)
#define HALVANE_UNDER_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define HALVANE_UNDER_ASAN 1
#endif
#endif

#endif
