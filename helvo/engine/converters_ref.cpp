// Reference converters: channel numbers, elements, signal types, phasors, detector states, meters
// and trend entries.
#include <climits>
#include <cstdint>
#include <cstring>

#include "helvo/engine/converters.h"
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
  text = Format("%d", m_nChannel);
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
  text = m_pElementName ? m_pElementName->GetName() : std::string();
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
  if (!m_pPhasor || !m_pPhasor->IsValidChannel()) {
    text = "-1";
    return 0;
  }
  const int cls = m_pPhasor->GetClass();
  // A valid channel lies in 1 to FunctionsPerDsp, so the index stays small.
  const int index = CHelvoCfgTables::GetPhasorOffset(cls) +
                    CHelvoCfgTables::GetPhasorSpan(cls) * (m_pPhasor->GetChannelNumber() - 1);
  text = Format("%d", index);
  return 0;
}

// ---- crefState ----

void crefState::ConvertIn(CFiler*, std::string& text, int&) {
  m_nNumber = LeadingInt(text);
}

unsigned long crefState::ConvertOut(CFiler*, std::string& text, int, int&) {
  if (!m_pPhasor || !m_pPhasor->AreInputsDefined()) {
    text = "-1";
    return 0;
  }
  const int cls = m_pPhasor->GetClass();
  // One state occupies ceil(functions / 32) words; bit n - 1 of them belongs to function n. The
  // arithmetic is done in 64 bits because the number and channel are whatever the host stored.
  const std::int64_t functions = CHelvoCfgTables::FunctionsPerDsp(static_cast<eHelvoCfgClass>(cls));
  const std::int64_t words = (functions + 31) / 32;
  const std::int64_t index = std::int64_t{32} * CHelvoCfgTables::GetStateOffset(cls) +
                             (std::int64_t{m_pPhasor->GetChannelNumber()} - 1) +
                             std::int64_t{m_nNumber} * 32 * words;
  text = Format("%lld", static_cast<long long>(index));
  return 0;
}

// ---- CrefMeter ----

CrefMeter::PmuMeterGroupTest CrefMeter::s_pfnIsPmuMeterGroup = nullptr;

CrefMeter::PmuMeterGroupTest CrefMeter::SetPmuMeterGroupTest(PmuMeterGroupTest test) {
  PmuMeterGroupTest previous = s_pfnIsPmuMeterGroup;
  s_pfnIsPmuMeterGroup = test;
  return previous;
}

void CrefMeter::ConvertIn(CFiler*, std::string& text, int&) {
  m_nMeter = LeadingInt(text);
}

int CrefMeter::ComputeIndex(int& index, int version, bool pmuGroup) const {
  if (!m_pPhasor || !m_pPhasor->IsValidChannel() || !m_pPhasor->AreInputsDefined()) return 0;
  // A negative meter number is an unresolved raw index; it names no meter of this function.
  if (m_nMeter < 0) return 0;
  const cHelvoDspCfg* group = m_pPhasor->GetDspCfg();
  if (!group) return 0;
  // Below version 201 the second board's meters are numbered after the first board's whole table.
  const int board = version < 201 ? group->GetDspIndex() : 0;
  if (board < 0 || board >= CHelvoCfgTables::DspsByGen(CHelvoCfgTables::m_iIedGen)) return 0;
  const int cls = m_pPhasor->GetClass();
  // From version 202 on a sequence function's meters are two entries apart (the PMU meter group
  // numbers them one apart).
  const int k = (version >= 202 && cls == eSequenceCfg && !pmuGroup) ? 2 : 1;
  const std::int64_t value =
      std::int64_t{CHelvoCfgTables::GetMeterSpan(cls)} * (m_pPhasor->GetChannelNumber() - 1) +
      CHelvoCfgTables::GetMeterOffset(cls) + std::int64_t{cFilerContainer::GetMeterSize(version)} * board +
      std::int64_t{m_nMeter} * k;
  if (value < 0 || value > INT_MAX) return 0;
  index = static_cast<int>(value);
  return 1;
}

int CrefMeter::GetMeterIndex(int& index, int version) const {
  return ComputeIndex(index, version, false);
}

int CrefMeter::GetMeterIndex(int version) const {
  int index = -1;
  return GetMeterIndex(index, version) ? index : -1;
}

int CrefMeter::RecalcMeterIndex(int& index, int version, CFiler* owner) const {
  if (!owner) return 0;
  const bool pmuGroup = s_pfnIsPmuMeterGroup && s_pfnIsPmuMeterGroup(owner);
  return ComputeIndex(index, version, pmuGroup);
}

int CrefMeter::RecalcMeterIndex(int version, CFiler* owner) const {
  int index = -1;
  return RecalcMeterIndex(index, version, owner) ? index : -1;
}

unsigned long CrefMeter::ConvertOut(CFiler* owner, std::string& text, int version, int&) {
  int index = 0;
  if (!GetMeterIndex(index, version)) {
    if (!owner || owner->GetClass() != eTrend) return 1;  // no line
    index = -1;
  } else if (version >= 202 && m_pPhasor->GetClass() == eSequenceCfg) {
    int recalculated = 0;
    if (RecalcMeterIndex(recalculated, version, owner)) index = recalculated;
  }
  text = Format("%d", index);
  return 0;
}

// ---- ceTrendOption ----

const char ceTrendOption::Choices[] = "Damped\r\nUndamped\r\nAvg\r\nMin\r\nMax\r\n";

unsigned long ceTrendOption::ConvertOut(CFiler*, std::string& text, int version, int&) {
  text = Format("%d", GetMeterIndex(version));
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

}  // namespace helvo
