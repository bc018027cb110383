#include "helvo/functions/impedance.h"

#include <cstring>

#include "helvo/engine/helvo_section.h"
#include "helvo/functions/summation.h"

namespace helvo {

HELVO_IMPLEMENT_DYNCREATE(CImpedanceCfg, CPhasor)

namespace {

// String ids of the IMPEDANCE keys, meter and state suffixes (helvo/resources/impedance_strings.cpp).
// Part of the settings-file format.
enum : int {
  IDS_ELEMENT = 10497,
  IDS_DESC = 10498,
  IDS_V_INDEX = 10499,
  IDS_I_INDEX = 10500,
  IDS_CIRC_RAD = 10501,
  IDS_ROC_INT = 10502,
  IDS_ROC_MIN = 10503,
  IDS_ROC_MAX = 10504,
  IDS_ROC_D = 10505,
  IDS_ROC_A = 10506,
  IDS_METER_MAG = 10507,
  IDS_METER_ANG = 10508,
  IDS_STATE_ROC = 10509,
};

using C = CImpedanceCfg;

bool Is(const char* unit, const char* text) {
  return unit && std::strcmp(unit, text) == 0;
}

}  // namespace

// ---- Construction and assignment ----

CImpedanceCfg::CImpedanceCfg() {
  Initialize();
}

CImpedanceCfg::CImpedanceCfg(cHelvoDspCfg* group, CElementName* element) : CPhasor(group, element, kZ1Flags) {
  Initialize();
}

void CImpedanceCfg::Initialize() {
  m_orefVolts.SetTypesMask(kVoltageInputMask);
  m_orefAmps.SetTypesMask(kCurrentInputMask);
  m_fHostFactor = 1.0f;
  m_nROCInterval = 2;
  m_fCircleRadius = 1.0f;
  m_fMinROC = 1.0f;
  m_fMaxROC = 100.0f;
  m_oROCDelay.m_fSeconds = 0.036f;
  m_oROCAct = CActionBlock();
  m_oROCAct.SetParent(this);
}

CImpedanceCfg& CImpedanceCfg::operator=(const CImpedanceCfg& other) {
  if (this == &other) return *this;
  m_orefVolts = other.m_orefVolts;
  m_orefAmps = other.m_orefAmps;
  m_fHostFactor = other.m_fHostFactor;
  m_nROCInterval = other.m_nROCInterval;
  m_fCircleRadius = other.m_fCircleRadius;
  m_fMinROC = other.m_fMinROC;
  m_fMaxROC = other.m_fMaxROC;
  m_oROCDelay = other.m_oROCDelay;
  m_oROCAct = other.m_oROCAct;
  m_oROCAct.SetParent(this);  // the actions are copied; the block stays this function's
  CPhasor::operator=(other);  // with the parent, the channel-group link
  return *this;
}

// ---- Inputs and the derived scale ----

int CImpedanceCfg::AreInputsDefined() {
  cInputWalk walk(m_bWalking);
  if (!walk.Entered()) return 0;
  CPhasor* volts = GetVoltsInputPhasor();
  CPhasor* amps = GetAmpsInputPhasor();
  return volts && volts->AreInputsDefined() && amps && amps->AreInputsDefined() ? 1 : 0;
}

int CImpedanceCfg::GetUnitExponent(const char* voltsUnit, const char* ampsUnit) {
  int exponent = Is(voltsUnit, "V") ? -3 : Is(voltsUnit, "MV") ? 3 : 0;
  if (Is(ampsUnit, "A"))
    exponent += 3;
  else if (Is(ampsUnit, "mA"))
    exponent += 6;
  return exponent;
}

// Z = V / I, so the impedance scale's ratio is (V primary / V secondary) / (I primary / I secondary):
// the first point takes the cross products of the two scales' point differences and the second point
// is 0. The full scale is V's over I's. Both scales are valid, so every difference and I's full scale
// are clear of zero and nothing here divides by zero.
cScale* CImpedanceCfg::GetpScale() {
  cInputWalk walk(m_bWalking);
  if (!walk.Entered()) return nullptr;
  CPhasor* volts = GetVoltsInputPhasor();
  const cScale* v = volts ? volts->GetpScale() : nullptr;
  if (!v || !v->IsValid()) return nullptr;
  CPhasor* amps = GetAmpsInputPhasor();
  const cScale* i = amps ? amps->GetpScale() : nullptr;
  if (!i || !i->IsValid()) return nullptr;

  cScale& z = m_Scale;
  z.m_fPri1 = (v->m_fPri1 - v->m_fPri2) * (i->m_fSec1 - i->m_fSec2);
  z.m_fSec1 = (v->m_fSec1 - v->m_fSec2) * (i->m_fPri1 - i->m_fPri2);
  z.m_fPri2 = 0.0f;
  z.m_fSec2 = 0.0f;
  z.m_fFullScale = v->m_fFullScale / i->m_fFullScale;
  switch (GetUnitExponent(v->GetPriUnit(), i->GetPriUnit())) {
    case -3:
      z.m_fSec1 *= 1000.0f;
      break;
    case 3:
      z.m_fPri1 *= 1000.0f;
      break;
    case 6:
      z.m_fPri1 *= 1000000.0f;
      break;
    case 9:
      z.m_fPri1 *= 1000000000.0f;
      break;
    default:
      break;
  }
  z.m_strPriUnit = "Pri Ohm";
  z.m_strSecUnit = "Sec Ohm";
  return &z;
}

// ---- Section definition ----

void CImpedanceCfg::DefineImpedanceCfgTypes(cHelvoSection* section) {
  // The rate-of-change detector has a delay and an action but no threshold key of its own (its
  // limits are ROC_MIN, ROC_MAX and CIRC_RAD), so its keys are listed one by one.
  section->LoadCfgType(GetorefElementName(), IDS_ELEMENT)
      ->LoadCfgType(FieldOf(&C::m_oiChannelNumber), 0)  // the number in the section header
      ->LoadCfgType(FieldOf(&C::m_strDescription), IDS_DESC)
      ->LoadCfgType(FieldOf(&C::m_orefVolts), IDS_V_INDEX)
      ->LoadCfgType(FieldOf(&C::m_orefAmps), IDS_I_INDEX)
      ->LoadCfgType(FieldOf(&C::m_fCircleRadius), IDS_CIRC_RAD)
      ->LoadCfgType(FieldOf(&C::m_nROCInterval), IDS_ROC_INT)
      ->LoadCfgType(FieldOf(&C::m_fMinROC), IDS_ROC_MIN)
      ->LoadCfgType(FieldOf(&C::m_fMaxROC), IDS_ROC_MAX)
      ->LoadCfgType(FieldOf(&C::m_oROCDelay), IDS_ROC_D)
      ->LoadCfgType(FieldOf(&C::m_oROCAct), IDS_ROC_A)
      ->LoadReferenceAddress(FieldOf(&C::m_orefVolts, &CrefPhasor::m_pPhasor))
      ->LoadReferenceAddress(FieldOf(&C::m_orefAmps, &CrefPhasor::m_pPhasor))
      ->LoadStateDefinition(0, IDS_STATE_ROC, kFunctionPhaseFlags, ActionBlockOf(&C::m_oROCAct),
                            ActionBlockOf(&C::m_oROCAct))
      ->LoadMeterDefinition(0, IDS_METER_MAG, kFunctionPhaseFlags)
      ->LoadMeterDefinition(1, IDS_METER_ANG, kFunctionPhaseFlags);
}

}  // namespace helvo
