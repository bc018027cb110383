#include "helvo/model/cfg_state.h"

#include <mutex>

#include "helvo/model/helvo_cfg.h"

namespace helvo {

namespace {
std::mutex& StaticsMutex() {
  static std::mutex mutex;
  return mutex;
}
}  // namespace

void sCfgState::DeriveGeneration() {
  if (m_Header.m_nSettingVersion >= 201) {
    if (m_Header.m_nAChan == 18)
      m_iIedGen = 3;
    else if (m_Header.m_nAChan == 36)
      m_iIedGen = 4;
  } else {
    if (m_Header.m_nDSPBanks == 1)
      m_iIedGen = 1;
    else if (m_Header.m_nDSPBanks == 2)
      m_iIedGen = 2;
  }
}

void sCfgState::TakeHeaderCopies() {
  m_nBank = m_Header.m_nDSPBanks;
  m_nSetVer = m_Header.m_nSettingVersion;
  m_nAChan = m_Header.m_nAChan;
  m_nSRate = m_Header.m_nSampleRate;
  DeriveGeneration();
}

void sCfgState::Publish() const {
  std::lock_guard lock(StaticsMutex());
  cFilerSections::m_nSettingVersion = m_Header.m_nSettingVersion;
  cFilerSections::m_nDSPBanks = m_Header.m_nDSPBanks;
  cFilerSections::m_nAChan = m_Header.m_nAChan;
  cFilerSections::m_nSampleRate = m_Header.m_nSampleRate;
  CHelvoCfgTables::m_iIedGen = m_iIedGen;
  CHelvoCfgTables::m_nSetVer = m_nSetVer;
  CHelvoCfgTables::m_nBank = m_nBank;
  CHelvoCfgTables::m_nAChan = m_nAChan;
  CHelvoCfgTables::m_nSRate = m_nSRate;
}

sCfgState sCfgState::FromStatics() {
  sCfgState state;
  std::lock_guard lock(StaticsMutex());
  state.m_Header.m_nSettingVersion = cFilerSections::m_nSettingVersion;
  state.m_Header.m_nDSPBanks = cFilerSections::m_nDSPBanks;
  state.m_Header.m_nAChan = cFilerSections::m_nAChan;
  state.m_Header.m_nSampleRate = cFilerSections::m_nSampleRate;
  state.m_iIedGen = CHelvoCfgTables::m_iIedGen;
  state.m_nSetVer = CHelvoCfgTables::m_nSetVer;
  state.m_nBank = CHelvoCfgTables::m_nBank;
  state.m_nAChan = CHelvoCfgTables::m_nAChan;
  state.m_nSRate = CHelvoCfgTables::m_nSRate;
  return state;
}

sCfgState sCfgState::Of(const CFiler* obj) {
  const CFiler* root = obj;
  while (root && root->GetParent()) root = root->GetParent();
  if (root && root->GetClass() == eHelvoCfg) return static_cast<const CHelvoCfg*>(root)->m_State;
  return FromStatics();
}

}  // namespace helvo
