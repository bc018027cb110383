// cFaultLocCfg: a fault locator for one line, stored as one FAULT_LOCATOR section per function. It
// takes three phase voltages and three phase currents, the line's sequence impedances, its length
// and length unit, and a trigger state. It has no meters and no detectors of its own; its scale is
// an impedance in ohms derived from the phase A voltage and current inputs.
#pragma once

#include <string>

#include "helvo/model/class_tables.h"
#include "helvo/model/model_converters.h"
#include "helvo/model/phasor.h"

namespace helvo {

class cHelvoSection;
class CElementName;

// One input of a fault locator: the phasor reference its …_INDEX key addresses, and, as a converter
// of its own, the …_SEC_TO_PRI key: the recorder is told the secondary-to-primary ratio of the input
// but the ratio always comes from the input's scale, so a value read for the key is ignored.
class cFLInput : public CFilerElement {
  HELVO_DECLARE_RUNTIME(cFLInput)
 public:
  cFLInput() = default;
  cFLInput(const cFLInput&) = default;
  cFLInput& operator=(const cFLInput&) = default;
  ~cFLInput() override = default;

  // Reads nothing: the ratio is derived, never stored.
  void ConvertIn(CFiler* owner, std::string& text, int& sysFreq) override;
  // The ratio of the referred phasor's scale (cScale::FormatRatio); "1.0" when there is no phasor,
  // the phasor has no scale, or its scale is not valid.
  unsigned long ConvertOut(CFiler* owner, std::string& text, int version, int& sysFreq) override;
  bool AlwaysWritesKey() const override { return true; }

  CPhasor* GetPhasor() const { return m_orefPhasor.m_pPhasor; }

  CrefPhasor m_orefPhasor;
};

class cFaultLocCfg : public CPhasor {
  HELVO_DECLARE_RUNTIME(cFaultLocCfg)
 public:
  static constexpr unsigned long kFLocFlags = 0x40000009ul;     // the "FLoc" type
  static constexpr unsigned long kVoltageInputs = 0xF0ul;       // voltage channels only
  static constexpr unsigned long kCurrentInputs = 0x80F0F00ul;  // current channels and sums but "InSum"
  static constexpr int kNumInputs = 6;                          // VA, VB, VC, IA, IB, IC
  enum eInput : int { eVA = 0, eVB, eVC, eIA, eIB, eIC };

  // The form the reader creates: no group, element or type.
  cFaultLocCfg();
  // A locator of group for element, with the "FLoc" type, listed once with its element.
  cFaultLocCfg(cHelvoDspCfg* group, CElementName* element);
  cFaultLocCfg(const cFaultLocCfg&) = delete;
  // Copies the own scale, the six input references, the delay without key, the trigger, the line
  // constants, the length, its unit and the trigger inversion, then the CPhasor part. The legacy
  // type text is not copied.
  cFaultLocCfg& operator=(const cFaultLocCfg& other);
  ~cFaultLocCfg() override = default;

  int GetClass() const override { return eFaultLocCfg; }
  unsigned long GetFunctionPhaseFlags() override { return 0x40000000ul; }
  // Every phase input refers to a function with a valid channel (current inputs of files below
  // version 6 must not be summations), and the trigger refers to a function whose own inputs are
  // defined.
  int AreInputsDefined() override;
  // The own scale, recomputed as an impedance (ohms) from the phase A voltage and current inputs;
  // none, with the own scale left as it was, when either input has no valid scale.
  cScale* GetpScale() override;
  // The length unit.
  const char* GetPriUnit() override { return m_strUnit.c_str(); }

  // Input masks and defaults; the input references and the trigger are cleared.
  void Initialize();

  // The phasors of the phase A voltage / current inputs, or none.
  CPhasor* GetVoltsInputPhasor() const { return m_Inputs[eVA].GetPhasor(); }
  CPhasor* GetAmpsInputPhasor() const { return m_Inputs[eIA].GetPhasor(); }
  // The phasor of input i (eInput), or none (also for i outside 0 to 5).
  CPhasor* GetInputPhasor(int i) const;
  // True when one of the three current inputs is a summation: files below version 6 cannot hold
  // such a locator.
  bool HasSummationCurrentInput() const;

  // Registers the keys and reference addresses of the FAULT_LOCATOR section.
  static void DefineFaultLocCfgTypes(cHelvoSection* section);

  cfSecondsDelay m_oDelay{2};  // carried for the recorder; no key of the section
  cFLInput m_Inputs[kNumInputs];
  crefState m_orefTrigger;
  float m_fR1 = 0.0f;
  float m_fX1 = 0.0f;
  float m_fR0 = 0.0f;
  float m_fX0 = 0.0f;
  float m_fLength = 0.0f;
  std::string m_strUnit;
  int m_nTrigInvert = 0;
  std::string m_strLegacyType;  // TYPE of old files: read, never written

 private:
  // Set while the trigger is judged, so that a trigger chain leading back here meets this function
  // as pending instead of recursing without end.
  bool m_bCheckingInputs = false;
};

}  // namespace helvo
