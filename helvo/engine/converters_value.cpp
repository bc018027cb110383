// Value converters: delays, action blocks and times.
#include <climits>
#include <cmath>

#include "helvo/engine/converters.h"
#include "helvo/engine/value_text.h"
#include "helvo/platform/format.h"

namespace helvo {

HELVO_IMPLEMENT_DYNCREATE(cfSecondsDelay, CFilerElement)
HELVO_IMPLEMENT_RUNTIME(CActionBlock, CFilerElement)
HELVO_IMPLEMENT_RUNTIME(CCfgTime, CFilerElement)

// ---- cfSecondsDelay ----

float cfSecondsDelay::GetScaleFactor(int sysFreq) const {
  // In double so that an absurd frequency read from a file cannot overflow the int product.
  return static_cast<float>(static_cast<double>(m_nFactor) * sysFreq);
}

void cfSecondsDelay::ConvertIn(CFiler*, std::string& text, int& sysFreq) {
  const float scale = GetScaleFactor(sysFreq);
  if (scale == 0.0f) return;  // no system frequency yet, or no factor: the count has no meaning
  m_fSeconds = static_cast<float>(LeadingInt(text)) / scale;
}

unsigned long cfSecondsDelay::ConvertOut(CFiler*, std::string& text, int, int& sysFreq) {
  // Single precision throughout, so counts round as they always have in stored files.
  const float count = GetScaleFactor(sysFreq) * m_fSeconds + 0.49f;
  int value;
  if (std::isnan(count))
    value = 0;
  else if (count >= 2147483648.0f)
    value = INT_MAX;
  else if (count <= -2147483648.0f)
    value = INT_MIN;
  else
    value = static_cast<int>(count);  // toward zero
  text = FormatInteger(value);
  return 0;
}

// ---- CActionBlock ----

unsigned int CActionBlock::GetPacked() const {
  unsigned int packed = 0;
  for (int k = 0; k < 6; ++k)
    if (m_bAction[k]) packed |= 1u << k;
  packed |= (static_cast<unsigned int>(m_nTwoBit) & 3u) << 6;
  packed |= (static_cast<unsigned int>(m_nThreeBit) & 7u) << 8;
  return packed;
}

void CActionBlock::SetPacked(unsigned int packed) {
  for (int k = 0; k < 6; ++k) m_bAction[k] = static_cast<int>((packed >> k) & 1u);
  m_nTwoBit = static_cast<int>((packed >> 6) & 3u);
  m_nThreeBit = static_cast<int>((packed >> 8) & 7u);
}

void CActionBlock::ConvertIn(CFiler*, std::string& text, int&) {
  SetPacked(LeadingUnsigned(text));
}

unsigned long CActionBlock::ConvertOut(CFiler*, std::string& text, int, int&) {
  text = FormatInteger(GetPacked());
  return 0;
}

// ---- CCfgTime ----

void CCfgTime::ConvertIn(CFiler*, std::string&, int&) {}

unsigned long CCfgTime::ConvertOut(CFiler*, std::string& text, int, int&) {
  text = m_Time.Format("%y %b %d %H:%M:%S");
  return 0;
}

}  // namespace helvo
