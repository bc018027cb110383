// Class and generation tables: the class number of every kind of configuration object, the
// signal-type table, the class table with its factories, and the per-generation count and address
// tables of the recorder's DSP boards, with the lookups over them.
//
// Every number here is part of the recorder's settings-file format and DSP layout: do not change
// existing values.
#pragma once

#include <cstddef>
#include <string>

#include "helvo/platform/runtime_class.h"

namespace helvo {

struct sCfgState;

// Class numbers. Frozen: files and tables are indexed by them.
enum eHelvoCfgClass : int {
  eElementName = 0,
  eAnalogCfg = 1,
  eDigitalCfg = 2,
  eSummationCfg = 3,
  eSequenceCfg = 4,
  eImpedanceCfg = 5,
  eWattsVarsCfg = 6,
  eIdCfg = 7,
  eLimitsCfg = 8,
  eFrequencyCfg = 9,
  eMeterGroup = 10,
  eLogicCfg = 11,
  eFaultLocCfg = 12,
  eTrend = 13,
  eDspCfg = 14,
  eHelvoCfg = 15,
  ePFDetCfg = 16,
  eStorageAlarms = 17,
  ePMU = 18,
  ePMUId = 19,
  eCDR = 20,
  eCDRId = 21,
  eEndOfFile = 22,  // also "no class" for ClassFromFlags
};

constexpr int kNumClasses = 22;  // rows of the class tables (0 to 21)
constexpr int kNumGenerations = 4;
constexpr int kNumTypes = 28;
constexpr std::size_t kTypeStringsSize = 184;  // bytes of TypeStrings and of Template

// One signal type: name, alternate name, flags (identifying bit above bit 3 + kind code in the low
// four bits), group mask.
struct sTypesEntry {
  const char* m_pName;
  const char* m_pAltName;
  unsigned long m_nFlags;
  unsigned long m_nGroupMask;

  static bool IsValidIndex(unsigned int index) { return index < kNumTypes; }
  // First entry whose name (as TypeStrings holds it now) equals name ignoring ASCII letter case;
  // the alternate names are not searched. None when absent or when name is none. Never reads past
  // the end of TypeStrings, even if a host rewrote it without its zero bytes.
  static const sTypesEntry* LookupType(const char* name);
  // First entry whose flags agree with flags in every bit above bit 3 (the kind code is ignored);
  // none when absent (so always for flags with no bit above bit 3).
  static const sTypesEntry* LookupType(unsigned long flags);
};

// The 28 signal types, in table order. Both name pointers of every entry point into TypeStrings
// (types 0 to 10 and 23 to 27 use one string for both names); the layout is checked at compile time
// in class_tables.cpp and by the tests.
extern const sTypesEntry TypesEntries[kNumTypes];
// All type names back to back, zero-terminated, zero-filled to 184 bytes (181 used). Writable: a host
// may rewrite the phase designations in place without moving any pointer.
extern char TypeStrings[kTypeStringsSize];
// Same layout as TypeStrings with the phase letter of Va, Vb, Vc and of the twelve phase summation
// names replaced by the bytes 1, 2, 3. Writable; the library never reads it.
extern char Template[kTypeStringsSize];

// One row of ClassTable. The first three fields are none / 0 until the class exists: each class's
// unit fills its own row in class_tables.cpp when it is added.
struct sClassInfo {
  const RuntimeClass* m_pClass;  // none until the class exists
  std::size_t m_nSize;
  CObject* (*m_pfnCreate)();  // default-constructed instance; none when the class cannot be made
  unsigned long m_nTypeMask;
  int m_nFirstChannelDsp1;
  int m_nFirstChannelDsp2;
  int m_nLastChannelDsp1;
  int m_nLastChannelDsp2;
  bool m_bInDspLists;      // the channel group has a function list and table for the class
  bool m_bInElementLists;  // elements keep a phasor list for the class
  // Generation 3 and 4 values of the generation tables; the library reads the tables, not these.
  int m_nMeterOffset, m_nMeterSpan, m_nStateOffset, m_nStateSpan, m_nPhasorOffset, m_nPhasorSpan;
  const char* m_pDisplayName;
};

// The tables and their lookups. CHelvoCfg derives from this class, so every member is also reached
// as CHelvoCfg::Name, as hosts know them.
//
// Range rule (all lookups): a class or generation comes from files and hosts, so every lookup checks
// it. A class outside 0 to 21 or a generation outside 1 to 4 gives 0 (counts, offsets, spans, masks),
// none (pointers) or false (predicates); no lookup reads outside a table. The "current generation"
// forms (GetMeterOffset(cls) and the others without a gen argument) use m_iIedGen and answer 0 when
// it holds a value outside 1 to 4.
class CHelvoCfgTables {
 public:
  static const sClassInfo ClassTable[kNumClasses];
  static const int NumDspsByGen[kNumGenerations];
  static const int NumFunctionsByClass_Gen[kNumClasses][kNumGenerations];
  static const int MeterOffsetsByClass_Gen[kNumClasses][kNumGenerations];
  static const int MeterSpanByClass_Gen[kNumClasses][kNumGenerations];
  static const int StateOffsetsByClass_Gen[kNumClasses][kNumGenerations];
  static const int StateSpanByClass_Gen[kNumClasses][kNumGenerations];
  static const int StateWidthByClass_Gen[kNumClasses][kNumGenerations];
  static const int PhasorOffsetsByClass_Gen[kNumClasses][kNumGenerations];
  static const int PhasorSpanByClass_Gen[kNumClasses][kNumGenerations];
  static const int MeterId3_Offset[kNumClasses];
  static const int MeterId3_Span[kNumClasses];
  static const unsigned long SettingVersionClassMap[8];
  static constexpr unsigned long kNewFamilyClassMap = 0x353FFFul;

  // Process-wide values (writable).
  static int m_iIedGen;
  static int m_nSetVer;
  static int m_nBank;
  static int m_nAChan;
  static int m_nSRate;
  static int NO_ANALOG_FOR_384;

  // --- Class and generation rows. Out of range: none / 0 (range rule above). ---
  static const RuntimeClass* GetRuntimeClass(int cls);
  static unsigned long GetTypeMask(int cls);
  static int DspsByGen(int gen);
  static int FunctionsPerDspByGen(eHelvoCfgClass cls, int gen);

  // --- DSP table addresses at a generation. Out of range: 0. The meter forms answer the class's
  // entry of MeterId3_Offset / MeterId3_Span when m_nSetVer is 202 or more (still 0 for a class or
  // generation out of range), else the generation table's value. ---
  static int GetMeterOffsetByGen(int cls, int gen);
  static int GetMeterSpanByGen(int cls, int gen);
  static int GetStateOffsetByGen(int cls, int gen);
  static int GetStateSpanByGen(int cls, int gen);
  static int GetStateWidthByGen(int cls, int gen);
  static int GetPhasorOffsetByGen(int cls, int gen);
  static int GetPhasorSpanByGen(int cls, int gen);

  // --- The same at the current generation m_iIedGen. Out of range (class, or m_iIedGen): 0. ---
  static int GetMeterOffset(int cls);
  static int GetMeterSpan(int cls);
  static int GetStateOffset(int cls);
  static int GetStateSpan(int cls);
  static int GetStateWidth(int cls);
  static int GetPhasorOffset(int cls);
  static int GetPhasorSpan(int cls);

  // Functions of a class per DSP board for the file last read, from the header statics of
  // cFilerSections (setting version, DSP banks, analog channels, sample rate). Side effect: first
  // stores the generation those values name in m_iIedGen (version below 201: banks 1 -> 1, 2 -> 2;
  // 201 or more: 18 analog channels -> 3, 36 -> 4; any other value leaves m_iIedGen unchanged),
  // also when cls is out of range. Then answers the table value at m_iIedGen, except for the newer
  // family's analog and digital channels at high sample rates (see FunctionsPerDsp in class_tables.cpp). Out
  // of range (cls, or an unchanged m_iIedGen outside 1 to 4): 0.
  static int FunctionsPerDsp(eHelvoCfgClass cls);

  // --- The same for one configuration: at its generation, setting version and sample rate (the
  // generation is not derived again from the header here). Out of range: 0. ---
  static int FunctionsPerDsp(eHelvoCfgClass cls, const sCfgState& state);
  static int GetMeterOffset(int cls, const sCfgState& state);
  static int GetMeterSpan(int cls, const sCfgState& state);
  static int GetStateOffset(int cls, const sCfgState& state);
  static int GetStateSpan(int cls, const sCfgState& state);
  static int GetPhasorOffset(int cls, const sCfgState& state);
  static int GetPhasorSpan(int cls, const sCfgState& state);

  // --- Version predicates. A class outside 0 to 21 gives false. ---
  // Versions 1 to 7: the class's bit of SettingVersionClassMap[version]; 201 and more: its bit of
  // 0x353FFF; any other version: false.
  static bool IsClassSupported(eHelvoCfgClass cls, unsigned int version);
  // Version 5 or more.
  static bool IsDCSupported(unsigned int version);

  // --- Flag searches (any argument is in range). ---
  // First class (0 upward) whose type mask shares a bit above bit 3 with flags; 22 when none.
  static int ClassFromFlags(unsigned long flags);
  // Flags of the first type (from index 0 / index + 1) sharing a bit above bit 3 with mask; index is
  // set to that type's index; 0 (index 28) when there is none. GetNextPhaseFlags with an index of 27
  // or more answers 0 and sets index to 28 (it never wraps round to 0).
  static unsigned long GetFirstPhaseFlags(unsigned long mask, unsigned int& index);
  static unsigned long GetNextPhaseFlags(unsigned long mask, unsigned int& index);

  static const sTypesEntry* LookupType(const std::string& name) {
    return sTypesEntry::LookupType(name.c_str());
  }
  static const sTypesEntry* LookupType(unsigned long flags) { return sTypesEntry::LookupType(flags); }

  // Creates a default-constructed object of class cls through its ClassTable row (the create
  // function, else the run-time class's); none when the class has no factory (yet) or cls is outside
  // 0 to 21. The caller owns the object.
  static CObject* CreateClassObject(int cls);
};

}  // namespace helvo
