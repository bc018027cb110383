#include "helvo/platform/string_table.h"

#include <algorithm>
#include <mutex>
#include <shared_mutex>
#include <unordered_map>
#include <vector>

namespace helvo {

// Built into the library (helvo/resources/string_blocks.cpp).
std::span<const std::span<const StringResource>> BuiltinStringBlocks();

namespace {

// Built once, on first use by any thread; a host that registers or unregisters rows changes it under
// the writer lock while look-ups take the reader lock.
struct Table {
  std::shared_mutex mutex;
  std::vector<std::span<const StringResource>> blocks;
  std::unordered_map<int, const char*> index;

  Table() {
    for (const auto& block : BuiltinStringBlocks()) blocks.push_back(block);
    Rebuild();
  }
  void Rebuild() {
    index.clear();
    for (const auto& block : blocks)
      for (const auto& row : block) index[row.id] = row.text;
  }
};

Table& TheTable() {
  static Table table;
  return table;
}

}  // namespace

void RegisterStringTable(std::span<const StringResource> rows) {
  Table& t = TheTable();
  std::unique_lock lock(t.mutex);
  t.blocks.push_back(rows);
  for (const auto& row : rows) t.index[row.id] = row.text;
}

void UnregisterStringTable(std::span<const StringResource> rows) {
  Table& t = TheTable();
  std::unique_lock lock(t.mutex);
  auto it = std::find_if(t.blocks.begin(), t.blocks.end(),
                         [&](const auto& b) { return b.data() == rows.data() && b.size() == rows.size(); });
  if (it == t.blocks.end()) return;
  t.blocks.erase(it);
  t.Rebuild();
}

const char* FindString(int id) {
  if (id == 0) return nullptr;
  Table& t = TheTable();
  std::shared_lock lock(t.mutex);
  auto it = t.index.find(id);
  return it == t.index.end() ? nullptr : it->second;
}

std::string LoadString(int id) {
  const char* s = FindString(id);
  return s ? std::string(s) : std::string();
}

}  // namespace helvo
