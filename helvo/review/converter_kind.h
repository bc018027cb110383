// Which kind of reference a key's converter is, asked of the run-time type system once per key
// definition rather than once per object: every object of a section holds the same converter class
// in the same field.
#pragma once

#include <cstdint>
#include <vector>

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
    Slot& slot = SlotOf(&entry);
    // Most converters are values, not references: those need not be resolved again.
    if (slot.entry && slot.kind == RefKind::kNone) return RefKind::kNone;
    converter = static_cast<CFilerElement*>(entry.GetOffset().Resolve(obj));
    if (!converter) return RefKind::kNone;
    if (slot.entry) return slot.kind;
    // One walk up the class records instead of a run-time cast per kind.
    RefKind kind = RefKind::kNone;
    for (const RuntimeClass* c = converter->GetRuntimeClass(); c && kind == RefKind::kNone;
         c = c->m_pBaseClass)
      kind = c == &CrefElementName::classCrefElementName ? RefKind::kElement
             : c == &CrefPhasor::classCrefPhasor         ? RefKind::kPhasor
             : c == &crefState::classcrefState           ? RefKind::kState
             : c == &CrefMeter::classCrefMeter           ? RefKind::kMeter
                                                         : RefKind::kNone;
    slot = {&entry, kind};
    if (++used_ * 2 > slots_.size()) Grow();
    return kind;
  }

 private:
  // An open-addressed table: a walk asks once per key written, and a node-based map's look-up cost
  // more than the rest of the question.
  struct Slot {
    const CFilerEntry* entry = nullptr;
    RefKind kind = RefKind::kNone;
  };

  // Fibonacci hashing: the high bits of the address times the golden ratio pick the slot.
  Slot& SlotOf(const CFilerEntry* entry) {
    const size_t mask = slots_.size() - 1;
    size_t i = static_cast<size_t>(
        (static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(entry)) * 0x9E3779B97F4A7C15ull) >>
        shift_);
    while (slots_[i].entry && slots_[i].entry != entry) i = (i + 1) & mask;
    return slots_[i];
  }

  // Doubles the table; a configuration's definitions fill a few hundred slots.
  void Grow() {
    std::vector<Slot> old(slots_.size() * 2);
    old.swap(slots_);
    --shift_;
    for (const Slot& slot : old)
      if (slot.entry) SlotOf(slot.entry) = slot;
  }

  std::vector<Slot> slots_ = std::vector<Slot>(64);
  int shift_ = 64 - 6;  // 64 slots
  size_t used_ = 0;
};

}  // namespace helvo
