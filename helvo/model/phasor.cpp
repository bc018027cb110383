#include "helvo/model/phasor.h"

#include "helvo/model/class_tables.h"
#include "helvo/model/dsp_cfg.h"
#include "helvo/model/element_name.h"

namespace helvo {

HELVO_IMPLEMENT_DYNCREATE(CPhasor, CFiler)

CPhasor::CPhasor() {
  Initialize();
}

CPhasor& CPhasor::operator=(const CPhasor& other) {
  if (this == &other) return *this;
  CFiler::operator=(other);
  m_oiChannelNumber = other.m_oiChannelNumber;
  m_orefElementName = other.m_orefElementName;
  m_orefTypesEntry = other.m_orefTypesEntry;
  m_strDescription = other.m_strDescription;
  return *this;
}

CPhasor::~CPhasor() {
  delete[] m_pMeterItems;
  // The group does not need this function's class to unlink it, so this works from the base
  // destructor, after the derived parts are gone.
  if (cHelvoDspCfg* group = GetDspCfg()) group->Remove(this);
}

void CPhasor::Initialize() {
  m_oiChannelNumber.m_nChannel = -1;
  m_strDescription.clear();
  m_bDirty = 0;
}

unsigned long CPhasor::GetTypeMask() {
  return CHelvoCfgTables::GetTypeMask(GetClass());
}

int CPhasor::GetMaxChannelNumber() const {
  return CHelvoCfgTables::FunctionsPerDsp(static_cast<eHelvoCfgClass>(GetClass()));
}

bool CPhasor::IsValidChannel(int n) const {
  return n >= 1 && n <= GetMaxChannelNumber();
}

bool CPhasor::IsValidChannel() const {
  return IsValidChannel(GetChannelNumber()) && m_bDirty == 0;
}

cHelvoDspCfg* CPhasor::GetDspCfg() const {
  return dynamic_cast<cHelvoDspCfg*>(GetParent());
}

void CPhasor::GetElementName(std::string& name) const {
  if (const CElementName* element = GetElement())
    name = element->GetName();
  else
    name.clear();
}

const char* CPhasor::GetTypeString() const {
  const sTypesEntry* type = GetTypesEntry();
  return type ? type->m_pName : nullptr;
}

unsigned long CPhasor::GetPhaseFlags() const {
  const sTypesEntry* type = GetTypesEntry();
  return type ? type->m_nFlags : 0;
}

void CPhasor::SetpMeterItems(sTrnMeterItem* items) {
  if (items == m_pMeterItems) return;
  delete[] m_pMeterItems;
  m_pMeterItems = items;
}

}  // namespace helvo
