// printf-style formatting into std::string, and the small text helpers the model needs
// where the original framework offered string methods.
#pragma once

#include <cstdarg>
#include <string>
#include <string_view>

namespace helvo {

// Formats like snprintf into a new string. Never truncates.
std::string Format(const char* fmt, ...) __attribute__((format(printf, 1, 2)));
std::string FormatV(const char* fmt, va_list args) __attribute__((format(printf, 1, 0)));

// Case-insensitive comparison over single-byte (ASCII) letters; locale-independent.
bool EqualsNoCase(std::string_view a, std::string_view b);
int CompareNoCase(std::string_view a, std::string_view b);

}  // namespace helvo
