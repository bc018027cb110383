#include "helvo/model/phasor.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "helvo/engine/helvo_section.h"
#include "helvo/model/dsp_cfg.h"
#include "helvo/model/element_name.h"
#include "helvo/model/phasor_scan.h"
#include "helvo/platform/string_table.h"

namespace helvo {
namespace {

class Fn : public CPhasor {
 public:
  Fn(int cls, cHelvoDspCfg* group, CElementName* element, unsigned long flags, int channel = 1)
      : CPhasor(group, element, flags), m_nClass(cls) {
    SetChannelNumber(channel);
  }
  int GetClass() const override { return m_nClass; }
  int m_nClass;
};

constexpr unsigned long kVa = 0x10, kVb = 0x20, kVc = 0x40, kIa = 0x100, kDC = 0x400000, kVaSum = 0x1000,
                        kWV = 0x1000000, kFreq = 0x4000000;

constexpr StringResource kSuffixes[] = {{93001, "Mag"}, {93002, "\n"}, {93003, "HiLev"}, {93004, "Lo"}};

class PhasorTest : public ::testing::Test {
 protected:
  PhasorTest() { RegisterStringTable(kSuffixes); }
  ~PhasorTest() override {
    UnregisterStringTable(kSuffixes);
    cFilerSections::m_nSettingVersion = saved_[0];
    cFilerSections::m_nDSPBanks = saved_[1];
    cFilerSections::m_nAChan = saved_[2];
    CHelvoCfgTables::m_iIedGen = saved_[3];
    CHelvoCfgTables::m_nSetVer = saved_[4];
  }
  static void SetFile(int version, int banks, int analogs) {
    cFilerSections::m_nSettingVersion = version;
    cFilerSections::m_nDSPBanks = banks;
    cFilerSections::m_nAChan = analogs;
    CHelvoCfgTables::m_nSetVer = version;
    CHelvoCfgTables::FunctionsPerDsp(eAnalogCfg);  // derives the generation
  }
  static CElementName* NewElement(cHelvoDspCfg& group, std::string name) {
    auto* e = new CElementName(name, &group);
    group.Add(e);
    return e;
  }
  static std::string Name(const CPhasor& f) {
    std::string name;
    f.GetName(name);
    return name;
  }
  static std::vector<CPhasor*> Scan(cHelvoDspCfg& group, E_PHSCAN_MODE mode, unsigned long mask,
                                    CElementName* element = nullptr) {
    std::vector<CPhasor*> found;
    cPhasorScan scan(&group, mode, mask, element);
    for (CPhasor* f = scan.GetFirst(); f; f = scan.GetNext()) found.push_back(f);
    return found;
  }

  int saved_[5] = {cFilerSections::m_nSettingVersion, cFilerSections::m_nDSPBanks, cFilerSections::m_nAChan,
                   CHelvoCfgTables::m_iIedGen, CHelvoCfgTables::m_nSetVer};
};

TEST_F(PhasorTest, ScanOrder) {
  SetFile(201, 1, 18);  // two frequency functions per board
  cHelvoDspCfg group(nullptr, 0);
  CElementName* line1 = NewElement(group, "Line1");
  CElementName* line2 = NewElement(group, "Line2");
  auto* vb = new Fn(eAnalogCfg, &group, line1, kVb);
  auto* ia = new Fn(eAnalogCfg, &group, line1, kIa);
  auto* va = new Fn(eAnalogCfg, &group, line1, kVa);
  auto* va2 = new Fn(eAnalogCfg, &group, line1, kVa);
  auto* vc = new Fn(eAnalogCfg, &group, line1, kVc);
  auto* other = new Fn(eAnalogCfg, &group, line2, kVa);
  auto* f2 = new Fn(eFrequencyCfg, &group, nullptr, kFreq, 2);
  auto* f1 = new Fn(eFrequencyCfg, &group, nullptr, kFreq, 1);
  group.Add(f2);
  group.Add(f1);

  using V = std::vector<CPhasor*>;
  EXPECT_EQ(Scan(group, ePhScanElement, 0xF0, line1), (V{va, va2, vb, vc}));
  EXPECT_EQ(Scan(group, ePhScanElement, 0x8000FF0, line1), (V{va, va2, vb, vc, ia}));
  EXPECT_EQ(Scan(group, ePhScanGroup, 0xF0 | kFreq), (V{f1, f2, va, va2, vb, vc, other}));
  EXPECT_EQ(Scan(group, ePhScanGroup, 0xF0), (V{va, va2, vb, vc, other}));
  EXPECT_EQ(Scan(group, ePhScanNone, 0xFFFFFFF0), V{});
  EXPECT_EQ(Scan(group, ePhScanElement, 0xF0, nullptr), V{});

  // Taking the last function out of its list does not disturb the scan.
  cPhasorScan scan(&group, ePhScanElement, 0xF0, line1);
  EXPECT_EQ(scan.GetFirst(), va);
  EXPECT_EQ(scan.GetNext(), va2);
  scan.RemoveLast();
  EXPECT_EQ(scan.GetNext(), vb);
  EXPECT_FALSE(line1->Contains(va2));
  delete va2;  // no longer listed by its element's lists; still unlinked from the rest
}

TEST_F(PhasorTest, Names) {
  SetFile(6, 2, 18);  // generation 2: two boards of 18 analog inputs
  cHelvoDspCfg board1(nullptr, 0), board2(nullptr, 1);
  Fn analog(eAnalogCfg, &board2, nullptr, 0, 5);
  EXPECT_EQ(Name(analog), "Analog Input 23");
  EXPECT_EQ(analog.GetUserChannelNumber(), 23);
  analog.SetUserChannelNumber(20);
  EXPECT_EQ(analog.GetChannelNumber(), 2);
  EXPECT_EQ(Name(Fn(ePFDetCfg, &board1, nullptr, 0, 2)), "PF Function 2");

  SetFile(6, 1, 18);
  Fn freq(eFrequencyCfg, &board1, nullptr, kFreq, 1);
  cHelvoSection meters(0, eAnalogCfg);
  meters.LoadMeterDefinition(0, 93001, 0x8000FF0)
      ->LoadMeterDefinition(4, 93002, kDC)
      ->LoadStateDefinition(0, 93003, 0x8400FF0, {}, {})
      ->LoadStateDefinition(1, 93004, 0x8400FF0, {}, {});
  const sMeterChoice* mag = meters.FindMeterChoice(0);
  const sStateChoice* hilev = meters.FindStateChoice(0);
  std::string name;
  EXPECT_EQ(Name(freq), "Group 1 Frequency 1");
  freq.GetStateName(name, meters.FindStateChoice(1));
  EXPECT_EQ(name, "Group 1 Frequency 1[Lo]");
  SetFile(201, 1, 18);
  freq.SetChannelNumber(2);
  EXPECT_EQ(Name(freq), "Frequency 2");
  freq.GetMeterName(name, mag);
  EXPECT_EQ(name, "Group 1 Frequency 2");

  CElementName* line = NewElement(board1, "Line1");
  Fn ia(eAnalogCfg, &board1, line, kIa);
  EXPECT_EQ(Name(ia), "Line1:Ia");
  ia.GetMeterName(name, mag);
  EXPECT_EQ(name, "Line1:IaMag");
  ia.SetDescription("CT");
  EXPECT_EQ(Name(ia), "Line1:Ia:CT");
  ia.GetMeterName(name, mag);
  EXPECT_EQ(name, "Line1:IaMag:CT");
  ia.GetStateName(name, hilev);
  EXPECT_EQ(name, "Line1:Ia:CT[HiLev]");

  Fn sum(eSummationCfg, &board1, line, kVaSum);
  sum.GetMeterName(name, mag);
  EXPECT_EQ(name, "Line1:VasumMag");  // meters use the alternate type name
  Fn wv(eWattsVarsCfg, &board1, line, kWV);
  wv.GetMeterName(name, mag);
  EXPECT_EQ(name, "Line1:Mag");
  wv.GetStateName(name, hilev);
  EXPECT_EQ(name, "Line1:W/V[HiLev]");
  Fn untyped(eAnalogCfg, &board1, line, 0, 4);
  EXPECT_EQ(Name(untyped), "Analog Input 4");
  untyped.GetMeterName(name, mag);
  EXPECT_EQ(name, "");

  // By index, through the section of the function's class in its group.
  auto* section = dynamic_cast<cHelvoSection*>(board1.GetSection(eAnalogCfg));
  section->LoadMeterDefinition(0, 93001, 0x8000FF0)->LoadMeterDefinition(4, 93002, kDC);
  Fn dc(eAnalogCfg, &board1, line, kDC);
  dc.GetMeterName(name, 4);
  EXPECT_EQ(name, "Line1:DC");
  ia.GetMeterName(name, 0);
  EXPECT_EQ(name, "Line1:IaMag:CT");
  ia.GetMeterName(name, 9);
  EXPECT_EQ(name, "");

  // Looking a function up by name, without the one that asks.
  Fn ia2(eAnalogCfg, &board1, line, kIa, 2);
  EXPECT_EQ(board1.FindPhasorByName("line1:ia:ct", 0x8000FF0, &ia2), &ia);
  EXPECT_EQ(board1.FindPhasorByName("Line1:Ia:CT", 0x8000FF0, &ia), nullptr);
  ia2.SetDescription("CT");
  EXPECT_EQ(board1.FindPhasorByName("Line1:Ia:CT", 0x8000FF0, &ia), &ia2);
  EXPECT_EQ(board1.FindPhasorByName("Line1:Ia:CT", 0xF0, nullptr), nullptr);
}

TEST_F(PhasorTest, TypeElementAndCopy) {
  cHelvoDspCfg group(nullptr, 0);
  CElementName* line1 = NewElement(group, "Line1");
  CElementName* line2 = NewElement(group, "Line2");
  Fn f(eAnalogCfg, &group, line1, kVa);
  EXPECT_STREQ(f.GetTypeString(), "Va");
  f.SetTypesEntry(CHelvoCfgTables::LookupType(kIa));
  f.UpdateType();
  EXPECT_EQ(line1->GetKindList(1).GetCount(), 1u);  // refiled under the current kind
  EXPECT_TRUE(line1->GetKindList(0).IsEmpty());
  f.SetParent_Element_Flags(&group, line2, kVb);
  EXPECT_FALSE(line1->Contains(&f));
  EXPECT_EQ(line2->GetKindList(0).GetHead(), &f);
  EXPECT_EQ(f.GetGroupMask(), 0xF0ul);

  Fn g(eAnalogCfg, nullptr, nullptr, 0, 7);
  g.m_bDirty = 1;
  g.SetDescription("copy me");
  EXPECT_FALSE(g.IsValidChannel());
  EXPECT_TRUE(g.IsValidChannel(7));
  EXPECT_EQ(g.GetTypeMask(7), g.GetTypeMask());
  EXPECT_EQ(g.GetTrendOptionMask(0), 0u);
  EXPECT_EQ(g.GetGroupMask(), 0ul);
  f = g;
  EXPECT_EQ(f.GetChannelNumber(), 7);
  EXPECT_EQ(f.GetDescription(), "copy me");
  EXPECT_EQ(f.m_bDirty, 0);  // not copied
  EXPECT_EQ(f.GetParent(), nullptr);
  line2->Remove(&f);  // f no longer names line2, so the list must not keep it either
}

}  // namespace
}  // namespace helvo
