// Input-module types: the kinds of analog input module a recorder can carry. One cModuleType is one
// row of the module table and also the value converter of an analog channel's INPUT_MODULE key.
//
// The module table is rows 11771 to 11783 of the string table (end marker at 11784); 11771 is the
// column header "NewName,OldName,Mask(hex),Nominal,Unit,Max,Min,PhaseErr" and the modules begin at
// 11772. A text column that begins with "*" is empty. Ids, catalogue numbers and old names are what
// settings files carry: do not change existing rows.
#pragma once

#include <cstdint>
#include <string>

#include "helvo/engine/filer.h"

namespace helvo {

constexpr int IDS_MODULE_HEADER = 11771;
constexpr int IDS_MODULE_FIRST = 11772;
constexpr int IDS_MODULE_END = 11784;  // the end marker row

class cModuleType : public CFilerElement {
  HELVO_DECLARE_RUNTIME(cModuleType)
 public:
  // Longest texts a row may hold; a longer column ends the row's decoding there.
  static constexpr std::size_t kMaxModuleType = 39;
  static constexpr std::size_t kMaxOldType = 19;
  static constexpr std::size_t kMaxUnits = 7;
  // Flags of the programmable (DC) module.
  static constexpr std::uint32_t kProgrammedFlags = 0xFFFFFFFFu;

  // Row id when id is not 0 and the row decodes; cleared otherwise.
  explicit cModuleType(int id = 0);
  cModuleType(const cModuleType&) = default;
  cModuleType& operator=(const cModuleType&) = default;
  ~cModuleType() override = default;

  // Every number 0, every text empty (not valid).
  void Initialize();
  // Row id of the string table: 0 when there is no such row, else DecodeString's result.
  int ReadResource(int id);
  // Takes the module from a row text "name,old name,flags in hex,nominal,unit,max,min,phase error".
  // 1 when all eight columns were read; otherwise 0 and the module is unchanged (the end marker, a
  // line feed first, included). Numbers are read as in the C locale whatever the process's locale.
  int DecodeString(const char* text);
  // Takes the first row from 11772 on whose catalogue number (first six characters of the name)
  // equals the first six characters of text (text must have six at least), or whose old name equals
  // text exactly (an empty old name matches nothing): 1. Clears the module and returns 0 for an empty
  // text, none, or no match.
  int SetModuleType(const char* text);

  int IsValid() const { return m_strModuleType.empty() ? 0 : 1; }
  int IsProgrammed() const { return m_nFlags == kProgrammedFlags ? 1 : 0; }
  const char* GetModuleType() const { return m_strModuleType.c_str(); }
  const char* GetOldType() const { return m_strOldType.c_str(); }
  const char* GetUnits() const { return m_strUnits.c_str(); }
  float GetNominalValue() const { return m_fNominalValue; }
  float GetMaxValue() const { return m_fMaxValue; }
  float GetMinValue() const { return m_fMinValue; }
  float GetPhaseErr() const { return m_fPhaseErr; }
  unsigned long GetFlags() const { return m_nFlags; }

  // Reading: SetModuleType(text), so a file of any version may carry either the catalogue number or the
  // old name. Writing: the old name below version 5 (empty for modules without one), the catalogue
  // number from version 5 on. Always writes a line (result 0).
  void ConvertIn(CFiler* owner, std::string& text, int& sysFreq) override;
  unsigned long ConvertOut(CFiler* owner, std::string& text, int version, int& sysFreq) override;

  // Public so that key definitions reach them (an analog channel writes m_fPhaseErr as PHASE_ERR).
  std::uint32_t m_nFlags = 0;  // signal types served; kProgrammedFlags for the programmable module
  float m_fNominalValue = 0;
  float m_fMaxValue = 0;
  float m_fMinValue = 0;
  float m_fPhaseErr = 0;
  std::string m_strModuleType;  // catalogue number, a blank and a description
  std::string m_strOldType;     // name in files older than version 5; empty when none
  std::string m_strUnits;       // unit of the nominal, maximum and minimum values
};

}  // namespace helvo
