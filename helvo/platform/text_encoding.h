// Settings files are 8-bit text as Windows tools write it (Windows-1252). These convert between that
// text and UTF-8 for what is shown to a user or written as JSON.
#pragma once

#include <string>
#include <string_view>

namespace helvo {

// Decodes every byte: ASCII as itself, 0x80-0x9F by the Windows-1252 table (the five bytes it leaves
// undefined, 0x81 0x8D 0x8F 0x90 0x9D, as the control characters U+0081 etc.), 0xA0-0xFF as U+00A0-U+00FF.
std::string Cp1252ToUtf8(std::string_view text);

// Encodes UTF-8 text back to Windows-1252 into out. False (out unspecified) when text is not valid
// UTF-8 or holds a character Windows-1252 cannot hold.
bool Utf8ToCp1252(std::string_view text, std::string& out);

}  // namespace helvo
