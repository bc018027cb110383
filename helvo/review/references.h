// Naming what references refer to, shared by the value listing and the value snapshot: the kind of
// each reference, the function it names and that function's name, as a save at the configuration's
// own version writes the reference.
#pragma once

#include <string>
#include <unordered_map>

#include "helvo/model/class_tables.h"
#include "helvo/review/converter_kind.h"
#include "helvo/review/review.h"

namespace helvo {

class CHelvoCfg;
class CPhasor;

// What naming references looks up again and again, kept for one walk.
class Lookups {
 public:
  explicit Lookups(CHelvoCfg& cfg) : cfg_(cfg) {}

  ConverterKinds kinds;

  // The function of the first channel group's class list whose channel number - 1 is index: how the
  // written form finds the inputs of PMU phasors and CDR channels.
  CPhasor* FunctionAt(eHelvoCfgClass cls, int index);
  std::string NameOf(const CPhasor* p);
  // A function's name holds its element's name, which the walk changes when it folds a second
  // channel group: names are made anew after each element block.
  void ElementWritten() { names_.clear(); }

 private:
  CHelvoCfg& cfg_;
  std::unordered_map<int, std::unordered_map<int, CPhasor*>> byChannel_;
  std::unordered_map<const CPhasor*, std::string> names_;
};

// What a reference refers to: a function, or a state or meter within it.
struct ReferenceTarget {
  const CFiler* object = nullptr;
  const char* item = nullptr;  // "state" or "meter", or none for the function itself
  int number = 0;              // of the state or meter

  bool SameItem(const ReferenceTarget& other) const {
    if (!item || !other.item) return !item && !other.item;
    return *item == *other.item && number == other.number;
  }
};

// How a reference identifies what it refers to (KeyValue::targetId): the section header of the
// function, with the state or meter within it.
inline std::string TargetId(const std::string& header, const ReferenceTarget& target) {
  return target.item ? header + " " + target.item + " " + std::to_string(target.number) : header;
}

// Marks value as a reference when entry's field of obj is one and names its target; returns what
// it refers to (no object for elements and references that name nothing).
ReferenceTarget NameReference(const CFilerEntry& entry, CFiler* obj, KeyValue& value, Lookups& lookups,
                              bool names);

}  // namespace helvo
