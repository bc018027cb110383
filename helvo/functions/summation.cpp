#include "helvo/functions/summation.h"

#include <cmath>

#include "helvo/engine/helvo_section.h"
#include "helvo/functions/detector_keys.h"
#include "helvo/platform/format.h"

namespace helvo {

HELVO_IMPLEMENT_DYNCREATE(CSummationCfg, CPhasor)
HELVO_IMPLEMENT_DYNCREATE(cSumPriScale, CFilerElement)
HELVO_IMPLEMENT_DYNCREATE(cSumSecScale, CFilerElement)

namespace {

// String ids of the SUMMATION keys, meter and state suffixes (helvo/resources/summation_strings.cpp).
// Part of the settings-file format. Each detector's T, D, A keys follow each other.
enum : int {
  IDS_ELEMENT = 10337,
  IDS_TYPE = 10338,
  IDS_DESC = 10339,
  IDS_PRI_UNIT = 10340,
  IDS_ROC_INT = 10341,
  IDS_PRI_FACTOR = 10342,
  IDS_SEC_FACTOR = 10343,
  IDS_INPUT1_SCALE = 10344,  // then INPUTn_AOFFSET, INPUTn_INDEX; three ids per input
  IDS_H_MAG_T = 10353,
  IDS_L_MAG_T = 10356,
  IDS_N_ROC_T = 10359,
  IDS_P_ROC_T = 10362,
  IDS_METER_MAG = 10365,
  IDS_METER_ANG = 10366,
  IDS_STATE_HILEV = 10367,
  IDS_STATE_LOLEV = 10368,
  IDS_STATE_POS_ROC = 10369,
  IDS_STATE_NEG_ROC = 10370,
};

using C = CSummationCfg;

}  // namespace

// ---- Construction and assignment ----

CSummationCfg::CSummationCfg() {
  Initialize();
  for (CrefPhasor& input : m_orefInput) input.SetTypesMask(kAnyInputMask);
}

CSummationCfg::CSummationCfg(cHelvoDspCfg* group, CElementName* element, unsigned long flags)
    : CPhasor(group, element, flags) {
  Initialize();
  InitializeInputMasks();
}

void CSummationCfg::Initialize() {
  for (int i = 0; i < kNumInputs; ++i) {
    m_fInputScale[i] = 1.0f;
    m_fInputAOffset[i] = 0.0f;
  }
  m_fPriFactor = 1.0f;
  m_fSecFactor = 1.0f;
  m_fLowThreshold = m_fHighThreshold = m_fPosROCThreshold = m_fNegROCThreshold = 0.0f;
  for (cfSecondsDelay* delay : {&m_oLowDelay, &m_oHighDelay, &m_oNegROCDelay, &m_oPosROCDelay})
    delay->m_fSeconds = 0.0f;
  for (CActionBlock* action : {&m_oLowAct, &m_oHighAct, &m_oNegROCAct, &m_oPosROCAct}) {
    *action = CActionBlock();
    action->SetParent(this);
  }
  m_nROCInterval = 2;
}

CSummationCfg& CSummationCfg::operator=(const CSummationCfg& other) {
  if (this == &other) return *this;
  for (int i = 0; i < kNumInputs; ++i) {
    m_orefInput[i] = other.m_orefInput[i];
    m_fInputScale[i] = other.m_fInputScale[i];
    m_fInputAOffset[i] = other.m_fInputAOffset[i];
  }
  m_fPriFactor = other.m_fPriFactor;
  m_fSecFactor = other.m_fSecFactor;
  m_fLowThreshold = other.m_fLowThreshold;
  m_fHighThreshold = other.m_fHighThreshold;
  m_fPosROCThreshold = other.m_fPosROCThreshold;
  m_fNegROCThreshold = other.m_fNegROCThreshold;
  m_oLowDelay = other.m_oLowDelay;
  m_oHighDelay = other.m_oHighDelay;
  m_oNegROCDelay = other.m_oNegROCDelay;
  m_oPosROCDelay = other.m_oPosROCDelay;
  // The actions are copied; the blocks keep this summation as their owner.
  m_oLowAct = other.m_oLowAct;
  m_oHighAct = other.m_oHighAct;
  m_oNegROCAct = other.m_oNegROCAct;
  m_oPosROCAct = other.m_oPosROCAct;
  for (CActionBlock* action : {&m_oLowAct, &m_oHighAct, &m_oNegROCAct, &m_oPosROCAct})
    action->SetParent(this);
  m_nROCInterval = other.m_nROCInterval;
  CPhasor::operator=(other);
  return *this;
}

// ---- Inputs ----

CPhasor* CSummationCfg::GetInputPhasor(int i) const {
  if (i < 0 || i >= kNumInputs) return nullptr;
  return m_orefInput[i].m_pPhasor;
}

void CSummationCfg::InitializeInputMasks() {
  const unsigned long flags = GetPhaseFlags();
  unsigned long mask = 0;
  if (flags & kVoltageSumBits)
    mask = kVoltageInputMask;
  else if (flags & kCurrentSumBits)
    mask = kCurrentInputMask;
  for (CrefPhasor& input : m_orefInput) input.SetTypesMask(mask);
}

void CSummationCfg::SetParent_Element_Flags(cHelvoDspCfg* group, CElementName* element, unsigned long flags) {
  CPhasor::SetParent_Element_Flags(group, element, flags);
  InitializeInputMasks();
}

int CSummationCfg::AreInputsDefined() {
  for (int i = 0; i < kNumInputs; ++i) {
    const CPhasor* input = m_orefInput[i].m_pPhasor;
    if (m_fInputScale[i] != 0.0f && input && input->IsValidChannel()) return 1;
  }
  return 0;
}

// ---- Scale, unit and level (each follows input 1, so each guards against a circle of inputs) ----

cScale* CSummationCfg::GetpScale() {
  cInputWalk walk(m_bWalking);
  CPhasor* input = GetInputPhasor(0);
  return walk.Entered() && input ? input->GetpScale() : nullptr;
}

const char* CSummationCfg::GetPriUnit() {
  cInputWalk walk(m_bWalking);
  CPhasor* input = GetInputPhasor(0);
  const char* unit = walk.Entered() && input ? input->GetPriUnit() : nullptr;
  return unit ? unit : "";
}

float CSummationCfg::GetMaxMeasuredLevel(int primary) {
  cInputWalk walk(m_bWalking);
  if (!walk.Entered()) return 0.0f;
  float sum = 0.0f;
  for (int i = 0; i < kNumInputs; ++i)
    if (CPhasor* input = m_orefInput[i].m_pPhasor)
      sum += input->GetMaxMeasuredLevel(0) * std::fabs(m_fInputScale[i]);
  // Only a valid scale has a ratio: its secondary points are apart, so the ratio divides by no zero.
  if (GetInputPhasor(0) && primary && m_Scale.IsValid())
    sum = static_cast<float>(sum * m_Scale.GetSecToPriScale());
  return sum;
}

// ---- Section definition ----

void CSummationCfg::DefineSummationCfgTypes(cHelvoSection* section) {
  section->LoadCfgType(GetorefElementName(), IDS_ELEMENT)
      ->LoadCfgType(FieldOf(&C::m_orefTypesEntry), IDS_TYPE)
      ->LoadCfgType(FieldOf(&C::m_strDescription), IDS_DESC)
      ->LoadCfgType(FieldOf(&C::m_oPriUnit), IDS_PRI_UNIT)
      ->LoadCfgType(FieldOf(&C::m_nROCInterval), IDS_ROC_INT)
      ->LoadCfgType(FieldOf(&C::m_fPriFactor), IDS_PRI_FACTOR)
      ->LoadCfgType(FieldOf(&C::m_fSecFactor), IDS_SEC_FACTOR)
      ->LoadCfgType(FieldOf(&C::m_oiChannelNumber), 0)  // the number in the section header
      ->LoadCfgType(FieldOf(&C::m_fInputScale, 0), IDS_INPUT1_SCALE)
      ->LoadCfgType(FieldOf(&C::m_fInputAOffset, 0), IDS_INPUT1_SCALE + 1, FILER_FROM_VERSION_4)
      ->LoadCfgType(FieldOf(&C::m_orefInput, 0), IDS_INPUT1_SCALE + 2)
      ->LoadCfgType(FieldOf(&C::m_fInputScale, 1), IDS_INPUT1_SCALE + 3)
      ->LoadCfgType(FieldOf(&C::m_fInputAOffset, 1), IDS_INPUT1_SCALE + 4, FILER_FROM_VERSION_4)
      ->LoadCfgType(FieldOf(&C::m_orefInput, 1), IDS_INPUT1_SCALE + 5)
      ->LoadCfgType(FieldOf(&C::m_fInputScale, 2), IDS_INPUT1_SCALE + 6)
      ->LoadCfgType(FieldOf(&C::m_fInputAOffset, 2), IDS_INPUT1_SCALE + 7, FILER_FROM_VERSION_4)
      ->LoadCfgType(FieldOf(&C::m_orefInput, 2), IDS_INPUT1_SCALE + 8);
  LoadDetectorKeys(section, FieldOf(&C::m_fHighThreshold), FieldOf(&C::m_oHighDelay), FieldOf(&C::m_oHighAct),
                   IDS_H_MAG_T);
  LoadDetectorKeys(section, FieldOf(&C::m_fLowThreshold), FieldOf(&C::m_oLowDelay), FieldOf(&C::m_oLowAct),
                   IDS_L_MAG_T);
  LoadDetectorKeys(section, FieldOf(&C::m_fNegROCThreshold), FieldOf(&C::m_oNegROCDelay),
                   FieldOf(&C::m_oNegROCAct), IDS_N_ROC_T);
  LoadDetectorKeys(section, FieldOf(&C::m_fPosROCThreshold), FieldOf(&C::m_oPosROCDelay),
                   FieldOf(&C::m_oPosROCAct), IDS_P_ROC_T)
      ->LoadReferenceAddress(FieldOf(&C::m_orefInput, 0, &CrefPhasor::m_pPhasor))
      ->LoadReferenceAddress(FieldOf(&C::m_orefInput, 1, &CrefPhasor::m_pPhasor))
      ->LoadReferenceAddress(FieldOf(&C::m_orefInput, 2, &CrefPhasor::m_pPhasor))
      ->LoadStateDefinition(0, IDS_STATE_HILEV, kFunctionPhaseFlags, ActionBlockOf(&C::m_oHighAct),
                            ActionBlockOf(&C::m_oHighAct))
      ->LoadStateDefinition(1, IDS_STATE_LOLEV, kFunctionPhaseFlags, ActionBlockOf(&C::m_oLowAct),
                            ActionBlockOf(&C::m_oLowAct))
      ->LoadStateDefinition(2, IDS_STATE_POS_ROC, kFunctionPhaseFlags, ActionBlockOf(&C::m_oPosROCAct),
                            ActionBlockOf(&C::m_oPosROCAct))
      ->LoadStateDefinition(3, IDS_STATE_NEG_ROC, kFunctionPhaseFlags, ActionBlockOf(&C::m_oNegROCAct),
                            ActionBlockOf(&C::m_oNegROCAct))
      ->LoadMeterDefinition(0, IDS_METER_MAG, kFunctionPhaseFlags)
      ->LoadMeterDefinition(1, IDS_METER_ANG, kFunctionPhaseFlags);
}

// ---- Scale-text converters ----

void CSummationCfg::GetInputFactors(float& pri, float& sec) {
  pri = sec = 1.0f;
  cInputWalk walk(m_bWalking);
  CPhasor* input = GetInputPhasor(0);
  if (!walk.Entered() || !input) return;
  if (input->GetClass() == eAnalogCfg) {
    pri = input->m_Scale.m_fPri1;
    sec = input->m_Scale.m_fSec1;
  } else if (auto* inner = dynamic_cast<CSummationCfg*>(input)) {
    inner->GetInputFactors(pri, sec);
  }
}

std::string CSummationCfg::ScaleText(CFiler* owner, bool primary) {
  auto* sum = dynamic_cast<CSummationCfg*>(owner);
  if (!sum) return "1";
  float pri = 1.0f, sec = 1.0f;
  sum->GetInputFactors(pri, sec);
  return Format("%.7g", static_cast<double>(primary ? pri : sec));
}

void cSumPriScale::ConvertIn(CFiler*, std::string&, int&) {}

unsigned long cSumPriScale::ConvertOut(CFiler* owner, std::string& text, int, int&) {
  text = CSummationCfg::ScaleText(owner, true);
  return 0;
}

void cSumSecScale::ConvertIn(CFiler*, std::string&, int&) {}

unsigned long cSumSecScale::ConvertOut(CFiler* owner, std::string& text, int, int&) {
  text = CSummationCfg::ScaleText(owner, false);
  return 0;
}

}  // namespace helvo
