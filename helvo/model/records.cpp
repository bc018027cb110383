#include "helvo/model/records.h"

#include "helvo/engine/helvo_section.h"
#include "helvo/host/host_settings.h"
#include "helvo/model/helvo_cfg.h"

namespace helvo {

HELVO_IMPLEMENT_DYNCREATE(CIdCfg, CFiler)
HELVO_IMPLEMENT_DYNCREATE(CHelvoLimitsCfg, CFiler)
HELVO_IMPLEMENT_DYNCREATE(cStorageAlarms, CFiler)

const int AlarmIndexToValue[6] = {0, 2, 3, 5, 6, 7};

namespace {

// Key name ids (helvo/resources/record_strings.cpp); each section's keys follow the section's own id.
enum : int {
  IDS_ID_LOAD_DATE = 10241,
  IDS_ID_SET_DATE,
  IDS_ID_SETTINGS_VERS,
  IDS_ID_SETTINGS_NAME,
  IDS_ID_UNIT_ID,
  IDS_ID_SERIAL_NUM,
  IDS_ID_STATION_NAME,
  IDS_ID_STATION_NUM,
  IDS_ID_LOCATION,
  IDS_ID_COMMENTS,
  IDS_ID_NUM_BANKS,
  IDS_ID_NEWFILE,
  IDS_ID_SYSTEM_FREQUENCY,
  IDS_ID_NUM_A_CHANNELS,
  IDS_ID_SAMPLE_RATE,
};

enum : int {
  IDS_LIMITS_EI_CHATTER_WINDOW = 10897,
  IDS_LIMITS_EI_CHATTER_TIME,
  IDS_LIMITS_DET_CHATTER_WINDOW,
  IDS_LIMITS_DET_CHATTER_TIME,
  IDS_LIMITS_REC_ALARM,
};

}  // namespace

// ---- CIdCfg ----

CIdCfg::CIdCfg(CHelvoCfg* parent) : CFiler(parent) {
  Initialize();
}

void CIdCfg::Initialize() {
  m_oSetDate.m_lLoadDate = 0;
  m_strSettingsName.clear();
  m_strUnitId.clear();
  m_strSerialNum.clear();
  m_strStationName.clear();
  m_strStationNum.clear();
  m_strLocation.clear();
  m_strComments = "None";
  m_nSettingsVers = GetSettingVersionLimit();
  if (const auto* cfg = dynamic_cast<CHelvoCfg*>(GetParent())) {
    // The board count the header of the configuration's last file read names (the generation for
    // the newer family).
    const sCfgState& state = cfg->m_State;
    if (state.m_nSetVer >= 201)
      m_nNumBanks = state.m_nAChan <= 18 ? 3 : 4;
    else
      m_nNumBanks = state.m_nBank;
  }
  m_nNewFile = 0;
  unsigned long freq = 0;
  m_nSystemFrequency = GetDefaultSysFreq(&freq, nullptr) ? static_cast<int>(freq) : 60;
  m_nNumAChannels = 18;
  m_nSampleRate = 96;
}

bool CIdCfg::GetHeaderValues(sHeaderValues& values) const {
  values.m_nSystemFrequency = m_nSystemFrequency;
  values.m_nSettingVersion = m_nSettingsVers;
  values.m_nAChan = m_nNumAChannels;
  values.m_nSampleRate = m_nSampleRate;
  values.m_nDSPBanks = m_nNumBanks;
  return true;
}

void CIdCfg::DefineIdCfgTypes(cHelvoSection* section) {
  using C = CIdCfg;
  // SET_DATE is read as text (never written) and written from the time of the save: the reader takes
  // the first definition of a name, the writer every definition its flags allow.
  section->LoadCfgType(FieldOf(&C::m_oSetDate, &CCfgTime::m_lLoadDate), IDS_ID_LOAD_DATE)
      ->LoadCfgType(FieldOf(&C::m_strSetDate), IDS_ID_SET_DATE, FILER_NEVER_WRITTEN)
      ->LoadCfgType(FieldOf(&C::m_oSetDate), IDS_ID_SET_DATE)
      ->LoadCfgType(FieldOf(&C::m_nSettingsVers), IDS_ID_SETTINGS_VERS)
      ->LoadCfgType(FieldOf(&C::m_strSettingsName), IDS_ID_SETTINGS_NAME, FILER_NEVER_WRITTEN)
      ->LoadCfgType(FieldOf(&C::m_strUnitId), IDS_ID_UNIT_ID, FILER_NEVER_WRITTEN)
      ->LoadCfgType(FieldOf(&C::m_strSerialNum), IDS_ID_SERIAL_NUM)
      ->LoadCfgType(FieldOf(&C::m_strStationName), IDS_ID_STATION_NAME, FILER_NEVER_WRITTEN)
      ->LoadCfgType(FieldOf(&C::m_strStationNum), IDS_ID_STATION_NUM, FILER_NEVER_WRITTEN)
      ->LoadCfgType(FieldOf(&C::m_strLocation), IDS_ID_LOCATION, FILER_NEVER_WRITTEN)
      ->LoadCfgType(FieldOf(&C::m_strComments), IDS_ID_COMMENTS)
      ->LoadCfgType(FieldOf(&C::m_nNumBanks), IDS_ID_NUM_BANKS)
      ->LoadCfgType(FieldOf(&C::m_nNewFile), IDS_ID_NEWFILE, FILER_NEVER_WRITTEN)
      ->LoadCfgType(FieldOf(&C::m_nSystemFrequency), IDS_ID_SYSTEM_FREQUENCY)
      // The writer leaves these two out below version 201 by their names.
      ->LoadCfgType(FieldOf(&C::m_nNumAChannels), IDS_ID_NUM_A_CHANNELS)
      ->LoadCfgType(FieldOf(&C::m_nSampleRate), IDS_ID_SAMPLE_RATE);
}

// ---- CHelvoLimitsCfg ----

CHelvoLimitsCfg::CHelvoLimitsCfg(CHelvoCfg* parent) : CFiler(parent) {
  m_oEIChatterWindow.m_fSeconds = 1.0f;
  m_oDetChatterWindow.m_fSeconds = 4.0f;
}

void CHelvoLimitsCfg::DefineLimitsCfgTypes(cHelvoSection* section) {
  using C = CHelvoLimitsCfg;
  section->LoadCfgType(FieldOf(&C::m_oEIChatterWindow), IDS_LIMITS_EI_CHATTER_WINDOW)
      ->LoadCfgType(FieldOf(&C::m_lEIChatterTime), IDS_LIMITS_EI_CHATTER_TIME)
      ->LoadCfgType(FieldOf(&C::m_oDetChatterWindow), IDS_LIMITS_DET_CHATTER_WINDOW)
      ->LoadCfgType(FieldOf(&C::m_lDetChatterTime), IDS_LIMITS_DET_CHATTER_TIME)
      ->LoadCfgType(FieldOf(&C::m_nRecAlarm), IDS_LIMITS_REC_ALARM, FILER_FROM_VERSION_6);
}

// ---- cStorageAlarms ----

cStorageAlarms::cStorageAlarms(CHelvoCfg* parent) : CFiler(parent) {}

}  // namespace helvo
