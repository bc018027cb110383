#include "helvo/model/phasor.h"

#include "helvo/engine/helvo_section.h"
#include "helvo/model/class_tables.h"
#include "helvo/model/dsp_cfg.h"
#include "helvo/model/element_name.h"
#include "helvo/model/helvo_cfg.h"
#include "helvo/platform/format.h"

namespace helvo {

HELVO_IMPLEMENT_DYNCREATE(CPhasor, CFiler)

thread_local int cInputsJudgement::s_nDepth = 0;

cInputsJudgement::cInputsJudgement(bool& busy)
    : m_bBusy(busy), m_bEntered(!busy), m_bOutermost(s_nDepth == 0) {
  m_bBusy = true;
  ++s_nDepth;
}

cInputsJudgement::~cInputsJudgement() {
  --s_nDepth;
  if (m_bEntered) m_bBusy = false;
}

namespace {

// The class's display name in the singular: the plural without its last character.
std::string SingularName(int cls) {
  if (cls < 0 || cls >= kNumClasses) return std::string();
  std::string name = CHelvoCfgTables::ClassTable[cls].m_pDisplayName;
  if (!name.empty()) name.pop_back();
  return name;
}

bool IsNewGeneration(const CFiler* obj) {
  const int gen = sCfgState::Of(obj).m_iIedGen;
  return gen == 3 || gen == 4;
}

}  // namespace

CPhasor::CPhasor() {
  Initialize();
}

CPhasor::CPhasor(cHelvoDspCfg* group, CElementName* element, const sTypesEntry* type) {
  Initialize();
  SetTypesEntry(type);
  CPhasor::SetParent_Element_Flags(group, element, type ? type->m_nFlags : 0ul);
}

CPhasor::CPhasor(cHelvoDspCfg* group, CElementName* element, unsigned long flags) {
  Initialize();
  CPhasor::SetParent_Element_Flags(group, element, flags);
  SetTypesEntry(CHelvoCfgTables::LookupType(flags));
  UpdateType();
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
  if (cHelvoDspCfg* group = GetDspCfg()) {
    group->Remove(this);
    if (CHelvoCfg* config = group->GetConfiguration()) config->Remove(this);
  }
  if (CElementName* element = GetElement()) element->Remove(this);
}

void CPhasor::Initialize() {
  m_oiChannelNumber.m_nChannel = -1;
  m_strDescription.clear();
  m_bDirty = 0;
}

void CPhasor::SetParent_Element_Flags(cHelvoDspCfg* group, CElementName* element, unsigned long flags) {
  if (CElementName* old = GetElement(); old && old != element) old->Remove(this);
  SetElementName(element);
  SetParent(group);
  if (group && flags != 0) SetTypesEntry(CHelvoCfgTables::LookupType(flags));
  // Listed also without a group or type (kind 0), so that the element can always find, and forget,
  // the functions that point at it.
  if (element) element->Add(this);
  SetpMeterItems(nullptr);
}

unsigned long CPhasor::GetTypeMask() {
  return CHelvoCfgTables::GetTypeMask(GetClass());
}

int CPhasor::GetMaxChannelNumber() const {
  return CHelvoCfgTables::FunctionsPerDsp(static_cast<eHelvoCfgClass>(GetClass()), sCfgState::Of(this));
}

int CPhasor::GetUserChannelNumber(int n) const {
  return GetMaxChannelNumber() * GetDspIndex() + n;
}

void CPhasor::SetUserChannelNumber(int u) {
  SetChannelNumber(u - GetMaxChannelNumber() * GetDspIndex());
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

int CPhasor::GetDspIndex() const {
  const cHelvoDspCfg* group = GetDspCfg();
  return group ? group->GetDspIndex() : 0;
}

void CPhasor::GetElementName(std::string& name) const {
  if (const CElementName* element = GetElement())
    name = element->GetName();
  else
    name.clear();
}

void CPhasor::UpdateType() {
  if (CElementName* element = GetElement()) element->Add(this);  // Add refiles under the new kind
}

const char* CPhasor::GetTypeString() const {
  const sTypesEntry* type = GetTypesEntry();
  return type ? type->m_pName : nullptr;
}

unsigned long CPhasor::GetPhaseFlags() const {
  const sTypesEntry* type = GetTypesEntry();
  return type ? type->m_nFlags : 0;
}

unsigned long CPhasor::GetGroupMask() const {
  const sTypesEntry* type = GetTypesEntry();
  return type ? type->m_nGroupMask : 0;
}

bool CPhasor::IsFrequencyClass() const {
  return GetClass() == eFrequencyCfg;
}

void CPhasor::GetTypeDescText(std::string& text) const {
  if (IsFrequencyClass()) {
    text = IsNewGeneration(this) ? Format("Frequency %d", GetChannelNumber()) : std::string("Frequency 1");
    return;
  }
  const sTypesEntry* type = GetTypesEntry();
  if (!type) {
    text.clear();
    return;
  }
  text = type->m_pName;
  if (!m_strDescription.empty()) text += ":" + m_strDescription;
}

void CPhasor::GetName(std::string& name) const {
  std::string typeText;
  GetTypeDescText(typeText);
  if (IsFrequencyClass()) {
    name = IsNewGeneration(this) ? typeText : Format("Group %d %s", GetDspIndex() + 1, typeText.c_str());
  } else if (GetElement() && GetTypesEntry()) {
    name = GetElement()->GetName() + ":" + typeText;
  } else {
    name = SingularName(GetClass()) + Format(" %d", GetUserChannelNumber());
  }
}

void CPhasor::GetMeterName(std::string& name, const sMeterChoice* choice) const {
  name.clear();
  if (IsFrequencyClass()) {
    std::string typeText;
    GetTypeDescText(typeText);
    name = Format("Group %d %s", GetDspIndex() + 1, typeText.c_str());
    return;
  }
  const sTypesEntry* type = GetTypesEntry();
  if (!GetElement() || !type) return;
  name = GetElement()->GetName() + ":";
  if (GetClass() != eWattsVarsCfg) name += type->m_pAltName;
  if (choice) name += choice->GetSuffix();
  if (!m_strDescription.empty()) name += ":" + m_strDescription;
}

void CPhasor::GetStateName(std::string& name, const sStateChoice* choice) const {
  name.clear();
  const std::string suffix = choice ? choice->GetSuffix() : std::string();
  if (IsFrequencyClass()) {
    std::string typeText;
    GetTypeDescText(typeText);
    name = Format("Group %d %s", GetDspIndex() + 1, typeText.c_str());
    if (!suffix.empty()) name += "[" + suffix + "]";
    return;
  }
  const sTypesEntry* type = GetTypesEntry();
  if (!GetElement() || !type) return;
  name = GetElement()->GetName() + ":" + type->m_pAltName;
  if (!m_strDescription.empty()) name += ":" + m_strDescription;
  if (!suffix.empty()) name += "[" + suffix + "]";
}

void CPhasor::GetMeterName(std::string& name, int index) const {
  name.clear();
  cHelvoDspCfg* group = GetDspCfg();
  const auto* section = group ? dynamic_cast<const cHelvoSection*>(group->GetSection(GetClass())) : nullptr;
  if (const sMeterChoice* choice = section ? section->FindMeterChoice(index) : nullptr)
    GetMeterName(name, choice);
}

void CPhasor::GetStateName(std::string& name, int index) const {
  name.clear();
  cHelvoDspCfg* group = GetDspCfg();
  const auto* section = group ? dynamic_cast<const cHelvoSection*>(group->GetSection(GetClass())) : nullptr;
  if (const sStateChoice* choice = section ? section->FindStateChoice(index) : nullptr)
    GetStateName(name, choice);
}

}  // namespace helvo
