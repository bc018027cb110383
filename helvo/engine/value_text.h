// The value-text rules of the settings file: how key values become numbers and back.
//
// Integers: optional leading white space, an optional sign, then decimal digits up to the first other
// character; no digits gives 0 ("12abc" is 12, "abc" and "0x10" are 0). A number beyond the range of
// its field saturates at the nearest end of that range, as strtol does for long; the recorder's own
// integers are 32 bits wide, so int and long fields both saturate at the 32-bit range.
//
// Floats: optional leading white space, optional sign, digits, optional fraction, optional exponent;
// nothing else ("inf", "nan" and hexadecimal forms read as 0). A magnitude beyond the float range
// saturates at the largest finite float; one too small for it gives 0.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace helvo {

std::int64_t LeadingInteger64(std::string_view text);  // saturates at the int64 range
int LeadingInt(std::string_view text);                 // saturates at the int range
long LeadingLong(std::string_view text);               // saturates at the 32-bit range
// The integer's low 32 bits after saturating at [-2^31, 2^32 - 1]: "-1" gives 4294967295.
unsigned int LeadingUnsigned(std::string_view text);
float LeadingFloat(std::string_view text);
// Dotted IPv4 text (see the file-format notes); 0 when a part is missing.
std::uint32_t ParseIPAddress(std::string_view text);
std::string FormatIPAddress(std::uint32_t address);

// "%.7g" and "%g" of a float widened to double; never prints "inf" or "nan" (those print as 0, and
// a saturated value as the largest finite float), so every written value reads back.
std::string FormatFloatKey(float value);
std::string FormatFloatInstance(float value);
// "%d", "%ld" and "%u" of value.
std::string FormatInteger(long long value);

}  // namespace helvo
