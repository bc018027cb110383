// Which kind of reference a key's converter is, asked of the run-time type system once per key
// definition rather than once per object: every object of a section holds the same converter class
// in the same field.
#pragma once

#include <unordered_map>

#include "helvo/engine/converters.h"
#include "helvo/engine/filer.h"
#include "helvo/model/model_converters.h"

namespace helvo {

enum class RefKind { kNone, kElement, kPhasor, kState, kMeter };

class ConverterKinds {
 public:
  // The kind of entry's converter in obj (kNone for plain fields and other converters) and the
  // converter itself.
  RefKind Of(const CFilerEntry& entry, CFiler* obj, CFilerElement*& converter) {
    converter = nullptr;
    if (entry.GetType() != CFilerEntry::eElement) return RefKind::kNone;
    auto known = kinds_.find(&entry);
    // Most converters are values, not references: those need not be resolved again.
    if (known != kinds_.end() && known->second == RefKind::kNone) return RefKind::kNone;
    converter = static_cast<CFilerElement*>(entry.GetOffset().Resolve(obj));
    if (!converter) return RefKind::kNone;
    if (known != kinds_.end()) return known->second;
    // One walk up the class records instead of a run-time cast per kind.
    RefKind kind = RefKind::kNone;
    for (const RuntimeClass* c = converter->GetRuntimeClass(); c && kind == RefKind::kNone;
         c = c->m_pBaseClass)
      kind = c == &CrefElementName::classCrefElementName ? RefKind::kElement
             : c == &CrefPhasor::classCrefPhasor         ? RefKind::kPhasor
             : c == &crefState::classcrefState           ? RefKind::kState
             : c == &CrefMeter::classCrefMeter           ? RefKind::kMeter
                                                         : RefKind::kNone;
    kinds_.emplace(&entry, kind);
    return kind;
  }

 private:
  std::unordered_map<const CFilerEntry*, RefKind> kinds_;
};

}  // namespace helvo
