#include "helvo/model/class_tables.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <iterator>
#include <string>
#include <vector>

#include "helvo/engine/filer.h"

namespace helvo {
namespace {

using T = CHelvoCfgTables;

// Every static these tests change, restored afterwards: other tests share the process.
// clang-format off
int* const kChanged[] = {&T::m_iIedGen, &T::m_nSetVer, &T::NO_ANALOG_FOR_384, &cFilerSections::m_nSettingVersion,
                         &cFilerSections::m_nDSPBanks, &cFilerSections::m_nAChan, &cFilerSections::m_nSampleRate};
// clang-format on

class ClassTablesTest : public ::testing::Test {
 protected:
  ClassTablesTest() {
    std::memcpy(types_, TypeStrings, sizeof types_);
    for (std::size_t i = 0; i < std::size(kChanged); ++i) saved_[i] = *kChanged[i];
  }
  ~ClassTablesTest() override {
    std::memcpy(TypeStrings, types_, sizeof types_);
    for (std::size_t i = 0; i < std::size(kChanged); ++i) *kChanged[i] = saved_[i];
  }

 private:
  char types_[kTypeStringsSize];
  int saved_[std::size(kChanged)];
};

int IndexOf(const sTypesEntry* entry) {
  return entry == nullptr ? -1 : static_cast<int>(entry - TypesEntries);
}

// The type names are written to settings files: all of them, in table order, zero-filled to the end.
TEST_F(ClassTablesTest, TypeNamesAndLayout) {
  std::string names, alternates;
  unsigned long seen = 0;
  for (int i = 0; i < kNumTypes; ++i) {
    const sTypesEntry& e = TypesEntries[i];
    names += std::string(e.m_pName) + " ";
    if (e.m_pAltName != e.m_pName) alternates += std::string(e.m_pAltName) + " ";
    for (const char* p : {e.m_pName, e.m_pAltName}) {  // inside TypeStrings, at a string boundary
      ASSERT_TRUE(p >= TypeStrings && p < TypeStrings + kTypeStringsSize) << i;
      EXPECT_TRUE(p == TypeStrings || p[-1] == '\0') << i;
    }
    // One identifying bit above bit 3, distinct across types, inside the type's group.
    const unsigned long id = e.m_nFlags & ~0xFul;
    EXPECT_TRUE(id != 0 && (id & (id - 1)) == 0 && (seen & id) == 0 && (e.m_nGroupMask & id) == id) << i;
    seen |= id;
  }
  EXPECT_EQ(
      names,
      "Va Vb Vc Vac Ia Ib Ic In Iac DC EI VaSum VbSum VcSum VSum IaSum IbSum IcSum InSum ISum Vseq Iseq "
      "Z1 W/V Freq Logic FLoc PF ");
  EXPECT_EQ(alternates, "Vasum Vbsum Vcsum Vsum Iasum Ibsum Icsum Insum Isum V I Z ");
  EXPECT_TRUE(sTypesEntry::IsValidIndex(27) && !sTypesEntry::IsValidIndex(28));
}

TEST_F(ClassTablesTest, LookupType) {
  // By name: letter case ignored; alternate names, prefixes and extra characters do not match.
  EXPECT_EQ(IndexOf(sTypesEntry::LookupType("vasum")), 11);
  EXPECT_EQ(IndexOf(sTypesEntry::LookupType("Vsum")), 14);  // VSum's own name ignoring case
  for (const char* miss : {"V", "Vas", "Va ", "", static_cast<const char*>(nullptr)})
    EXPECT_EQ(sTypesEntry::LookupType(miss), nullptr);
  // By flags: the bits above bit 3 must agree; the kind code is ignored.
  EXPECT_EQ(IndexOf(T::LookupType(0x8000000Aul)), 27);
  for (unsigned long miss : {0ul, 0xFul, 0x110ul, ~0ul}) EXPECT_EQ(sTypesEntry::LookupType(miss), nullptr);

  // A host may rename types in place ...
  TypeStrings[TypesEntries[0].m_pName - TypeStrings + 1] = 'r';
  EXPECT_EQ(IndexOf(sTypesEntry::LookupType("vr")), 0);
  EXPECT_EQ(sTypesEntry::LookupType("Va"), nullptr);
  // ... even overwrite the tail zero bytes: "PF" then runs to the end, and no read goes past it.
  const std::ptrdiff_t pf = TypesEntries[27].m_pName - TypeStrings;
  for (std::size_t i = pf + 2; i < kTypeStringsSize; ++i) TypeStrings[i] = 'x';
  const std::string tail(TypeStrings + pf, kTypeStringsSize - pf);
  EXPECT_EQ(IndexOf(sTypesEntry::LookupType(tail.c_str())), 27);
  EXPECT_EQ(sTypesEntry::LookupType((tail + "x").c_str()), nullptr);
}

TEST_F(ClassTablesTest, ClassFromFlagsAndPhaseEnumeration) {
  // clang-format off
  const struct { unsigned long flags; int cls; } cases[] = {
      {0xF, eEndOfFile}, {0x10, eAnalogCfg}, {0x2000007, eDigitalCfg}, {0x10000001, eSummationCfg},
      {0x8000000A, ePFDetCfg}, {0x80001000, eSummationCfg}};  // lowest class wins
  // clang-format on
  for (const auto& c : cases) EXPECT_EQ(T::ClassFromFlags(c.flags), c.cls) << std::hex << c.flags;

  const unsigned long mask = T::GetTypeMask(eAnalogCfg);
  std::string names;
  unsigned int index = 99;
  for (unsigned long f = T::GetFirstPhaseFlags(mask, index); f != 0; f = T::GetNextPhaseFlags(mask, index)) {
    ASSERT_LT(index, 28u);
    EXPECT_EQ(f, TypesEntries[index].m_nFlags);
    names += std::string(TypesEntries[index].m_pName) + " ";
  }
  EXPECT_EQ(names, "Va Vb Vc Vac Ia Ib Ic In Iac DC ");
  EXPECT_EQ(index, 28u);
  EXPECT_EQ(T::GetFirstPhaseFlags(0xF, index), 0ul);  // low bits only
  EXPECT_EQ(index, 28u);
  for (unsigned start : {26u, 27u, 28u, UINT_MAX}) {  // the last type ends it; never wraps round
    index = start;
    EXPECT_EQ(T::GetNextPhaseFlags(0x10ul, index), 0ul) << start;
    EXPECT_EQ(index, 28u) << start;
  }
}

TEST_F(ClassTablesTest, ClassTableRowsAgreeWithTheGenerationTables) {
  for (int c = 0; c < kNumClasses; ++c) {
    const sClassInfo& row = T::ClassTable[c];
    unsigned long covered = 0;  // every bit of a type mask is some type's identifying bit
    for (const sTypesEntry& t : TypesEntries)
      if (t.m_nFlags & row.m_nTypeMask & ~0xFul) covered |= t.m_nFlags & ~0xFul;
    EXPECT_EQ(covered, row.m_nTypeMask) << c;
    // The row's addresses are the generation 3 and 4 columns of the generation tables.
    for (int col : {2, 3})
      EXPECT_EQ(std::vector<int>({row.m_nMeterOffset, row.m_nMeterSpan, row.m_nStateOffset, row.m_nStateSpan,
                                  row.m_nPhasorOffset, row.m_nPhasorSpan}),
                std::vector<int>({T::MeterOffsetsByClass_Gen[c][col], T::MeterSpanByClass_Gen[c][col],
                                  T::StateOffsetsByClass_Gen[c][col], T::StateSpanByClass_Gen[c][col],
                                  T::PhasorOffsetsByClass_Gen[c][col], T::PhasorSpanByClass_Gen[c][col]}))
          << c << " " << col;
    // A filled row makes objects of its own class; an empty one makes none.
    CObject* made = T::CreateClassObject(c);
    EXPECT_EQ(made ? made->GetRuntimeClass() : nullptr, T::GetRuntimeClass(c)) << c;
    delete made;
  }
}

TEST_F(ClassTablesTest, GenerationTablesAndVersionPredicates) {
  T::m_iIedGen = 3;  // the current-generation forms use their own table
  EXPECT_EQ(T::GetStateWidth(eDigitalCfg), 2);
  // The meter layout switches to one column for every generation at version 202.
  T::m_nSetVer = 201;
  EXPECT_EQ(std::vector<int>({T::GetMeterOffset(eSequenceCfg), T::GetMeterOffsetByGen(eSequenceCfg, 1),
                              T::GetMeterSpan(eSequenceCfg)}),
            (std::vector<int>{240, 120, 3}));
  T::m_nSetVer = 202;
  for (int gen : {1, 4})
    EXPECT_EQ(T::GetMeterOffsetByGen(eSequenceCfg, gen) + T::GetMeterSpanByGen(eSequenceCfg, gen), 246)
        << gen;
  T::m_nSetVer = 500;
  EXPECT_EQ(T::GetMeterOffset(eImpedanceCfg), 470);
  // clang-format off
  const struct { int cls; unsigned version; bool supported; } cases[] = {
      {eAnalogCfg, 0, false}, {eAnalogCfg, 1, true}, {eLogicCfg, 1, false}, {eLogicCfg, 2, true},
      {ePFDetCfg, 4, false},  {ePFDetCfg, 5, true},  {eCDR, 7, false},      {eAnalogCfg, 8, false},
      {eAnalogCfg, 200, false}, {ePMU, 201, true}, {ePMUId, 201, false}, {eAnalogCfg, UINT_MAX, true},
      {-1, 201, false}};
  // clang-format on
  for (const auto& c : cases)
    EXPECT_EQ(T::IsClassSupported(static_cast<eHelvoCfgClass>(c.cls), c.version), c.supported)
        << c.cls << " " << c.version;
  EXPECT_FALSE(T::IsDCSupported(4));
  EXPECT_TRUE(T::IsDCSupported(5));
}

TEST_F(ClassTablesTest, FunctionsPerDspDerivesTheGenerationAndAppliesTheRateRules) {
  T::NO_ANALOG_FOR_384 = 7;  // the static, not a constant
  // clang-format off
  const struct { int version, banks, analogs, rate, genBefore, cls, expected, genAfter; } cases[] = {
      {5, 1, 18, 96, 4, eSummationCfg, 15, 1},    {7, 2, 36, 384, 4, eAnalogCfg, 18, 2},  // no rate rule
      {200, 3, 18, 96, 3, eSummationCfg, 30, 3},  {201, 1, 24, 384, 2, eAnalogCfg, 18, 2},  // no generation
      {201, 1, 18, 256, 1, eAnalogCfg, 18, 3},    {201, 2, 18, 257, 1, eAnalogCfg, 7, 3},
      {201, 1, 18, 257, 1, eDigitalCfg, 16, 3},   {201, 1, 18, 257, 1, eSummationCfg, 30, 3},
      {201, 1, 36, 256, 1, eAnalogCfg, 18, 4},    {201, 1, 36, 256, 1, eDigitalCfg, 32, 4},
      {201, 1, 36, 255, 1, eAnalogCfg, 36, 4},    {201, 1, 36, 385, 1, eDigitalCfg, 64, 4},
      {201, 1, 24, 384, 4, eAnalogCfg, 7, 4},
      {201, 1, 36, 96, 1, 22, 0, 4},              {201, 1, 36, 96, 1, -5, 0, 4},  // derived even so
      {201, 1, 20, 384, 0, eDigitalCfg, 0, 0},    {3, 5, 18, 96, 9, eAnalogCfg, 0, 9}};
  // clang-format on
  for (const auto& c : cases) {
    T::m_iIedGen = c.genBefore;
    cFilerSections::m_nSettingVersion = c.version;  // the header of "the file last read"
    cFilerSections::m_nDSPBanks = c.banks;
    cFilerSections::m_nAChan = c.analogs;
    cFilerSections::m_nSampleRate = c.rate;
    EXPECT_EQ(T::FunctionsPerDsp(static_cast<eHelvoCfgClass>(c.cls)), c.expected)
        << c.version << " " << c.analogs << " " << c.rate << " " << c.cls;
    EXPECT_EQ(T::m_iIedGen, c.genAfter) << c.version << " " << c.banks << " " << c.analogs;
  }
}

TEST_F(ClassTablesTest, OutOfRangeClassesAndGenerationsGiveZero) {
  int (*const byGen[])(int, int) = {&T::GetMeterOffsetByGen, &T::GetMeterSpanByGen,  &T::GetStateOffsetByGen,
                                    &T::GetStateSpanByGen,   &T::GetStateWidthByGen, &T::GetPhasorOffsetByGen,
                                    &T::GetPhasorSpanByGen};
  int (*const current[])(int) = {&T::GetMeterOffset, &T::GetMeterSpan,  &T::GetStateOffset,
                                 &T::GetStateSpan,   &T::GetStateWidth, &T::GetPhasorOffset,
                                 &T::GetPhasorSpan};
  const int badClasses[] = {-1, 22, INT_MIN, INT_MAX}, badGens[] = {0, 5, -1, INT_MAX};
  for (int setVer : {201, 202}) {
    T::m_nSetVer = setVer;
    for (int i = 0; i < 4; ++i) {
      const int cls = badClasses[i], gen = badGens[i];
      T::m_iIedGen = gen;  // an odd current generation
      for (auto f : byGen) EXPECT_EQ(f(cls, 4) | f(eSequenceCfg, gen), 0) << setVer << " " << i;
      for (auto f : current) EXPECT_EQ(f(eSequenceCfg), 0) << setVer << " " << gen;
      T::m_iIedGen = 3;
      for (auto f : current) EXPECT_EQ(f(cls), 0) << setVer << " " << cls;
      EXPECT_EQ(T::DspsByGen(gen) | T::FunctionsPerDspByGen(eAnalogCfg, gen), 0) << gen;
      EXPECT_EQ(T::FunctionsPerDspByGen(static_cast<eHelvoCfgClass>(cls), 1), 0) << cls;
      EXPECT_EQ(T::GetTypeMask(cls), 0ul) << cls;
      EXPECT_EQ(T::GetRuntimeClass(cls), nullptr) << cls;
      EXPECT_EQ(T::CreateClassObject(cls), nullptr) << cls;
    }
  }
}

}  // namespace
}  // namespace helvo
