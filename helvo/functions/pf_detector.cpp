#include "helvo/functions/pf_detector.h"

#include "helvo/engine/helvo_section.h"
#include "helvo/functions/detector_keys.h"

namespace helvo {

HELVO_IMPLEMENT_DYNCREATE(cPFDetCfg, CPhasor)

namespace {

// String ids of the PFDET keys and name suffixes (pf_detector_strings.cpp). Part of the settings-file
// format.
enum : int {
  kElementKey = 11265,
  kDescKey = 11266,
  kInputKey = 11267,
  kMinVAKey = 11268,
  kIndThresholdKey = 11269,  // IND_THR, IND_DLY, IND_A
  kCapThresholdKey = 11272,  // CAP_THR, CAP_DLY, CAP_A
  kNoSuffix = 11275,
  kIndSuffix = 11276,
  kCapSuffix = 11277,
};

}  // namespace

cPFDetCfg::cPFDetCfg() {
  Initialize();
}

cPFDetCfg::cPFDetCfg(cHelvoDspCfg* group, CElementName* element, unsigned long flags)
    : CPhasor(group, element, flags) {
  Initialize();
}

void cPFDetCfg::Initialize() {
  m_oIndAction.SetParent(this);
  m_oCapAction.SetParent(this);
  m_fMinVA = 0.0f;
  m_fIndThreshold = 0.0f;
  m_fCapThreshold = 0.0f;
  m_oIndDelay.m_fSeconds = 1.0f;
  m_oCapDelay.m_fSeconds = 1.0f;
  m_orefInput.SetTypesMask(kInputMask);
}

cPFDetCfg& cPFDetCfg::operator=(const cPFDetCfg& other) {
  if (this == &other) return *this;
  m_orefInput = other.m_orefInput;
  m_fMinVA = other.m_fMinVA;
  m_oUnit = other.m_oUnit;
  m_oIndAction = other.m_oIndAction;
  m_oCapAction = other.m_oCapAction;
  m_oIndAction.SetParent(this);  // the copied blocks act for this detector, not for other
  m_oCapAction.SetParent(this);
  m_oIndDelay = other.m_oIndDelay;
  m_oCapDelay = other.m_oCapDelay;
  m_fIndThreshold = other.m_fIndThreshold;
  m_fCapThreshold = other.m_fCapThreshold;
  CPhasor::operator=(other);
  return *this;
}

int cPFDetCfg::AreInputsDefined() {
  CPhasor* input = GetInputPhasor();
  return input && input->IsValidChannel() ? 1 : 0;
}

cScale* cPFDetCfg::GetpScale() {
  CPhasor* input = GetInputPhasor();
  return input ? input->GetpScale() : nullptr;
}

const char* cPFDetCfg::GetPriUnit() {
  CPhasor* input = GetInputPhasor();
  const char* unit = input ? input->GetPriUnit() : nullptr;
  // Watts/vars functions have no unit text of their own; callers get a text either way.
  return unit ? unit : "";
}

void cPFDetCfg::DefinePFDetCfgTypes(cHelvoSection* section) {
  using C = cPFDetCfg;
  const Field<CFilerElement> indAction = ActionBlockOf(&C::m_oIndAction);
  const Field<CFilerElement> capAction = ActionBlockOf(&C::m_oCapAction);
  section->LoadCfgType(CPhasor::GetorefElementName(), kElementKey)
      ->LoadCfgType(FieldOf(&C::m_oiChannelNumber), 0)
      ->LoadCfgType(FieldOf(&C::m_strDescription), kDescKey)
      ->LoadCfgType(FieldOf(&C::m_orefInput), kInputKey)
      ->LoadCfgType(FieldOf(&C::m_fMinVA), kMinVAKey);
  LoadDetectorKeys(section, FieldOf(&C::m_fIndThreshold), FieldOf(&C::m_oIndDelay), indAction,
                   kIndThresholdKey);
  LoadDetectorKeys(section, FieldOf(&C::m_fCapThreshold), FieldOf(&C::m_oCapDelay), capAction,
                   kCapThresholdKey)
      ->LoadReferenceAddress(FieldOf(&C::m_orefInput, &CrefPhasor::m_pPhasor))
      ->LoadStateDefinition(0, kIndSuffix, kPhaseFlags, indAction, indAction)
      ->LoadStateDefinition(1, kCapSuffix, kPhaseFlags, capAction, capAction)
      ->LoadMeterDefinition(0, kNoSuffix, kPhaseFlags);
}

}  // namespace helvo
