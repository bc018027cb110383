// Trend bookkeeping and dirty marks of the functions of a configuration.
//
// The host asks which trend options are still free for each meter before it offers trend choices;
// the answer lives in per-function meter items that the refresh below rebuilds from the trend.
// Dirty marks keep the functions a high-sample-rate recorder cannot hold out of the newer files.
#include <algorithm>

#include "helvo/engine/helvo_section.h"
#include "helvo/model/class_tables.h"
#include "helvo/model/dsp_cfg.h"
#include "helvo/model/helvo_cfg.h"
#include "helvo/model/model_converters.h"
#include "helvo/model/phasor.h"
#include "helvo/model/phasor_scan.h"
#include "helvo/model/pmu.h"
#include "helvo/model/trend.h"

namespace helvo {

namespace {

// Every signal type except external inputs, logic functions and fault locators, which have no
// meters a trend can log.
constexpr unsigned long kTrendableTypes = 0x9DFFFFF0ul;
// "Damped", "Undamped", "Avg", "Min" and "Max" all free.
constexpr unsigned int kAllOptionsFree = 0x1Fu;
// External inputs numbered above this are beyond every high-sample-rate recorder.
constexpr int kMaxDigitalAtHighRate = 32;

// Computed functions, in the order their dirty marks are decided.
constexpr eHelvoCfgClass kDependentClasses[] = {
    eFrequencyCfg, eSummationCfg, eSequenceCfg, eWattsVarsCfg,
    eLogicCfg,     eFaultLocCfg,  ePFDetCfg,    eImpedanceCfg,
};

void RefreshGroupItems(cHelvoDspCfg* group) {
  cPhasorScan scan(group, ePhScanGroup, kTrendableTypes);
  for (CPhasor* f = scan.GetFirst(); f; f = scan.GetNext()) {
    const int cls = f->GetClass();
    const int span = CHelvoCfgTables::GetMeterSpan(cls, sCfgState::Of(group));
    if (span > 0 && !f->GetpMeterItems()) f->SetpMeterItems(new sTrnMeterItem[span], span);
    if (!f->GetpMeterItems()) continue;

    const auto* section = dynamic_cast<const cHelvoSection*>(group->GetSection(cls));
    if (!section) continue;
    const unsigned long flags = f->GetPhaseFlags();
    for (const sMeterChoice& m : section->GetMeterChoices()) {
      if ((m.m_nTypeMask & flags) == 0) continue;
      // A definition beyond the items made (another generation's span) has no item to reset.
      if (m.m_nIndex < 0 || m.m_nIndex >= f->GetMeterItemCount()) continue;
      sTrnMeterItem& item = f->GetpMeterItems()[m.m_nIndex];
      item.m_pPhasor = f;
      item.m_pChoice = &m;
      item.m_nOptionMask = kAllOptionsFree;
    }
  }
}

CPhasor* AsPhasor(CFiler* obj) {
  return dynamic_cast<CPhasor*>(obj);
}

}  // namespace

// ---- Meter items ----

void CPhasor::SetpMeterItems(sTrnMeterItem* items, int count) {
  if (items != m_pMeterItems) delete[] m_pMeterItems;
  m_pMeterItems = items;
  if (!items)
    m_nMeterItems = 0;
  else
    m_nMeterItems =
        count >= 0 ? count : std::max(0, CHelvoCfgTables::GetMeterSpan(GetClass(), sCfgState::Of(this)));
}

unsigned int CPhasor::GetTrendOptionMask(int item) const {
  if (!m_pMeterItems || item < 0 || item >= m_nMeterItems) return 0;
  return m_pMeterItems[item].m_nOptionMask;
}

// ---- Trend masks ----

void CHelvoCfg::RefreshTrendMasks(cTrend* trend, CrefMeter* exclude) {
  for (cHelvoDspCfg* group : m_pDspCfg)
    if (group) RefreshGroupItems(group);
  if (!trend) return;

  for (ceTrendOption& entry : trend->m_Entries) {
    if (&entry == exclude) continue;
    CPhasor* f = entry.m_pPhasor;
    if (!f || entry.m_nMeter < 0 || entry.m_nMeter >= f->GetMeterItemCount()) continue;
    f->GetpMeterItems()[entry.m_nMeter].m_nOptionMask &= ~(1u << (entry.m_nOption % 32));
  }
}

// ---- Dirty marks ----

short CHelvoCfg::MarkPhasorsAsDirty(int maxAnalog, int version) {
  if (m_State.m_nBank < 1) return 0;
  const int boards = std::min(m_State.m_nBank, 2);
  for (int d = 0; d < boards; ++d) {
    cHelvoDspCfg* group = m_pDspCfg[d];
    if (!group) continue;

    for (CFiler* obj : group->GetClassList(eAnalogCfg))
      if (CPhasor* f = AsPhasor(obj); f && f->GetChannelNumber() > maxAnalog) f->m_bDirty = 1;
    for (CFiler* obj : group->GetClassList(eDigitalCfg))
      if (CPhasor* f = AsPhasor(obj); f && f->GetChannelNumber() > kMaxDigitalAtHighRate) f->m_bDirty = 1;
    // One pass in class order: a function fed by one that becomes dirty later in the pass stays in
    // the file, and its reference to the left-out function is written as undefined (every reference
    // converter writes none for a dirty function).
    for (eHelvoCfgClass cls : kDependentClasses)
      for (CFiler* obj : group->GetClassList(cls))
        if (CPhasor* f = AsPhasor(obj); f && f->m_bDirty == 0 && !f->AreInputsDefined()) f->m_bDirty = 1;

    if (version > 202 && (m_State.m_nSRate == 256 || m_State.m_nSRate == 384)) {
      for (CFiler* obj : group->GetCDRList()) {
        auto* cdr = dynamic_cast<CCDR*>(obj);
        if (cdr && (cdr->m_nInputIndex >= maxAnalog || cdr->m_nChannel >= maxAnalog)) cdr->m_nInputIndex = -1;
      }
    }
  }
  return 0;
}

}  // namespace helvo
