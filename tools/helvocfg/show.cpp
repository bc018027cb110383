#include <cstdio>
#include <cstdlib>
#include <map>

#include "commands.h"
#include "helvo/model/class_tables.h"
#include "helvo/model/dsp_cfg.h"
#include "helvo/model/phasor.h"
#include "helvo/model/pmu.h"
#include "helvo/platform/text_encoding.h"
#include "helvo/platform/user_interface.h"
#include "helvo/review/review.h"
#include "review_output.h"
#include "summary.h"
#include "terminal_ui.h"
#include "tool_common.h"

namespace helvocli {

using namespace helvo;

namespace {

using Json = nlohmann::ordered_json;

// The summary's kind names by class number (summary.cpp lists the same).
const char* KindOf(int cls) {
  switch (cls) {
    case eAnalogCfg:
      return "analog";
    case eDigitalCfg:
      return "digital";
    case eSummationCfg:
      return "summation";
    case eSequenceCfg:
      return "sequence";
    case eImpedanceCfg:
      return "impedance";
    case eWattsVarsCfg:
      return "watts_vars";
    case eFrequencyCfg:
      return "frequency";
    case eLogicCfg:
      return "logic";
    case eFaultLocCfg:
      return "fault_locator";
    case ePFDetCfg:
      return "pf_detector";
    default:
      return "other";
  }
}

void Attach(Json& object, const SectionValues* section) {
  if (!section || !object.is_object()) return;
  object["section"] = Cp1252ToUtf8(section->header);
  object["keys"] = KeysJson(*section);
}

// Gives every object of the summary document that a section of listing describes that section's header
// and keys; the sections no summary object stands for (identification, limits, ...) go to "records".
// Sections are matched while their objects are alive: the listing was made from the loaded file.
void AddValues(Json& doc, const ValueListing& listing) {
  std::map<std::string, const SectionValues*> byKey;
  std::vector<const SectionValues*> meterGroups, records;
  for (const SectionValues& s : listing.sections) {
    if (!s.object) continue;
    std::string key;
    if (auto* p = dynamic_cast<CPhasor*>(s.object))
      key = "f/" + std::to_string(p->GetDspIndex() + 1) + "/" + KindOf(s.cls) + "/" +
            std::to_string(p->GetChannelNumber());
    else if (s.cls == eElementName)
      key = "e/" + s.header;
    else if (s.header.rfind("CH_GRP", 0) == 0)
      key = "g/" + std::to_string(std::atoi(s.header.c_str() + 6));
    else if (auto* pmu = dynamic_cast<CPMU*>(s.object))
      key = "p/" + std::to_string(pmu->m_nPhasorNumber);
    else if (auto* cdr = dynamic_cast<CCDR*>(s.object))
      key = "c/" + std::to_string(cdr->m_nChannel + 1);
    else if (s.cls == eMeterGroup)
      meterGroups.push_back(&s);
    else if (s.cls == eTrend || s.cls == ePMUId || s.cls == eCDRId)
      key = "r/" + std::to_string(s.cls);
    else
      records.push_back(&s);
    if (!key.empty()) byKey.emplace(key, &s);
  }
  auto find = [&](const std::string& key) -> const SectionValues* {
    auto it = byKey.find(key);
    return it == byKey.end() ? nullptr : it->second;
  };
  for (Json& group : doc["channel_groups"]) {
    const std::string g = std::to_string(group["number"].get<int>());
    Attach(group, find("g/" + g));
    auto functions = [&](Json& list) {
      for (Json& f : list)
        Attach(f, find("f/" + g + "/" + f["kind"].get<std::string>() + "/" +
                       std::to_string(f["channel"].get<int>())));
    };
    for (Json& element : group["elements"]) {
      Attach(element, find("e/ELEMENT" + g + "-" + std::to_string(element["number"].get<int>())));
      functions(element["functions"]);
    }
    functions(group["unassigned"]);
  }
  size_t next = 0;
  for (Json& meterGroup : doc["meter_groups"])
    if (next < meterGroups.size()) Attach(meterGroup, meterGroups[next++]);
  for (; next < meterGroups.size(); ++next) records.push_back(meterGroups[next]);
  Attach(doc["trend"], find("r/" + std::to_string(eTrend)));
  if (doc["pmu"].is_object()) {
    Attach(doc["pmu"], find("r/" + std::to_string(ePMUId)));
    for (Json& p : doc["pmu"]["phasors"]) Attach(p, find("p/" + std::to_string(p["number"].get<int>())));
  }
  if (doc["cdr"].is_object()) {
    Attach(doc["cdr"], find("r/" + std::to_string(eCDRId)));
    for (Json& c : doc["cdr"]["channels"]) Attach(c, find("c/" + std::to_string(c["channel"].get<int>())));
  }
  Json list = Json::array();
  for (const SectionValues* s : records) {
    Json record = {{"name", Cp1252ToUtf8(s->name)}};
    Attach(record, s);
    list.push_back(std::move(record));
  }
  doc["records"] = std::move(list);
}

}  // namespace

int Show(const ShowOptions& options) {
  TerminalUserInterface ui;
  ScopedUserInterface scoped(ui);
  ui.SetFile(options.file);
  auto loaded = Load(options.file, options.noCrcCheck);
  if (!loaded) return kExitFileError;
  const Summary summary = Summarize(*loaded->cfg, options.file, ReadCrcState(loaded->bytes));
  // The file's texts are UTF-8 by now; only a file name that is not can still be invalid, and it
  // becomes U+FFFD rather than ending the tool.
  if (options.json) {
    Json doc = {{"schema", 2}};
    doc.update(ToJson(summary));
    AddValues(doc, ListValues(*loaded->cfg));
    std::printf("%s\n", doc.dump(2, ' ', false, nlohmann::json::error_handler_t::replace).c_str());
  } else if (options.values) {
    std::printf("%s\n%s", ToText(summary).c_str(), ValuesText(ListValues(*loaded->cfg)).c_str());
  } else {
    std::printf("%s", ToText(summary).c_str());
  }
  return kExitOk;
}

}  // namespace helvocli
