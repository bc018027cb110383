#include "helvo/functions/watts_vars.h"

#include <cmath>
#include <cstring>
#include <limits>

#include "helvo/engine/helvo_section.h"
#include "helvo/functions/detector_keys.h"

namespace helvo {

HELVO_IMPLEMENT_DYNCREATE(CWattsVarsCfg, CPhasor)

namespace {

// String ids of the WATTS/VARS keys and name suffixes (watts_vars_strings.cpp). Part of the
// settings-file format.
enum : int {
  kElementKey = 10769,
  kDescKey = 10770,
  kVoltsKey = 10771,
  kAmpsKey = 10772,
  kLegacyRocIntervalKey = 10773,
  kWatts1RocIntervalKey = 10774,
  kWatts2RocIntervalKey = 10775,
  kVarsRocIntervalKey = 10776,
  kFirstDetectorKey = 10777,  // W_H_MAG_T1; each detector takes three ids (T, D, A)
  kWattsSuffix = 10813,
  kVarsSuffix = 10814,
  kVASuffix = 10815,
  kFirstStateSuffix = 10816,  // "P1HiLev"; one id per state
};

// The detectors in the order of their keys in the file, which is also the order of their states:
// state k is the detector whose keys are the k-th T/D/A group.
constexpr CWattsVarsCfg::eDetector kFileOrder[CWattsVarsCfg::kNumDetectors] = {
    CWattsVarsCfg::kWatts1High,   CWattsVarsCfg::kWatts1Low,    CWattsVarsCfg::kWatts1PosRoc,
    CWattsVarsCfg::kWatts1NegRoc, CWattsVarsCfg::kWatts2High,   CWattsVarsCfg::kWatts2Low,
    CWattsVarsCfg::kWatts2PosRoc, CWattsVarsCfg::kWatts2NegRoc, CWattsVarsCfg::kVarsHigh,
    CWattsVarsCfg::kVarsLow,      CWattsVarsCfg::kVarsPosRoc,   CWattsVarsCfg::kVarsNegRoc,
};

// Power of ten (as an exponent) that converts the product of the inputs' primary units into MVA,
// seen from the secondary side: kV x kA is MVA already (0), V x A is 1e-6 MVA (-6).
int PowerUnitExponent(const char* voltsUnit, const char* ampsUnit) {
  int exponent = 0;
  if (std::strcmp(voltsUnit, "V") == 0)
    exponent = -3;
  else if (std::strcmp(voltsUnit, "MV") == 0)
    exponent = 3;
  if (std::strcmp(ampsUnit, "A") == 0)
    exponent -= 3;
  else if (std::strcmp(ampsUnit, "mA") == 0)
    exponent -= 6;
  return exponent;
}

float SecondaryFactor(int exponent) {
  switch (exponent) {
    case -9:
      return 1.0e9f;
    case -6:
      return 1.0e6f;
    case -3:
      return 1.0e3f;
    case 3:
      return 1.0e-3f;
    default:
      return 1.0f;
  }
}

// A double as float without an out-of-range conversion: values beyond the float range become the
// infinity of their sign.
float NarrowToFloat(double value) {
  constexpr double kMax = std::numeric_limits<float>::max();
  if (value > kMax) return std::numeric_limits<float>::infinity();
  if (value < -kMax) return -std::numeric_limits<float>::infinity();
  return static_cast<float>(value);
}

const cScale* ValidScaleOf(CPhasor* phasor) {
  const cScale* scale = phasor ? phasor->GetpScale() : nullptr;
  return scale && scale->IsValid() ? scale : nullptr;
}

}  // namespace

CWattsVarsCfg::CWattsVarsCfg() {
  InitializeMembers();
  Initialize();
}

CWattsVarsCfg::CWattsVarsCfg(cHelvoDspCfg* group, CElementName* element)
    : CPhasor(group, element, kTypeFlags) {
  InitializeMembers();
  Initialize();
}

void CWattsVarsCfg::InitializeMembers() {
  for (cfSecondsDelay& delay : m_oDelays) delay.m_nFactor = 2;
}

void CWattsVarsCfg::Initialize() {
  m_nLegacyRocInterval = 0;
  m_nWatts1RocInterval = 2;
  m_nWatts2RocInterval = 2;
  m_nVarsRocInterval = 2;
  m_orefVolts.SetTypesMask(kVoltsInputMask);
  m_orefAmps.SetTypesMask(kAmpsInputMask);
  for (float& threshold : m_fThresholds) threshold = 0.0f;
  for (CActionBlock& action : m_oActions) action.SetParent(this);
}

CWattsVarsCfg& CWattsVarsCfg::operator=(const CWattsVarsCfg& other) {
  if (this == &other) return *this;
  m_orefVolts = other.m_orefVolts;
  m_orefAmps = other.m_orefAmps;
  m_nWatts1RocInterval = other.m_nWatts1RocInterval;
  m_nWatts2RocInterval = other.m_nWatts2RocInterval;
  m_nVarsRocInterval = other.m_nVarsRocInterval;
  for (int i = 0; i < kNumDetectors; ++i) {
    m_oActions[i] = other.m_oActions[i];
    m_oActions[i].SetParent(this);  // the copied blocks act for this function, not for other
    m_oDelays[i] = other.m_oDelays[i];
    m_fThresholds[i] = other.m_fThresholds[i];
  }
  CPhasor::operator=(other);
  return *this;
}

int CWattsVarsCfg::AreInputsDefined() {
  CPhasor* volts = GetVoltsInputPhasor();
  CPhasor* amps = GetAmpsInputPhasor();
  return volts && volts->AreInputsDefined() && amps && amps->AreInputsDefined() ? 1 : 0;
}

cScale* CWattsVarsCfg::GetpScale() {
  const cScale* v = ValidScaleOf(GetVoltsInputPhasor());
  const cScale* i = ValidScaleOf(GetAmpsInputPhasor());
  if (!v || !i) return nullptr;
  m_Scale.m_fPri1 = (v->m_fPri1 - v->m_fPri2) * (i->m_fPri1 - i->m_fPri2);
  m_Scale.m_fSec1 = (v->m_fSec1 - v->m_fSec2) * (i->m_fSec1 - i->m_fSec2);
  m_Scale.m_fPri2 = 0.0f;
  m_Scale.m_fSec2 = 0.0f;
  m_Scale.m_fFullScale = v->m_fFullScale * i->m_fFullScale;
  m_Scale.m_fSec1 *= SecondaryFactor(PowerUnitExponent(v->GetPriUnit(), i->GetPriUnit()));
  m_Scale.m_strPriUnit = "MVA";
  m_Scale.m_strSecUnit = "VA";
  return &m_Scale;
}

float CWattsVarsCfg::GetMaxMeasuredLevel(int primary) {
  CPhasor* volts = GetVoltsInputPhasor();
  if (!volts) return 0.0f;
  float level = volts->GetMaxMeasuredLevel(0);
  // A sequence voltage is a per-phase quantity; the power of three phases is three times its product.
  if (volts->GetClass() == eSequenceCfg) level *= 3.0f;
  CPhasor* amps = GetAmpsInputPhasor();
  if (!amps) return 0.0f;
  level *= amps->GetMaxMeasuredLevel(0);
  if (!primary) return level;
  // Without a derived scale there is no primary ratio; the neutral ratio 1.0 stands in for it, as it
  // does for a scale that is not valid.
  const cScale* scale = GetpScale();
  return NarrowToFloat(static_cast<double>(level) * (scale ? scale->GetSecToPriScale() : 1.0));
}

void CWattsVarsCfg::DefineWattsVarsCfgTypes(cHelvoSection* section) {
  using C = CWattsVarsCfg;
  section->LoadCfgType(CPhasor::GetorefElementName(), kElementKey)
      ->LoadCfgType(FieldOf(&C::m_oiChannelNumber), 0)
      ->LoadCfgType(FieldOf(&C::m_strDescription), kDescKey)
      ->LoadCfgType(FieldOf(&C::m_orefVolts), kVoltsKey)
      ->LoadCfgType(FieldOf(&C::m_orefAmps), kAmpsKey)
      ->LoadCfgType(FieldOf(&C::m_nLegacyRocInterval), kLegacyRocIntervalKey, FILER_NEVER_WRITTEN)
      ->LoadCfgType(FieldOf(&C::m_nWatts1RocInterval), kWatts1RocIntervalKey)
      ->LoadCfgType(FieldOf(&C::m_nWatts2RocInterval), kWatts2RocIntervalKey)
      ->LoadCfgType(FieldOf(&C::m_nVarsRocInterval), kVarsRocIntervalKey);
  for (int k = 0; k < kNumDetectors; ++k) {
    const eDetector slot = kFileOrder[k];
    LoadDetectorKeys(section, FieldOf(&C::m_fThresholds, slot), FieldOf(&C::m_oDelays, slot),
                     FieldOf(&C::m_oActions, slot), kFirstDetectorKey + 3 * k);
  }
  section->LoadReferenceAddress(FieldOf(&C::m_orefVolts, &CrefPhasor::m_pPhasor))
      ->LoadReferenceAddress(FieldOf(&C::m_orefAmps, &CrefPhasor::m_pPhasor));
  for (int k = 0; k < kNumDetectors; ++k) {
    const Field<CFilerElement> action = ActionBlockOf(&C::m_oActions, kFileOrder[k]);
    section->LoadStateDefinition(k, kFirstStateSuffix + k, kPhaseFlags, action, action);
  }
  section->LoadMeterDefinition(0, kWattsSuffix, kPhaseFlags)
      ->LoadMeterDefinition(1, kVarsSuffix, kPhaseFlags)
      ->LoadMeterDefinition(2, kVASuffix, kPhaseFlags);
}

}  // namespace helvo
