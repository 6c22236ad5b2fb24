// Which sanitizer this build runs under, however the compiler says it: GCC
// defines __SANITIZE_THREAD__ and __SANITIZE_ADDRESS__, clang answers
// __has_feature. Code that must know tests KAZE_THREAD_SANITIZER and
// KAZE_ADDRESS_SANITIZER.
#pragma once

#if defined(__SANITIZE_THREAD__)
#define KAZE_THREAD_SANITIZER 1
#endif
#if defined(__SANITIZE_ADDRESS__)
#define KAZE_ADDRESS_SANITIZER 1
#endif
#if defined(__has_feature)
#if __has_feature(thread_sanitizer)
#define KAZE_THREAD_SANITIZER 1
#endif
#if __has_feature(address_sanitizer)
#define KAZE_ADDRESS_SANITIZER 1
#endif
#endif
