#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <utility>

#include "helvo/engine/converters.h"
#include "helvo/engine/helvo_section.h"
#include "helvo/model/class_tables.h"
#include "helvo/model/dsp_cfg.h"
#include "helvo/model/element_name.h"
#include "helvo/model/phasor.h"
#include "helvo/platform/string_table.h"
#include "helvo/testing/test_model.h"

namespace helvo {
namespace {

// A function (or, as owner, a record) of any class, with settable inputs; counts live instances.
class FakeFunction : public CPhasor {
 public:
  explicit FakeFunction(int cls, cHelvoDspCfg* group = nullptr, int channel = -1) : m_nClass(cls) {
    SetParent(group);
    SetChannelNumber(channel);
    ++s_nLive;
  }
  ~FakeFunction() override { --s_nLive; }
  int GetClass() const override { return m_nClass; }
  int AreInputsDefined() override { return m_nInputs; }

  int m_nClass;
  int m_nInputs = 1;
  static int s_nLive;
};
int FakeFunction::s_nLive = 0;

// The header values of "the file last read" and the generation statics, restored after each test.
class RefConverterTest : public ::testing::Test {
 protected:
  RefConverterTest() { SetFile(6, 1, 18); }  // generation 1
  ~RefConverterTest() override {
    CHelvoCfgTables::m_iIedGen = gen_;
    CHelvoCfgTables::m_nSetVer = setVer_;
  }
  static void SetFile(int version, int banks, int analogs) {
    cFilerSections::m_nSettingVersion = CHelvoCfgTables::m_nSetVer = version;
    cFilerSections::m_nDSPBanks = banks;
    cFilerSections::m_nAChan = analogs;
    cFilerSections::m_nSampleRate = 96;
    CHelvoCfgTables::FunctionsPerDsp(eAnalogCfg);  // derives the generation
  }
  template <class C>
  static std::string Out(C& conv, CFiler* owner = nullptr, int version = 6, unsigned long* result = nullptr) {
    std::string text;
    int freq = 60;
    const unsigned long r = conv.ConvertOut(owner, text, version, freq);
    if (result) *result = r;
    return text;
  }
  template <class C>
  static void In(C& conv, std::string text, CFiler* owner = nullptr) {
    int freq = 60;
    conv.ConvertIn(owner, text, freq);
  }

  testing::ScopedFilerStatics statics_;
  const int gen_ = CHelvoCfgTables::m_iIedGen, setVer_ = CHelvoCfgTables::m_nSetVer;
};

TEST_F(RefConverterTest, TypesEntryReplacesLegacyCodesAndIgnoresCase) {
  CrefTypesEntry type;
  std::string text = "11";
  int freq = 0;
  type.ConvertIn(nullptr, text, freq);
  EXPECT_EQ(text + Out(type), "VbSumVbSum");  // the text itself is replaced
  // Only whole legacy codes; alternate names are no type names.
  for (auto [in, out] : {std::pair{"19", "Vseq"}, {"ia", "Ia"}, {"111", ""}, {"V", ""}}) {
    In(type, in);
    EXPECT_EQ(Out(type), out) << in;
  }
}

TEST_F(RefConverterTest, ChannelNumbersOutsideTheTableAndOwnersWithoutGroup) {
  cHelvoDspCfg group(nullptr, 0), board2(nullptr, 1);
  auto* analog = new FakeFunction(eAnalogCfg, &group);
  group.GetClassList(eAnalogCfg).AddTail(analog);  // owned by the group through its list
  In(analog->m_oiChannelNumber, "5", analog);
  EXPECT_EQ(group.GetIndexedPhasorAddress(eAnalogCfg, 4), analog);
  In(analog->m_oiChannelNumber, "19", analog);  // generation 1 holds 18 analog channels
  EXPECT_EQ(Out(analog->m_oiChannelNumber), "19");
  EXPECT_EQ(group.GetIndexedPhasorAddress(eAnalogCfg, 4), nullptr);

  // Before version 201, the second board has one frequency function.
  auto* freq = new FakeFunction(eFrequencyCfg, &board2);
  In(freq->m_oiChannelNumber, "2", freq);
  EXPECT_EQ(board2.GetIndexedPhasorAddress(eFrequencyCfg, 0), freq);

  // Without a channel group, numbers are kept and element names are neither found nor created.
  FakeFunction loose(eAnalogCfg);
  In(loose.m_oiChannelNumber, "3", &loose);
  In(loose.m_orefElementName, "Line1", &loose);
  EXPECT_EQ(loose.GetChannelNumber(), 3);
  EXPECT_TRUE(loose.GetElement() == nullptr && Out(loose.m_orefElementName).empty());
}

TEST_F(RefConverterTest, PhasorAndStateIndexes) {
  cHelvoDspCfg group(nullptr, 0);
  FakeFunction sum(eSummationCfg, &group, 2);
  CrefPhasor phasor;
  In(phasor, "77");
  EXPECT_EQ(phasor.m_nNumber, 77);
  EXPECT_EQ(Out(phasor), "-1");  // a raw index is not written back
  phasor.m_pPhasor = &sum;
  EXPECT_EQ(Out(phasor), "19");  // offset 18 + span 1 x (2 - 1)
  FakeFunction seq(eSequenceCfg, &group, 2);
  phasor.m_pPhasor = &seq;
  EXPECT_EQ(Out(phasor), "36");  // 33 + 3 x 1
  seq.SetChannelNumber(7);       // generation 1 holds 6 sequence functions
  EXPECT_EQ(Out(phasor), "-1");
  seq.SetChannelNumber(2);
  seq.m_bDirty = 1;
  EXPECT_EQ(Out(phasor), "-1");

  crefState state;
  state.m_pPhasor = &sum;
  sum.SetChannelNumber(3);
  state.m_nNumber = 2;
  EXPECT_EQ(Out(state), "258");  // 32 x 6 + 2 + 2 x 32 x 1
  sum.m_nInputs = 0;
  EXPECT_EQ(Out(state), "-1");

  SetFile(201, 1, 36);  // generation 4: 36 analog channels, two words per state
  FakeFunction analog(eAnalogCfg, &group, 20);
  state.m_pPhasor = &analog;
  state.m_nNumber = 1;
  EXPECT_EQ(Out(state), "83");  // 0 + 19 + 1 x 64
}

TEST_F(RefConverterTest, MeterIndexAndItsTextForms) {
  SetFile(4, 2, 18);  // generation 2: two boards of 235 meters
  cHelvoDspCfg board1(nullptr, 0), board2(nullptr, 1);
  FakeFunction sum(eSummationCfg, &board1, 3);
  FakeFunction analog2(eAnalogCfg, &board2, 1);
  CrefMeter meter;
  meter.m_pPhasor = &sum;
  meter.m_nMeter = 0;
  EXPECT_EQ(meter.GetMeterIndex(4), 94);  // 90 + 2 x 2
  meter.m_pPhasor = &analog2;
  EXPECT_EQ(meter.GetMeterIndex(4), 235);  // the second board follows the first's whole table
  EXPECT_EQ(meter.GetMeterIndex(201), 0);  // from version 201 boards are not counted
  int index = 12345;
  meter.m_nMeter = -1;  // an unresolved raw index names no meter
  EXPECT_TRUE(meter.GetMeterIndex(index, 4) == 0 && index == 12345);
  meter.m_nMeter = 0;
  analog2.m_nInputs = 0;
  EXPECT_EQ(meter.GetMeterIndex(4), -1);

  // Without an index: "-1" in the trend, no line elsewhere.
  FakeFunction trend(eTrend), group(eMeterGroup);
  unsigned long result = 9;
  EXPECT_EQ(Out(meter, &trend, 4, &result), "-1");
  EXPECT_EQ(result, 0u);
  EXPECT_EQ(Out(meter, &group, 4, &result), "");
  EXPECT_EQ(result, 1u);
  ceTrendOption entry;
  EXPECT_EQ(Out(entry, &group, 4), "-1");
  entry.m_pPhasor = &sum;
  entry.m_nMeter = 1;
  EXPECT_EQ(Out(entry, &trend, 4), "95");
}

TEST_F(RefConverterTest, TrendChoiceNamesStayInsideTheBuffer) {
  char buffer[8];
  for (auto [size, name] : {std::pair<size_t, const char*>{4, "Dam"}, {1, ""}}) {
    std::memset(buffer, 'x', sizeof buffer);
    EXPECT_STREQ(ceTrendOption::GetChoice(eTrendDamped, buffer, size), name);
    EXPECT_EQ(buffer[size], 'x') << size;
  }
  std::memset(buffer, 'x', sizeof buffer);
  EXPECT_EQ(ceTrendOption::GetChoice(eTrendDamped, buffer, 0), nullptr);
  EXPECT_EQ(ceTrendOption::GetChoice(static_cast<eTrendOption>(5), buffer, 8), nullptr);
  EXPECT_EQ(ceTrendOption::GetChoice(eTrendAvg, nullptr, 8), nullptr);
  EXPECT_EQ(buffer[0], 'x');
}

// Reading function sections through the engine: element names resolve across sections, legacy type
// codes are translated, and a repeated channel number replaces the earlier function.
constexpr StringResource kRefStrings[] = {{92002, "ELEMENT"}, {92003, "TYPE"}, {92004, "DESC"}};

class ReadingGroup : public cHelvoDspCfg {
 public:
  ReadingGroup() : cHelvoDspCfg(nullptr, 0) {
    // The group's own ANALOG_INPUT section, with the keys this test reads.
    auto* s = dynamic_cast<cHelvoSection*>(GetSection(eAnalogCfg));
    s->LoadCfgType(FieldOf(&CPhasor::m_oiChannelNumber), 0)
        ->LoadCfgType(CPhasor::GetorefElementName(), 92002)
        ->LoadCfgType(FieldOf(&CPhasor::m_orefTypesEntry), 92003)
        ->LoadCfgType(FieldOf(&CPhasor::m_strDescription), 92004)
        ->LoadMeterDefinition(0, 0, 0xFF0);
  }
  CObject* ConstructChild(int cls) override {
    if (cls == eElementName) return new CElementName;
    return cls == eAnalogCfg ? new FakeFunction(cls) : nullptr;
  }
};

// Also with the name index a channel group uses while a file is read: the index must find what the
// list search finds, elements appended by ELEMENT sections included.
TEST_F(RefConverterTest, ReadingFunctionSections) {
  RegisterStringTable(kRefStrings);
  const int live = FakeFunction::s_nLive;
  for (bool indexed : {false, true}) {
    SCOPED_TRACE(indexed ? "indexed" : "list search");
    ReadingGroup group;
    StringList lines;
    for (const char* l : {"[ELEMENT1-1]", "NAME=Bus", "", "[ANALOG_INPUT1-5]", "ELEMENT=Line1", "TYPE=1",
                          "DESC=old", "", "[ANALOG_INPUT1-5]", "ELEMENT=LINE1", "TYPE=Ia", "DESC=new", "",
                          "[ANALOG_INPUT1-6]", "ELEMENT=BUS", "TYPE=19"})
      lines.AddTail(l);
    StringList::Position pos;
    if (indexed) group.BeginRead();
    group.GetSections().ReadCfgFile(lines, pos);
    if (indexed) group.EndRead();

    auto* five = dynamic_cast<CPhasor*>(group.GetIndexedPhasorAddress(eAnalogCfg, 4));
    auto* six = dynamic_cast<CPhasor*>(group.GetIndexedPhasorAddress(eAnalogCfg, 5));
    ASSERT_TRUE(five && six);
    EXPECT_EQ(five->GetDescription(), "new");
    EXPECT_EQ(std::string(five->GetTypeString()) + six->GetTypeString(), "IaVseq");
    EXPECT_EQ(FakeFunction::s_nLive, live + 2);                // the replaced function was deleted ...
    EXPECT_EQ(group.GetClassList(eAnalogCfg).GetCount(), 2u);  // ... and left the list
    ASSERT_EQ(group.GetElementList().GetCount(), 2u);
    EXPECT_EQ(six->GetElement(), group.GetElementList().GetHead());  // the ELEMENT section's element
    EXPECT_EQ(six->GetElement()->GetParent(), &group);
    // The name as first stored, not as the later section spelt it.
    EXPECT_EQ(Out(five->m_orefElementName, five), "Line1");
    EXPECT_EQ(Out(six->m_orefElementName, six), "Bus");
  }
  EXPECT_EQ(FakeFunction::s_nLive, live);
  UnregisterStringTable(kRefStrings);
}

}  // namespace
}  // namespace helvo
