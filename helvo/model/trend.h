// cTrend: the trend definition, up to 60 meters the recorder logs at a fixed interval, each with its
// trend option, and the alarm contact that signals a trend problem. Stored as an EXTENDED_TREND
// section.
//
// Each entry is a meter reference (written as the meter index, "-1" when it names no meter) followed
// by its option. Key names, their order and their flags are part of the stored settings-file format:
// do not change them.
#pragma once

#include "helvo/engine/filer.h"
#include "helvo/model/class_tables.h"
#include "helvo/model/model_converters.h"

namespace helvo {

class CHelvoCfg;
class cHelvoSection;

class cTrend : public CFiler {
  HELVO_DECLARE_RUNTIME(cTrend)
 public:
  static constexpr int kEntries = 60;

  // The form the reader creates: no parent, the defaults of Initialize.
  cTrend();
  // Becomes parent's trend in use (when there is a parent). The trend in use before is neither
  // deleted nor listed: whoever replaces it keeps it.
  explicit cTrend(CHelvoCfg* parent);
  cTrend(const cTrend&) = delete;
  // Copies interval, alarm contact, events, the parent and every entry; not the count or the trend
  // number, which saving derives.
  cTrend& operator=(const cTrend& other);
  // Leaves the parent configuration: its trend list, and its trend in use when it is that trend.
  ~cTrend() override;

  // Trend number -1, interval 1200, no alarm contact, events 1. The entries and count are kept.
  void Initialize();

  int GetClass() const override { return eTrend; }

  // Registers the keys and reference addresses of the EXTENDED_TREND section, in write order.
  static void DefineTrendCfgTypes(cHelvoSection* section);

  int m_nTrendNumber = -1;  // no key; saving sets it to 1
  int m_nCount = 0;         // COUNT: the entries in use
  int m_nInterval = 1200;   // INTERVAL
  int m_nEvents = 1;        // EVENTS
  ceTrendOption m_Entries[kEntries];
  unsigned int m_nAlarmContact = 0;  // ALMCONTACT; 0 none
};

}  // namespace helvo
