// How the review commands (get, set, diff, lint, show --values) print the library's values, changes
// and findings: readable text in UTF-8 on stdout, or JSON.
#pragma once

#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "helvo/review/review.h"

namespace helvocli {

// What a reader is shown for a value: the name of what a reference refers to, else the value; UTF-8.
std::string ShownUtf8(const helvo::KeyValue& value);

// The diff text: header changes under "header", "- [SECTION] NAME", "+ [SECTION] NAME", and
// "[SECTION] NAME" once with "  KEY: OLD -> NEW" lines ("(none)" for a missing key).
std::string ChangesText(const std::vector<helvo::Change>& changes);
nlohmann::ordered_json ChangesJson(const std::vector<helvo::Change>& changes);

// "FILE:LINE: warning: [SECTION] KEY: TEXT [RULE]", one line per finding.
std::string FindingsText(const std::string& file, const std::vector<helvo::Finding>& findings);
nlohmann::ordered_json FindingsJson(const std::vector<helvo::Finding>& findings);

// show --values: every section a save writes, "[SECTION] NAME" and "  KEY: value" lines.
std::string ValuesText(const helvo::ValueListing& listing);
// The keys of a section as a JSON object, values as ShownUtf8.
nlohmann::ordered_json KeysJson(const helvo::SectionValues& section);

}  // namespace helvocli
