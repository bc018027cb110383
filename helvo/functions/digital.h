// CDigitalCfg: a digital (external) input, stored as one DIGITAL_INPUT section per function. It has
// one detector state, with an action block for its active and one for its inactive transition, user
// texts for the two states, a delay and an external delay. Its type is always EI.
//
// Key names, their order and their flags are part of the stored settings-file format: do not change
// them. docs/file-format.md describes the format.
#pragma once

#include <string>

#include "helvo/model/class_tables.h"
#include "helvo/model/model_converters.h"
#include "helvo/model/phasor.h"

namespace helvo {

class cHelvoSection;
class cHelvoDspCfg;
class CElementName;

class CDigitalCfg : public CPhasor {
  HELVO_DECLARE_RUNTIME(CDigitalCfg)
 public:
  static constexpr unsigned long kEIFlags = 0x2000007ul;  // the EI type: type bit 0x2000000, kind 7
  static constexpr unsigned long kEITypeBit = 0x2000000ul;
  static constexpr int kDelayFactor = 8;  // DELAY counts eighths of a cycle

  // The form the reader creates: no group, element or type; every field at its default.
  CDigitalCfg();
  // An input of group for element with the EI type and description (none: empty), then the
  // defaults. The input is not filed in the group's table.
  CDigitalCfg(cHelvoDspCfg* group, CElementName* element, const char* description);
  CDigitalCfg(const CDigitalCfg&) = delete;
  // Copies both action blocks (each block stays owned by this input), the state label and its flag,
  // the external delay, the delay and the two texts, then the CPhasor part.
  CDigitalCfg& operator=(const CDigitalCfg& other);
  ~CDigitalCfg() override = default;

  // Channel number -1, texts "Active" and "Inactive", state label "DigState" with flag 1, external
  // delay 0, both action blocks owned by this input. The description is left as it is.
  void Initialize();

  int GetClass() const override { return eDigitalCfg; }
  unsigned long GetFunctionPhaseFlags() override { return kEIFlags; }
  // Nonzero when the channel number is valid for the group and the input is not marked dirty.
  int AreInputsDefined() override { return IsValidChannel() ? 1 : 0; }

  // Registers the keys, meter and state definitions of the DIGITAL_INPUT section.
  static void DefineDigitalCfgTypes(cHelvoSection* section);

  float m_fExtDelay = 0.0f;                // EXT_DELAY
  cfSecondsDelay m_oDelay{kDelayFactor};   // DELAY
  std::string m_strActive = "Active";      // ACTIVE_STR
  std::string m_strInactive = "Inactive";  // INACTIVE_STR
  CActionBlock m_oActiveAct;               // ACTIVE_A
  CActionBlock m_oInactiveAct;             // INACTIVE_A
  // Carried for the host and copied with the input; no key reads or writes them.
  std::string m_strStateLabel = "DigState";
  int m_nStateLabelFlag = 1;
};

}  // namespace helvo
