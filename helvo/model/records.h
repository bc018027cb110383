// The recorder-wide records that hang directly off the configuration: the identification record
// (section ID: names, dates, setting version, board count, system frequency, channel count, sample
// rate), the recording limits (section LIMITS: chatter filters and the "Almost Full" alarm contact),
// and the storage alarms, which gather two alarm contacts kept in other sections into one object for
// the host while a configuration is loaded.
//
// Key names, their order and their flags are part of the stored settings-file format: do not change
// them. docs/file-format.md describes the format.
#pragma once

#include <string>

#include "helvo/engine/filer.h"
#include "helvo/model/model_converters.h"

namespace helvo {

class CHelvoCfg;
class cHelvoSection;

// The six alarm contact values a host offers, in its own order. The library does not read it.
extern const int AlarmIndexToValue[6];

// The identification record (class 7), one per file.
class CIdCfg : public CFiler {
  HELVO_DECLARE_RUNTIME(CIdCfg)
 public:
  // Builds the fields and sets the defaults (Initialize). The record does not add itself to any list.
  // The dynamic-creation form has no parent.
  explicit CIdCfg(CHelvoCfg* parent = nullptr);
  CIdCfg(const CIdCfg&) = default;
  // Copies every field and the parent.
  CIdCfg& operator=(const CIdCfg&) = default;
  ~CIdCfg() override = default;

  // The defaults: load date 0; the descriptive texts empty and the comments "None"; the host's
  // setting-version limit; the number of banks from the header of the last file read (only with a
  // parent configuration); no new-file mark; the host's default system frequency (60 when the host
  // names none); 18 analog channels at 96 samples per cycle.
  void Initialize();

  int GetClass() const override { return 7; }
  // The reader takes the system frequency and the header values of the file from this record.
  bool GetHeaderValues(sHeaderValues& values) const override;
  // The writer sets the analog channel count when it folds the channel groups into one.
  void SetNumAChannels(int count) override { m_nNumAChannels = count; }

  // Registers the keys of section ID, in write order.
  static void DefineIdCfgTypes(cHelvoSection* section);

  // Two texts the host may keep with the record; no key carries them. The second is emptied when
  // loading has to make up a missing record.
  std::string m_strHostText1;
  std::string m_strHostText2;
  CCfgTime m_oSetDate;       // time of the last save (SET_DATE as written) and the load date (LOAD_DATE)
  std::string m_strSetDate;  // SET_DATE as read; never written
  std::string m_strSettingsName;
  std::string m_strUnitId;
  std::string m_strSerialNum;
  std::string m_strStationName;
  std::string m_strStationNum;
  std::string m_strLocation;
  std::string m_strComments;
  int m_nSettingsVers = 0;
  int m_nNumBanks = 1;  // the recorder generation once loaded; the DSP bank count below version 201
  int m_nNewFile = 0;   // 1: the file is deleted after it has been read by path
  int m_nSystemFrequency = 60;
  int m_nNumAChannels = 18;
  int m_nSampleRate = 96;
};

// The recording limits (class 8).
class CHelvoLimitsCfg : public CFiler {
  HELVO_DECLARE_RUNTIME(CHelvoLimitsCfg)
 public:
  // The defaults: external-input chatter window 1 s with count 1, detector chatter window 4 s with
  // count 1, no record alarm contact. The record does not add itself to any list.
  explicit CHelvoLimitsCfg(CHelvoCfg* parent = nullptr);
  CHelvoLimitsCfg(const CHelvoLimitsCfg&) = default;
  CHelvoLimitsCfg& operator=(const CHelvoLimitsCfg&) = default;
  ~CHelvoLimitsCfg() override = default;

  int GetClass() const override { return 8; }

  // Registers the keys of section LIMITS, in write order.
  static void DefineLimitsCfgTypes(cHelvoSection* section);

  cfSecondsDelay m_oEIChatterWindow{8};  // seconds; written in eighths of a cycle
  long m_lEIChatterTime = 1;
  cfSecondsDelay m_oDetChatterWindow{2};  // seconds; written in half cycles
  long m_lDetChatterTime = 1;
  unsigned int m_nRecAlarm = 0;  // the contact signalling an almost full record store; 0 none
};

// The storage alarms (class 17): the record alarm contact (LIMITS REC_ALARM) and the trend alarm
// contact (the trend's ALMCONTACT) as one object. It has no section and is never read or written.
class cStorageAlarms : public CFiler {
  HELVO_DECLARE_RUNTIME(cStorageAlarms)
 public:
  explicit cStorageAlarms(CHelvoCfg* parent = nullptr);
  cStorageAlarms(const cStorageAlarms&) = default;
  cStorageAlarms& operator=(const cStorageAlarms&) = default;
  ~cStorageAlarms() override = default;

  int GetClass() const override { return 17; }

  int m_nRecordAlarm = 0;
  int m_nTrendAlarm = 0;
};

}  // namespace helvo
