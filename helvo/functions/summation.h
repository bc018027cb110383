// CSummationCfg: a summation of up to three phasors, stored as one SUMMATION section per function.
// The recorder adds the inputs (analog channels or other summations of the same quantity), each
// weighted by its own scale and turned by its own angle offset, and watches the sum with four
// detectors: high level, low level, positive and negative rate of change.
#pragma once

#include <string>

#include "helvo/model/class_tables.h"
#include "helvo/model/model_converters.h"
#include "helvo/model/phasor.h"

namespace helvo {

class cHelvoSection;
class cHelvoDspCfg;
class CElementName;

// Marks a function as busy while an operation follows its inputs. Inputs come from files as plain
// phasor indexes, so a chain of them can lead back to the function itself (a summation that names
// itself as input 1); the operations that follow inputs give their "no input" answer when they meet
// a busy function again instead of recursing without end.
class cInputWalk {
 public:
  explicit cInputWalk(bool& busy) : m_bBusy(busy), m_bEntered(!busy) { m_bBusy = true; }
  cInputWalk(const cInputWalk&) = delete;
  cInputWalk& operator=(const cInputWalk&) = delete;
  ~cInputWalk() {
    if (m_bEntered) m_bBusy = false;
  }
  // False when the function was already busy: the walk has come round in a circle.
  bool Entered() const { return m_bEntered; }

 private:
  bool& m_bBusy;
  bool m_bEntered;
};

class CSummationCfg : public CPhasor {
  HELVO_DECLARE_RUNTIME(CSummationCfg)
 public:
  static constexpr int kNumInputs = 3;
  // Input mask of a summation whose type is not known yet: every analog channel and every summation.
  static constexpr unsigned long kAnyInputMask = 0x180FFFF0ul;
  static constexpr unsigned long kVoltageSumBits = 0xF000ul;
  static constexpr unsigned long kCurrentSumBits = 0x100F0000ul;
  // Voltage channels and voltage sums.
  static constexpr unsigned long kVoltageInputMask = 0xF0F0ul;
  // Current channels (Iac included) and current sums other than InSum.
  static constexpr unsigned long kCurrentInputMask = 0x80F0F00ul;
  // Every summation type; also the type mask of its meters and detector states.
  static constexpr unsigned long kFunctionPhaseFlags = 0x100FF000ul;

  // The form the reader creates: no group, element or type; defaults; input masks kAnyInputMask.
  CSummationCfg();
  // A summation of group for element with the type carrying flags: listed once with its element
  // under its type's kind, defaults, input masks for its type.
  CSummationCfg(cHelvoDspCfg* group, CElementName* element, unsigned long flags);
  CSummationCfg(const CSummationCfg&) = delete;
  // Copies the three inputs with their scales and angle offsets, the two factors, the four
  // thresholds, delays and action blocks and the rate-of-change interval, then the CPhasor part. The
  // action blocks stay owned by this summation; the unit text read is not copied.
  CSummationCfg& operator=(const CSummationCfg& other);
  // The CPhasor base unlinks the summation from its channel group, the configuration and its element.
  ~CSummationCfg() override = default;

  int GetClass() const override { return eSummationCfg; }
  unsigned long GetFunctionPhaseFlags() override { return kFunctionPhaseFlags; }
  // At least one input has a scale other than 0 and names a function whose channel is valid.
  int AreInputsDefined() override;
  // The scale of input 1's function; none when input 1 is empty (or has no scale).
  cScale* GetpScale() override;
  // The CPhasor operation, then InitializeInputMasks.
  void SetParent_Element_Flags(cHelvoDspCfg* group, CElementName* element, unsigned long flags) override;
  // The primary unit of input 1's function; "" when input 1 is empty or its function has none.
  const char* GetPriUnit() override;
  // The sum over the inputs of each input function's secondary maximum level times |input scale|.
  // When primary is requested and input 1 is set, the sum is multiplied by the secondary-to-primary
  // ratio of the summation's own scale (the CPhasor scale) when that scale is valid; a scale that is
  // not valid gives no ratio to apply, and the sum stays as it is.
  float GetMaxMeasuredLevel(int primary) override;

  // The function of input i (0, 1, 2); none for an empty input or any other i.
  CPhasor* GetInputPhasor(int i) const;
  // Input masks from the type: voltage sums accept kVoltageInputMask, current sums
  // kCurrentInputMask, anything else (no type included) 0.
  void InitializeInputMasks();
  // The summation's own fields to their defaults (the CPhasor part is left as it is): input scales
  // and factors 1.0, angle offsets, thresholds and delays 0, interval 2, empty action blocks owned by
  // this summation.
  void Initialize();

  // Registers the keys, reference addresses, detector states and meters of the SUMMATION section.
  static void DefineSummationCfgTypes(cHelvoSection* section);

  CrefPhasor m_orefInput[kNumInputs];  // INPUTn_INDEX
  float m_fInputScale[kNumInputs];     // INPUTn_SCALE
  float m_fInputAOffset[kNumInputs];   // INPUTn_AOFFSET (degrees)
  float m_fPriFactor;                  // PRI_FACTOR
  float m_fSecFactor;                  // SEC_FACTOR
  float m_fLowThreshold;               // L_MAG_T
  float m_fHighThreshold;              // H_MAG_T
  float m_fPosROCThreshold;            // P_ROC_T
  float m_fNegROCThreshold;            // N_ROC_T
  cfSecondsDelay m_oLowDelay{2};       // L_MAG_D
  cfSecondsDelay m_oHighDelay{2};      // H_MAG_D
  cfSecondsDelay m_oNegROCDelay{2};    // N_ROC_D
  cfSecondsDelay m_oPosROCDelay{2};    // P_ROC_D
  CActionBlock m_oLowAct;              // L_MAG_A
  CActionBlock m_oHighAct;             // H_MAG_A
  CActionBlock m_oNegROCAct;           // N_ROC_A
  CActionBlock m_oPosROCAct;           // P_ROC_A
  int m_nROCInterval;                  // ROC_INT
  cstrUnit m_oPriUnit;                 // PRI_UNIT: kept as read, written as GetPriUnit()

  // The factors PRI_FACTOR and SEC_FACTOR take on saving: the first point (primary, secondary) of the
  // analog channel that input 1 leads to, following summations through their own input 1; 1 and 1
  // when that way ends anywhere else (no input, another class, a loop of summations).
  void GetInputFactors(float& pri, float& sec);

 private:
  friend class cSumPriScale;
  friend class cSumSecScale;
  // The text of cSumPriScale (primary) or cSumSecScale for owner.
  static std::string ScaleText(CFiler* owner, bool primary);

  bool m_bWalking = false;  // see cInputWalk
};

// Write-only converters for hosts that need a summation's scale as text: "1" when input 1 is empty;
// for an analog channel as input 1 the "%.7g" text of its first-point primary value (cSumPriScale)
// or first-point secondary value (cSumSecScale); for a summation as input 1 the same text for that
// summation. Any other owner or input, and a chain of summations that comes back to itself, gives
// "1". Reading changes nothing. No section of this library registers them.
class cSumPriScale : public CFilerElement {
  HELVO_DECLARE_RUNTIME(cSumPriScale)
 public:
  cSumPriScale() = default;
  void ConvertIn(CFiler* owner, std::string& text, int& sysFreq) override;
  unsigned long ConvertOut(CFiler* owner, std::string& text, int version, int& sysFreq) override;
};

class cSumSecScale : public CFilerElement {
  HELVO_DECLARE_RUNTIME(cSumSecScale)
 public:
  cSumSecScale() = default;
  void ConvertIn(CFiler* owner, std::string& text, int& sysFreq) override;
  unsigned long ConvertOut(CFiler* owner, std::string& text, int version, int& sysFreq) override;
};

}  // namespace helvo
