#include "helvo/model/class_tables.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <string>
#include <vector>

#include "helvo/engine/filer.h"

namespace helvo {
namespace {

using T = CHelvoCfgTables;

// The process-wide values as the program started (read during static initialisation, before any
// test can change them; the statics are constant-initialised, so this order is safe).
const int kStartIedGen = T::m_iIedGen;
const int kStartSetVer = T::m_nSetVer;
const int kStartBank = T::m_nBank;
const int kStartAChan = T::m_nAChan;
const int kStartSRate = T::m_nSRate;
const int kStartNoAnalog384 = T::NO_ANALOG_FOR_384;

// Saves every static these tests change and restores it afterwards: other tests share the process.
class ClassTablesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::memcpy(m_TypeStrings, TypeStrings, sizeof m_TypeStrings);
    m_iIedGen = T::m_iIedGen;
    m_nSetVer = T::m_nSetVer;
    m_nBank = T::m_nBank;
    m_nAChan = T::m_nAChan;
    m_nSRate = T::m_nSRate;
    m_nNoAnalog = T::NO_ANALOG_FOR_384;
    m_nFileVersion = cFilerSections::m_nSettingVersion;
    m_nFileBanks = cFilerSections::m_nDSPBanks;
    m_nFileAChan = cFilerSections::m_nAChan;
    m_nFileRate = cFilerSections::m_nSampleRate;
  }
  void TearDown() override {
    std::memcpy(TypeStrings, m_TypeStrings, sizeof m_TypeStrings);
    T::m_iIedGen = m_iIedGen;
    T::m_nSetVer = m_nSetVer;
    T::m_nBank = m_nBank;
    T::m_nAChan = m_nAChan;
    T::m_nSRate = m_nSRate;
    T::NO_ANALOG_FOR_384 = m_nNoAnalog;
    cFilerSections::m_nSettingVersion = m_nFileVersion;
    cFilerSections::m_nDSPBanks = m_nFileBanks;
    cFilerSections::m_nAChan = m_nFileAChan;
    cFilerSections::m_nSampleRate = m_nFileRate;
  }

  // Sets the header values of "the file last read".
  static void SetFile(int version, int banks, int analogs, int rate) {
    cFilerSections::m_nSettingVersion = version;
    cFilerSections::m_nDSPBanks = banks;
    cFilerSections::m_nAChan = analogs;
    cFilerSections::m_nSampleRate = rate;
  }

 private:
  char m_TypeStrings[kTypeStringsSize];
  int m_iIedGen, m_nSetVer, m_nBank, m_nAChan, m_nSRate, m_nNoAnalog;
  int m_nFileVersion, m_nFileBanks, m_nFileAChan, m_nFileRate;
};

int IndexOf(const sTypesEntry* entry) {
  return entry == nullptr ? -1 : static_cast<int>(entry - TypesEntries);
}

// ---- Statics -------------------------------------------------------------------------------------

TEST(ClassTablesDefaults, StaticsStartAtTheirDefaults) {
  EXPECT_EQ(kStartIedGen, 1);
  EXPECT_EQ(kStartSetVer, -1);
  EXPECT_EQ(kStartBank, 1);
  EXPECT_EQ(kStartAChan, 18);
  EXPECT_EQ(kStartSRate, -1);
  EXPECT_EQ(kStartNoAnalog384, 9);
}

// ---- TypeStrings, Template and TypesEntries ------------------------------------------------------

TEST_F(ClassTablesTest, TypeStringsHoldTheNamesInTableOrderZeroFilled) {
  const std::vector<std::string> expected = {
      "Va",    "Vb",    "Vc",    "Vac",   "Ia",    "Ib",    "Ic",    "In",    "Iac",  "DC",
      "EI",    "VaSum", "VbSum", "VcSum", "Vasum", "Vbsum", "Vcsum", "VSum",  "Vsum", "IaSum",
      "IbSum", "IcSum", "Iasum", "Ibsum", "Icsum", "InSum", "Insum", "ISum",  "Isum", "Vseq",
      "V",     "Iseq",  "I",     "Z1",    "Z",     "W/V",   "Freq",  "Logic", "FLoc", "PF"};
  std::size_t pos = 0;
  for (const std::string& name : expected) {
    ASSERT_LT(pos + name.size(), kTypeStringsSize) << name;
    EXPECT_EQ(std::string(TypeStrings + pos), name);
    pos += name.size() + 1;
  }
  EXPECT_EQ(pos, 181u);
  for (std::size_t i = pos; i < kTypeStringsSize; ++i) EXPECT_EQ(TypeStrings[i], '\0') << i;
}

TEST_F(ClassTablesTest, TemplateIsTypeStringsWithPhaseBytes) {
  int phaseBytes = 0;
  for (std::size_t i = 0; i < kTypeStringsSize; ++i) {
    if (Template[i] >= 1 && Template[i] <= 3) {
      EXPECT_EQ(TypeStrings[i], "abc"[Template[i] - 1]) << i;
      ++phaseBytes;
    } else {
      EXPECT_EQ(Template[i], TypeStrings[i]) << i;
    }
  }
  EXPECT_EQ(phaseBytes, 15);
  EXPECT_EQ(std::memcmp(Template, "V\1\0V\2\0V\3\0Vac\0", 13), 0);
  // "IbSum" is at the offset of TypesEntries[16]'s name.
  EXPECT_EQ(std::memcmp(Template + (TypesEntries[16].m_pName - TypeStrings), "I\2Sum", 6), 0);
  // "InSum" keeps its letter.
  EXPECT_STREQ(Template + (TypesEntries[18].m_pName - TypeStrings), "InSum");
}

TEST_F(ClassTablesTest, EveryNamePointerLiesInsideTypeStrings) {
  for (int i = 0; i < kNumTypes; ++i) {
    for (const char* p : {TypesEntries[i].m_pName, TypesEntries[i].m_pAltName}) {
      ASSERT_GE(p, TypeStrings) << i;
      ASSERT_LT(p, TypeStrings + kTypeStringsSize) << i;
      // The name starts at a string boundary and ends inside the array.
      EXPECT_TRUE(p == TypeStrings || p[-1] == '\0') << i;
      EXPECT_NE(std::memchr(p, '\0', TypeStrings + kTypeStringsSize - p), nullptr) << i;
    }
    const bool oneString = i <= 10 || i >= 23;
    EXPECT_EQ(TypesEntries[i].m_pName == TypesEntries[i].m_pAltName, oneString) << i;
  }
}

TEST_F(ClassTablesTest, TypeRowsMatchTheTypeTable) {
  struct Row {
    const char* name;
    const char* alt;
    unsigned long flags, group;
  };
  const Row rows[kNumTypes] = {
      {"Va", "Va", 0x10, 0xF0},
      {"Vb", "Vb", 0x20, 0xF0},
      {"Vc", "Vc", 0x40, 0xF0},
      {"Vac", "Vac", 0x80, 0xF0},
      {"Ia", "Ia", 0x101, 0x8000F00},
      {"Ib", "Ib", 0x201, 0x8000F00},
      {"Ic", "Ic", 0x401, 0x8000F00},
      {"In", "In", 0x801, 0x8000F00},
      {"Iac", "Iac", 0x8000001, 0x8000F00},
      {"DC", "DC", 0x400002, 0x400000},
      {"EI", "EI", 0x2000007, 0x2000000},
      {"VaSum", "Vasum", 0x1000, 0xF000},
      {"VbSum", "Vbsum", 0x2000, 0xF000},
      {"VcSum", "Vcsum", 0x4000, 0xF000},
      {"VSum", "Vsum", 0x8000, 0xF000},
      {"IaSum", "Iasum", 0x10001, 0x100F0000},
      {"IbSum", "Ibsum", 0x20001, 0x100F0000},
      {"IcSum", "Icsum", 0x40001, 0x100F0000},
      {"InSum", "Insum", 0x10000001, 0x100F0000},
      {"ISum", "Isum", 0x80001, 0x100F0000},
      {"Vseq", "V", 0x100003, 0x100000},
      {"Iseq", "I", 0x200004, 0x200000},
      {"Z1", "Z", 0x800005, 0x800000},
      {"W/V", "W/V", 0x1000006, 0x1000000},
      {"Freq", "Freq", 0x4000000, 0x4000000},
      {"Logic", "Logic", 0x20000008, 0x20000000},
      {"FLoc", "FLoc", 0x40000009, 0x40000000},
      {"PF", "PF", 0x8000000A, 0x80000000},
  };
  unsigned long seen = 0;
  for (int i = 0; i < kNumTypes; ++i) {
    const sTypesEntry& e = TypesEntries[i];
    EXPECT_STREQ(e.m_pName, rows[i].name) << i;
    EXPECT_STREQ(e.m_pAltName, rows[i].alt) << i;
    EXPECT_EQ(e.m_nFlags, rows[i].flags) << i;
    EXPECT_EQ(e.m_nGroupMask, rows[i].group) << i;
    // One identifying bit above bit 3, distinct across types, inside the type's group.
    const unsigned long id = e.m_nFlags & ~0xFul;
    EXPECT_EQ(id & (id - 1), 0ul) << i;
    EXPECT_NE(id, 0ul) << i;
    EXPECT_EQ(seen & id, 0ul) << i;
    seen |= id;
    EXPECT_EQ(e.m_nGroupMask & id, id) << i;
  }
  // "Freq" has kind code 0, as the voltages.
  EXPECT_EQ(TypesEntries[24].m_nFlags & 0xF, 0ul);
  EXPECT_TRUE(sTypesEntry::IsValidIndex(27));
  EXPECT_FALSE(sTypesEntry::IsValidIndex(28));
  EXPECT_FALSE(sTypesEntry::IsValidIndex(UINT_MAX));
}

// ---- LookupType ----------------------------------------------------------------------------------

TEST_F(ClassTablesTest, LookupTypeByNameIgnoresCaseAndSkipsAlternateNames) {
  EXPECT_EQ(IndexOf(sTypesEntry::LookupType("ia")), 4);
  EXPECT_EQ(IndexOf(sTypesEntry::LookupType("IA")), 4);
  EXPECT_EQ(IndexOf(sTypesEntry::LookupType("vasum")), 11);
  EXPECT_EQ(IndexOf(sTypesEntry::LookupType("Z1")), 22);
  EXPECT_EQ(IndexOf(sTypesEntry::LookupType("w/v")), 23);
  EXPECT_EQ(IndexOf(sTypesEntry::LookupType("pf")), 27);
  // "Vsum" is VSum's alternate name, but it also equals the name "VSum" ignoring case.
  EXPECT_EQ(IndexOf(sTypesEntry::LookupType("Vsum")), 14);
  // Alternate names alone are not searched.
  EXPECT_EQ(sTypesEntry::LookupType("V"), nullptr);
  EXPECT_EQ(sTypesEntry::LookupType("Z"), nullptr);
  EXPECT_EQ(sTypesEntry::LookupType("I"), nullptr);
  // No prefix or partial matches.
  EXPECT_EQ(sTypesEntry::LookupType("Vas"), nullptr);
  EXPECT_EQ(sTypesEntry::LookupType("Va "), nullptr);
  EXPECT_EQ(sTypesEntry::LookupType(""), nullptr);
  EXPECT_EQ(sTypesEntry::LookupType(static_cast<const char*>(nullptr)), nullptr);
  // The object-free forwarding forms.
  EXPECT_EQ(IndexOf(T::LookupType(std::string("iC"))), 6);
  EXPECT_EQ(IndexOf(T::LookupType(0x40001ul)), 17);
}

TEST_F(ClassTablesTest, LookupTypeByFlagsComparesBitsAboveBit3) {
  EXPECT_EQ(IndexOf(sTypesEntry::LookupType(0x10Ful)), 4);  // Ia's bit, other low bits
  EXPECT_EQ(IndexOf(sTypesEntry::LookupType(0x100ul)), 4);
  EXPECT_EQ(IndexOf(sTypesEntry::LookupType(0x4000009ul)), 24);  // Freq, kind ignored
  EXPECT_EQ(IndexOf(sTypesEntry::LookupType(0x8000000Aul)), 27);
  EXPECT_EQ(sTypesEntry::LookupType(0ul), nullptr);
  EXPECT_EQ(sTypesEntry::LookupType(0xFul), nullptr);
  EXPECT_EQ(sTypesEntry::LookupType(0x110ul), nullptr);  // two types' bits: no single match
  EXPECT_EQ(sTypesEntry::LookupType(~0ul), nullptr);
}

TEST_F(ClassTablesTest, RewritingTypeStringsRenamesTypesInPlace) {
  const std::ptrdiff_t va = TypesEntries[0].m_pName - TypeStrings;
  TypeStrings[va + 1] = 'r';  // "Va" becomes "Vr"
  EXPECT_STREQ(TypesEntries[0].m_pName, "Vr");
  EXPECT_EQ(IndexOf(sTypesEntry::LookupType("vr")), 0);
  EXPECT_EQ(sTypesEntry::LookupType("Va"), nullptr);
}

TEST_F(ClassTablesTest, LookupTypeByNameStaysInsideTypeStringsWithoutZeroBytes) {
  // A host that overwrites the tail zero bytes: "PF" runs to the end of the array.
  const std::ptrdiff_t pf = TypesEntries[27].m_pName - TypeStrings;
  for (std::size_t i = pf + 2; i < kTypeStringsSize; ++i) TypeStrings[i] = 'x';
  const std::string tail(TypeStrings + pf, kTypeStringsSize - pf);
  EXPECT_EQ(IndexOf(sTypesEntry::LookupType(tail.c_str())), 27);
  EXPECT_EQ(sTypesEntry::LookupType((tail + "x").c_str()), nullptr);
}

// ---- ClassFromFlags and phase enumeration --------------------------------------------------------

TEST_F(ClassTablesTest, ClassFromFlags) {
  EXPECT_EQ(T::ClassFromFlags(0), eEndOfFile);
  EXPECT_EQ(T::ClassFromFlags(0xF), eEndOfFile);
  EXPECT_EQ(T::ClassFromFlags(0x7), eEndOfFile);
  EXPECT_EQ(T::ClassFromFlags(TypesEntries[8].m_nFlags), eAnalogCfg);      // Iac
  EXPECT_EQ(T::ClassFromFlags(TypesEntries[18].m_nFlags), eSummationCfg);  // InSum
  EXPECT_EQ(T::ClassFromFlags(TypesEntries[9].m_nFlags), eAnalogCfg);      // DC
  EXPECT_EQ(T::ClassFromFlags(TypesEntries[10].m_nFlags), eDigitalCfg);    // EI
  EXPECT_EQ(T::ClassFromFlags(0x10), eAnalogCfg);                          // Va
  EXPECT_EQ(T::ClassFromFlags(0x8000), eSummationCfg);                     // VSum
  EXPECT_EQ(T::ClassFromFlags(0x200004), eSequenceCfg);                    // Iseq
  EXPECT_EQ(T::ClassFromFlags(0x800005), eImpedanceCfg);
  EXPECT_EQ(T::ClassFromFlags(0x1000006), eWattsVarsCfg);
  EXPECT_EQ(T::ClassFromFlags(0x4000000), eFrequencyCfg);
  EXPECT_EQ(T::ClassFromFlags(0x20000008), eLogicCfg);
  EXPECT_EQ(T::ClassFromFlags(0x40000009), eFaultLocCfg);
  EXPECT_EQ(T::ClassFromFlags(0x8000000A), ePFDetCfg);
  // Several classes' bits: the lowest class wins.
  EXPECT_EQ(T::ClassFromFlags(0x80000000ul | 0x1000ul), eSummationCfg);
}

TEST_F(ClassTablesTest, PhaseFlagsOfTheAnalogMask) {
  const unsigned long mask = T::GetTypeMask(eAnalogCfg);
  ASSERT_EQ(mask, 0x8400FF0ul);
  std::vector<std::string> names;
  std::vector<unsigned> indexes;
  unsigned int index = 99;
  for (unsigned long f = T::GetFirstPhaseFlags(mask, index); f != 0; f = T::GetNextPhaseFlags(mask, index)) {
    ASSERT_LT(index, 28u);
    EXPECT_EQ(f, TypesEntries[index].m_nFlags);
    names.push_back(TypesEntries[index].m_pName);
    indexes.push_back(index);
    ASSERT_LE(names.size(), 28u);
  }
  EXPECT_EQ(names, (std::vector<std::string>{"Va", "Vb", "Vc", "Vac", "Ia", "Ib", "Ic", "In", "Iac", "DC"}));
  EXPECT_EQ(indexes, (std::vector<unsigned>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9}));
  EXPECT_EQ(index, 28u);
}

TEST_F(ClassTablesTest, PhaseFlagsOfOtherMasksAndTheEnds) {
  unsigned int index = 5;
  EXPECT_EQ(T::GetFirstPhaseFlags(T::GetTypeMask(eSequenceCfg), index), 0x100003ul);
  EXPECT_EQ(index, 20u);
  EXPECT_EQ(T::GetNextPhaseFlags(T::GetTypeMask(eSequenceCfg), index), 0x200004ul);
  EXPECT_EQ(index, 21u);
  EXPECT_EQ(T::GetNextPhaseFlags(T::GetTypeMask(eSequenceCfg), index), 0ul);
  EXPECT_EQ(index, 28u);

  index = 3;
  EXPECT_EQ(T::GetFirstPhaseFlags(0, index), 0ul);
  EXPECT_EQ(index, 28u);
  EXPECT_EQ(T::GetFirstPhaseFlags(0xF, index), 0ul);  // low bits only
  EXPECT_EQ(index, 28u);

  // PF is the last type.
  EXPECT_EQ(T::GetFirstPhaseFlags(0x80000000ul, index), 0x8000000Aul);
  EXPECT_EQ(index, 27u);
  EXPECT_EQ(T::GetNextPhaseFlags(0x80000000ul, index), 0ul);
  EXPECT_EQ(index, 28u);
  // Past the end: never wraps round to the first type.
  for (unsigned start : {27u, 28u, 1000u, UINT_MAX}) {
    index = start;
    EXPECT_EQ(T::GetNextPhaseFlags(~0ul, index), 0ul) << start;
    EXPECT_EQ(index, 28u) << start;
  }
}

// ---- ClassTable ----------------------------------------------------------------------------------

TEST_F(ClassTablesTest, ClassTableRows) {
  const char* const names[kNumClasses] = {"Elements",
                                          "Analog Inputs",
                                          "External Inputs",
                                          "Summations",
                                          "Sequence Functions",
                                          "Impedance Functions",
                                          "Watts/Vars Functions",
                                          "Identification",
                                          "Recording Limits",
                                          "Frequency",
                                          "Meter Groups",
                                          "Logic Functions",
                                          "Fault Locators",
                                          "Trends",
                                          "Channel Groups",
                                          "Recorders",
                                          "PF Functions",
                                          "Storage Alarms",
                                          "PMU",
                                          "PMUId",
                                          "CDR",
                                          "CDRId"};
  const unsigned long masks[kNumClasses] = {
      0,          0x8400FF0,  0x2000000, 0x100FF000, 0x300000, 0x800000,   0x1000000, 0, 0, 0x4000000, 0,
      0x20000000, 0x40000000, 0,         0,          0,        0x80000000, 0,         0, 0, 0,         0};
  const int bounds[kNumClasses][4] = {
      {0, 0, 0, 0},   {1, 19, 18, 36}, {1, 33, 32, 64}, {1, 16, 15, 30}, {1, 7, 6, 12},  {1, 10, 9, 18},
      {1, 10, 9, 18}, {0, 0, 0, 0},    {0, 0, 0, 0},    {0, 0, 0, 0},    {0, 0, 0, 0},   {1, 16, 15, 31},
      {1, 6, 5, 11},  {0, 0, 0, 0},    {1, 1, 2, 2},    {0, 0, 0, 0},    {1, 10, 9, 18}, {0, 0, 0, 0},
      {0, 0, 0, 0},   {0, 0, 0, 0},    {0, 0, 0, 0},    {0, 0, 0, 0}};
  for (int c = 0; c < kNumClasses; ++c) {
    const sClassInfo& row = T::ClassTable[c];
    EXPECT_STREQ(row.m_pDisplayName, names[c]) << c;
    EXPECT_EQ(row.m_nTypeMask, masks[c]) << c;
    EXPECT_EQ(T::GetTypeMask(c), masks[c]) << c;
    EXPECT_EQ(row.m_nFirstChannelDsp1, bounds[c][0]) << c;
    EXPECT_EQ(row.m_nFirstChannelDsp2, bounds[c][1]) << c;
    EXPECT_EQ(row.m_nLastChannelDsp1, bounds[c][2]) << c;
    EXPECT_EQ(row.m_nLastChannelDsp2, bounds[c][3]) << c;
    // Element lists: 1-6, 11, 12, 16; channel-group lists: those and frequency (9).
    const bool element = (c >= 1 && c <= 6) || c == 11 || c == 12 || c == 16;
    EXPECT_EQ(row.m_bInElementLists, element) << c;
    EXPECT_EQ(row.m_bInDspLists, element || c == 9) << c;
    // Every bit of a type mask is some type's identifying bit.
    unsigned long covered = 0;
    for (const sTypesEntry& t : TypesEntries)
      if (t.m_nFlags & row.m_nTypeMask & ~0xFul) covered |= t.m_nFlags & ~0xFul;
    EXPECT_EQ(covered, row.m_nTypeMask) << c;
  }
}

TEST_F(ClassTablesTest, ClassTableAddressesAreTheGeneration3And4Columns) {
  for (int c = 0; c < kNumClasses; ++c) {
    const sClassInfo& row = T::ClassTable[c];
    for (int col : {2, 3}) {
      EXPECT_EQ(row.m_nMeterOffset, T::MeterOffsetsByClass_Gen[c][col]) << c;
      EXPECT_EQ(row.m_nMeterSpan, T::MeterSpanByClass_Gen[c][col]) << c;
      EXPECT_EQ(row.m_nStateOffset, T::StateOffsetsByClass_Gen[c][col]) << c;
      EXPECT_EQ(row.m_nStateSpan, T::StateSpanByClass_Gen[c][col]) << c;
      EXPECT_EQ(row.m_nPhasorOffset, T::PhasorOffsetsByClass_Gen[c][col]) << c;
      EXPECT_EQ(row.m_nPhasorSpan, T::PhasorSpanByClass_Gen[c][col]) << c;
    }
  }
}

// Rows are filled as their classes are added: a filled row makes objects of its own run-time class,
// an empty one makes none, and nothing is made outside the table.
TEST_F(ClassTablesTest, FactoriesMakeTheirRowsClass) {
  for (int c = 0; c < kNumClasses; ++c) {
    const RuntimeClass* cls = T::GetRuntimeClass(c);
    CObject* made = T::CreateClassObject(c);
    if (!cls) {
      EXPECT_EQ(made, nullptr) << c;
      continue;
    }
    ASSERT_NE(made, nullptr) << c;
    EXPECT_EQ(made->GetRuntimeClass(), cls) << c;
    EXPECT_GT(T::ClassTable[c].m_nSize, 0u) << c;
    delete made;
  }
  for (int c : {-1, kNumClasses, INT_MIN, INT_MAX}) {
    EXPECT_EQ(T::GetRuntimeClass(c), nullptr) << c;
    EXPECT_EQ(T::CreateClassObject(c), nullptr) << c;
  }
}

// ---- Generation tables ---------------------------------------------------------------------------

TEST_F(ClassTablesTest, GenerationCounts) {
  EXPECT_EQ(T::DspsByGen(1), 1);
  EXPECT_EQ(T::DspsByGen(2), 2);
  EXPECT_EQ(T::DspsByGen(3), 1);
  EXPECT_EQ(T::DspsByGen(4), 1);
  EXPECT_EQ(T::FunctionsPerDspByGen(eAnalogCfg, 4), 36);
  EXPECT_EQ(T::FunctionsPerDspByGen(eDigitalCfg, 3), 32);
  EXPECT_EQ(T::FunctionsPerDspByGen(eFrequencyCfg, 1), 1);
  EXPECT_EQ(T::FunctionsPerDspByGen(eFrequencyCfg, 3), 2);
  EXPECT_EQ(T::FunctionsPerDspByGen(eDspCfg, 2), 2);
  EXPECT_EQ(T::FunctionsPerDspByGen(eHelvoCfg, 2), 2);
  EXPECT_EQ(T::FunctionsPerDspByGen(eStorageAlarms, 3), 18);
  EXPECT_EQ(T::FunctionsPerDspByGen(eCDR, 2), 0);
  EXPECT_EQ(T::FunctionsPerDspByGen(eCDR, 4), 36);
  EXPECT_EQ(T::FunctionsPerDspByGen(eTrend, 3), 0);
  EXPECT_EQ(T::FunctionsPerDspByGen(eFaultLocCfg, 4), 10);
}

TEST_F(ClassTablesTest, StateAndPhasorAddresses) {
  T::m_iIedGen = 1;
  EXPECT_EQ(T::GetStateOffset(eDigitalCfg), 32);
  EXPECT_EQ(T::GetStateSpan(eAnalogCfg), 6);
  EXPECT_EQ(T::GetStateWidth(eAnalogCfg), 1);
  EXPECT_EQ(T::GetPhasorOffset(eSequenceCfg), 33);
  EXPECT_EQ(T::GetPhasorSpan(eSequenceCfg), 3);
  T::m_iIedGen = 3;
  EXPECT_EQ(T::GetStateOffset(eDigitalCfg), 38);
  EXPECT_EQ(T::GetStateSpan(eAnalogCfg), 12);
  EXPECT_EQ(T::GetStateWidth(eDigitalCfg), 2);
  EXPECT_EQ(T::GetPhasorOffset(eSummationCfg), 36);
  EXPECT_EQ(T::GetPhasorSpan(eWattsVarsCfg), 1);
  EXPECT_EQ(T::GetStateOffsetByGen(ePFDetCfg, 4), 43);
  EXPECT_EQ(T::GetStateSpanByGen(eWattsVarsCfg, 2), 12);
  EXPECT_EQ(T::GetStateWidthByGen(eFaultLocCfg, 3), 0);
  EXPECT_EQ(T::GetPhasorOffsetByGen(eSequenceCfg, 4), 66);
  EXPECT_EQ(T::GetPhasorSpanByGen(eDigitalCfg, 1), 0);
}

TEST_F(ClassTablesTest, MeterLayoutSwitchesAtVersion202) {
  T::m_nSetVer = 201;
  T::m_iIedGen = 1;
  EXPECT_EQ(T::GetMeterOffset(eSequenceCfg), 120);
  EXPECT_EQ(T::GetMeterSpan(eSequenceCfg), 3);
  T::m_iIedGen = 3;
  EXPECT_EQ(T::GetMeterOffset(eSequenceCfg), 240);
  EXPECT_EQ(T::GetMeterSpan(eSequenceCfg), 3);
  EXPECT_EQ(T::GetMeterOffset(eDigitalCfg), 332);
  // Summation function 2 (counted from 0: 1) owns entries 182 and 183.
  EXPECT_EQ(T::GetMeterOffset(eSummationCfg) + 1 * T::GetMeterSpan(eSummationCfg), 182);
  EXPECT_EQ(T::GetMeterSpanByGen(eSummationCfg, 3), 2);

  T::m_nSetVer = 202;
  for (int gen : {1, 2, 3, 4}) {
    EXPECT_EQ(T::GetMeterOffsetByGen(eSequenceCfg, gen), 240) << gen;
    EXPECT_EQ(T::GetMeterSpanByGen(eSequenceCfg, gen), 6) << gen;
    EXPECT_EQ(T::GetMeterOffsetByGen(eDigitalCfg, gen), 368) << gen;
    EXPECT_EQ(T::GetMeterOffsetByGen(eWattsVarsCfg, gen), 312) << gen;
    EXPECT_EQ(T::GetMeterOffsetByGen(ePFDetCfg, gen), 506) << gen;
    EXPECT_EQ(T::GetMeterOffsetByGen(eFaultLocCfg, gen), 0) << gen;
  }
  T::m_iIedGen = 1;
  EXPECT_EQ(T::GetMeterOffset(eSequenceCfg), 240);
  EXPECT_EQ(T::GetMeterSpan(eSequenceCfg), 6);
  T::m_nSetVer = 500;
  EXPECT_EQ(T::GetMeterOffset(eImpedanceCfg), 470);
}

TEST_F(ClassTablesTest, IsClassSupportedBoundaries) {
  EXPECT_FALSE(T::IsClassSupported(eTrend, 3));
  EXPECT_TRUE(T::IsClassSupported(eTrend, 4));
  EXPECT_FALSE(T::IsClassSupported(ePFDetCfg, 4));
  EXPECT_TRUE(T::IsClassSupported(ePFDetCfg, 5));
  EXPECT_FALSE(T::IsClassSupported(ePMUId, 201));
  EXPECT_TRUE(T::IsClassSupported(eCDR, 201));
  EXPECT_TRUE(T::IsClassSupported(eCDRId, 201));
  EXPECT_TRUE(T::IsClassSupported(ePMU, 202));
  EXPECT_FALSE(T::IsClassSupported(eStorageAlarms, 201));
  EXPECT_FALSE(T::IsClassSupported(eAnalogCfg, 8));
  EXPECT_FALSE(T::IsClassSupported(eAnalogCfg, 200));
  EXPECT_FALSE(T::IsClassSupported(eAnalogCfg, 0));
  EXPECT_TRUE(T::IsClassSupported(eAnalogCfg, 1));
  EXPECT_TRUE(T::IsClassSupported(eMeterGroup, 1));
  EXPECT_FALSE(T::IsClassSupported(eLogicCfg, 1));
  EXPECT_TRUE(T::IsClassSupported(eLogicCfg, 2));
  EXPECT_TRUE(T::IsClassSupported(eFaultLocCfg, 3));
  EXPECT_TRUE(T::IsClassSupported(ePFDetCfg, 7));
  EXPECT_FALSE(T::IsClassSupported(eCDR, 7));
  EXPECT_TRUE(T::IsClassSupported(eAnalogCfg, UINT_MAX));
  // Outside the class range: false, whatever the version.
  EXPECT_FALSE(T::IsClassSupported(eEndOfFile, 201));
  EXPECT_FALSE(T::IsClassSupported(static_cast<eHelvoCfgClass>(-1), 201));
  EXPECT_FALSE(T::IsClassSupported(static_cast<eHelvoCfgClass>(64), 1));
  EXPECT_FALSE(T::IsClassSupported(static_cast<eHelvoCfgClass>(INT_MAX), 5));

  EXPECT_FALSE(T::IsDCSupported(4));
  EXPECT_TRUE(T::IsDCSupported(5));
  EXPECT_TRUE(T::IsDCSupported(201));
  EXPECT_FALSE(T::IsDCSupported(0));
}

// ---- FunctionsPerDsp -----------------------------------------------------------------------------

TEST_F(ClassTablesTest, FunctionsPerDspOlderFamily) {
  T::m_iIedGen = 4;
  SetFile(5, 1, 18, 96);
  EXPECT_EQ(T::FunctionsPerDsp(eSummationCfg), 15);
  EXPECT_EQ(T::m_iIedGen, 1);
  T::m_iIedGen = 4;
  SetFile(7, 2, 36, 384);  // analog count and rate do not matter below 201
  EXPECT_EQ(T::FunctionsPerDsp(eAnalogCfg), 18);
  EXPECT_EQ(T::m_iIedGen, 2);
  EXPECT_EQ(T::FunctionsPerDsp(eDigitalCfg), 32);
  EXPECT_EQ(T::FunctionsPerDsp(eDspCfg), 2);
  // Banks naming no generation leave m_iIedGen as it was, and its column is used.
  T::m_iIedGen = 3;
  SetFile(200, 3, 18, 96);
  EXPECT_EQ(T::FunctionsPerDsp(eSummationCfg), 30);
  EXPECT_EQ(T::m_iIedGen, 3);
}

TEST_F(ClassTablesTest, FunctionsPerDspGeneration3) {
  T::m_iIedGen = 1;
  SetFile(201, 1, 18, 256);
  EXPECT_EQ(T::FunctionsPerDsp(eAnalogCfg), 18);
  EXPECT_EQ(T::m_iIedGen, 3);
  EXPECT_EQ(T::FunctionsPerDsp(eDigitalCfg), 32);
  EXPECT_EQ(T::FunctionsPerDsp(eSummationCfg), 30);
  SetFile(201, 2, 18, 257);  // above 256: fewer analog and digital channels; banks do not matter
  EXPECT_EQ(T::FunctionsPerDsp(eAnalogCfg), 9);
  EXPECT_EQ(T::FunctionsPerDsp(eDigitalCfg), 16);
  EXPECT_EQ(T::FunctionsPerDsp(eSummationCfg), 30);
  SetFile(202, 1, 18, 384);
  T::NO_ANALOG_FOR_384 = 7;  // the static, not a constant
  EXPECT_EQ(T::FunctionsPerDsp(eAnalogCfg), 7);
  EXPECT_EQ(T::FunctionsPerDsp(eCDR), 18);
}

TEST_F(ClassTablesTest, FunctionsPerDspGeneration4) {
  T::m_iIedGen = 1;
  SetFile(201, 1, 36, 384);
  EXPECT_EQ(T::FunctionsPerDsp(eAnalogCfg), 9);
  EXPECT_EQ(T::m_iIedGen, 4);
  EXPECT_EQ(T::FunctionsPerDsp(eDigitalCfg), 32);
  SetFile(201, 1, 36, 256);
  EXPECT_EQ(T::FunctionsPerDsp(eAnalogCfg), 18);
  EXPECT_EQ(T::FunctionsPerDsp(eDigitalCfg), 32);
  for (int rate : {96, 128, 255, 257, 383, 385, 512}) {  // only 256 and 384 reduce generation 4
    SetFile(201, 1, 36, rate);
    EXPECT_EQ(T::FunctionsPerDsp(eAnalogCfg), 36) << rate;
    EXPECT_EQ(T::FunctionsPerDsp(eDigitalCfg), 64) << rate;
  }
  SetFile(201, 1, 36, 96);
  EXPECT_EQ(T::FunctionsPerDsp(eCDR), 36);
  EXPECT_EQ(T::FunctionsPerDsp(eLogicCfg), 30);
}

TEST_F(ClassTablesTest, FunctionsPerDspUnknownAnalogCountKeepsTheGeneration) {
  T::m_iIedGen = 4;
  SetFile(201, 1, 24, 384);
  EXPECT_EQ(T::FunctionsPerDsp(eAnalogCfg), 9);  // generation 4 kept, rate 384
  EXPECT_EQ(T::m_iIedGen, 4);
  T::m_iIedGen = 2;
  EXPECT_EQ(T::FunctionsPerDsp(eAnalogCfg), 18);  // generation 2's column
  EXPECT_EQ(T::m_iIedGen, 2);
}

TEST_F(ClassTablesTest, FunctionsPerDspOutOfRange) {
  // The generation is still derived for a class out of range; the answer is 0.
  T::m_iIedGen = 1;
  SetFile(201, 1, 36, 96);
  EXPECT_EQ(T::FunctionsPerDsp(static_cast<eHelvoCfgClass>(22)), 0);
  EXPECT_EQ(T::m_iIedGen, 4);
  EXPECT_EQ(T::FunctionsPerDsp(static_cast<eHelvoCfgClass>(-5)), 0);
  // An odd generation kept from before: 0, also for the rate rules.
  T::m_iIedGen = 0;
  SetFile(201, 1, 20, 384);
  EXPECT_EQ(T::FunctionsPerDsp(eAnalogCfg), 0);
  EXPECT_EQ(T::FunctionsPerDsp(eDigitalCfg), 0);
  T::m_iIedGen = 9;
  SetFile(3, 5, 18, 96);
  EXPECT_EQ(T::FunctionsPerDsp(eAnalogCfg), 0);
  EXPECT_EQ(T::m_iIedGen, 9);
}

// ---- Out-of-range arguments ----------------------------------------------------------------------

TEST_F(ClassTablesTest, OutOfRangeClassesAndGenerationsGiveZero) {
  using GenFn = int (*)(int, int);
  const GenFn byGen[] = {&T::GetMeterOffsetByGen, &T::GetMeterSpanByGen,  &T::GetStateOffsetByGen,
                         &T::GetStateSpanByGen,   &T::GetStateWidthByGen, &T::GetPhasorOffsetByGen,
                         &T::GetPhasorSpanByGen};
  using CurFn = int (*)(int);
  const CurFn current[] = {&T::GetMeterOffset, &T::GetMeterSpan,    &T::GetStateOffset, &T::GetStateSpan,
                           &T::GetStateWidth,  &T::GetPhasorOffset, &T::GetPhasorSpan};
  const int badClasses[] = {-1, 22, 23, 1000, INT_MIN, INT_MAX};
  const int badGens[] = {0, 5, -1, 100, INT_MIN, INT_MAX};

  for (int setVer : {201, 202}) {
    T::m_nSetVer = setVer;
    for (GenFn f : byGen) {
      for (int c : badClasses)
        for (int g = 1; g <= 4; ++g) EXPECT_EQ(f(c, g), 0) << setVer << " " << c << " " << g;
      for (int g : badGens) EXPECT_EQ(f(eSequenceCfg, g), 0) << setVer << " " << g;
    }
    T::m_iIedGen = 3;
    for (CurFn f : current)
      for (int c : badClasses) EXPECT_EQ(f(c), 0) << setVer << " " << c;
    for (int g : badGens) {
      T::m_iIedGen = g;  // an odd current generation
      for (CurFn f : current) EXPECT_EQ(f(eSequenceCfg), 0) << setVer << " " << g;
    }
  }
  for (int g : badGens) EXPECT_EQ(T::DspsByGen(g), 0) << g;
  for (int g : badGens) EXPECT_EQ(T::FunctionsPerDspByGen(eAnalogCfg, g), 0) << g;
  for (int c : badClasses) {
    EXPECT_EQ(T::FunctionsPerDspByGen(static_cast<eHelvoCfgClass>(c), 1), 0) << c;
    EXPECT_EQ(T::GetTypeMask(c), 0ul) << c;
    EXPECT_EQ(T::GetRuntimeClass(c), nullptr) << c;
  }
}

}  // namespace
}  // namespace helvo
