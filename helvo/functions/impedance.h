// CImpedanceCfg: an impedance function of a voltage and a current input, stored as one IMPEDANCE section per
// function. The recorder computes the positive-sequence impedance the two inputs see, meters its
// magnitude and angle, and watches its rate of change (within a circle radius, between a minimum and
// a maximum rate). Its scale is not keyed: it is derived, in ohms, from the scales of the two inputs.
#pragma once

#include "helvo/model/class_tables.h"
#include "helvo/model/model_converters.h"
#include "helvo/model/phasor.h"

namespace helvo {

class cHelvoSection;
class cHelvoDspCfg;
class CElementName;

class CImpedanceCfg : public CPhasor {
  HELVO_DECLARE_RUNTIME(CImpedanceCfg)
 public:
  static constexpr unsigned long kZ1Flags = 0x800005ul;  // the one type of the class, Z1
  // Z1; also the type mask of the meters and the detector state.
  static constexpr unsigned long kFunctionPhaseFlags = 0x800000ul;
  // Voltage channels, voltage sums, Vseq.
  static constexpr unsigned long kVoltageInputMask = 0x10F0F0ul;
  // Current channels, current sums other than InSum, Iseq.
  static constexpr unsigned long kCurrentInputMask = 0x82F0F00ul;

  // The form the reader creates: no group, element or type; defaults and input masks.
  CImpedanceCfg();
  // An impedance function of group for element, of type Z1, listed once with its element; defaults.
  CImpedanceCfg(cHelvoDspCfg* group, CElementName* element);
  CImpedanceCfg(const CImpedanceCfg&) = delete;
  // Copies both inputs, the keyless factor, the interval, the circle radius, the minimum and maximum
  // rates, the delay and the action block (which stays owned by this function), then the CPhasor
  // part with the channel-group link. The derived scale is not copied.
  CImpedanceCfg& operator=(const CImpedanceCfg& other);
  // The CPhasor base unlinks the function from its channel group, the configuration and its element.
  ~CImpedanceCfg() override = default;

  int GetClass() const override { return eImpedanceCfg; }
  unsigned long GetFunctionPhaseFlags() override { return kFunctionPhaseFlags; }
  // Both inputs name functions whose own inputs are defined.
  int AreInputsDefined() override;
  // The impedance scale derived from the scales of the two input functions (see impedance.cpp),
  // stored in the CPhasor scale and returned. None, leaving that scale as it was, when either input
  // is empty or its function has no valid scale.
  cScale* GetpScale() override;

  CPhasor* GetVoltsInputPhasor() const { return m_orefVolts.m_pPhasor; }
  CPhasor* GetAmpsInputPhasor() const { return m_orefAmps.m_pPhasor; }
  // Input masks and every default of the function's own fields (the CPhasor part is left as it is).
  void Initialize();

  // The power of ten by which the primary side of the derived scale is multiplied (a negative value:
  // the secondary side by its opposite) so that the impedance is in ohms, from the primary units of
  // the voltage and the current scale: voltage "V" -3, "MV" +3, any other text 0 (kilovolts); current
  // "A" +3, "mA" +6, any other text 0 (kiloamperes). Letter case counts: "mV" or "kv" count as
  // kilovolts, "MA" as kiloamperes.
  static int GetUnitExponent(const char* voltsUnit, const char* ampsUnit);

  // Registers the keys, reference addresses, detector state and meters of the IMPEDANCE section.
  static void DefineImpedanceCfgTypes(cHelvoSection* section);

  CrefPhasor m_orefVolts;         // V_INDEX
  CrefPhasor m_orefAmps;          // I_INDEX
  float m_fHostFactor;            // carried for the host (1.0); no key
  int m_nROCInterval;             // ROC_INT
  float m_fCircleRadius;          // CIRC_RAD
  float m_fMinROC;                // ROC_MIN
  float m_fMaxROC;                // ROC_MAX
  cfSecondsDelay m_oROCDelay{2};  // ROC_D
  CActionBlock m_oROCAct;         // ROC_A

 private:
  bool m_bWalking = false;  // see cInputWalk (summation.h)
};

}  // namespace helvo
