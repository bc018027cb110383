// CAnalogCfg: an analog input channel, stored as one ANALOG_INPUT section per function. A voltage,
// current or DC transducer input of one DSP board, with its input module, its primary/secondary scale
// and eight level detectors (high and low level, positive and negative rate of change, THD, single
// harmonic, sag and swell), each with a threshold, most with a delay, and each with an action block.
//
// Key names, their order and their flags are part of the stored settings-file format: do not change
// them. docs/file-format.md describes the format.
#pragma once

#include <string>

#include "helvo/model/class_tables.h"
#include "helvo/model/model_converters.h"
#include "helvo/model/phasor.h"
#include "helvo/scaling/module_type.h"

namespace helvo {

class cHelvoSection;
class cHelvoDspCfg;
class CElementName;

// The detector parameters of an analog channel: eleven 32-bit values, copied as one unit.
struct sAnalogDetectorParams {
  float m_fLowLevel = 0.0f;   // L_MAG_T
  float m_fHighLevel = 0.0f;  // H_MAG_T
  float m_fPosROC = 0.0f;     // P_ROC_T
  float m_fNegROC = 0.0f;     // N_ROC_T
  float m_fHarmonic = 0.0f;   // S_HARM_T
  float m_fTHD = 0.0f;        // THD_T
  float m_fNominal = 69.0f;   // NOM_VALUE
  float m_fSag = 50.0f;       // SAG_T
  float m_fSwell = 110.0f;    // SWELL_T
  int m_nHarmonicNumber = 3;  // S_HARM_NUM
  int m_nROCInterval = 2;     // ROC_INT
};
static_assert(sizeof(sAnalogDetectorParams) == 44, "eleven 4-byte values");

class CAnalogCfg : public CPhasor {
  HELVO_DECLARE_RUNTIME(CAnalogCfg)
 public:
  // Signal types of analog channels (phase-flag bits of the type table).
  static constexpr unsigned long kVoltageTypes = 0xF0ul;
  static constexpr unsigned long kCurrentTypes = 0x8000F00ul;
  static constexpr unsigned long kACTypes = 0x8000FF0ul;
  static constexpr unsigned long kDCType = 0x400000ul;
  static constexpr unsigned long kAllTypes = kACTypes | kDCType;  // 0x8400FF0
  static constexpr int kDelayFactor = 2;                          // delays count half cycles

  // The form the reader creates: no group, element or type; every field at its default.
  CAnalogCfg();
  // A channel of group for element with the type flags: the defaults, then SetParent_Element_Flags,
  // which also gives the channel the default scale and input module of its type. The type is the
  // first type carrying flags (none when no type does). The channel is not filed in the group's table.
  CAnalogCfg(cHelvoDspCfg* group, CElementName* element, unsigned long flags);
  CAnalogCfg(const CAnalogCfg&) = delete;
  // Copies the angle offset, scale, scale text, action blocks (each block stays owned by this
  // channel), input module, detector parameters and delays, then the CPhasor part. The legacy phase
  // error is not copied.
  CAnalogCfg& operator=(const CAnalogCfg& other);
  ~CAnalogCfg() override = default;

  // Scale text empty, detector parameters at their defaults, angle offset 0, the single-harmonic and
  // THD delays 1 s, every action block owned by this channel. Channel number, description, scale
  // and module are left as they are.
  void Initialize();

  int GetClass() const override { return eAnalogCfg; }
  unsigned long GetFunctionPhaseFlags() override { return kAllTypes; }
  // Nonzero when the channel number is valid for the group and the channel is not marked dirty.
  int AreInputsDefined() override { return IsValidChannel() ? 1 : 0; }
  // The channel's scale when it is valid; none otherwise.
  cScale* GetpScale() override;
  // Attaches the channel (CPhasor), clears the input module and sets the default scale and module of
  // the type flags: voltage (0xF0) ±69 V to ±0.069 kV with module 815201; current (0x8000F00) ±5 A to
  // ±5 A with module 815204; DC (0x400000) 4 to 20 mA on both sides, full scale 25, module 815208.
  // Other flags leave the scale as it is (and the module empty).
  void SetParent_Element_Flags(cHelvoDspCfg* group, CElementName* element, unsigned long flags) override;
  // The scale's primary unit text.
  const char* GetPriUnit() override { return m_Scale.GetPriUnit(); }
  // FULL_SCALE (in primary units when primary is nonzero) when the scale is valid and an input
  // module is set; 0 otherwise.
  float GetMaxMeasuredLevel(int primary) override;
  // Every analog type when the setting version supports DC inputs, the AC types otherwise. The
  // version is the configuration's; a channel outside any configuration uses the setting version of
  // the last file read.
  unsigned long GetTypeMask() override;
  unsigned long GetTypeMask(unsigned int version) override;

  // Registers the keys, meter and state definitions of the ANALOG_INPUT section.
  static void DefineAnalogCfgTypes(cHelvoSection* section);

  float m_fAngleOffset = 0.0f;     // ANGLE_OFFSET
  float m_fLegacyPhaseErr = 0.0f;  // PHASE_ERR as read; never written (the module's value is)
  std::string m_strScale;          // SCALE: legacy text, read and never written
  CActionBlock m_oLMagAct;         // L_MAG_A
  CActionBlock m_oHMagAct;         // H_MAG_A
  CActionBlock m_oNRocAct;         // N_ROC_A
  CActionBlock m_oPRocAct;         // P_ROC_A
  CActionBlock m_oSHarmAct;        // S_HARM_A
  CActionBlock m_oTHDAct;          // THD_A
  CActionBlock m_oSagAct;          // SAG_A
  CActionBlock m_oSwellAct;        // SWELL_A
  cModuleType m_oModuleType;       // INPUT_MODULE; its phase error is written as PHASE_ERR
  sAnalogDetectorParams m_oDetParams;
  cfSecondsDelay m_oLMagDelay{kDelayFactor};   // L_MAG_D
  cfSecondsDelay m_oHMagDelay{kDelayFactor};   // H_MAG_D
  cfSecondsDelay m_oNRocDelay{kDelayFactor};   // N_ROC_D
  cfSecondsDelay m_oPRocDelay{kDelayFactor};   // P_ROC_D
  cfSecondsDelay m_oSHarmDelay{kDelayFactor};  // S_HARM_D
  cfSecondsDelay m_oTHDDelay{kDelayFactor};    // THD_D
};

}  // namespace helvo
