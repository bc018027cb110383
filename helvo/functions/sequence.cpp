#include "helvo/functions/sequence.h"

#include "helvo/engine/helvo_section.h"
#include "helvo/functions/detector_keys.h"
#include "helvo/functions/summation.h"

namespace helvo {

HELVO_IMPLEMENT_DYNCREATE(CSequenceCfg, CPhasor)

namespace {

// String ids of the SEQUENCE keys, meter and state suffixes (helvo/resources/sequence_strings.cpp).
// Part of the settings-file format. Each detector's T, D, A keys follow each other.
enum : int {
  IDS_ELEMENT = 10401,
  IDS_TYPE = 10402,
  IDS_DESC = 10403,
  IDS_UNIT = 10404,
  IDS_ROC_INT = 10405,
  IDS_PH_A_INDEX = 10406,
  IDS_PH_B_INDEX = 10407,
  IDS_PH_C_INDEX = 10408,
  IDS_PSEQ_H_MAG_T = 10409,
  IDS_PSEQ_L_MAG_T = 10412,
  IDS_PSEQ_N_ROC_T = 10415,
  IDS_PSEQ_P_ROC_T = 10418,
  IDS_NSEQ_H_MAG_T = 10421,
  IDS_ZSEQ_H_MAG_T = 10424,
  IDS_METER_POS_MAG = 10427,
  IDS_METER_NEG_MAG = 10428,
  IDS_METER_ZERO_MAG = 10429,
  IDS_STATE_POS_HILEV = 10430,
  IDS_STATE_POS_LOLEV = 10431,
  IDS_STATE_POS_POS_ROC = 10432,
  IDS_STATE_POS_NEG_ROC = 10433,
  IDS_STATE_NEG_HILEV = 10434,
  IDS_STATE_ZERO_HILEV = 10435,
};

using C = CSequenceCfg;

}  // namespace

// ---- Construction and assignment ----

CSequenceCfg::CSequenceCfg() {
  Initialize();
  for (CrefPhasor& input : m_orefInput) input.SetTypesMask(kAnyInputMask);
}

CSequenceCfg::CSequenceCfg(cHelvoDspCfg* group, CElementName* element, unsigned long flags)
    : CPhasor(group, element, flags) {
  Initialize();
  InitializeInputMasks();
}

void CSequenceCfg::Initialize() {
  m_strHostText.clear();
  m_nROCInterval = 2;
  m_nHostValue = -1;
  for (float* threshold : {&m_fZeroHighThreshold, &m_fNegHighThreshold, &m_fPosPosROCThreshold,
                           &m_fPosNegROCThreshold, &m_fPosLowThreshold, &m_fPosHighThreshold})
    *threshold = 0.0f;
  for (cfSecondsDelay* delay : {&m_oZeroHighDelay, &m_oNegHighDelay, &m_oPosPosROCDelay, &m_oPosNegROCDelay,
                                &m_oPosLowDelay, &m_oPosHighDelay})
    delay->m_fSeconds = 0.0f;
  for (CActionBlock* action :
       {&m_oZeroHighAct, &m_oNegHighAct, &m_oPosPosROCAct, &m_oPosNegROCAct, &m_oPosLowAct, &m_oPosHighAct}) {
    *action = CActionBlock();
    action->SetParent(this);
  }
}

CSequenceCfg& CSequenceCfg::operator=(const CSequenceCfg& other) {
  if (this == &other) return *this;
  m_nROCInterval = other.m_nROCInterval;
  m_nHostValue = other.m_nHostValue;
  for (int i = 0; i < kNumInputs; ++i) m_orefInput[i] = other.m_orefInput[i];
  m_oZeroHighDelay = other.m_oZeroHighDelay;
  m_oNegHighDelay = other.m_oNegHighDelay;
  m_oPosPosROCDelay = other.m_oPosPosROCDelay;
  m_oPosNegROCDelay = other.m_oPosNegROCDelay;
  m_oPosLowDelay = other.m_oPosLowDelay;
  m_oPosHighDelay = other.m_oPosHighDelay;
  m_fZeroHighThreshold = other.m_fZeroHighThreshold;
  m_fNegHighThreshold = other.m_fNegHighThreshold;
  m_fPosPosROCThreshold = other.m_fPosPosROCThreshold;
  m_fPosNegROCThreshold = other.m_fPosNegROCThreshold;
  m_fPosLowThreshold = other.m_fPosLowThreshold;
  m_fPosHighThreshold = other.m_fPosHighThreshold;
  // The actions are copied; the blocks keep this function as their owner.
  m_oZeroHighAct = other.m_oZeroHighAct;
  m_oNegHighAct = other.m_oNegHighAct;
  m_oPosPosROCAct = other.m_oPosPosROCAct;
  m_oPosNegROCAct = other.m_oPosNegROCAct;
  m_oPosLowAct = other.m_oPosLowAct;
  m_oPosHighAct = other.m_oPosHighAct;
  for (CActionBlock* action :
       {&m_oZeroHighAct, &m_oNegHighAct, &m_oPosPosROCAct, &m_oPosNegROCAct, &m_oPosLowAct, &m_oPosHighAct})
    action->SetParent(this);
  CPhasor::operator=(other);
  return *this;
}

// ---- Inputs ----

CPhasor* CSequenceCfg::GetInputPhasor(int i) const {
  if (i < 0 || i >= kNumInputs) return nullptr;
  return m_orefInput[i].m_pPhasor;
}

void CSequenceCfg::InitializeInputMasks() {
  const unsigned long flags = GetPhaseFlags();
  unsigned long mask = 0;
  if (flags & kVseqBit)
    mask = kVoltageInputMask;
  else if (flags & kIseqBit)
    mask = kCurrentInputMask;
  for (CrefPhasor& input : m_orefInput) input.SetTypesMask(mask);
}

void CSequenceCfg::SetParent_Element_Flags(cHelvoDspCfg* group, CElementName* element, unsigned long flags) {
  CPhasor::SetParent_Element_Flags(group, element, flags);
  InitializeInputMasks();
}

int CSequenceCfg::AreInputsDefined() {
  for (const CrefPhasor& input : m_orefInput)
    if (!input.m_pPhasor || !input.m_pPhasor->IsValidChannel()) return 0;
  return 1;
}

// ---- Scale, unit and level (each follows the phase A input, so each guards against a circle) ----

cScale* CSequenceCfg::GetpScale() {
  cInputWalk walk(m_bWalking);
  CPhasor* input = GetInputPhasor(0);
  return walk.Entered() && input ? input->GetpScale() : nullptr;
}

const char* CSequenceCfg::GetPriUnit() {
  cInputWalk walk(m_bWalking);
  CPhasor* input = GetInputPhasor(0);
  const char* unit = walk.Entered() && input ? input->GetPriUnit() : nullptr;
  return unit ? unit : "";
}

float CSequenceCfg::GetMaxMeasuredLevel(int primary) {
  cInputWalk walk(m_bWalking);
  CPhasor* input = GetInputPhasor(0);
  if (!walk.Entered() || !input) return 0.0f;
  float level = input->GetMaxMeasuredLevel(0);
  // Only a valid scale has a ratio: its secondary points are apart, so the ratio divides by no zero.
  if (primary && m_Scale.IsValid()) level = static_cast<float>(level * m_Scale.GetSecToPriScale());
  return level;
}

// ---- Section definition ----

void CSequenceCfg::DefineSequenceCfgTypes(cHelvoSection* section) {
  section->LoadCfgType(GetorefElementName(), IDS_ELEMENT)
      ->LoadCfgType(FieldOf(&C::m_orefTypesEntry), IDS_TYPE)
      ->LoadCfgType(FieldOf(&C::m_strDescription), IDS_DESC)
      ->LoadCfgType(FieldOf(&C::m_oiChannelNumber), 0)  // the number in the section header
      ->LoadCfgType(FieldOf(&C::m_oUnit), IDS_UNIT)
      ->LoadCfgType(FieldOf(&C::m_nROCInterval), IDS_ROC_INT)
      ->LoadCfgType(FieldOf(&C::m_orefInput, 0), IDS_PH_A_INDEX)
      ->LoadCfgType(FieldOf(&C::m_orefInput, 1), IDS_PH_B_INDEX)
      ->LoadCfgType(FieldOf(&C::m_orefInput, 2), IDS_PH_C_INDEX);
  LoadDetectorKeys(section, FieldOf(&C::m_fPosHighThreshold), FieldOf(&C::m_oPosHighDelay),
                   FieldOf(&C::m_oPosHighAct), IDS_PSEQ_H_MAG_T);
  LoadDetectorKeys(section, FieldOf(&C::m_fPosLowThreshold), FieldOf(&C::m_oPosLowDelay),
                   FieldOf(&C::m_oPosLowAct), IDS_PSEQ_L_MAG_T);
  LoadDetectorKeys(section, FieldOf(&C::m_fPosNegROCThreshold), FieldOf(&C::m_oPosNegROCDelay),
                   FieldOf(&C::m_oPosNegROCAct), IDS_PSEQ_N_ROC_T);
  LoadDetectorKeys(section, FieldOf(&C::m_fPosPosROCThreshold), FieldOf(&C::m_oPosPosROCDelay),
                   FieldOf(&C::m_oPosPosROCAct), IDS_PSEQ_P_ROC_T);
  LoadDetectorKeys(section, FieldOf(&C::m_fNegHighThreshold), FieldOf(&C::m_oNegHighDelay),
                   FieldOf(&C::m_oNegHighAct), IDS_NSEQ_H_MAG_T);
  LoadDetectorKeys(section, FieldOf(&C::m_fZeroHighThreshold), FieldOf(&C::m_oZeroHighDelay),
                   FieldOf(&C::m_oZeroHighAct), IDS_ZSEQ_H_MAG_T)
      ->LoadReferenceAddress(FieldOf(&C::m_orefInput, 0, &CrefPhasor::m_pPhasor))
      ->LoadReferenceAddress(FieldOf(&C::m_orefInput, 1, &CrefPhasor::m_pPhasor))
      ->LoadReferenceAddress(FieldOf(&C::m_orefInput, 2, &CrefPhasor::m_pPhasor))
      ->LoadStateDefinition(0, IDS_STATE_POS_HILEV, kFunctionPhaseFlags, ActionBlockOf(&C::m_oPosHighAct),
                            ActionBlockOf(&C::m_oPosHighAct))
      ->LoadStateDefinition(1, IDS_STATE_POS_LOLEV, kFunctionPhaseFlags, ActionBlockOf(&C::m_oPosLowAct),
                            ActionBlockOf(&C::m_oPosLowAct))
      ->LoadStateDefinition(2, IDS_STATE_POS_POS_ROC, kFunctionPhaseFlags, ActionBlockOf(&C::m_oPosPosROCAct),
                            ActionBlockOf(&C::m_oPosPosROCAct))
      ->LoadStateDefinition(3, IDS_STATE_POS_NEG_ROC, kFunctionPhaseFlags, ActionBlockOf(&C::m_oPosNegROCAct),
                            ActionBlockOf(&C::m_oPosNegROCAct))
      ->LoadStateDefinition(4, IDS_STATE_NEG_HILEV, kFunctionPhaseFlags, ActionBlockOf(&C::m_oNegHighAct),
                            ActionBlockOf(&C::m_oNegHighAct))
      ->LoadStateDefinition(5, IDS_STATE_ZERO_HILEV, kFunctionPhaseFlags, ActionBlockOf(&C::m_oZeroHighAct),
                            ActionBlockOf(&C::m_oZeroHighAct))
      ->LoadMeterDefinition(0, IDS_METER_POS_MAG, kFunctionPhaseFlags)
      ->LoadMeterDefinition(1, IDS_METER_NEG_MAG, kFunctionPhaseFlags)
      ->LoadMeterDefinition(2, IDS_METER_ZERO_MAG, kFunctionPhaseFlags);
}

}  // namespace helvo
