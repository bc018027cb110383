#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <utility>

#include "helvo/model/class_tables.h"
#include "helvo/model/dsp_cfg.h"
#include "helvo/model/element_name.h"
#include "helvo/model/model_converters.h"
#include "helvo/model/phasor.h"
#include "helvo/testing/model_fixture.h"

namespace helvo {
namespace {

// A function (or, as owner, a record) of any class.
struct FakeFunction : testing::ModelFn {
  explicit FakeFunction(int cls, cHelvoDspCfg* group = nullptr, int channel = -1)
      : ModelFn(cls, group, channel) {}
};

// Starts from a one-board file of version 6: generation 1.
class RefConverterTest : public testing::HeaderTest<6> {
 protected:
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
  sum.m_bDefined = 0;
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
  analog2.m_bDefined = 0;
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

std::string UnitText(cstrUnit& unit, CFiler* owner) {
  std::string text = "x";
  int sysFreq = 60;
  unit.ConvertOut(owner, text, 0, sysFreq);
  return text;
}

class UnitFunction : public CPhasor {
 public:
  explicit UnitFunction(int cls) : m_nClass(cls) {}
  int GetClass() const override { return m_nClass; }
  const char* GetPriUnit() override { return m_pUnit; }
  int m_nClass;
  const char* m_pUnit = "kV";
};

TEST(UnitConverter, WritesTheOwnersPrimaryUnit) {
  cstrUnit unit;
  UnitFunction analog(eAnalogCfg), digital(eDigitalCfg), pf(ePFDetCfg);
  int sysFreq = 60;
  std::string text = "stored";
  unit.ConvertIn(&analog, text, sysFreq);
  EXPECT_EQ(unit.m_strUnit, "stored");
  EXPECT_EQ(UnitText(unit, &analog), "kV");  // the stored text is not what is written
  EXPECT_EQ(UnitText(unit, &pf), "kV");
  EXPECT_EQ(UnitText(unit, &digital), "");
  analog.m_pUnit = nullptr;
  EXPECT_EQ(UnitText(unit, &analog), "");
}

}  // namespace
}  // namespace helvo
