// The converters that refer to the recorder model: channel numbers, elements, signal types, phasors,
// detector states, meters, trend entries and units.
#include <cstring>

#include "helvo/model/model_converters.h"

#include "helvo/engine/value_text.h"
#include "helvo/model/class_tables.h"
#include "helvo/model/dsp_cfg.h"
#include "helvo/model/element_name.h"
#include "helvo/model/phasor.h"
#include "helvo/platform/format.h"

namespace helvo {

HELVO_IMPLEMENT_DYNCREATE(CiChannelNumber, CFilerElement)
HELVO_IMPLEMENT_DYNCREATE(CrefElementName, CFilerElement)
HELVO_IMPLEMENT_DYNCREATE(CrefTypesEntry, CFilerElement)
HELVO_IMPLEMENT_DYNCREATE(CrefPhasor, CFilerElement)
HELVO_IMPLEMENT_DYNCREATE(crefState, CFilerElement)
HELVO_IMPLEMENT_DYNCREATE(CrefMeter, CFilerElement)
HELVO_IMPLEMENT_DYNCREATE(ceTrendOption, CrefMeter)
HELVO_IMPLEMENT_DYNCREATE(cstrUnit, CFilerElement)

namespace {

cHelvoDspCfg* ChannelGroupOf(const CFiler* owner) {
  return owner ? dynamic_cast<cHelvoDspCfg*>(owner->GetParent()) : nullptr;
}

}  // namespace

// ---- CiChannelNumber ----

void CiChannelNumber::ConvertIn(CFiler* owner, std::string& text, int&) {
  m_nChannel = LeadingInt(text);
  CPhasor* function = dynamic_cast<CPhasor*>(owner);
  if (!function || &function->m_oiChannelNumber != this) return;
  if (cHelvoDspCfg* group = ChannelGroupOf(owner)) group->Add(function);
}

unsigned long CiChannelNumber::ConvertOut(CFiler*, std::string& text, int, int&) {
  text = FormatInteger(m_nChannel);
  return 0;
}

// ---- CrefElementName ----

void CrefElementName::ConvertIn(CFiler* owner, std::string& text, int&) {
  cHelvoDspCfg* group = ChannelGroupOf(owner);
  if (!group) return;
  CElementName* element = group->VerifyElementNamed(text);
  if (!element) {
    // No element of that name (in any letter case) exists, so the constructor keeps the name.
    std::string name = text;
    element = new CElementName(name, group);
    group->Add(element);
  }
  m_pElementName = element;
}

unsigned long CrefElementName::ConvertOut(CFiler*, std::string& text, int, int&) {
  // A function without element writes no line: "ELEMENT=" would read back as an element named "".
  if (!m_pElementName) return 1;
  text = m_pElementName->GetName();
  return 0;
}

// ---- CrefTypesEntry ----

void CrefTypesEntry::ConvertIn(CFiler*, std::string& text, int&) {
  // Type codes of the first setting versions.
  if (text == "1")
    text = "Vb";
  else if (text == "11")
    text = "VbSum";
  else if (text == "19")
    text = "Vseq";
  m_pTypesEntry = sTypesEntry::LookupType(text.c_str());
}

unsigned long CrefTypesEntry::ConvertOut(CFiler*, std::string& text, int, int&) {
  text = m_pTypesEntry && m_pTypesEntry->m_pName ? m_pTypesEntry->m_pName : "";
  return 0;
}

// ---- CrefPhasor ----

void CrefPhasor::ConvertIn(CFiler*, std::string& text, int&) {
  m_nNumber = LeadingInt(text);
}

unsigned long CrefPhasor::ConvertOut(CFiler*, std::string& text, int, int&) {
  int index = -1;
  GetPhasorIndex(index);
  text = FormatInteger(index);
  return 0;
}

// ---- crefState ----

void crefState::ConvertIn(CFiler*, std::string& text, int&) {
  m_nNumber = LeadingInt(text);
}

unsigned long crefState::ConvertOut(CFiler*, std::string& text, int, int&) {
  int index = -1;
  GetStateIndex(index);
  text = FormatInteger(index);
  return 0;
}

// ---- CrefMeter ----

void CrefMeter::ConvertIn(CFiler*, std::string& text, int&) {
  m_nMeter = LeadingInt(text);
}

unsigned long CrefMeter::ConvertOut(CFiler* owner, std::string& text, int version, int&) {
  int index = -1;
  // From version 202 on a sequence meter is numbered by the owner's rule first: the PMU meter group
  // lists the function's entries one apart, so some of its items have no index with the usual
  // spacing of two and must not be dropped for that.
  const bool byOwner = version >= 202 && m_pPhasor && m_pPhasor->GetClass() == eSequenceCfg &&
                       RecalcMeterIndex(index, version, owner);
  if (!byOwner && !GetMeterIndex(index, version)) {
    if (!owner || owner->GetClass() != eTrend) return 1;  // no line
    index = -1;
  }
  text = FormatInteger(index);
  return 0;
}

// ---- ceTrendOption ----

const char ceTrendOption::Choices[] = "Damped\r\nUndamped\r\nAvg\r\nMin\r\nMax\r\n";

unsigned long ceTrendOption::ConvertOut(CFiler*, std::string& text, int version, int&) {
  text = FormatInteger(GetMeterIndex(version));
  return 0;
}

char* ceTrendOption::GetChoice(eTrendOption option, char* buffer, unsigned int size) {
  const int wanted = static_cast<int>(option);
  if (!buffer || size == 0 || wanted < 0 || wanted > eTrendMax) return nullptr;
  const char* line = Choices;
  for (int i = 0; i < wanted; ++i) {
    const char* end = std::strstr(line, "\r\n");
    if (!end) return nullptr;
    line = end + 2;
  }
  const char* end = std::strstr(line, "\r\n");
  if (!end) return nullptr;  // the option has no complete line
  size_t length = static_cast<size_t>(end - line);
  if (length > size - 1) length = size - 1;
  std::memcpy(buffer, line, length);
  buffer[length] = '\0';
  return buffer;
}

// ---- cstrUnit ----

void cstrUnit::ConvertIn(CFiler*, std::string& text, int&) {
  m_strUnit = text;
}

unsigned long cstrUnit::ConvertOut(CFiler* owner, std::string& text, int, int&) {
  text.clear();
  if (!owner) return 0;
  switch (owner->GetClass()) {
    case eAnalogCfg:
    case eSummationCfg:
    case eSequenceCfg:
    case ePFDetCfg:
      if (CPhasor* function = dynamic_cast<CPhasor*>(owner))
        if (const char* unit = function->GetPriUnit()) text = unit;
      break;
    default:
      break;
  }
  return 0;
}

}  // namespace helvo
