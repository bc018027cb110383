// cPFDetCfg: a power-factor detector over one watts/vars function, with an inductive and a capacitive
// detector (each with its own threshold, delay and action) and a minimum apparent power below which
// neither acts. Stored as one PFDET section per detector.
#pragma once

#include "helvo/model/class_tables.h"
#include "helvo/model/phasor.h"

namespace helvo {

class cHelvoSection;
class cHelvoDspCfg;
class CElementName;

class cPFDetCfg : public CPhasor {
  HELVO_DECLARE_RUNTIME(cPFDetCfg)
 public:
  static constexpr unsigned long kTypeFlags = 0x8000000Aul;  // "PF"
  static constexpr unsigned long kPhaseFlags = 0x80000000ul;
  static constexpr unsigned long kInputMask = 0x1000000ul;  // watts/vars functions only

  // The form the reader creates: no group, element or type.
  cPFDetCfg();
  // A detector of group for element with the type that flags name, listed once with its element.
  cPFDetCfg(cHelvoDspCfg* group, CElementName* element, unsigned long flags = kTypeFlags);
  cPFDetCfg(const cPFDetCfg&) = delete;
  // Copies the input, the minimum apparent power, the unit, both actions, delays and thresholds, then
  // the CPhasor part. The action blocks keep this detector as their owner.
  cPFDetCfg& operator=(const cPFDetCfg& other);
  ~cPFDetCfg() override = default;

  int GetClass() const override { return ePFDetCfg; }
  unsigned long GetFunctionPhaseFlags() override { return kPhaseFlags; }
  // The input refers to a function with a valid channel.
  int AreInputsDefined() override;
  // The input's scale; none without an input.
  cScale* GetpScale() override;
  // The input's primary unit; the empty text without an input or when the input has no unit text.
  const char* GetPriUnit() override;

  CPhasor* GetInputPhasor() const { return m_orefInput.m_pPhasor; }

  // Both action blocks owned by this detector, minimum apparent power and thresholds 0, delays 1 s,
  // the input mask.
  void Initialize();

  // Registers the keys, reference address, state and meter definitions of the PFDET section.
  static void DefinePFDetCfgTypes(cHelvoSection* section);

  CrefPhasor m_orefInput;
  float m_fMinVA = 0.0f;
  cstrUnit m_oUnit;  // carried for the host; no key of this library reads or writes it
  CActionBlock m_oIndAction;
  CActionBlock m_oCapAction;
  cfSecondsDelay m_oIndDelay{2};  // half-cycle counts in the file
  cfSecondsDelay m_oCapDelay{2};
  float m_fIndThreshold = 0.0f;
  float m_fCapThreshold = 0.0f;
};

}  // namespace helvo
