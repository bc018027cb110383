// The writer's walk at a configuration's own version with only the keys written, which is what lint
// reads (ListValues gives the values).
#pragma once

#include <span>
#include <string>
#include <vector>

#include "helvo/review/review.h"

namespace helvo {

class CFilerEntry;

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
  std::vector<Block> blocks;              // in write order
  std::vector<const CFilerEntry*> keys;   // the definitions of the keys written, block after block

  std::span<const CFilerEntry* const> KeysOf(const Block& block) const {
    return {keys.data() + block.firstKey, block.keyCount};
  }
};

// Puts cfg into its written form for its own setting version, as a save does, and lists the keys
// that save writes.
KeysWritten ListKeysWritten(CHelvoCfg& cfg);

// The name a reader knows the object of a section of class cls by (SectionValues::name).
std::string ObjectName(CFiler* obj, int cls);

}  // namespace helvo
