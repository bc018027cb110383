// What the compatibility scan lists before a save at a chosen version is what the saved file lacks:
// each conversion loads a file, scans, saves, reloads the saved file and compares, kind of loss by kind
// of loss, the items the scan names with what the reloaded model no longer holds.
#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "helvo/engine/helvo_section.h"
#include "helvo/functions/analog.h"
#include "helvo/functions/frequency.h"
#include "helvo/model/dsp_cfg.h"
#include "helvo/model/helvo_cfg.h"
#include "helvo/model/meter_group.h"
#include "helvo/model/phasor.h"
#include "helvo/model/phasor_scan.h"
#include "helvo/model/pmu.h"
#include "helvo/platform/format.h"
#include "helvo/saving/version_rules.h"
#include "helvo/testing/cfg_fixture.h"

namespace helvo {
namespace {

using Names = std::set<std::string>;

// Calls f(group index, function) for every function of both channel groups.
template <class F>
void ForEachFunction(CHelvoCfg& cfg, F f) {
  for (int b = 0; b < 2; ++b) {
    if (!cfg.m_pDspCfg[b]) continue;
    cPhasorScan scan(cfg.m_pDspCfg[b], ePhScanGroup, 0xFFFFFFF0ul);
    for (CPhasor* p = scan.GetFirst(); p; p = scan.GetNext()) f(b, *p);
  }
}

// The functions by name. A frequency function is named after its input, since its own name depends
// on the generation; with fold, the second group's element names carry the ":2" that folding the
// groups into one appends.
std::string FunctionName(int b, CPhasor& p, bool fold) {
  const bool frequency = p.GetClass() == eFrequencyCfg;
  CPhasor* named = frequency ? dynamic_cast<CFrequencyCfg&>(p).GetInputPhasor() : &p;
  std::string name;
  if (named) named->GetName(name);
  if (fold && b == 1 && named && named->GetElement())
    name.insert(named->GetElement()->GetName().size(), ":2");
  return frequency ? "Frequency of " + name : name;
}

Names FunctionNames(CHelvoCfg& cfg, bool fold = false) {
  Names names;
  ForEachFunction(cfg, [&](int b, CPhasor& p) { names.insert(FunctionName(b, p, fold)); });
  return names;
}

// The frequency functions the scan names (by their own names), named as FunctionNames names them.
Names FrequenciesNamed(CHelvoCfg& cfg, const Names& own, bool fold) {
  Names names;
  ForEachFunction(cfg, [&](int b, CPhasor& p) {
    std::string name;
    p.GetName(name);
    if (p.GetClass() == eFrequencyCfg && own.count(name)) names.insert(FunctionName(b, p, fold));
  });
  return names;
}

// The detector states whose action blocks have Notify set, named as the scan names them.
Names NotifyStates(CHelvoCfg& cfg) {
  Names names;
  ForEachFunction(cfg, [&](int, CPhasor& p) {
    const auto* section = dynamic_cast<const cHelvoSection*>(p.GetDspCfg()->GetSection(p.GetClass()));
    if (!section) return;
    for (const sStateChoice& state : section->GetStateChoices()) {
      if (!StateUsesNotify(state, &p)) continue;
      std::string name;
      p.GetStateName(name, &state);
      names.insert(name);
    }
  });
  return names;
}

Names MeterGroups(const CHelvoCfg& cfg) {
  Names names;
  for (CFiler* obj : cfg.m_MeterGroupList) {
    std::string name;
    if (const auto* named = dynamic_cast<const cNamedRecord*>(obj)) named->GetName(name);
    names.insert(name);
  }
  return names;
}

// Defined PMU phasors, used CDR channels and the identification records of both.
Names PmuAndCdr(CHelvoCfg& cfg) {
  Names names;
  for (CFiler* obj : cfg.m_pDspCfg[0]->GetPMUList())
    if (auto* pmu = dynamic_cast<CPMU*>(obj); pmu && pmu->IsDefined()) names.insert("PMU " + pmu->m_strName);
  for (CFiler* obj : cfg.m_pDspCfg[0]->GetCDRList())
    if (auto* cdr = dynamic_cast<CCDR*>(obj); cdr && cdr->IsUsed())
      names.insert(Format("CDR %d", cdr->m_nInputIndex));
  if (!cfg.m_PMUIdList.IsEmpty()) names.insert("PMU id");
  if (!cfg.m_CDRIdList.IsEmpty()) names.insert("CDR id");
  return names;
}

Names Minus(const Names& all, const Names& gone) {
  Names rest;
  std::set_difference(all.begin(), all.end(), gone.begin(), gone.end(), std::inserter(rest, rest.end()));
  return rest;
}

bool Says(const std::vector<std::string>& scan, const std::string& text) {
  return std::any_of(scan.begin(), scan.end(), [&](const std::string& l) { return l.find(text) != l.npos; });
}

// The scan's blocks (lines up to a line holding one blank) whose text (the lines up to the last one
// ending in ':', the lines after it being the items) contains key: true when there is one; the items
// go into items.
bool Block(const std::vector<std::string>& scan, const std::string& key, Names* items = nullptr) {
  bool found = false;
  for (auto begin = scan.begin(); begin != scan.end();) {
    const auto end = std::find(begin, scan.end(), " ");
    auto last = end;
    while (last != begin && (last - 1)->back() != ':') --last;
    if (std::any_of(begin, last == begin ? end : last,
                    [&](const std::string& line) { return line.find(key) != std::string::npos; })) {
      found = true;
      if (items && last != begin) items->insert(last, end);
    }
    begin = end == scan.end() ? end : end + 1;
  }
  return found;
}

// One board of a version 6 or 7 file: three voltages, a current, a current whose input module has no
// name before version 5, a DC channel, a current summation feeding a fault locator, watts/vars with a
// power-factor detector, a frequency function and a logic function on Ia's first state (indexes as
// generation 1 numbers them; the version 203 file reuses the board as it stands).
std::string Board(int g) {
  std::string s = Format("[ELEMENT%d-1]\nNAME=Line\n\n", g);
  const std::string volts = "PRI_1=69\nSEC_1=69\nPRI_2=-69\nSEC_2=-69\nPRI_UNIT=kV\nSEC_UNIT=V";
  const std::string amps = "PRI_1=600\nSEC_1=5\nPRI_2=-600\nSEC_2=-5\nPRI_UNIT=A\nSEC_UNIT=A";
  const std::string channels[][3] = {
      {"Va", "815201", volts}, {"Vb", "815201", volts}, {"Vc", "815201", volts}, {"Ia", "815204", amps},
      {"Ib", "815207", amps},  {"DC", "815208", volts}, {"Vn", "", volts}};  // no module: never written
  for (int n = 1; n <= 7; ++n)
    s += Format("[ANALOG_INPUT%d-%d]\nELEMENT=Line\nTYPE=%s\nINPUT_MODULE=%s\n%s\nFULL_SCALE=100\n\n", g, n,
                channels[n - 1][0].c_str(), channels[n - 1][1].c_str(), channels[n - 1][2].c_str());
  return s +
         Format(
             "[SUMMATION%d-1]\nELEMENT=Line\nTYPE=IaSum\nINPUT1_INDEX=3\n\n"
             "[WATTS/VARS%d-1]\nELEMENT=Line\nV_INDEX=0\nI_INDEX=3\n\n[PFDET%d-1]\nELEMENT=Line\nINPUT=0\n\n"
             "[FREQUENCY%d-1]\nIN_INDEX=0\n\n[LOGIC%d-1]\nELEMENT=Line\nINPUT1=35\n\n"
             "[FAULT_LOCATOR%d-1]\nELEMENT=Line\nTRIG_INDEX=35\nVA_INDEX=0\nVB_INDEX=1\nVC_INDEX=2\n"
             "IA_INDEX=18\nIB_INDEX=3\n\n",
             g, g, g, g, g, g);
}

using ScanMatchesSaveTest = testing::CfgTest;

TEST_F(ScanMatchesSaveTest, WhatTheScanNamesIsWhatTheReloadedFileLacks) {
  const std::string tail = "[EXTENDED_TREND1]\nIX1=0\nOP01=2\n\n[LIMITS]\nREC_ALARM=3\n\n";
  std::string groups;  // as many as every version from 4 on holds
  for (int n = 1; n <= 10; ++n) groups += Format("[METERING_GROUP%d]\nNAME=G%d\nINDEX1=0\n\n", n, n);
  // With a PMU phasor the PMU's own group is the last one and counts towards the limit.
  const std::string pmuGroups =
      groups.substr(0, groups.find("[METERING_GROUP10]")) + "[METERING_GROUP10]\nNAME=PMU\n\n";
  const std::string v7 = "[ID]\nSETTINGS_VERS=7\nNUM_BANKS=1\n\n" + Board(1) + groups + tail;
  const std::string v203 = "[ID]\nSETTINGS_VERS=203\nNUM_A_CHANNELS=18\nSAMPLE_RATE=96\n\n" + Board(1) +
                           pmuGroups +
                           "[PHASOR1-1]\nNAME=P1\nINP_INDEX=0\nINP_TYPE=0\n\n"
                           "[PMU]\nHEADER=Station\nREPORTING_RATE=30\n\n[CDR_CHAN1-1]\nINP_INDEX=0\n\n[CDR]"
                           "\nREPORTING_RATE=12\n\n" +
                           tail;
  const std::string twoBoards =
      "[ID]\nSETTINGS_VERS=6\nNUM_BANKS=2\n\n" + Board(1) + Board(2) + groups + tail;
  // Three frequency functions, one more than a folded file holds.
  const std::string threeFrequencies = "[ID]\nSETTINGS_VERS=6\nNUM_BANKS=2\n\n" + Board(1) +
                                       "[FREQUENCY1-2]\nIN_INDEX=1\n\n" + Board(2) + groups + tail;
  // Groups of the user's whose names a save uses for the PMU's own group: only that group is the PMU's.
  const std::string userPmu = "[ID]\nSETTINGS_VERS=7\nNUM_BANKS=1\n\n" + Board(1) + groups +
                              "[METERING_GROUP11]\nNAME=PMU\nINDEX1=0\n\n" + tail;
  const std::string userHidden = "[ID]\nSETTINGS_VERS=203\nNUM_A_CHANNELS=18\nSAMPLE_RATE=96\n\n" + Board(1) +
                                 "[METERING_GROUP1]\nNAME=@@@###\nINDEX1=0\n\n" + tail;
  struct Case {
    const char* name;
    const std::string& text;
    std::vector<int> targets;
    bool extra = true;  // add a group past the file's places
  };
  Names exercised;  // the kinds of loss some conversion named an item of
  for (const Case& c :
       {Case{"7 to 4", v7, {4}}, Case{"7 to 7 to 2", v7, {7, 2}}, Case{"7 to 201", v7, {201}},
        Case{"203 to 202 to 201", v203, {202, 201}}, Case{"6 to 201, two boards", twoBoards, {201}},
        Case{"6 to 203 to 203, three frequency functions", threeFrequencies, {203, 203}},
        Case{"user's PMU last, 7 to 7 to 201", userPmu, {7, 201}, false},
        Case{"user's @@@###, 203 to 203 to 202", userHidden, {203, 202}}}) {
    auto cfg =
        std::make_unique<CHelvoCfg>(dir_.Write("in.set", testing::SettingsFile(c.text + "[END]\n")), 0);
    ASSERT_EQ(cfg->m_eReadResult, eFilerNoError) << c.name;
    if (c.extra) new CMeterGroup("Extra", cfg.get());  // one more than the file's places
    dynamic_cast<CAnalogCfg&>(*cfg->m_pDspCfg[0]->m_pAnalog[0])
        .m_oHMagAct.m_bAction[CActionBlock::kNotifyAction] = 1;
    for (int target : c.targets) {
      SCOPED_TRACE(Format("%s: at %d", c.name, target));
      const bool fold = target >= 201 && cfg->m_pDspCfg[1] && DspBoardCount(*cfg) > 1;
      const Names functions = FunctionNames(*cfg, fold), notify = NotifyStates(*cfg),
                  meterGroups = MeterGroups(*cfg), pmu = PmuAndCdr(*cfg);
      const bool trend = HasTrend(*cfg);
      ASSERT_FALSE(functions.empty());
      StringList list;
      cfg->PreDumpScan(list, target);
      const std::vector<std::string> scan(list.begin(), list.end());
      // The scan names frequency functions by their own names, which the save changes.
      Names frequencies;
      Block(scan, "at most 2 Frequency functions", &frequencies);
      frequencies = FrequenciesNamed(*cfg, frequencies, fold);
      ASSERT_EQ(cfg->WriteCfgFile(dir_.File("out.set"), target, nullptr), 1);
      auto saved = std::make_unique<CHelvoCfg>(dir_.File("out.set"), 0);
      ASSERT_EQ(saved->m_eReadResult, eFilerNoError);

      Names removed, inoperative, excess;
      for (const char* key :
           {"Version 1 Setting Files", "DC analog channels", "configured with a Module Type",
            "no valid Module", "Power Factor Detectors are", "Fault Locator channels"})
        Block(scan, key, &removed);
      removed.insert(frequencies.begin(), frequencies.end());
      EXPECT_EQ(FunctionNames(*saved), Minus(functions, removed));
      // Notify settings the scan names stay in the file, inoperative.
      Block(scan, "Notify", &inoperative);
      EXPECT_EQ(Minus(inoperative, notify), Names{});
      EXPECT_EQ(NotifyStates(*saved), notify);
      Block(scan, "Meter Groups", &excess);
      EXPECT_EQ(MeterGroups(*saved), Minus(meterGroups, excess));
      EXPECT_EQ(HasTrend(*saved), trend && !Block(scan, "Trending"));
      Names lostPmu;
      for (const std::string& item : pmu)
        if (Says(scan, "(" + item.substr(0, 3) + ")")) lostPmu.insert(item);
      EXPECT_EQ(PmuAndCdr(*saved), Minus(pmu, lostPmu));
      for (const auto& [kind, items] : {std::pair<const char*, const Names&>{"functions", removed},
                                        {"Notify", inoperative},
                                        {"meter groups", excess},
                                        {"frequency functions", frequencies},
                                        {"PMU/CDR", lostPmu}})
        if (!items.empty()) exercised.insert(kind);
      if (trend && Block(scan, "Trending")) exercised.insert("trend");
      cfg = std::move(saved);
    }
  }
  EXPECT_EQ(exercised,
            (Names{"Notify", "PMU/CDR", "frequency functions", "functions", "meter groups", "trend"}));
}

}  // namespace
}  // namespace helvo
