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

// One signal type: name, alternate name, flags (identifying bit above bit 3 + kind code in the low
// four bits), group mask.
struct sTypesEntry {
  const char* m_pName;
  const char* m_pAltName;
  unsigned long m_nFlags;
  unsigned long m_nGroupMask;

  static bool IsValidIndex(unsigned int index) { return index < kNumTypes; }
  // First entry whose name equals name ignoring letter case (alternate names are not searched).
  static const sTypesEntry* LookupType(const char* name);
  // First entry whose flags agree with flags in every bit above bit 3.
  static const sTypesEntry* LookupType(unsigned long flags);
};

// The 28 signal types, in table order. Name pointers point into TypeStrings.
extern const sTypesEntry TypesEntries[kNumTypes];
// All type names back to back, zero-terminated, zero-filled to 184 bytes. Writable: a host may
// rewrite the phase designations in place.
extern char TypeStrings[184];
// Same layout as TypeStrings with the phase letters replaced by the bytes 1, 2, 3.
extern char Template[184];

// One row of ClassTable.
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
  int m_nMeterOffset, m_nMeterSpan, m_nStateOffset, m_nStateSpan, m_nPhasorOffset, m_nPhasorSpan;
  const char* m_pDisplayName;
};

// The tables and their lookups. CHelvoCfg derives from this class, so every member is also reached
// as CHelvoCfg::Name, as hosts know them. Lookups taking a class or a generation from a caller answer
// 0 (or none / false) for values outside the tables instead of reading outside them.
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

  static const RuntimeClass* GetRuntimeClass(int cls);
  static unsigned long GetTypeMask(int cls);
  static int DspsByGen(int gen);
  static int FunctionsPerDspByGen(eHelvoCfgClass cls, int gen);

  static int GetMeterOffsetByGen(int cls, int gen);
  static int GetMeterSpanByGen(int cls, int gen);
  static int GetStateOffsetByGen(int cls, int gen);
  static int GetStateSpanByGen(int cls, int gen);
  static int GetStateWidthByGen(int cls, int gen);
  static int GetPhasorOffsetByGen(int cls, int gen);
  static int GetPhasorSpanByGen(int cls, int gen);

  static int GetMeterOffset(int cls);
  static int GetMeterSpan(int cls);
  static int GetStateOffset(int cls);
  static int GetStateSpan(int cls);
  static int GetStateWidth(int cls);
  static int GetPhasorOffset(int cls);
  static int GetPhasorSpan(int cls);

  // Functions of a class per DSP board for the file last read; updates m_iIedGen.
  static int FunctionsPerDsp(eHelvoCfgClass cls);

  static bool IsClassSupported(eHelvoCfgClass cls, unsigned int version);
  static bool IsDCSupported(unsigned int version);

  // First class (0 upward) whose type mask shares a bit above bit 3 with flags; 22 when none.
  static int ClassFromFlags(unsigned long flags);
  // Flags of the first type (from index 0 / index + 1) sharing a bit above bit 3 with mask; index is
  // set to that type's index; 0 (index 28) when there is none.
  static unsigned long GetFirstPhaseFlags(unsigned long mask, unsigned int& index);
  static unsigned long GetNextPhaseFlags(unsigned long mask, unsigned int& index);

  static const sTypesEntry* LookupType(const std::string& name) { return sTypesEntry::LookupType(name.c_str()); }
  static const sTypesEntry* LookupType(unsigned long flags) { return sTypesEntry::LookupType(flags); }

  // Creates a default-constructed object of class cls through ClassTable; none when the class has no
  // factory (yet) or cls is outside 0 to 21.
  static CObject* CreateClassObject(int cls);
};

}  // namespace helvo
