#include "helvo/functions/frequency.h"

#include "helvo/engine/helvo_section.h"
#include "helvo/functions/detector_keys.h"

namespace helvo {

HELVO_IMPLEMENT_DYNCREATE(CFrequencyCfg, CPhasor)

namespace {

// String ids of the FREQUENCY keys and name suffixes (frequency_strings.cpp). Part of the
// settings-file format.
enum : int {
  kRocIntervalKey = 10585,
  kInputKey = 10586,
  kHighThresholdKey = 10587,    // H_MAG_T, H_MAG_D, H_MAG_A
  kLowThresholdKey = 10590,     // L_MAG_...
  kNegRocThresholdKey = 10593,  // N_ROC_...
  kPosRocThresholdKey = 10596,  // P_ROC_...
  kNoSuffix = 10599,
  kHighSuffix = 10600,
  kLowSuffix = 10601,
  kPosRocSuffix = 10602,
  kNegRocSuffix = 10603,
};

constexpr float kDefaultDelaySeconds = 0.036f;

}  // namespace

CFrequencyCfg::CFrequencyCfg() {
  SetElementName(nullptr);
  Initialize();
}

CFrequencyCfg::CFrequencyCfg(cHelvoDspCfg* group) : CPhasor(group, nullptr, kTypeFlags) {
  if (const sTypesEntry* type = CHelvoCfgTables::LookupType(std::string("Freq"))) SetTypesEntry(type);
  Initialize();
}

void CFrequencyCfg::Initialize() {
  m_nRocInterval = 2;
  SetChannelNumber(0);
  m_fLowThreshold = m_fHighThreshold = m_fPosRocThreshold = m_fNegRocThreshold = 0.0f;
  for (cfSecondsDelay* delay : {&m_oLowDelay, &m_oHighDelay, &m_oNegRocDelay, &m_oPosRocDelay})
    delay->m_fSeconds = kDefaultDelaySeconds;
  m_orefInput.SetTypesMask(kInputMask);
  // Like every other function, the frequency function owns its action blocks.
  for (CActionBlock* action : {&m_oLowAction, &m_oHighAction, &m_oNegRocAction, &m_oPosRocAction})
    action->SetParent(this);
}

CFrequencyCfg& CFrequencyCfg::operator=(const CFrequencyCfg& other) {
  if (this == &other) return *this;
  m_fLowThreshold = other.m_fLowThreshold;
  m_fHighThreshold = other.m_fHighThreshold;
  m_fPosRocThreshold = other.m_fPosRocThreshold;
  m_fNegRocThreshold = other.m_fNegRocThreshold;
  m_oLowDelay = other.m_oLowDelay;
  m_oHighDelay = other.m_oHighDelay;
  m_oNegRocDelay = other.m_oNegRocDelay;
  m_oPosRocDelay = other.m_oPosRocDelay;
  m_oLowAction = other.m_oLowAction;
  m_oHighAction = other.m_oHighAction;
  m_oNegRocAction = other.m_oNegRocAction;
  m_oPosRocAction = other.m_oPosRocAction;
  // The copied blocks act for this function, not for other.
  for (CActionBlock* action : {&m_oLowAction, &m_oHighAction, &m_oNegRocAction, &m_oPosRocAction})
    action->SetParent(this);
  m_orefInput = other.m_orefInput;
  m_nRocInterval = other.m_nRocInterval;
  CPhasor::operator=(other);
  return *this;
}

int CFrequencyCfg::AreInputsDefined() {
  CPhasor* input = GetInputPhasor();
  return input && input->AreInputsDefined() ? 1 : 0;
}

void CFrequencyCfg::DefineFrequencyCfgTypes(cHelvoSection* section) {
  using C = CFrequencyCfg;
  const Field<CFilerElement> high = ActionBlockOf(&C::m_oHighAction);
  const Field<CFilerElement> low = ActionBlockOf(&C::m_oLowAction);
  const Field<CFilerElement> negRoc = ActionBlockOf(&C::m_oNegRocAction);
  const Field<CFilerElement> posRoc = ActionBlockOf(&C::m_oPosRocAction);
  section->LoadCfgType(FieldOf(&C::m_nRocInterval), kRocIntervalKey)
      ->LoadCfgType(FieldOf(&C::m_oiChannelNumber), 0)
      ->LoadCfgType(FieldOf(&C::m_orefInput), kInputKey);
  LoadDetectorKeys(section, FieldOf(&C::m_fHighThreshold), FieldOf(&C::m_oHighDelay), high,
                   kHighThresholdKey);
  LoadDetectorKeys(section, FieldOf(&C::m_fLowThreshold), FieldOf(&C::m_oLowDelay), low, kLowThresholdKey);
  LoadDetectorKeys(section, FieldOf(&C::m_fNegRocThreshold), FieldOf(&C::m_oNegRocDelay), negRoc,
                   kNegRocThresholdKey);
  LoadDetectorKeys(section, FieldOf(&C::m_fPosRocThreshold), FieldOf(&C::m_oPosRocDelay), posRoc,
                   kPosRocThresholdKey)
      ->LoadReferenceAddress(FieldOf(&C::m_orefInput, &CrefPhasor::m_pPhasor))
      ->LoadStateDefinition(0, kHighSuffix, kPhaseFlags, high, high)
      ->LoadStateDefinition(1, kLowSuffix, kPhaseFlags, low, low)
      ->LoadStateDefinition(2, kPosRocSuffix, kPhaseFlags, posRoc, posRoc)
      ->LoadStateDefinition(3, kNegRocSuffix, kPhaseFlags, negRoc, negRoc)
      ->LoadMeterDefinition(0, kNoSuffix, kPhaseFlags);
}

}  // namespace helvo
