// Reading and writing one key's field by its entry type: the value-text rules shared by the reader
// and the writer.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "helvo/engine/filer.h"

namespace helvo {

// Stores text into entry's field of obj (converters get ConvertIn). Nothing happens when obj is not
// of the entry's class.
void StoreValueText(const CFilerEntry& entry, CFiler* obj, std::string& text, int& sysFreq);

// Stores text into entry's field of obj when the entry holds a number (byte, int, float, long,
// unsigned, address) and returns true; returns false, storing nothing, for converters and strings.
bool StoreNumberText(const CFilerEntry& entry, CFiler* obj, std::string_view text);

// The text of entry's field of obj for a key line (instance false) or a section header (instance
// true). For converters, *convertResult receives ConvertOut's result. An object not of the entry's
// class gives an empty text.
std::string FormatValueText(const CFilerEntry& entry, CFiler* obj, int version, int& sysFreq, bool instance,
                            unsigned long* convertResult = nullptr);

// A numeric field's value as its bits, so that two values can be compared before either is formatted:
// equal bits of one type format alike.
struct NumberValue {
  CFilerEntry::EFilerEntryType type = CFilerEntry::eInt;
  std::uint64_t bits = 0;
  bool operator==(const NumberValue&) const = default;
};
// The value of entry's field of obj when the entry holds a number (byte, int, float, long, unsigned,
// address), and true; false for converters and strings, and for an object not of the entry's class.
bool ReadNumberValue(const CFilerEntry& entry, CFiler* obj, NumberValue& value);
// Its text for a key line: what FormatValueText gives for the field.
std::string FormatNumberValue(const NumberValue& value);

// Sets a numeric field to value (used for NUM_BANKS when folding); converters and strings are left.
void SetNumericField(const CFilerEntry& entry, CFiler* obj, int value);

}  // namespace helvo
