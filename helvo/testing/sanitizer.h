// Whether the tests run under AddressSanitizer, where a fork copies the large shadow memory and takes
// about a tenth of a second, and a save is several times slower: tests that fork hundreds of times do
// fewer rounds there, with longer waits.
#pragma once

namespace helvo::testing {

#if defined(__SANITIZE_ADDRESS__)
inline constexpr bool kSlowFork = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
inline constexpr bool kSlowFork = true;
#else
inline constexpr bool kSlowFork = false;
#endif
#else
inline constexpr bool kSlowFork = false;
#endif

}  // namespace helvo::testing
