// The library's string table: section and key names, meter and state suffixes, unit and module rows,
// each loaded by its numeric id. The texts are constant data in helvo/resources/; ids are part of the
// stored format's vocabulary and must not be renumbered.
#pragma once

#include <cstddef>
#include <span>
#include <string>

namespace helvo {

struct StringResource {
  int id;
  const char* text;
};

// Adds a block of rows to the process-wide table. Rows need not be sorted. A later block's row wins
// over an earlier row with the same id (tests use this to supply their own names). The rows must
// outlive the table (constant data).
void RegisterStringTable(std::span<const StringResource> rows);

// Removes a block previously registered (tests only).
void UnregisterStringTable(std::span<const StringResource> rows);

// The text of id, or nullptr when no row has it. Id 0 never has a text.
const char* FindString(int id);

// The text of id as a string; empty when the id is 0 or has no row.
std::string LoadString(int id);

}  // namespace helvo
