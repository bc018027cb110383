// Which kind of reference a key's converter is, asked of the run-time type system once per key
// definition rather than once per object: every object of a section holds the same converter class
// in the same field.
#pragma once

#include <unordered_map>

#include "helvo/engine/converters.h"
#include "helvo/engine/filer.h"

namespace helvo {

enum class RefKind { kNone, kElement, kPhasor, kState, kMeter };

class ConverterKinds {
 public:
  // The kind of entry's converter in obj (kNone for plain fields and other converters) and the
  // converter itself.
  RefKind Of(const CFilerEntry& entry, CFiler* obj, CFilerElement*& converter) {
    converter = nullptr;
    if (entry.GetType() != CFilerEntry::eElement) return RefKind::kNone;
    converter = static_cast<CFilerElement*>(entry.GetOffset().Resolve(obj));
    if (!converter) return RefKind::kNone;
    auto [it, fresh] = kinds_.emplace(&entry, RefKind::kNone);
    if (fresh) {
      if (dynamic_cast<CrefElementName*>(converter))
        it->second = RefKind::kElement;
      else if (dynamic_cast<CrefPhasor*>(converter))
        it->second = RefKind::kPhasor;
      else if (dynamic_cast<crefState*>(converter))
        it->second = RefKind::kState;
      else if (dynamic_cast<CrefMeter*>(converter))
        it->second = RefKind::kMeter;
    }
    return it->second;
  }

 private:
  std::unordered_map<const CFilerEntry*, RefKind> kinds_;
};

}  // namespace helvo
