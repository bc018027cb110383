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
    case CFilerEntry::eByte:
      return *static_cast<const unsigned char*>(p) ? "1" : "0";
    case CFilerEntry::eInt: {
      int v;
      std::memcpy(&v, p, sizeof v);
      return FormatInteger(v);
    }
    case CFilerEntry::eFloat:
      return instance ? FormatFloatInstance(*static_cast<const float*>(p))
                      : FormatFloatKey(*static_cast<const float*>(p));
    case CFilerEntry::eLong:
      return FormatInteger(*static_cast<const long*>(p));
    case CFilerEntry::eString:
      return *static_cast<const std::string*>(p);
    case CFilerEntry::eUnsigned:
      return FormatInteger(*static_cast<const unsigned int*>(p));
    case CFilerEntry::eIPAddress:
      return instance ? std::string() : FormatIPAddress(static_cast<const uIPAddress*>(p)->m_nAddress);
  }
  return std::string();
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
