#include "helvo/model/trend.h"

#include "helvo/engine/helvo_section.h"
#include "helvo/model/helvo_cfg.h"
#include "helvo/model/phasor.h"

namespace helvo {

HELVO_IMPLEMENT_DYNCREATE(cTrend, CFiler)

namespace {

// Key name ids (helvo/resources/meter_group_trend_strings.cpp), after the section's own id; entry n
// (1-based) has IXn at IDS_TREND_IX1 + 2 (n - 1) and its OPnn right after it.
enum : int {
  IDS_TREND_INTERVAL = 11809,
  IDS_TREND_ALMCONTACT,
  IDS_TREND_EVENTS,
  IDS_TREND_COUNT,
  IDS_TREND_IX1,
};

// The function pointer of an entry, as a member of the entry's own class.
constexpr CPhasor* ceTrendOption::*kEntryFunction = &ceTrendOption::m_pPhasor;

}  // namespace

cTrend::cTrend() {
  Initialize();
}

cTrend::cTrend(CHelvoCfg* parent) : CFiler(parent) {
  Initialize();
  if (parent) parent->m_pTrend = this;
}

cTrend& cTrend::operator=(const cTrend& other) {
  if (this == &other) return *this;
  CFiler::operator=(other);
  m_nInterval = other.m_nInterval;
  m_nAlarmContact = other.m_nAlarmContact;
  m_nEvents = other.m_nEvents;
  for (int i = 0; i < kEntries; ++i) m_Entries[i] = other.m_Entries[i];
  return *this;
}

cTrend::~cTrend() {
  if (auto* cfg = dynamic_cast<CHelvoCfg*>(GetParent())) cfg->Remove(this);
}

void cTrend::Initialize() {
  m_nTrendNumber = -1;
  m_nInterval = 1200;
  m_nAlarmContact = 0;
  m_nEvents = 1;
}

void cTrend::DefineTrendCfgTypes(cHelvoSection* section) {
  using C = cTrend;
  section->LoadCfgType(FieldOf(&C::m_nInterval), IDS_TREND_INTERVAL)
      ->LoadCfgType(FieldOf(&C::m_nAlarmContact), IDS_TREND_ALMCONTACT)
      ->LoadCfgType(FieldOf(&C::m_nEvents), IDS_TREND_EVENTS)
      ->LoadCfgType(FieldOf(&C::m_nCount), IDS_TREND_COUNT);
  // Entry by entry: the meter, then its option. The entry converter always writes its line, so the
  // option follows it; the flag keeps the option out should the meter line ever be left out.
  for (int i = 0; i < kEntries; ++i)
    section->LoadCfgType(FieldOf(&C::m_Entries, i), IDS_TREND_IX1 + 2 * i)
        ->LoadCfgType(FieldOf(&C::m_Entries, i, &ceTrendOption::m_nOption), IDS_TREND_IX1 + 2 * i + 1,
                      FILER_AFTER_WRITTEN_CONVERTER);
  for (int i = 0; i < kEntries; ++i) section->LoadReferenceAddress(FieldOf(&C::m_Entries, i, kEntryFunction));
}

}  // namespace helvo
