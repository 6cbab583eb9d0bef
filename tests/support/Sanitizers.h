#pragma once

// Whether this build runs under AddressSanitizer, whose allocator aborts where
// the standard one throws and which cannot run under valgrind.
#if defined(__SANITIZE_ADDRESS__)
inline constexpr bool builtWithAddressSanitizer = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
inline constexpr bool builtWithAddressSanitizer = true;
#else
inline constexpr bool builtWithAddressSanitizer = false;
#endif
#else
inline constexpr bool builtWithAddressSanitizer = false;
#endif
