// CWattsVarsCfg: real, reactive and apparent power of one voltage and one current phasor, stored as one
// WATTS/VARS section per function. It has three meters (watts, vars, VA) and twelve detectors: two
// independent sets of high-level, low-level and positive / negative rate-of-change detectors on real
// power (P1, P2) and one such set on reactive power (Q).
#pragma once

#include "helvo/model/class_tables.h"
#include "helvo/model/phasor.h"

namespace helvo {

class cHelvoSection;
class cHelvoDspCfg;
class CElementName;

class CWattsVarsCfg : public CPhasor {
  HELVO_DECLARE_RUNTIME(CWattsVarsCfg)
 public:
  static constexpr unsigned long kTypeFlags = 0x1000006ul;  // "W/V"
  static constexpr unsigned long kPhaseFlags = 0x1000000ul;
  // Voltage channels, voltage sums and Vseq; current channels, current sums other than "InSum" and Iseq.
  static constexpr unsigned long kVoltsInputMask = 0x10F0F0ul;
  static constexpr unsigned long kAmpsInputMask = 0x82F0F00ul;
  static constexpr int kNumDetectors = 12;

  // The detector slots, in the order the action, delay and threshold arrays keep them.
  enum eDetector : int {
    kWatts1Low = 0,
    kWatts2Low,
    kWatts1High,
    kWatts2High,
    kWatts1NegRoc,
    kWatts2NegRoc,
    kWatts1PosRoc,
    kWatts2PosRoc,
    kVarsHigh,
    kVarsLow,
    kVarsPosRoc,
    kVarsNegRoc,
  };

  // The form the reader creates: no group, element or type.
  CWattsVarsCfg();
  // A function of group for element, with the W/V type, listed once with its element.
  CWattsVarsCfg(cHelvoDspCfg* group, CElementName* element);
  CWattsVarsCfg(const CWattsVarsCfg&) = delete;
  // Copies both inputs, the three intervals, the twelve actions, delays and thresholds, then the
  // CPhasor part. The legacy interval is not copied, and the action blocks keep this function as
  // their owner.
  CWattsVarsCfg& operator=(const CWattsVarsCfg& other);
  ~CWattsVarsCfg() override = default;

  int GetClass() const override { return eWattsVarsCfg; }
  unsigned long GetFunctionPhaseFlags() override { return kPhaseFlags; }
  // Both inputs refer to functions whose own inputs are defined.
  int AreInputsDefined() override;
  // Derives the function's scale from the scales of its two inputs: primary in MVA, secondary in VA.
  // None (and the own scale untouched) when an input is missing or its scale is not valid.
  cScale* GetpScale() override;
  // The product of the inputs' secondary maximum levels (three times that for a sequence voltage),
  // converted to primary through the derived scale when primary is nonzero. 0 without both inputs.
  float GetMaxMeasuredLevel(int primary) override;
  // The negative of the maximum.
  float GetMinMeasuredLevel(int primary) override { return -GetMaxMeasuredLevel(primary); }

  CPhasor* GetVoltsInputPhasor() const { return m_orefVolts.m_pPhasor; }
  CPhasor* GetAmpsInputPhasor() const { return m_orefAmps.m_pPhasor; }

  // Intervals and thresholds to their defaults, the input masks, this function as owner of the action
  // blocks.
  void Initialize();

  // Registers the keys, reference addresses, state and meter definitions of the WATTS/VARS section.
  static void DefineWattsVarsCfgTypes(cHelvoSection* section);

  CrefPhasor m_orefVolts;
  CrefPhasor m_orefAmps;
  int m_nLegacyRocInterval = 0;  // ROC_INT of old files: read, never written
  int m_nWatts1RocInterval = 2;
  int m_nWatts2RocInterval = 2;
  int m_nVarsRocInterval = 2;
  CActionBlock m_oActions[kNumDetectors];
  cfSecondsDelay m_oDelays[kNumDetectors];  // half-cycle counts in the file
  float m_fThresholds[kNumDetectors] = {};

 private:
  void InitializeMembers();
};

}  // namespace helvo
