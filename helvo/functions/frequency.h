// CFrequencyCfg: the system frequency measured from one analog input, with high- and low-frequency and
// positive and negative rate-of-change detectors. A frequency function belongs to its channel group,
// not to an element (no element, description or type key), and its meter is named after the group.
// Stored as one FREQUENCY section per function; the group numbers its frequency functions with
// cHelvoDspCfg::ModifyFreq.
#pragma once

#include "helvo/model/class_tables.h"
#include "helvo/model/phasor.h"

namespace helvo {

class cHelvoSection;
class cHelvoDspCfg;

class CFrequencyCfg : public CPhasor {
  HELVO_DECLARE_RUNTIME(CFrequencyCfg)
 public:
  static constexpr unsigned long kTypeFlags = 0x4000000ul;  // "Freq"
  static constexpr unsigned long kPhaseFlags = 0x4000000ul;
  static constexpr unsigned long kInputMask = 0x8000FF0ul;  // any AC analog channel, no DC

  // The form the reader creates: no group, element or type; channel number 0.
  CFrequencyCfg();
  // A frequency function of group with the "Freq" type and no element; channel number 0 until the
  // group numbers it (ModifyFreq).
  explicit CFrequencyCfg(cHelvoDspCfg* group);
  CFrequencyCfg(const CFrequencyCfg&) = delete;
  // Copies the thresholds, delays, actions, input and interval, then the CPhasor part. The action
  // blocks keep this function as their owner.
  CFrequencyCfg& operator=(const CFrequencyCfg& other);
  ~CFrequencyCfg() override = default;

  int GetClass() const override { return eFrequencyCfg; }
  unsigned long GetFunctionPhaseFlags() override { return kPhaseFlags; }
  // The input refers to a function whose own inputs are defined.
  int AreInputsDefined() override;
  // Frequency has no scale: GetpScale keeps the CPhasor answer (none).

  CPhasor* GetInputPhasor() const { return m_orefInput.m_pPhasor; }

  // Registers the keys, reference address, state and meter definitions of the FREQUENCY section.
  static void DefineFrequencyCfgTypes(cHelvoSection* section);

  CrefPhasor m_orefInput;
  int m_nRocInterval = 2;
  float m_fLowThreshold = 0.0f;
  float m_fHighThreshold = 0.0f;
  float m_fPosRocThreshold = 0.0f;
  float m_fNegRocThreshold = 0.0f;
  cfSecondsDelay m_oLowDelay{2};  // half-cycle counts in the file
  cfSecondsDelay m_oHighDelay{2};
  cfSecondsDelay m_oNegRocDelay{2};
  cfSecondsDelay m_oPosRocDelay{2};
  CActionBlock m_oLowAction;
  CActionBlock m_oHighAction;
  CActionBlock m_oNegRocAction;
  CActionBlock m_oPosRocAction;

 private:
  // Interval, channel number 0, thresholds, delays of 0.036 s, the input mask and the action owners.
  void Initialize();
};

}  // namespace helvo
