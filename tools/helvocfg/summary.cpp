#include "summary.h"

#include <cctype>
#include <cstdlib>
#include <map>
#include <set>

#include "helvo/engine/crc16.h"
#include "helvo/model/dsp_cfg.h"
#include "helvo/model/element_name.h"
#include "helvo/model/helvo_cfg.h"
#include "helvo/model/meter_group.h"
#include "helvo/model/model_converters.h"
#include "helvo/model/phasor.h"
#include "helvo/model/phasor_scan.h"
#include "helvo/model/pmu.h"
#include "helvo/model/records.h"
#include "helvo/model/trend.h"
#include "helvo/platform/format.h"
#include "helvo/platform/text_encoding.h"
#include "review_output.h"

namespace helvocli {

using namespace helvo;

namespace {

constexpr unsigned long kAllTypes = 0xFFFFFFF0ul;

// The kind names of the function classes in the summary, by class number; none for other classes.
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

// Function classes with a table in a channel group, in the order the summary lists leftovers.
constexpr eHelvoCfgClass kTableClasses[] = {eAnalogCfg,    eDigitalCfg,   eSummationCfg, eSequenceCfg,
                                            eImpedanceCfg, eWattsVarsCfg, eFrequencyCfg, eLogicCfg,
                                            eFaultLocCfg,  ePFDetCfg};

FunctionSummary Describe(CPhasor& p) {
  FunctionSummary f;
  p.GetName(f.name);
  f.kind = KindOf(p.GetClass());
  f.channel = p.GetChannelNumber();
  if (const char* type = p.GetTypeString()) f.type = type;
  f.description = p.GetDescription();
  return f;
}

ChannelGroupSummary DescribeGroup(cHelvoDspCfg& group) {
  ChannelGroupSummary g;
  g.number = group.GetDspIndex() + 1;
  group.GetName(g.name);
  if (CPhasor* ref = group.GetRefChannel()) ref->GetName(g.referenceChannel);

  std::set<const CPhasor*> seen;
  int number = 0;
  for (CFiler* obj : group.GetElementList()) {
    auto* element = dynamic_cast<CElementName*>(obj);
    if (!element) continue;
    ElementSummary e;
    e.number = ++number;
    e.name = element->GetName();
    cPhasorScan scan(&group, ePhScanElement, kAllTypes, element);
    for (CPhasor* p = scan.GetFirst(); p; p = scan.GetNext())
      if (seen.insert(p).second) e.functions.push_back(Describe(*p));
    g.elements.push_back(std::move(e));
  }
  for (eHelvoCfgClass cls : kTableClasses) {
    CPhasor** table = group.GetFunctionTableAddress(cls);
    const int capacity = cHelvoDspCfg::GetFunctionTableCapacity(cls);
    for (int i = 0; table && i < capacity; ++i)
      if (table[i] && seen.insert(table[i]).second) g.unassigned.push_back(Describe(*table[i]));
  }
  return g;
}

// The input function of a PMU phasor in the working form (functions in their tables).
CPhasor* PmuInput(cHelvoDspCfg& group, const CPMU& pmu) {
  const int i = pmu.m_nInputIndex;
  switch (pmu.m_nInputType) {
    case 0:
      return group.GetIndexedPhasorAddress(eAnalogCfg, i);
    case 1:
    case 2:
    case 3:
      return group.GetIndexedPhasorAddress(eSequenceCfg, i);
    case 4:
      return group.GetIndexedPhasorAddress(eSummationCfg, i);
    default:
      return nullptr;
  }
}

std::optional<PmuSummary> DescribePmu(CHelvoCfg& cfg) {
  cHelvoDspCfg* group = cfg.m_pDspCfg[0];
  PmuSummary pmu;
  bool any = false;
  for (CFiler* obj : cfg.m_PMUIdList) {
    if (auto* id = dynamic_cast<CPMUId*>(obj)) {
      pmu.header = id->m_strHeader;
      pmu.reportingRate = id->m_nReportingRate;
      any = true;
      break;
    }
  }
  if (group) {
    for (CFiler* obj : group->GetPMUList()) {
      auto* phasor = dynamic_cast<CPMU*>(obj);
      if (!phasor || !phasor->IsDefined()) continue;
      PmuPhasorSummary p{
          phasor->m_nPhasorNumber, phasor->m_strName, {}, phasor->m_nInputIndex, phasor->m_nInputType};
      if (CPhasor* input = PmuInput(*group, *phasor)) input->GetName(p.input);
      pmu.phasors.push_back(std::move(p));
      any = true;
    }
  }
  if (!any) return std::nullopt;
  return pmu;
}

std::optional<CdrSummary> DescribeCdr(CHelvoCfg& cfg) {
  cHelvoDspCfg* group = cfg.m_pDspCfg[0];
  CdrSummary cdr;
  bool any = false;
  for (CFiler* obj : cfg.m_CDRIdList) {
    if (auto* id = dynamic_cast<CCDRId*>(obj)) {
      cdr.reportingRate = id->m_nReportingRate;
      any = true;
      break;
    }
  }
  if (group) {
    for (CFiler* obj : group->GetCDRList()) {
      auto* channel = dynamic_cast<CCDR*>(obj);
      if (!channel || !channel->IsUsed()) continue;
      CdrChannelSummary c{channel->m_nChannel + 1, channel->m_strName, channel->m_nInputIndex, {}};
      if (CPhasor* input = group->GetIndexedPhasorAddress(eAnalogCfg, c.inputIndex)) input->GetName(c.input);
      cdr.channels.push_back(std::move(c));
      any = true;
    }
  }
  if (!any) return std::nullopt;
  return cdr;
}

std::string OptionName(unsigned option) {
  char buffer[32];
  const char* name = ceTrendOption::GetChoice(static_cast<eTrendOption>(option), buffer, sizeof buffer);
  return name ? name : Format("option %u", option);
}

// Settings files are 8-bit text: every text the summary took from the file becomes UTF-8.
void DecodeTexts(Summary& s) {
  auto decode = [](std::string& text) { text = Cp1252ToUtf8(text); };
  auto function = [&](FunctionSummary& f) {
    decode(f.name);
    decode(f.type);
    decode(f.description);
  };
  decode(s.crc.stored);
  decode(s.serialNumber);
  decode(s.comments);
  for (ChannelGroupSummary& g : s.channelGroups) {
    decode(g.name);
    decode(g.referenceChannel);
    for (ElementSummary& e : g.elements) {
      decode(e.name);
      for (FunctionSummary& f : e.functions) function(f);
    }
    for (FunctionSummary& f : g.unassigned) function(f);
  }
  for (MeterGroupSummary& m : s.meterGroups) {
    decode(m.name);
    for (std::string& meter : m.meters) decode(meter);
  }
  if (s.trend)
    for (TrendEntrySummary& e : s.trend->entries) decode(e.meter);
  if (s.pmu) {
    decode(s.pmu->header);
    for (PmuPhasorSummary& p : s.pmu->phasors) {
      decode(p.name);
      decode(p.input);
    }
  }
  if (s.cdr) {
    for (CdrChannelSummary& c : s.cdr->channels) {
      decode(c.name);
      decode(c.input);
    }
  }
}

std::string Or(const std::string& text, const char* fallback) {
  return text.empty() ? fallback : text;
}

void Attach(nlohmann::ordered_json& object, const SectionValues* section) {
  if (!section || !object.is_object()) return;
  object["section"] = Cp1252ToUtf8(section->header);
  object["keys"] = KeysJson(*section);
}

// Gives every object of the summary document that a section of listing describes that section's header
// and keys; the sections no summary object stands for (identification, limits, ...) go to "records".
// Sections are matched while their objects are alive: the listing was made from the loaded file.
void AddValues(nlohmann::ordered_json& doc, const ValueListing& listing) {
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
  for (nlohmann::ordered_json& group : doc["channel_groups"]) {
    const std::string g = std::to_string(group["number"].get<int>());
    Attach(group, find("g/" + g));
    auto functions = [&](nlohmann::ordered_json& list) {
      for (nlohmann::ordered_json& f : list)
        Attach(f, find("f/" + g + "/" + f["kind"].get<std::string>() + "/" +
                       std::to_string(f["channel"].get<int>())));
    };
    for (nlohmann::ordered_json& element : group["elements"]) {
      Attach(element, find("e/ELEMENT" + g + "-" + std::to_string(element["number"].get<int>())));
      functions(element["functions"]);
    }
    functions(group["unassigned"]);
  }
  size_t next = 0;
  for (nlohmann::ordered_json& meterGroup : doc["meter_groups"])
    if (next < meterGroups.size()) Attach(meterGroup, meterGroups[next++]);
  for (; next < meterGroups.size(); ++next) records.push_back(meterGroups[next]);
  Attach(doc["trend"], find("r/" + std::to_string(eTrend)));
  if (doc["pmu"].is_object()) {
    Attach(doc["pmu"], find("r/" + std::to_string(ePMUId)));
    for (nlohmann::ordered_json& p : doc["pmu"]["phasors"])
      Attach(p, find("p/" + std::to_string(p["number"].get<int>())));
  }
  if (doc["cdr"].is_object()) {
    Attach(doc["cdr"], find("r/" + std::to_string(eCDRId)));
    for (nlohmann::ordered_json& c : doc["cdr"]["channels"])
      Attach(c, find("c/" + std::to_string(c["channel"].get<int>())));
  }
  nlohmann::ordered_json list = nlohmann::ordered_json::array();
  for (const SectionValues* s : records) {
    nlohmann::ordered_json record = {{"name", Cp1252ToUtf8(s->name)}};
    Attach(record, s);
    list.push_back(std::move(record));
  }
  doc["records"] = std::move(list);
}

}  // namespace

CrcState ReadCrcState(const std::string& bytes) {
  CrcState crc;
  crc.stored = bytes.substr(0, 4);
  crc.computed = Format("%04x", bytes.size() > 5 ? Crc16Update(0, std::string_view(bytes).substr(5)) : 0);
  std::string lower;
  for (char c : crc.stored) lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (lower == "noch")
    crc.state = "unchecked";
  else
    crc.state = lower == crc.computed ? "valid" : "invalid";
  return crc;
}

Summary Summarize(CHelvoCfg& cfg, const std::string& file, const CrcState& crc) {
  Summary s;
  s.file = file;
  s.crc = crc;
  s.generation = cfg.m_State.m_iIedGen;
  s.boards =
      s.generation >= 1 && s.generation <= kNumGenerations ? CHelvoCfg::NumDspsByGen[s.generation - 1] : 0;
  if (const CIdCfg* id = cfg.GetIdCfg()) {
    s.settingVersion = id->m_nSettingsVers;
    s.systemFrequency = id->m_nSystemFrequency;
    s.sampleRate = id->m_nSampleRate;
    s.analogChannels = id->m_nNumAChannels;
    s.serialNumber = id->m_strSerialNum;
    s.comments = id->m_strComments;
  }
  for (int b = 0; b < s.boards && b < 2; ++b)
    if (cfg.m_pDspCfg[b]) s.channelGroups.push_back(DescribeGroup(*cfg.m_pDspCfg[b]));

  int number = 0;
  for (CFiler* obj : cfg.m_MeterGroupList) {
    auto* group = dynamic_cast<CMeterGroup*>(obj);
    if (!group) continue;
    MeterGroupSummary m{++number, group->m_strName, {}};
    for (const CrefMeter& meter : group->m_Meters) {
      if (!meter.m_pPhasor) continue;
      std::string name;
      meter.m_pPhasor->GetMeterName(name, meter.m_nMeter);
      m.meters.push_back(name);
    }
    s.meterGroups.push_back(std::move(m));
  }

  if (auto* trend = dynamic_cast<cTrend*>(cfg.m_pTrend)) {
    TrendSummary t{trend->m_nInterval, trend->m_nAlarmContact, {}};
    for (const ceTrendOption& entry : trend->m_Entries) {
      if (!entry.m_pPhasor) continue;
      std::string name;
      entry.m_pPhasor->GetMeterName(name, entry.m_nMeter);
      t.entries.push_back({name, OptionName(entry.m_nOption)});
    }
    s.trend = std::move(t);
  }
  s.pmu = DescribePmu(cfg);
  s.cdr = DescribeCdr(cfg);
  DecodeTexts(s);
  return s;
}

std::string ToText(const Summary& s) {
  std::string out = Format("%s\n", s.file.c_str());
  out += Format("  setting version   %d\n  generation        %d\n  boards            %d\n", s.settingVersion,
                s.generation, s.boards);
  out += Format("  system frequency  %d Hz\n  sample rate       %d\n", s.systemFrequency, s.sampleRate);
  out += Format("  serial number     %s\n  comments          %s\n", Or(s.serialNumber, "-").c_str(),
                Or(s.comments, "-").c_str());
  out += Format("  CRC               %s (stored %s, computed %s)\n", s.crc.state.c_str(),
                s.crc.stored.c_str(), s.crc.computed.c_str());
  auto function = [&out](const FunctionSummary& f) {
    out += Format("      %-14s %3d  %s\n", f.kind.c_str(), f.channel, f.name.c_str());
  };
  for (const ChannelGroupSummary& g : s.channelGroups) {
    out += Format("\n%s (reference channel: %s)\n", g.name.c_str(), Or(g.referenceChannel, "none").c_str());
    for (const ElementSummary& e : g.elements) {
      out += Format("  element %d: %s\n", e.number, e.name.c_str());
      for (const FunctionSummary& f : e.functions) function(f);
    }
    if (!g.unassigned.empty()) out += "  without element:\n";
    for (const FunctionSummary& f : g.unassigned) function(f);
  }
  out += Format("\nmeter groups: %zu\n", s.meterGroups.size());
  for (const MeterGroupSummary& m : s.meterGroups) {
    out += Format("  %d: %s (%zu meters)\n", m.number, m.name.c_str(), m.meters.size());
    for (const std::string& meter : m.meters) out += "      " + meter + "\n";
  }
  if (s.trend) {
    out += Format("\ntrend: interval %d, alarm contact %u, %zu entries\n", s.trend->interval,
                  s.trend->alarmContact, s.trend->entries.size());
    for (const TrendEntrySummary& e : s.trend->entries)
      out += Format("      %-9s %s\n", e.option.c_str(), e.meter.c_str());
  }
  if (s.pmu) {
    out += Format("\nPMU: header \"%s\", reporting rate %d, %zu phasors\n", s.pmu->header.c_str(),
                  s.pmu->reportingRate, s.pmu->phasors.size());
    for (const PmuPhasorSummary& p : s.pmu->phasors)
      out += Format("      %2d  %s <- %s\n", p.number, p.name.c_str(), Or(p.input, "(not found)").c_str());
  }
  if (s.cdr) {
    out += Format("\nCDR: reporting rate %d, %zu channels\n", s.cdr->reportingRate, s.cdr->channels.size());
    for (const CdrChannelSummary& c : s.cdr->channels)
      out += Format("      %2d  %s\n", c.channel, Or(c.input, "(not found)").c_str());
  }
  return out;
}

nlohmann::ordered_json ToJson(const Summary& s) {
  using nlohmann::ordered_json;
  auto function = [](const FunctionSummary& f) {
    return ordered_json{{"name", f.name},
                        {"kind", f.kind},
                        {"channel", f.channel},
                        {"type", f.type},
                        {"description", f.description}};
  };
  auto textOrNull = [](const std::string& text) {
    return text.empty() ? ordered_json() : ordered_json(text);
  };
  auto functions = [&](const std::vector<FunctionSummary>& list) {
    ordered_json out = ordered_json::array();
    for (const FunctionSummary& f : list) out.push_back(function(f));
    return out;
  };
  ordered_json j;
  j["file"] = s.file;
  j["crc"] = {{"stored", s.crc.stored}, {"computed", s.crc.computed}, {"state", s.crc.state}};
  j["setting_version"] = s.settingVersion;
  j["generation"] = s.generation;
  j["boards"] = s.boards;
  j["system_frequency"] = s.systemFrequency;
  j["sample_rate"] = s.sampleRate;
  j["analog_channels"] = s.analogChannels;
  j["serial_number"] = s.serialNumber;
  j["comments"] = s.comments;
  ordered_json groups = ordered_json::array();
  for (const ChannelGroupSummary& g : s.channelGroups) {
    ordered_json elements = ordered_json::array();
    for (const ElementSummary& e : g.elements)
      elements.push_back({{"number", e.number}, {"name", e.name}, {"functions", functions(e.functions)}});
    groups.push_back({{"number", g.number},
                      {"name", g.name},
                      {"reference_channel", textOrNull(g.referenceChannel)},
                      {"elements", elements},
                      {"unassigned", functions(g.unassigned)}});
  }
  j["channel_groups"] = groups;
  ordered_json meterGroups = ordered_json::array();
  for (const MeterGroupSummary& m : s.meterGroups)
    meterGroups.push_back({{"number", m.number}, {"name", m.name}, {"meters", m.meters}});
  j["meter_groups"] = meterGroups;
  j["trend"] = nullptr;
  if (s.trend) {
    ordered_json entries = ordered_json::array();
    for (const TrendEntrySummary& e : s.trend->entries)
      entries.push_back({{"meter", e.meter}, {"option", e.option}});
    j["trend"] = {
        {"interval", s.trend->interval}, {"alarm_contact", s.trend->alarmContact}, {"entries", entries}};
  }
  j["pmu"] = nullptr;
  if (s.pmu) {
    ordered_json phasors = ordered_json::array();
    for (const PmuPhasorSummary& p : s.pmu->phasors)
      phasors.push_back({{"number", p.number},
                         {"name", p.name},
                         {"input", textOrNull(p.input)},
                         {"input_index", p.inputIndex},
                         {"input_type", p.inputType}});
    j["pmu"] = {{"header", s.pmu->header}, {"reporting_rate", s.pmu->reportingRate}, {"phasors", phasors}};
  }
  j["cdr"] = nullptr;
  if (s.cdr) {
    ordered_json channels = ordered_json::array();
    for (const CdrChannelSummary& c : s.cdr->channels)
      channels.push_back({{"channel", c.channel},
                          {"name", c.name},
                          {"input", textOrNull(c.input)},
                          {"input_index", c.inputIndex}});
    j["cdr"] = {{"reporting_rate", s.cdr->reportingRate}, {"channels", channels}};
  }
  return j;
}

nlohmann::ordered_json ShowDocument(const Summary& summary, const helvo::ValueListing& listing) {
  nlohmann::ordered_json doc = {{"schema", 2}};
  doc.update(ToJson(summary));
  AddValues(doc, listing);
  return doc;
}

}  // namespace helvocli
