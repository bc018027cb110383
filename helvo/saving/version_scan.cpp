// The compatibility scan: before the host saves at a version the user chose, it lists in plain words
// what that version cannot hold, so that the user can confirm or cancel the save. It changes nothing;
// the losses themselves come from the version rules saving applies (version_rules.h), which is why
// every item test below goes through those rules.
#include <initializer_list>
#include <string>
#include <vector>

#include "helvo/engine/helvo_section.h"
#include "helvo/functions/analog.h"
#include "helvo/functions/fault_locator.h"
#include "helvo/functions/summation.h"
#include "helvo/model/dsp_cfg.h"
#include "helvo/model/helvo_cfg.h"
#include "helvo/model/meter_group.h"
#include "helvo/model/phasor.h"
#include "helvo/model/phasor_scan.h"
#include "helvo/model/pmu.h"
#include "helvo/model/records.h"
#include "helvo/platform/user_interface.h"
#include "helvo/saving/version_rules.h"

namespace helvo {

namespace {

// Type masks of the walks.
constexpr unsigned long kAllTypes = 0xFFFFFFF0ul;
constexpr unsigned long kAllButFaultLocators = 0xBFFFFFF0ul;
constexpr unsigned long kVoltageChannels = 0xF0ul;
constexpr unsigned long kSummations = 0x100FF000ul;
constexpr unsigned long kAnalogDCAndPF = 0x88400FF0ul;
constexpr unsigned long kFaultLocators = 0x40000000ul;

constexpr const char* kBlankLine = " ";
constexpr const char* kExcessMeterGroups =
    "Any excess will be removed.  The following Meter Groups will be affected:";
constexpr const char* kExcessFrequencies =
    "Any excess will be removed.  The following Frequency functions will be affected:";

// A consequence block: its explanation lines, one line per affected item, then a blank line. The
// block is appended only when it has items, unless it stands without items.
class cBlock {
 public:
  cBlock(std::initializer_list<const char*> text) : m_Text(text) {}  // copied: the list's array is temporary
  void AddItem(const std::string& name) { m_Items.AddTail(name); }
  bool HasItems() const { return !m_Items.IsEmpty(); }
  void AppendTo(StringList& lines) const {
    for (const char* line : m_Text) lines.AddTail(line);
    for (const std::string& item : m_Items) lines.AddTail(item);
    lines.AddTail(kBlankLine);
  }
  void AppendIfItems(StringList& lines) const {
    if (HasItems()) AppendTo(lines);
  }

 private:
  std::vector<const char*> m_Text;
  StringList m_Items;
};

void AppendLines(StringList& lines, std::initializer_list<const char*> text) {
  for (const char* line : text) lines.AddTail(line);
}

std::string NameOf(const CPhasor& p) {
  std::string name;
  p.GetName(name);
  return name;
}

// Calls f(function) for every function of the types of mask on each of the first boards boards.
template <class F>
void ForEachFunction(CHelvoCfg& cfg, int boards, unsigned long mask, F f) {
  for (int b = 0; b < boards; ++b) {
    if (!cfg.m_pDspCfg[b]) continue;
    cPhasorScan scan(cfg.m_pDspCfg[b], ePhScanGroup, mask);
    for (CPhasor* p = scan.GetFirst(); p; p = scan.GetNext()) f(*p);
  }
}

// Analog channels saving deletes at every version because the file could not describe them: no valid
// input module or scale. Said first, since it holds for the configuration's own version too.
void ScanIncompleteChannels(CHelvoCfg& cfg, StringList& lines, int boards) {
  cBlock block{"The following Analog Channel definitions have no valid Module Type or scale",
               "and will be removed from the setting file:"};
  ForEachFunction(cfg, boards, kAllTypes, [&](CPhasor& p) {
    const auto* channel = dynamic_cast<const CAnalogCfg*>(&p);
    if (channel && channel->m_bDirty == 0 && !IsAnalogChannelComplete(*channel)) block.AddItem(NameOf(p));
  });
  block.AppendIfItems(lines);
}

// Meter groups past the places a version from 4 on has: saving drops them. From version 202 a defined
// PMU phasor takes one of the places for the meters it streams (the PMU's own group a previous save
// built is not counted: the save builds it again; every other group counts, whatever its name).
void ScanMeterGroupPlaces(CHelvoCfg& cfg, StringList& lines, int version) {
  const bool pmu = version >= kFirstPmuVersion && cfg.m_pDspCfg[0] && cfg.m_pDspCfg[0]->IsPMUDefValid();
  const int places = MeterGroupLimit(version) - (pmu ? 1 : 0);
  const cBlock full{"Setting Files do not support more than 10 Meter Groups.", kExcessMeterGroups};
  const cBlock shared{"Setting Files with PMU phasors hold at most 9 Meter Groups besides the PMU's own.",
                      kExcessMeterGroups};
  cBlock block = pmu ? shared : full;
  int position = 0;
  for (CFiler* obj : cfg.m_MeterGroupList) {
    if (const auto* group = dynamic_cast<const CMeterGroup*>(obj);
        (group && group->m_bPmuOwn) || ++position <= places)
      continue;
    std::string name;
    if (const auto* named = dynamic_cast<const cNamedRecord*>(obj)) named->GetName(name);
    block.AddItem(name);
  }
  block.AppendIfItems(lines);
}

// The checks for versions 1 to 5. asVersion is the version whose rules apply (versions outside the
// known ones run as version 1); version is the target as given, for the class table.
void ScanOlderFamily(CHelvoCfg& cfg, StringList& lines, int version, int asVersion, int own, int boards) {
  // 1. Functions of classes the version cannot hold.
  if (asVersion == 1) {
    cBlock block{"Version 1 Setting Files do not support Logic and Fault Locator Functions.",
                 "The following Functions will be removed from the setting file:"};
    ForEachFunction(cfg, boards, kAllTypes, [&](CPhasor& p) {
      const bool supported =
          version > 0 && CHelvoCfgTables::IsClassSupported(static_cast<eHelvoCfgClass>(p.GetClass()),
                                                           static_cast<unsigned int>(version));
      if (!supported) block.AddItem(NameOf(p));
    });
    block.AppendIfItems(lines);
  }

  // 2. Notify actions the recorder will ignore; only worth saying for a configuration made for a
  //    recorder that knew them.
  if (!IsNotifyOperative(asVersion) && own >= 3) {
    cBlock block{"Recorders that expect Version 1 or 2 Setting Files do not support Notify",
                 "detector actions.  While existing Notify settings will be preserved, they",
                 "will be inoperative until the recorder has been upgraded and the Setting",
                 "file converted to Version 3 (or above).  The following detectors are", "affected:"};
    ForEachFunction(cfg, boards, kAllButFaultLocators, [&](CPhasor& p) {
      cHelvoDspCfg* group = p.GetDspCfg();
      const auto* section =
          group ? dynamic_cast<const cHelvoSection*>(group->GetSection(p.GetClass())) : nullptr;
      if (!section) return;
      for (const sStateChoice& state : section->GetStateChoices()) {
        if (!StateUsesNotify(state, &p)) continue;
        std::string name;
        p.GetStateName(name, &state);
        block.AddItem(name);
      }
    });
    block.AppendIfItems(lines);
  }

  // 3. Meter groups past the version's limit.
  const int limit = MeterGroupLimit(asVersion);
  if (asVersion <= 3 && static_cast<int>(cfg.m_MeterGroupList.GetCount()) > limit) {
    cBlock block{"Versions 1,2, and 3 Setting Files do not support more than 8 Meter Groups.",
                 kExcessMeterGroups};
    int position = 0;
    for (CFiler* obj : cfg.m_MeterGroupList) {
      if (++position <= limit) continue;
      std::string name;
      if (const auto* named = dynamic_cast<const cNamedRecord*>(obj)) named->GetName(name);
      block.AddItem(name);
    }
    block.AppendTo(lines);
  } else if (asVersion == version) {
    ScanMeterGroupPlaces(cfg, lines, version);
  }

  // 4. Trends.
  if (!IsTrendSupported(asVersion) && HasTrend(cfg)) {
    cBlock({"Trending is not supported in Setting Files with versions earlier",
            " than Version 4.  All Trend definitions will be dropped."})
        .AppendTo(lines);
  }

  // 5. Sag and swell detectors.
  if (!AreSagSwellWritten(asVersion)) {
    cBlock block{"Sag and Swell detector definitions are not supported in Setting Files",
                 "with versions earlier than Version 4.  The following Analog Channels",
                 "will lose their Sag and Swell detector definitions:"};
    ForEachFunction(cfg, boards, kVoltageChannels, [&](CPhasor& p) {
      if (const auto* channel = dynamic_cast<const CAnalogCfg*>(&p); channel && HasSagSwellSettings(*channel))
        block.AddItem(NameOf(p));
    });
    block.AppendIfItems(lines);
  }

  // 6. Summation angle offsets.
  if (!AreAngleOffsetsWritten(asVersion)) {
    cBlock block{"Angle Offsets in Summation channels are not supported in Setting",
                 "Files with versions earlier than Version 4.  The following Summation",
                 "Channels will lose their Angle Offset definitions:"};
    ForEachFunction(cfg, boards, kSummations, [&](CPhasor& p) {
      if (const auto* sum = dynamic_cast<const CSummationCfg*>(&p); sum && HasAngleOffsets(*sum))
        block.AddItem(NameOf(p));
    });
    block.AppendIfItems(lines);
  }

  // 7. Angle reference channels.
  if (!IsAngleReferenceWritten(asVersion)) {
    cBlock block{"Configurable angle reference channels are not supported in Setting",
                 "Files with versions earlier than Version 5.  The following Channel",
                 "Groups are affected:"};
    for (int b = 0; b < boards; ++b) {
      if (!cfg.m_pDspCfg[b] || !HasConfiguredAngleReference(*cfg.m_pDspCfg[b])) continue;
      std::string name;
      cfg.m_pDspCfg[b]->GetName(name);
      block.AddItem(name);
    }
    block.AppendIfItems(lines);
  }

  // 8 to 10. One walk: DC channels, channels whose module older files cannot name, power-factor
  //    detectors.
  if (!CHelvoCfgTables::IsDCSupported(static_cast<unsigned int>(asVersion))) {
    cBlock dc{"DC analog channels are not supported in Setting Files with versions",
              "earlier than Version 5.  The following Analog Channel definitions", "will be removed:"};
    cBlock module{"The following analog channels are configured with a Module Type that",
                  "cannot be supported in Setting Files earlier than Version 5.  The",
                  "following Analog Channel definitions will be removed:"};
    cBlock pf{"Power Factor Detectors are not supported in Setting Files with versions",
              "earlier than Version 5.  The following Power factor Detector definitions", "will be removed:"};
    const bool pfSupported =
        CHelvoCfgTables::IsClassSupported(ePFDetCfg, static_cast<unsigned int>(asVersion));
    ForEachFunction(cfg, boards, kAnalogDCAndPF, [&](CPhasor& p) {
      if (IsDCChannel(p)) {
        dc.AddItem(NameOf(p));
      } else if (const auto* channel = dynamic_cast<const CAnalogCfg*>(&p)) {
        if (IsAnalogChannelComplete(*channel) && LacksOldModuleName(*channel)) module.AddItem(NameOf(p));
      } else if (p.GetClass() == ePFDetCfg && !pfSupported) {
        pf.AddItem(NameOf(p));
      }
    });
    dc.AppendIfItems(lines);
    module.AppendIfItems(lines);
    pf.AppendIfItems(lines);
  }

  // 11. The "Almost Full" record alarm.
  if (!IsRecordAlarmWritten(asVersion) && RecordAlarmToSave(cfg) != 0) {
    cBlock({"An alarm to be used as an \"Almost Full\" indicator for Recordings",
            "is not available for Setting Files with versions earlier than Version 6.",
            "Your setting for this parameter will be lost, and no contact will be", "assigned."})
        .AppendTo(lines);
  }

  // 12. Fault locators fed by summed currents.
  if (!AreSummationCurrentsSupported(asVersion)) {
    cBlock block{"Fault Locator channels with Summation Current Inputs are not supported",
                 "in Setting Files with versions earlier than Version 6.  The following",
                 "Fault Locator channels may be removed, or some or all of their current",
                 "input definitions may be removed:"};
    ForEachFunction(cfg, boards, kFaultLocators, [&](CPhasor& p) {
      if (const auto* locator = dynamic_cast<const cFaultLocCfg*>(&p);
          locator && IsFaultLocatorDropped(*locator, asVersion))
        block.AddItem(NameOf(p));
    });
    block.AppendIfItems(lines);
  }
}

// The checks for the newer family. They describe whole-file changes and carry no items.
// Frequency functions past the folded file's places: saving writes the first ones of the boards the
// generation has, in board order.
void ScanFoldedFrequencies(CHelvoCfg& cfg, StringList& lines) {
  cBlock block{"Setting Files of version 201 and later hold at most 2 Frequency functions.",
               kExcessFrequencies};
  int position = 0;
  for (cHelvoDspCfg* group : cfg.m_pDspCfg) {
    if (!group || group->GetDspIndex() >= CHelvoCfg::DspsByGen(cfg.m_State.m_iIedGen)) continue;
    for (CPhasor* f : group->m_pFrequency)
      if (f && ++position > kFoldedFrequencyFunctions) block.AddItem(NameOf(*f));
  }
  block.AppendIfItems(lines);
}

void ScanNewerFamily(CHelvoCfg& cfg, StringList& lines, int version, int loaded, int boards) {
  if (boards > 1)
    AppendLines(lines, {"HELVO 7700 supports only Channel Group 1. This conversion",
                        "merges the settings created under Channel Group 2 into Channel Group 1.",
                        "All the element names in Channel Group2 will be appended with ':2'",
                        "and displayed under Channel Group 1"});
  if (version == 201 && loaded == 202)
    AppendLines(lines, {"All Phasor Measurement Unit (PMU) configuration information, if present",
                        "will be removed from the setting file"});
  if (version == 201 && loaded == 203)
    AppendLines(lines, {"All Phasor Measurement Unit (PMU) and Continuous Disturbance Recording (CDR)",
                        " configuration information, if present will be removed from the setting file"});
  if (version == 202 && loaded == 203)
    AppendLines(lines, {"All Continuous Disturbance Recording (CDR) configuration information, if present",
                        "will be removed from the setting file"});
  ScanFoldedFrequencies(cfg, lines);
  ScanMeterGroupPlaces(cfg, lines, version);
}

}  // namespace

void CHelvoCfg::PreDumpScan(StringList& lines, int version) {
  MessageScope messages(this, m_strFilePath);
  const CIdCfg* id = GetIdCfg();
  const int own = id ? id->m_nSettingsVers : 0;
  const int loaded = m_nLoadedSetVer;
  const int boards = DspBoardCount(*this);

  // The newer family's files cannot be turned back into the older family's.
  if (loaded >= 201 && version >= 1 && version <= 7) {
    lines.AddTail("DownwardConversionError");
    return;
  }
  ScanIncompleteChannels(*this, lines, boards);
  // Every version of the newer family folds the two channel groups into one, so the newer family's
  // checks apply to all of them.
  if (version >= 201) {
    ScanNewerFamily(*this, lines, version, loaded, boards);
    return;
  }
  if (version == 6 || version == 7) {
    ScanMeterGroupPlaces(*this, lines, version);
    return;
  }
  const int asVersion = (version >= 2 && version <= 5) ? version : 1;
  ScanOlderFamily(*this, lines, version, asVersion, own, boards);
}

}  // namespace helvo
