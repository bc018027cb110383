#include "helvo/saving/version_rules.h"

#include "helvo/engine/helvo_section.h"
#include "helvo/functions/analog.h"
#include "helvo/functions/fault_locator.h"
#include "helvo/functions/summation.h"
#include "helvo/model/dsp_cfg.h"
#include "helvo/model/helvo_cfg.h"
#include "helvo/model/phasor.h"
#include "helvo/model/records.h"

namespace helvo {

namespace {
// Thresholds of the sag and swell detectors that older files imply (percent of nominal).
constexpr float kDefaultSag = 50.0f;
constexpr float kDefaultSwell = 110.0f;

bool Supports(eHelvoCfgClass cls, int version) {
  return version > 0 && CHelvoCfgTables::IsClassSupported(cls, static_cast<unsigned int>(version));
}
}  // namespace

int MeterGroupLimit(int version) {
  return version < 4 ? 8 : 10;
}
bool IsTrendSupported(int version) {
  return Supports(eTrend, version);
}
bool IsNotifyOperative(int version) {
  return version >= 3;
}
bool AreSagSwellWritten(int version) {
  return version >= 4;
}
bool AreAngleOffsetsWritten(int version) {
  return version >= 4;
}
bool IsAngleReferenceWritten(int version) {
  return version >= 5;
}
bool IsRecordAlarmWritten(int version) {
  return version >= 6;
}
bool AreSummationCurrentsSupported(int version) {
  return version >= 6;
}

bool IsDCChannel(const CPhasor& p) {
  return (p.GetPhaseFlags() & CAnalogCfg::kDCType) != 0;
}

bool LacksOldModuleName(const CAnalogCfg& channel) {
  return channel.m_oModuleType.m_strOldType.empty();
}

bool IsAnalogLostBelowDC(const CAnalogCfg& channel, int version) {
  if (version > 0 && CHelvoCfgTables::IsDCSupported(static_cast<unsigned int>(version))) return false;
  return IsDCChannel(channel) || LacksOldModuleName(channel);
}

bool IsAnalogChannelComplete(const CAnalogCfg& channel) {
  return channel.m_Scale.IsValid() && channel.m_oModuleType.IsValid();
}

bool IsAnalogChannelKept(const CAnalogCfg& channel, int version) {
  return Supports(eAnalogCfg, version) && IsAnalogChannelComplete(channel) && channel.m_bDirty == 0 &&
         !IsAnalogLostBelowDC(channel, version);
}

bool HasSagSwellSettings(const CAnalogCfg& channel) {
  return channel.m_oDetParams.m_fSag != kDefaultSag || channel.m_oDetParams.m_fSwell != kDefaultSwell ||
         channel.m_oSagAct.m_bAction[0] != 0 || channel.m_oSwellAct.m_bAction[0] != 0;
}

bool HasAngleOffsets(const CSummationCfg& summation) {
  for (float offset : summation.m_fInputAOffset)
    if (offset != 0.0f) return true;
  return false;
}

bool IsFaultLocatorDropped(const cFaultLocCfg& locator, int version) {
  return !AreSummationCurrentsSupported(version) && locator.HasSummationCurrentInput();
}

bool StateUsesNotify(const sStateChoice& state, CFiler* obj) {
  const CActionBlock* first = state.GetFirstAction(obj);
  const CActionBlock* second = state.GetSecondAction(obj);
  return (first && first->HasNotify()) || (second && second->HasNotify());
}

bool HasConfiguredAngleReference(const cHelvoDspCfg& group) {
  const CPhasor* reference = group.GetRefChannel();
  return reference && reference->GetChannelNumber() != 1;
}

CHelvoLimitsCfg* GetLimitsCfg(const CHelvoCfg& cfg) {
  if (cfg.m_pLimitsCfg) return cfg.m_pLimitsCfg;
  for (CFiler* obj : cfg.m_LimitsList)
    if (auto* limits = dynamic_cast<CHelvoLimitsCfg*>(obj)) return limits;
  return nullptr;
}

unsigned int RecordAlarmToSave(const CHelvoCfg& cfg) {
  if (cfg.m_pStorageAlarms) return static_cast<unsigned int>(cfg.m_pStorageAlarms->m_nRecordAlarm);
  const CHelvoLimitsCfg* limits = GetLimitsCfg(cfg);
  return limits ? limits->m_nRecAlarm : 0;
}

bool HasTrend(const CHelvoCfg& cfg) {
  return cfg.m_pTrend != nullptr || !cfg.m_TrendList.IsEmpty();
}

int DspBoardCount(const CHelvoCfg& cfg) {
  const CIdCfg* id = cfg.GetIdCfg();
  int boards = id ? CHelvoCfgTables::DspsByGen(id->m_nNumBanks) : 0;
  if (boards == 0) boards = CHelvoCfgTables::DspsByGen(cfg.m_State.m_iIedGen);
  return boards > 2 ? 2 : boards;
}

}  // namespace helvo
