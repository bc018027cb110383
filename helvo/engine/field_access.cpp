#include "helvo/engine/field_access.h"

#include <cstring>
#include <string_view>

#include "helvo/engine/value_text.h"
#include "helvo/platform/format.h"

namespace helvo {

bool StoreNumberText(const CFilerEntry& entry, CFiler* obj, std::string_view text) {
  const CFilerEntry::EFilerEntryType type = entry.GetType();
  if (type == CFilerEntry::eElement || type == CFilerEntry::eString) return false;
  void* p = entry.GetOffset().Resolve(obj);
  if (!p) return true;
  switch (type) {
    case CFilerEntry::eByte:
      *static_cast<unsigned char*>(p) = LeadingInteger64(text) != 0 ? 1 : 0;
      break;
    case CFilerEntry::eInt: {
      // Also enumerations with an int representation: copied, not accessed through an int lvalue.
      const int v = LeadingInt(text);
      std::memcpy(p, &v, sizeof v);
      break;
    }
    case CFilerEntry::eFloat:
      *static_cast<float*>(p) = LeadingFloat(text);
      break;
    case CFilerEntry::eLong:
      *static_cast<long*>(p) = LeadingLong(text);
      break;
    case CFilerEntry::eUnsigned:
      *static_cast<unsigned int*>(p) = LeadingUnsigned(text);
      break;
    case CFilerEntry::eIPAddress:
      static_cast<uIPAddress*>(p)->m_nAddress = ParseIPAddress(text);
      break;
    default:
      break;
  }
  return true;
}

void StoreValueText(const CFilerEntry& entry, CFiler* obj, std::string& text, int& sysFreq) {
  if (StoreNumberText(entry, obj, text)) return;
  void* p = entry.GetOffset().Resolve(obj);
  if (!p) return;
  if (entry.GetType() == CFilerEntry::eElement)
    static_cast<CFilerElement*>(p)->ConvertIn(obj, text, sysFreq);
  else
    *static_cast<std::string*>(p) = text;
}

namespace {

// The number of the given type at p.
bool NumberAt(CFilerEntry::EFilerEntryType type, const void* p, NumberValue& value) {
  value.type = type;
  switch (type) {
    case CFilerEntry::eByte:
      value.bits = *static_cast<const unsigned char*>(p) ? 1 : 0;
      break;
    case CFilerEntry::eInt: {
      int v;
      std::memcpy(&v, p, sizeof v);
      value.bits = static_cast<std::uint64_t>(static_cast<std::int64_t>(v));
      break;
    }
    case CFilerEntry::eFloat: {
      std::uint32_t v;
      std::memcpy(&v, p, sizeof v);
      value.bits = v;
      break;
    }
    case CFilerEntry::eLong:
      value.bits = static_cast<std::uint64_t>(static_cast<std::int64_t>(*static_cast<const long*>(p)));
      break;
    case CFilerEntry::eUnsigned:
      value.bits = *static_cast<const unsigned int*>(p);
      break;
    case CFilerEntry::eIPAddress:
      value.bits = static_cast<const uIPAddress*>(p)->m_nAddress;
      break;
    default:
      return false;
  }
  return true;
}

}  // namespace

bool ReadNumberValue(const CFilerEntry& entry, CFiler* obj, NumberValue& value) {
  const void* p = entry.GetOffset().Resolve(obj);
  return p && NumberAt(entry.GetType(), p, value);
}

std::string FormatNumberValue(const NumberValue& value) {
  switch (value.type) {
    case CFilerEntry::eByte:
      return value.bits ? "1" : "0";
    case CFilerEntry::eInt:
    case CFilerEntry::eLong:
      return FormatInteger(static_cast<std::int64_t>(value.bits));
    case CFilerEntry::eUnsigned:
      return FormatInteger(static_cast<unsigned int>(value.bits));
    case CFilerEntry::eFloat: {
      const auto bits = static_cast<std::uint32_t>(value.bits);
      float v;
      std::memcpy(&v, &bits, sizeof v);
      return FormatFloatKey(v);
    }
    case CFilerEntry::eIPAddress:
      return FormatIPAddress(static_cast<std::uint32_t>(value.bits));
    default:
      return std::string();
  }
}

std::string FormatValueText(const CFilerEntry& entry, CFiler* obj, int version, int& sysFreq, bool instance,
                            unsigned long* convertResult) {
  if (convertResult) *convertResult = 0;
  void* p = entry.GetOffset().Resolve(obj);
  if (!p) return std::string();
  switch (entry.GetType()) {
    case CFilerEntry::eElement: {
      std::string text;
      const unsigned long r = static_cast<CFilerElement*>(p)->ConvertOut(obj, text, version, sysFreq);
      if (convertResult) *convertResult = r;
      return text;
    }
    case CFilerEntry::eString:
      return *static_cast<const std::string*>(p);
    case CFilerEntry::eFloat:
      if (instance) return FormatFloatInstance(*static_cast<const float*>(p));
      break;
    case CFilerEntry::eIPAddress:
      if (instance) return std::string();
      break;
    default:
      break;
  }
  NumberValue value;
  return NumberAt(entry.GetType(), p, value) ? FormatNumberValue(value) : std::string();
}

void SetNumericField(const CFilerEntry& entry, CFiler* obj, int value) {
  void* p = entry.GetOffset().Resolve(obj);
  if (!p) return;
  switch (entry.GetType()) {
    case CFilerEntry::eByte:
      *static_cast<unsigned char*>(p) = value != 0 ? 1 : 0;
      break;
    case CFilerEntry::eInt:
      std::memcpy(p, &value, sizeof value);
      break;
    case CFilerEntry::eFloat:
      *static_cast<float*>(p) = static_cast<float>(value);
      break;
    case CFilerEntry::eLong:
      *static_cast<long*>(p) = value;
      break;
    case CFilerEntry::eUnsigned:
      *static_cast<unsigned int*>(p) = static_cast<unsigned int>(value);
      break;
    default:
      break;
  }
}

}  // namespace helvo
