// What `helvocfg show` reports about one loaded configuration, as plain data, and its two renderings:
// readable text and one JSON document (described in docs/json-schema.md).
#pragma once

#include <optional>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "helvo/review/review.h"

namespace helvo {
class CHelvoCfg;
}

namespace helvocli {

// The CRC line of a file as stored and as computed over the rest of the file.
struct CrcState {
  std::string stored;    // the first four characters of the file
  std::string computed;  // four lower-case hex digits
  // "valid", "invalid" (only when loaded without the check) or "unchecked" (field "noch").
  std::string state;
};

struct FunctionSummary {
  std::string name;         // CPhasor::GetName
  std::string kind;         // "analog", "summation", ...
  int channel = 0;          // channel number within its channel group
  std::string type;         // signal type name; empty without one
  std::string description;  // empty when none
};

struct ElementSummary {
  int number = 0;  // 1-based position in its channel group
  std::string name;
  std::vector<FunctionSummary> functions;
};

struct ChannelGroupSummary {
  int number = 0;  // 1 or 2
  std::string name;
  std::string referenceChannel;  // the angle reference; empty when none
  std::vector<ElementSummary> elements;
  std::vector<FunctionSummary> unassigned;  // functions of the group without an element
};

struct MeterGroupSummary {
  int number = 0;  // 1-based position in the list
  std::string name;
  std::vector<std::string> meters;
};

struct TrendEntrySummary {
  std::string meter;
  std::string option;
};

struct TrendSummary {
  int interval = 0;
  unsigned alarmContact = 0;
  std::vector<TrendEntrySummary> entries;
};

struct PmuPhasorSummary {
  int number = 0;
  std::string name;
  std::string input;  // the input function's name; empty when not found
  int inputIndex = -1;
  int inputType = 0;
};

struct PmuSummary {
  std::string header;
  int reportingRate = 0;
  std::vector<PmuPhasorSummary> phasors;
};

struct CdrChannelSummary {
  int channel = 0;  // 1-based
  std::string name;
  int inputIndex = -1;
  std::string input;  // the analog channel recorded; empty when not found
};

struct CdrSummary {
  int reportingRate = 0;
  std::vector<CdrChannelSummary> channels;
};

struct Summary {
  std::string file;
  CrcState crc;
  int settingVersion = 0;
  int generation = 0;
  int boards = 0;
  int systemFrequency = 0;
  int sampleRate = 0;
  int analogChannels = 0;
  std::string serialNumber;
  std::string comments;
  std::vector<ChannelGroupSummary> channelGroups;
  std::vector<MeterGroupSummary> meterGroups;
  std::optional<TrendSummary> trend;
  std::optional<PmuSummary> pmu;
  std::optional<CdrSummary> cdr;
};

// The CRC state of a file's bytes.
CrcState ReadCrcState(const std::string& bytes);

// The summary of a configuration loaded (and linked) from file; its texts are UTF-8.
Summary Summarize(helvo::CHelvoCfg& cfg, const std::string& file, const CrcState& crc);

std::string ToText(const Summary& summary);
nlohmann::ordered_json ToJson(const Summary& summary);
// The document of show --json: schema 2, the summary, and every object's section header and keys from
// listing (made from the same loaded configuration, after the summary); the sections no summary object
// stands for (identification, limits, ...) under "records".
nlohmann::ordered_json ShowDocument(const Summary& summary, const helvo::ValueListing& listing);

}  // namespace helvocli
