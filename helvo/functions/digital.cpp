#include "helvo/functions/digital.h"

#include "helvo/engine/helvo_section.h"

namespace helvo {

HELVO_IMPLEMENT_DYNCREATE(CDigitalCfg, CPhasor)

namespace {

// Key names and the meter / state suffix of the DIGITAL_INPUT section
// (helvo/resources/digital_strings.cpp); the ids follow the section's own (10624).
enum : int {
  IDS_DI_ELEMENT = 10625,
  IDS_DI_DESC,
  IDS_DI_TYPE,
  IDS_DI_DELAY,
  IDS_DI_ACTIVE_STR,
  IDS_DI_INACTIVE_STR,
  IDS_DI_ACTIVE_A,
  IDS_DI_INACTIVE_A,
  IDS_DI_EXT_DELAY,
  IDS_DI_NO_SUFFIX,
};

}  // namespace

CDigitalCfg::CDigitalCfg() {
  Initialize();
}

CDigitalCfg::CDigitalCfg(cHelvoDspCfg* group, CElementName* element, const char* description)
    : CPhasor(group, element, kEIFlags) {
  SetDescription(description);
  Initialize();
}

void CDigitalCfg::Initialize() {
  m_oiChannelNumber.m_nChannel = -1;
  m_strActive = "Active";
  m_strInactive = "Inactive";
  m_strStateLabel = "DigState";
  m_nStateLabelFlag = 1;
  m_fExtDelay = 0.0f;
  m_oActiveAct.SetParent(this);
  m_oInactiveAct.SetParent(this);
}

CDigitalCfg& CDigitalCfg::operator=(const CDigitalCfg& other) {
  if (this == &other) return *this;
  // The blocks' settings, not their owner: each block stays with the input that holds it.
  m_oActiveAct = other.m_oActiveAct;
  m_oActiveAct.SetParent(this);
  m_oInactiveAct = other.m_oInactiveAct;
  m_oInactiveAct.SetParent(this);
  m_strStateLabel = other.m_strStateLabel;
  m_nStateLabelFlag = other.m_nStateLabelFlag;
  m_fExtDelay = other.m_fExtDelay;
  m_oDelay = other.m_oDelay;
  m_strActive = other.m_strActive;
  m_strInactive = other.m_strInactive;
  CPhasor::operator=(other);
  return *this;
}

void CDigitalCfg::DefineDigitalCfgTypes(cHelvoSection* section) {
  using C = CDigitalCfg;
  // TYPE is a legacy spelling of the description: read into it, never written (DESC is).
  section->LoadCfgType(GetorefElementName(), IDS_DI_ELEMENT)
      ->LoadCfgType(FieldOf(&C::m_strDescription), IDS_DI_DESC)
      ->LoadCfgType(FieldOf(&C::m_strDescription), IDS_DI_TYPE, FILER_NEVER_WRITTEN)
      ->LoadCfgType(FieldOf(&C::m_oiChannelNumber), 0)  // the section header's instance number
      ->LoadCfgType(FieldOf(&C::m_oDelay), IDS_DI_DELAY)
      ->LoadCfgType(FieldOf(&C::m_strActive), IDS_DI_ACTIVE_STR)
      ->LoadCfgType(FieldOf(&C::m_strInactive), IDS_DI_INACTIVE_STR)
      ->LoadCfgType(FieldOf(&C::m_oActiveAct), IDS_DI_ACTIVE_A)
      ->LoadCfgType(FieldOf(&C::m_oInactiveAct), IDS_DI_INACTIVE_A)
      ->LoadCfgType(FieldOf(&C::m_fExtDelay), IDS_DI_EXT_DELAY)
      // One meter and one state, both named after the input alone.
      ->LoadMeterDefinition(0, IDS_DI_NO_SUFFIX, kEITypeBit)
      ->LoadStateDefinition(0, IDS_DI_NO_SUFFIX, kEITypeBit, ActionBlockOf(&C::m_oActiveAct),
                            ActionBlockOf(&C::m_oInactiveAct));
}

}  // namespace helvo
