// CSequenceCfg: a sequence-component function of three phase inputs, stored as one SEQUENCE section per
// function. The recorder computes the positive, negative and zero sequence of the phase A, B and C
// inputs, meters the three magnitudes and watches them with six detectors: high level, low level and
// positive / negative rate of change of the positive sequence, high level of the negative and of the
// zero sequence.
#pragma once

#include <string>

#include "helvo/model/class_tables.h"
#include "helvo/model/model_converters.h"
#include "helvo/model/phasor.h"

namespace helvo {

class cHelvoSection;
class cHelvoDspCfg;
class CElementName;

class CSequenceCfg : public CPhasor {
  HELVO_DECLARE_RUNTIME(CSequenceCfg)
 public:
  static constexpr int kNumInputs = 3;
  static constexpr unsigned long kAnyInputMask = 0x180FFFF0ul;  // until the type is known
  static constexpr unsigned long kVseqBit = 0x100000ul;
  static constexpr unsigned long kIseqBit = 0x200000ul;
  static constexpr unsigned long kVoltageInputMask = 0xF0F0ul;     // voltage channels and sums
  static constexpr unsigned long kCurrentInputMask = 0x80F0F00ul;  // current channels and sums but InSum
  // Vseq and Iseq; also the type mask of the meters and detector states.
  static constexpr unsigned long kFunctionPhaseFlags = 0x300000ul;

  // The form the reader creates: no group, element or type; defaults; input masks kAnyInputMask.
  CSequenceCfg();
  // A sequence function of group for element with the type carrying flags (Vseq or Iseq): listed
  // once with its element, defaults, input masks for its type.
  CSequenceCfg(cHelvoDspCfg* group, CElementName* element, unsigned long flags);
  CSequenceCfg(const CSequenceCfg&) = delete;
  // Copies the interval, the keyless integer, the three inputs, the six delays, thresholds and action
  // blocks, then the CPhasor part. Not copied: the keyless text and the unit text read. The action
  // blocks stay owned by this function.
  CSequenceCfg& operator=(const CSequenceCfg& other);
  // The CPhasor base unlinks the function from its channel group, the configuration and its element.
  ~CSequenceCfg() override = default;

  int GetClass() const override { return eSequenceCfg; }
  unsigned long GetFunctionPhaseFlags() override { return kFunctionPhaseFlags; }
  // All three inputs name functions whose channels are valid.
  int AreInputsDefined() override;
  // The scale of the phase A input's function; none when that input is empty (or has no scale).
  cScale* GetpScale() override;
  // The CPhasor operation, then InitializeInputMasks.
  void SetParent_Element_Flags(cHelvoDspCfg* group, CElementName* element, unsigned long flags) override;
  // The primary unit of the phase A input's function; "" when that input is empty or has none.
  const char* GetPriUnit() override;
  // 0 when the phase A input is empty; otherwise that function's secondary maximum level, times the
  // secondary-to-primary ratio of this function's own scale (the CPhasor scale) when primary is
  // requested and that scale is valid (a scale that is not valid gives no ratio to apply).
  float GetMaxMeasuredLevel(int primary) override;

  // The function of input i (0 phase A, 1 phase B, 2 phase C); none for an empty input or any other i.
  CPhasor* GetInputPhasor(int i) const;
  // Input masks from the type: Vseq accepts kVoltageInputMask, Iseq kCurrentInputMask, anything else
  // (no type included) 0.
  void InitializeInputMasks();
  // The function's own fields to their defaults (the CPhasor part is left as it is): interval 2,
  // thresholds and delays 0, keyless integer -1, keyless text empty, empty action blocks owned by
  // this function.
  void Initialize();

  // Registers the keys, reference addresses, detector states and meters of the SEQUENCE section.
  static void DefineSequenceCfgTypes(cHelvoSection* section);

  std::string m_strHostText;           // carried for the host; no key
  int m_nROCInterval;                  // ROC_INT
  cstrUnit m_oUnit;                    // UNIT: kept as read, written as GetPriUnit()
  int m_nHostValue;                    // carried for the host (-1); no key
  CrefPhasor m_orefInput[kNumInputs];  // PH_A_INDEX, PH_B_INDEX, PH_C_INDEX
  // Detectors, in the order zero-sequence high level, negative-sequence high level, positive-sequence
  // positive ROC, negative ROC, low level, high level.
  cfSecondsDelay m_oZeroHighDelay{2};   // ZSEQ_H_MAG_D
  cfSecondsDelay m_oNegHighDelay{2};    // NSEQ_H_MAG_D
  cfSecondsDelay m_oPosPosROCDelay{2};  // PSEQ_P_ROC_D
  cfSecondsDelay m_oPosNegROCDelay{2};  // PSEQ_N_ROC_D
  cfSecondsDelay m_oPosLowDelay{2};     // PSEQ_L_MAG_D
  cfSecondsDelay m_oPosHighDelay{2};    // PSEQ_H_MAG_D
  float m_fZeroHighThreshold;           // ZSEQ_H_MAG_T
  float m_fNegHighThreshold;            // NSEQ_H_MAG_T
  float m_fPosPosROCThreshold;          // PSEQ_P_ROC_T
  float m_fPosNegROCThreshold;          // PSEQ_N_ROC_T
  float m_fPosLowThreshold;             // PSEQ_L_MAG_T
  float m_fPosHighThreshold;            // PSEQ_H_MAG_T
  CActionBlock m_oZeroHighAct;          // ZSEQ_H_MAG_A
  CActionBlock m_oNegHighAct;           // NSEQ_H_MAG_A
  CActionBlock m_oPosPosROCAct;         // PSEQ_P_ROC_A
  CActionBlock m_oPosNegROCAct;         // PSEQ_N_ROC_A
  CActionBlock m_oPosLowAct;            // PSEQ_L_MAG_A
  CActionBlock m_oPosHighAct;           // PSEQ_H_MAG_A

 private:
  bool m_bWalking = false;  // see cInputWalk (summation.h)
};

}  // namespace helvo
