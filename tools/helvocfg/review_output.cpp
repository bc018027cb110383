#include "review_output.h"

#include "helvo/platform/text_encoding.h"

namespace helvocli {

using namespace helvo;

namespace {

std::string Header(const std::string& section, const std::string& name) {
  std::string text = "[" + Cp1252ToUtf8(section) + "]";
  if (!name.empty()) text += " " + Cp1252ToUtf8(name);
  return text;
}

std::string Optional(const std::optional<std::string>& value) {
  return value ? Cp1252ToUtf8(*value) : "(none)";
}

nlohmann::ordered_json OptionalJson(const std::optional<std::string>& value) {
  return value ? nlohmann::ordered_json(Cp1252ToUtf8(*value)) : nlohmann::ordered_json();
}

const char* KindName(Change::Kind kind) {
  switch (kind) {
    case Change::Kind::kHeader:
      return "header";
    case Change::Kind::kOnlyInA:
      return "removed";
    case Change::Kind::kOnlyInB:
      return "added";
    default:
      return "changed";
  }
}

}  // namespace

std::string ShownUtf8(const KeyValue& value) {
  return Cp1252ToUtf8(value.Shown());
}

std::string ChangesText(const std::vector<Change>& changes) {
  std::string text, group;  // group: the header line printed last
  for (const Change& c : changes) {
    switch (c.kind) {
      case Change::Kind::kOnlyInA:
      case Change::Kind::kOnlyInB:
        text += (c.kind == Change::Kind::kOnlyInA ? "- " : "+ ") + Header(c.section, c.name) + "\n";
        group.clear();
        continue;
      case Change::Kind::kHeader:
        if (group != "header") text += (group = "header") + "\n";
        break;
      case Change::Kind::kKey:
        if (group != Header(c.section, c.name)) text += (group = Header(c.section, c.name)) + "\n";
        break;
    }
    text += "  " + Cp1252ToUtf8(c.key) + ": " + Optional(c.oldValue) + " -> " + Optional(c.newValue) + "\n";
  }
  return text;
}

nlohmann::ordered_json ChangesJson(const std::vector<Change>& changes) {
  nlohmann::ordered_json list = nlohmann::ordered_json::array();
  for (const Change& c : changes)
    list.push_back({{"change", KindName(c.kind)},
                    {"section", Cp1252ToUtf8(c.section)},
                    {"name", Cp1252ToUtf8(c.name)},
                    {"key", Cp1252ToUtf8(c.key)},
                    {"old", OptionalJson(c.oldValue)},
                    {"new", OptionalJson(c.newValue)}});
  return list;
}

std::string FindingsText(const std::string& file, const std::vector<Finding>& findings) {
  std::string text;
  for (const Finding& f : findings) {
    text += file + ":" + std::to_string(f.line) + ": warning: [" + Cp1252ToUtf8(f.section) + "] ";
    if (!f.key.empty()) text += Cp1252ToUtf8(f.key) + ": ";
    text += Cp1252ToUtf8(f.text) + " [" + f.rule + "]\n";
  }
  return text;
}

nlohmann::ordered_json FindingsJson(const std::vector<Finding>& findings) {
  nlohmann::ordered_json list = nlohmann::ordered_json::array();
  for (const Finding& f : findings)
    list.push_back({{"rule", f.rule},
                    {"section", Cp1252ToUtf8(f.section)},
                    {"key", Cp1252ToUtf8(f.key)},
                    {"line", f.line},
                    {"text", Cp1252ToUtf8(f.text)}});
  return list;
}

std::string ValuesText(const ValueListing& listing) {
  std::string text;
  for (const SectionValues& section : listing.sections) {
    if (!section.object) continue;  // [END]
    text += Header(section.header, section.name) + "\n";
    for (const KeyValue& value : section.keys)
      text += "  " + Cp1252ToUtf8(value.key) + ": " + ShownUtf8(value) + "\n";
  }
  return text;
}

nlohmann::ordered_json KeysJson(const SectionValues& section) {
  nlohmann::ordered_json keys = nlohmann::ordered_json::object();
  for (const KeyValue& value : section.keys) keys[Cp1252ToUtf8(value.key)] = ShownUtf8(value);
  return keys;
}

}  // namespace helvocli
