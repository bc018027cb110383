#include "helvo/functions/analog.h"

#include "helvo/engine/helvo_section.h"
#include "helvo/functions/detector_keys.h"
#include "helvo/model/dsp_cfg.h"
#include "helvo/model/helvo_cfg.h"

namespace helvo {

HELVO_IMPLEMENT_DYNCREATE(CAnalogCfg, CPhasor)

namespace {

// Key names, meter and state suffixes of the ANALOG_INPUT section (helvo/resources/analog_strings.cpp);
// the ids follow the section's own (10272). Each detector's T, D, A keys take consecutive ids.
enum : int {
  IDS_AI_ELEMENT = 10273,
  IDS_AI_TYPE,
  IDS_AI_DESC,
  IDS_AI_INPUT_MODULE,
  IDS_AI_ANGLE_OFFSET,
  IDS_AI_PHASE_ERR,
  IDS_AI_PRI_1,
  IDS_AI_SEC_1,
  IDS_AI_PRI_2,
  IDS_AI_SEC_2,
  IDS_AI_SCALE,
  IDS_AI_PRI_UNIT,
  IDS_AI_SEC_UNIT,
  IDS_AI_FULL_SCALE,
  IDS_AI_ROC_INT,
  IDS_AI_NOM_VALUE,
  IDS_AI_S_HARM_NUM,
  IDS_AI_H_MAG_T,  // 10290: H_MAG_T, H_MAG_D, H_MAG_A
  IDS_AI_L_MAG_T = IDS_AI_H_MAG_T + 3,
  IDS_AI_N_ROC_T = IDS_AI_L_MAG_T + 3,
  IDS_AI_P_ROC_T = IDS_AI_N_ROC_T + 3,
  IDS_AI_S_HARM_T = IDS_AI_P_ROC_T + 3,
  IDS_AI_THD_T = IDS_AI_S_HARM_T + 3,
  IDS_AI_SAG_T = IDS_AI_THD_T + 3,        // SAG_T, SAG_A
  IDS_AI_SWELL_T = IDS_AI_SAG_T + 2,      // SWELL_T, SWELL_A
  IDS_AI_METER_MAG = IDS_AI_SWELL_T + 2,  // 10312
  IDS_AI_METER_ANG,
  IDS_AI_SUFFIX_THD,  // the THD meter and the THD detector
  IDS_AI_METER_HAR,
  IDS_AI_NO_SUFFIX,
  IDS_AI_STATE_HILEV,
  IDS_AI_STATE_LOLEV,
  IDS_AI_STATE_POS_ROC,
  IDS_AI_STATE_NEG_ROC,
  IDS_AI_STATE_HARM,
  IDS_AI_STATE_SAG,
  IDS_AI_STATE_SWELL,  // 10323
};

// Rows of the input-module table that new channels start with.
constexpr int kVoltageModuleRow = IDS_MODULE_FIRST;      // 815201 69Vac Common Neutral
constexpr int kCurrentModuleRow = IDS_MODULE_FIRST + 3;  // 815204 5Aac
constexpr int kDCModuleRow = IDS_MODULE_FIRST + 7;       // 815208 DC

constexpr CActionBlock CAnalogCfg::*kActionBlocks[] = {
    &CAnalogCfg::m_oLMagAct,  &CAnalogCfg::m_oHMagAct, &CAnalogCfg::m_oNRocAct, &CAnalogCfg::m_oPRocAct,
    &CAnalogCfg::m_oSHarmAct, &CAnalogCfg::m_oTHDAct,  &CAnalogCfg::m_oSagAct,  &CAnalogCfg::m_oSwellAct,
};

}  // namespace

CAnalogCfg::CAnalogCfg() {
  Initialize();
}

CAnalogCfg::CAnalogCfg(cHelvoDspCfg* group, CElementName* element, unsigned long flags)
    : CPhasor(group, element, flags) {
  Initialize();
  CAnalogCfg::SetParent_Element_Flags(group, element, flags);
}

void CAnalogCfg::Initialize() {
  m_strScale.clear();
  m_oDetParams = sAnalogDetectorParams();
  m_fAngleOffset = 0.0f;
  m_oSHarmDelay.m_fSeconds = 1.0f;
  m_oTHDDelay.m_fSeconds = 1.0f;
  for (CActionBlock CAnalogCfg::*block : kActionBlocks) (this->*block).SetParent(this);
}

CAnalogCfg& CAnalogCfg::operator=(const CAnalogCfg& other) {
  if (this == &other) return *this;
  m_fAngleOffset = other.m_fAngleOffset;
  m_Scale = other.m_Scale;
  m_strScale = other.m_strScale;
  // The blocks' settings, not their owner: each block stays with the channel that holds it.
  for (CActionBlock CAnalogCfg::*block : kActionBlocks) {
    this->*block = other.*block;
    (this->*block).SetParent(this);
  }
  m_oModuleType = other.m_oModuleType;
  m_oDetParams = other.m_oDetParams;
  m_oLMagDelay = other.m_oLMagDelay;
  m_oHMagDelay = other.m_oHMagDelay;
  m_oNRocDelay = other.m_oNRocDelay;
  m_oPRocDelay = other.m_oPRocDelay;
  m_oSHarmDelay = other.m_oSHarmDelay;
  m_oTHDDelay = other.m_oTHDDelay;
  CPhasor::operator=(other);
  return *this;
}

cScale* CAnalogCfg::GetpScale() {
  return m_Scale.IsValid() ? &m_Scale : nullptr;
}

void CAnalogCfg::SetParent_Element_Flags(cHelvoDspCfg* group, CElementName* element, unsigned long flags) {
  CPhasor::SetParent_Element_Flags(group, element, flags);
  m_oModuleType.Initialize();
  cScale& s = m_Scale;
  if (flags & kVoltageTypes) {
    s.m_fSec1 = 69.0f;
    if (m_oModuleType.ReadResource(kVoltageModuleRow)) s.m_fSec1 = m_oModuleType.GetNominalValue();
    s.m_fSec2 = -s.m_fSec1;
    s.m_fPri1 = static_cast<float>(s.m_fSec1 * 0.001);
    s.m_fPri2 = static_cast<float>(s.m_fSec2 * 0.001);
    s.m_strPriUnit = "kV";
    s.m_strSecUnit = m_oModuleType.GetUnits();
    s.m_fFullScale = m_oModuleType.GetMaxValue();
  } else if (flags & kCurrentTypes) {
    s.m_fSec1 = 5.0f;
    if (m_oModuleType.ReadResource(kCurrentModuleRow)) s.m_fSec1 = m_oModuleType.GetNominalValue();
    s.m_fSec2 = -s.m_fSec1;
    s.m_fPri2 = -s.m_fSec1;
    s.m_fPri1 = s.m_fSec1;
    s.m_strPriUnit = "A";
    s.m_strSecUnit = m_oModuleType.GetUnits();
    s.m_fFullScale = m_oModuleType.GetMaxValue();
  } else if (flags & kDCType) {
    s.m_fSec1 = 4.0f;
    s.m_fSec2 = 20.0f;
    s.m_fFullScale = 25.0f;
    s.m_strSecUnit = "mA";
    m_oModuleType.ReadResource(kDCModuleRow);
    s.m_fPri1 = s.m_fSec1;
    s.m_fPri2 = s.m_fSec2;
    s.m_strPriUnit = s.m_strSecUnit;
  }
}

float CAnalogCfg::GetMaxMeasuredLevel(int primary) {
  if (!m_Scale.IsValid() || !m_oModuleType.IsValid()) return 0.0f;
  if (primary) return static_cast<float>(m_Scale.m_fFullScale * m_Scale.GetSecToPriScale());
  return m_Scale.m_fFullScale;
}

unsigned long CAnalogCfg::GetTypeMask() {
  const cHelvoDspCfg* group = GetDspCfg();
  if (const CHelvoCfg* config = group ? group->GetConfiguration() : nullptr)
    return config->IsDCSupported() ? kAllTypes : kACTypes;
  const int version = sCfgState::Of(this).m_nSetVer;  // -1 until a file has been read
  return version >= 0 ? GetTypeMask(static_cast<unsigned int>(version)) : kACTypes;
}

unsigned long CAnalogCfg::GetTypeMask(unsigned int version) {
  return CHelvoCfgTables::IsDCSupported(version) ? kAllTypes : kACTypes;
}

void CAnalogCfg::DefineAnalogCfgTypes(cHelvoSection* section) {
  using C = CAnalogCfg;
  using P = sAnalogDetectorParams;
  // PHASE_ERR is defined twice: the reader takes the first definition of a name, so a value read
  // fills the legacy field only; the writer writes the definitions its flags allow, so from version 5
  // the phase error of the module that INPUT_MODULE selects is written.
  cHelvoSection* s =
      section->LoadCfgType(GetorefElementName(), IDS_AI_ELEMENT)
          ->LoadCfgType(FieldOf(&C::m_orefTypesEntry), IDS_AI_TYPE)
          ->LoadCfgType(FieldOf(&C::m_strDescription), IDS_AI_DESC)
          ->LoadCfgType(FieldOf(&C::m_oModuleType), IDS_AI_INPUT_MODULE)
          ->LoadCfgType(FieldOf(&C::m_oiChannelNumber), 0)  // the section header's instance number
          ->LoadCfgType(FieldOf(&C::m_fAngleOffset), IDS_AI_ANGLE_OFFSET)
          ->LoadCfgType(FieldOf(&C::m_fLegacyPhaseErr), IDS_AI_PHASE_ERR, FILER_NEVER_WRITTEN)
          ->LoadCfgType(FieldOf(&C::m_oModuleType, &cModuleType::m_fPhaseErr), IDS_AI_PHASE_ERR,
                        FILER_FROM_VERSION_5)
          ->LoadCfgType(FieldOf(&C::m_Scale, &cScale::m_fPri1), IDS_AI_PRI_1)
          ->LoadCfgType(FieldOf(&C::m_Scale, &cScale::m_fSec1), IDS_AI_SEC_1)
          ->LoadCfgType(FieldOf(&C::m_Scale, &cScale::m_fPri2), IDS_AI_PRI_2)
          ->LoadCfgType(FieldOf(&C::m_Scale, &cScale::m_fSec2), IDS_AI_SEC_2)
          ->LoadCfgType(FieldOf(&C::m_strScale), IDS_AI_SCALE, FILER_NEVER_WRITTEN)
          ->LoadCfgType(FieldOf(&C::m_Scale, &cScale::m_strPriUnit), IDS_AI_PRI_UNIT)
          ->LoadCfgType(FieldOf(&C::m_Scale, &cScale::m_strSecUnit), IDS_AI_SEC_UNIT, FILER_FROM_VERSION_5)
          ->LoadCfgType(FieldOf(&C::m_Scale, &cScale::m_fFullScale), IDS_AI_FULL_SCALE, FILER_FROM_VERSION_5)
          ->LoadCfgType(FieldOf(&C::m_oDetParams, &P::m_nROCInterval), IDS_AI_ROC_INT)
          ->LoadCfgType(FieldOf(&C::m_oDetParams, &P::m_fNominal), IDS_AI_NOM_VALUE, FILER_FROM_VERSION_4)
          ->LoadCfgType(FieldOf(&C::m_oDetParams, &P::m_nHarmonicNumber), IDS_AI_S_HARM_NUM);
  s = LoadDetectorKeys(s, FieldOf(&C::m_oDetParams, &P::m_fHighLevel), FieldOf(&C::m_oHMagDelay),
                       FieldOf(&C::m_oHMagAct), IDS_AI_H_MAG_T);
  s = LoadDetectorKeys(s, FieldOf(&C::m_oDetParams, &P::m_fLowLevel), FieldOf(&C::m_oLMagDelay),
                       FieldOf(&C::m_oLMagAct), IDS_AI_L_MAG_T);
  s = LoadDetectorKeys(s, FieldOf(&C::m_oDetParams, &P::m_fNegROC), FieldOf(&C::m_oNRocDelay),
                       FieldOf(&C::m_oNRocAct), IDS_AI_N_ROC_T);
  s = LoadDetectorKeys(s, FieldOf(&C::m_oDetParams, &P::m_fPosROC), FieldOf(&C::m_oPRocDelay),
                       FieldOf(&C::m_oPRocAct), IDS_AI_P_ROC_T);
  s = LoadDetectorKeys(s, FieldOf(&C::m_oDetParams, &P::m_fHarmonic), FieldOf(&C::m_oSHarmDelay),
                       FieldOf(&C::m_oSHarmAct), IDS_AI_S_HARM_T);
  s = LoadDetectorKeys(s, FieldOf(&C::m_oDetParams, &P::m_fTHD), FieldOf(&C::m_oTHDDelay),
                       FieldOf(&C::m_oTHDAct), IDS_AI_THD_T);
  // Sag and swell have no delay and are written from version 4 on.
  s = LoadDetectorKeys(s, FieldOf(&C::m_oDetParams, &P::m_fSag), FieldOf(&C::m_oSagAct), IDS_AI_SAG_T,
                       FILER_FROM_VERSION_4);
  s = LoadDetectorKeys(s, FieldOf(&C::m_oDetParams, &P::m_fSwell), FieldOf(&C::m_oSwellAct), IDS_AI_SWELL_T,
                       FILER_FROM_VERSION_4);

  // An AC channel has magnitude, angle, THD and harmonic meters; a DC channel one meter named after
  // the channel alone.
  s->LoadMeterDefinition(0, IDS_AI_METER_MAG, kACTypes)
      ->LoadMeterDefinition(1, IDS_AI_METER_ANG, kACTypes)
      ->LoadMeterDefinition(2, IDS_AI_SUFFIX_THD, kACTypes)
      ->LoadMeterDefinition(3, IDS_AI_METER_HAR, kACTypes)
      ->LoadMeterDefinition(4, IDS_AI_NO_SUFFIX, kDCType);

  // Level and rate-of-change detectors for every channel, THD and harmonic for AC channels, sag and
  // swell for voltage channels. Each detector has one action block for both transitions.
  const auto one = [](CActionBlock C::*block) { return ActionBlockOf(block); };
  s->LoadStateDefinition(0, IDS_AI_STATE_HILEV, kAllTypes, one(&C::m_oHMagAct), one(&C::m_oHMagAct))
      ->LoadStateDefinition(1, IDS_AI_STATE_LOLEV, kAllTypes, one(&C::m_oLMagAct), one(&C::m_oLMagAct))
      ->LoadStateDefinition(2, IDS_AI_STATE_POS_ROC, kAllTypes, one(&C::m_oPRocAct), one(&C::m_oPRocAct))
      ->LoadStateDefinition(3, IDS_AI_STATE_NEG_ROC, kAllTypes, one(&C::m_oNRocAct), one(&C::m_oNRocAct))
      ->LoadStateDefinition(4, IDS_AI_SUFFIX_THD, kACTypes, one(&C::m_oTHDAct), one(&C::m_oTHDAct))
      ->LoadStateDefinition(5, IDS_AI_STATE_HARM, kACTypes, one(&C::m_oSHarmAct), one(&C::m_oSHarmAct))
      ->LoadStateDefinition(6, IDS_AI_STATE_SAG, kVoltageTypes, one(&C::m_oSagAct), one(&C::m_oSagAct))
      ->LoadStateDefinition(7, IDS_AI_STATE_SWELL, kVoltageTypes, one(&C::m_oSwellAct), one(&C::m_oSwellAct));
}

}  // namespace helvo
