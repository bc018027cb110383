#include "helvo/model/phasor.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "helvo/engine/helvo_section.h"
#include "helvo/model/dsp_cfg.h"
#include "helvo/model/element_name.h"
#include "helvo/model/phasor_scan.h"
#include "helvo/platform/string_table.h"
#include "helvo/testing/model_fixture.h"

namespace helvo {
namespace {

using Fn = testing::ModelFn;
constexpr unsigned long kVa = 0x10, kVb = 0x20, kVc = 0x40, kIa = 0x100, kWV = 0x1000000, kFreq = 0x4000000,
                        kAnyType = 0x8000FF0;

constexpr StringResource kSuffixes[] = {{93001, "Mag"}, {93003, "HiLev"}, {93004, "Lo"}};

class PhasorTest : public testing::ModelTest {
 protected:
  PhasorTest() { RegisterStringTable(kSuffixes); }
  ~PhasorTest() override { UnregisterStringTable(kSuffixes); }
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
};

TEST_F(PhasorTest, ScanOrder) {
  SetFile(201, 1, 18);  // two frequency functions per board
  cHelvoDspCfg group(nullptr, 0);
  CElementName* line1 = NewElement(group, "Line1");
  CElementName* line2 = NewElement(group, "Line2");
  auto* vb = new Fn(eAnalogCfg, &group, 1, line1, kVb);
  auto* ia = new Fn(eAnalogCfg, &group, 1, line1, kIa);
  auto* va = new Fn(eAnalogCfg, &group, 1, line1, kVa);
  auto* va2 = new Fn(eAnalogCfg, &group, 1, line1, kVa);
  auto* vc = new Fn(eAnalogCfg, &group, 1, line1, kVc);
  auto* other = new Fn(eAnalogCfg, &group, 1, line2, kVa);
  auto* f2 = new Fn(eFrequencyCfg, &group, 2, nullptr, kFreq, true);
  auto* f1 = new Fn(eFrequencyCfg, &group, 1, nullptr, kFreq, true);

  using V = std::vector<CPhasor*>;
  EXPECT_EQ(Scan(group, ePhScanElement, 0xF0, line1), (V{va, va2, vb, vc}));
  EXPECT_EQ(Scan(group, ePhScanElement, kAnyType, line1), (V{va, va2, vb, vc, ia}));
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
  Fn analog(eAnalogCfg, &board2, 5);
  EXPECT_EQ(Name(analog), "Analog Input 23");  // numbered after the first board's 18
  analog.SetUserChannelNumber(20);
  EXPECT_EQ(analog.GetChannelNumber(), 2);
  EXPECT_EQ(Name(Fn(ePFDetCfg, &board1, 2)), "PF Function 2");

  SetFile(6, 1, 18);
  cHelvoSection meters(0, eAnalogCfg);
  meters.LoadMeterDefinition(0, 93001, kAnyType)
      ->LoadStateDefinition(0, 93003, 0x8400FF0, {}, {})
      ->LoadStateDefinition(1, 93004, 0x8400FF0, {}, {});
  const sMeterChoice* mag = meters.FindMeterChoice(0);
  const sStateChoice* hilev = meters.FindStateChoice(0);
  auto meter = [&](const CPhasor& f, const sMeterChoice* choice) {
    std::string name;
    f.GetMeterName(name, choice);
    return name;
  };
  auto state = [&](const CPhasor& f, const sStateChoice* choice) {
    std::string name;
    f.GetStateName(name, choice);
    return name;
  };
  Fn freq(eFrequencyCfg, &board1, 1, nullptr, kFreq);
  EXPECT_EQ(Name(freq), "Group 1 Frequency 1");
  EXPECT_EQ(state(freq, meters.FindStateChoice(1)), "Group 1 Frequency 1[Lo]");
  SetFile(201, 1, 18);
  freq.SetChannelNumber(2);
  EXPECT_EQ(Name(freq), "Frequency 2");
  EXPECT_EQ(meter(freq, mag), "Group 1 Frequency 2");

  CElementName* line = NewElement(board1, "Line1");
  Fn ia(eAnalogCfg, &board1, 1, line, kIa);
  EXPECT_EQ(Name(ia), "Line1:Ia");
  EXPECT_EQ(meter(ia, mag), "Line1:IaMag");
  ia.SetDescription("CT");
  EXPECT_EQ(Name(ia), "Line1:Ia:CT");
  EXPECT_EQ(meter(ia, mag), "Line1:IaMag:CT");
  EXPECT_EQ(state(ia, hilev), "Line1:Ia:CT[HiLev]");
  EXPECT_EQ(meter(Fn(eWattsVarsCfg, &board1, 1, line, kWV), mag), "Line1:Mag");  // no type in meter names
  Fn untyped(eAnalogCfg, &board1, 4, line, 0);
  EXPECT_EQ(Name(untyped), "Analog Input 4");
  EXPECT_EQ(meter(untyped, mag), "");

  std::string name = "stale";
  ia.GetMeterName(name, 9);  // no such meter
  EXPECT_EQ(name, "");

  // Looking a function up by name, without the one that asks.
  Fn ia2(eAnalogCfg, &board1, 2, line, kIa);
  EXPECT_EQ(board1.FindPhasorByName("line1:ia:ct", kAnyType, &ia2), &ia);
  EXPECT_EQ(board1.FindPhasorByName("Line1:Ia:CT", kAnyType, &ia), nullptr);
  ia2.SetDescription("CT");
  EXPECT_EQ(board1.FindPhasorByName("Line1:Ia:CT", kAnyType, &ia), &ia2);
  EXPECT_EQ(board1.FindPhasorByName("Line1:Ia:CT", 0xF0, nullptr), nullptr);
}

TEST_F(PhasorTest, TypeElementAndCopy) {
  cHelvoDspCfg group(nullptr, 0);
  CElementName* line1 = NewElement(group, "Line1");
  CElementName* line2 = NewElement(group, "Line2");
  Fn f(eAnalogCfg, &group, 1, line1, kVa);
  f.SetTypesEntry(CHelvoCfgTables::LookupType(kIa));
  f.UpdateType();
  EXPECT_EQ(line1->GetKindList(1).GetCount(), 1u);  // refiled under the current kind
  EXPECT_TRUE(line1->GetKindList(0).IsEmpty());
  f.SetParent_Element_Flags(&group, line2, kVb);
  EXPECT_FALSE(line1->Contains(&f));
  EXPECT_EQ(line2->GetKindList(0).GetHead(), &f);

  Fn g(eAnalogCfg, nullptr, 7);
  g.m_bDirty = 1;
  g.SetDescription("copy me");
  f = g;
  EXPECT_EQ(f.GetChannelNumber(), 7);
  EXPECT_EQ(f.GetDescription(), "copy me");
  EXPECT_EQ(f.m_bDirty, 0);  // not copied
  EXPECT_EQ(f.GetParent(), nullptr);
  line2->Remove(&f);  // f no longer names line2, so the list must not keep it either
}

}  // namespace
}  // namespace helvo
