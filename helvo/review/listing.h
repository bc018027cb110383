// What the review features collect from the writer's walk at a configuration's own version besides
// the value listing: the keys written (lint) and what a value snapshot holds (diff and get).
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "helvo/engine/field_access.h"
#include "helvo/engine/filer.h"
#include "helvo/review/references.h"
#include "helvo/review/review.h"

namespace helvo {

// Starts the next block of a walk in blocks: its header, object and definition, and where its keys
// begin among the keys collected so far.
template <class Block>
Block& StartBlock(std::vector<Block>& blocks, std::string_view name, std::string_view instance,
                  CFilerSection* section, CFiler* obj, size_t firstKey) {
  Block& block = blocks.emplace_back();
  block.header.reserve(name.size() + instance.size());
  block.header.append(name).append(instance);
  block.cls = section->GetClass();
  block.object = obj;
  block.definition = section;
  block.firstKey = firstKey;
  return block;
}

// The keys a save at the configuration's own version writes, block by block, without their values:
// plain fields are not formatted, and only converters that may leave their key out run.
struct KeysWritten {
  struct Block {
    std::string header;        // without brackets
    CFiler* object = nullptr;  // none for [END]
    int cls = -1;
    CFilerSection* definition = nullptr;
    size_t firstKey = 0, keyCount = 0;  // in keys
    // The input keys of a PMU phasor or CDR channel that name no function the save writes.
    std::vector<const CFilerEntry*> unnamedInputs;
  };
  std::vector<Block> blocks;             // in write order
  std::vector<const CFilerEntry*> keys;  // the definitions of the keys written, block after block

  std::span<const CFilerEntry* const> KeysOf(const Block& block) const {
    return {keys.data() + block.firstKey, block.keyCount};
  }
};

// Puts cfg into its written form for its own setting version, as a save does, and lists the keys
// that save writes.
KeysWritten ListKeysWritten(CHelvoCfg& cfg);

class Lookups;

// What a snapshot holds: blocks and keys as the listing has them, with numbers unformatted and the
// functions references refer to.
struct ValueSnapshot::Data {
  // Kept small: a snapshot holds one per key written.
  struct Key {
    const CFilerEntry* entry = nullptr;
    std::uint64_t bits = 0;            // numbers: NumberValue::bits; element references: the element
    std::uint32_t text = 0, size = 0;  // strings and converters: their text, in texts
    std::int32_t target = -1;          // into targets: what a reference refers to
    std::int32_t name = -1;            // into names: the target's name, when named during the walk
    CFilerEntry::EFilerEntryType type = CFilerEntry::eElement;
    bool isNumber = false;
    bool reference = false;
    bool element = false;  // a reference to an element
    NumberValue Number() const { return {type, bits}; }
  };
  struct Block {
    std::string header;
    std::string name;  // when named during the walk
    int cls = -1;
    CFiler* object = nullptr;
    CFilerSection* definition = nullptr;
    size_t firstKey = 0, keyCount = 0;
  };
  struct Target {
    ReferenceTarget target;
    int block = -1;  // the block that writes the target's object; none when the save does not write it
  };

  explicit Data(CHelvoCfg& c);
  ~Data();

  CHelvoCfg& cfg;
  // Names are made during the walk when the walk changes them (it folds a second channel group);
  // otherwise when asked, from the configuration as the walk left it.
  bool namedDuringWalk = false;
  HeaderValues header;
  std::vector<Block> blocks;
  std::vector<Key> keys;
  std::vector<Target> targets;
  std::vector<std::string> names;
  std::string texts;  // the texts of the keys, one after another

  std::string NameOf(const Block& block) const;
  // The key as the listing holds it.
  KeyValue Materialize(const Block& block, const Key& key) const;
  // The value text alone, for keys that are not references.
  std::string ValueText(const Key& key) const {
    return key.isNumber ? FormatNumberValue(key.Number()) : std::string(Text(key));
  }
  std::string_view Text(const Key& key) const { return std::string_view(texts).substr(key.text, key.size); }
  // What a reader compares of an element reference (KeyValue::Shown), when names are made when asked.
  std::string_view ElementShown(const Key& key) const;
  // True when both keys refer to written objects with the same header and item (equal targetIds).
  bool SameTarget(const Key& key, const Data& other, const Key& otherKey) const;

 private:
  mutable std::unique_ptr<Lookups> lookups_;  // for names made when asked
};

// The name a reader knows the object of a section of class cls by (SectionValues::name).
std::string ObjectName(CFiler* obj, int cls);

}  // namespace helvo
