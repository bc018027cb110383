// The per-board lists of phasor measurement unit (PMU) phasor definitions and continuous
// disturbance recording (CDR) channel definitions, and the recorder-level PMU and CDR identification
// records. The per-board lists are fixed-slot lists: a channel group holds a set number of each (made
// by AddPMU / AddCDR), and a section read from a file replaces the object of the slot its header
// names instead of adding one.
//
// Sections PHASOR and CDR_CHAN (per board) and PMU and CDR (recorder level) are known to recorders of
// setting version 202 (PMU) and 203 (CDR) on; saving drops them for older versions. Key names, their
// order and their flags are part of the stored settings-file format: do not change them.
#pragma once

#include <string>

#include "helvo/engine/filer.h"
#include "helvo/model/class_tables.h"
#include "helvo/model/model_converters.h"

namespace helvo {

// The first setting-file versions that hold PMU phasors and continuous recording.
inline constexpr int kFirstPmuVersion = 202;
inline constexpr int kFirstCdrVersion = 203;

class cHelvoDspCfg;
class cHelvoSection;
class CHelvoCfg;

// One PMU phasor: an input function named by index and input type, with the scale factors the
// recorder streams it with.
class CPMU : public CFiler {
  HELVO_DECLARE_RUNTIME(CPMU)
 public:
  static constexpr int kNumMeters = 45;

  // Empty name, defaults; not in any list (the form the reader creates).
  CPMU();
  // Named phasor of group with the defaults; appends itself to the group's PMU list.
  CPMU(const std::string& name, cHelvoDspCfg* group);
  CPMU(const CPMU&) = delete;
  // Copies every field and the parent, except the keyless int.
  CPMU& operator=(const CPMU& other);
  // Leaves the group's PMU list.
  ~CPMU() override;

  // Input undefined (-1), input type 0, units 0, DSP scale 10.0, PDC scale 1, phasor number 1.
  void Initialize();

  int GetClass() const override { return ePMU; }
  // The slot of a PMU phasor is its 1-based phasor number.
  int GetListIndex() const override { return m_nPhasorNumber; }
  void SetListIndex(int index) override { m_nPhasorNumber = index; }
  // True when the phasor names an input.
  bool IsDefined() const { return m_nInputIndex != -1; }

  // Registers the keys of section PHASOR, in write order. The section has no instance field: the
  // header number is the phasor number (the reader's slot, the writer's folded header).
  static void DefinePMUCfgTypes(cHelvoSection* section);

  std::string m_strName;
  std::string m_strText2;  // carried for the host; no key
  std::string m_strText3;  // carried for the host; no key
  int m_nReserved = 10;    // carried for the host; no key, not copied
  int m_nInputIndex = -1;  // the input function's channel number - 1; -1: undefined
  int m_nInputType = 0;    // 0 analog input, 1 to 3 sequence function, 4 summation
  int m_nUnits = 0;
  float m_fDSPScale = 10.0f;
  int m_nPDCScale = 1;
  int m_nPhasorNumber = 1;
  CrefMeter m_Meters[kNumMeters];  // carried for the host; no keys
};

// One CDR channel: the input it records, by index; -1 when the channel is unused.
class CCDR : public CFiler {
  HELVO_DECLARE_RUNTIME(CCDR)
 public:
  static constexpr int kNumMeters = 72;
  // Process-wide CDR sample-rate value offered to hosts; the library does not read it.
  static int m_nCDRSRate;

  // Empty name, input index -1; not in any list (the form the reader creates).
  CCDR();
  // Named channel of group, unused; appends itself to the group's CDR list.
  CCDR(const std::string& name, cHelvoDspCfg* group);
  CCDR(const CCDR&) = delete;
  // Copies every field and the parent, except the channel number.
  CCDR& operator=(const CCDR& other);
  // Leaves the group's CDR list.
  ~CCDR() override;

  // Input index -1.
  void Initialize();

  const std::string& GetName() const { return m_strName; }
  int GetClass() const override { return eCDR; }
  // The slot of a CDR channel is its 0-based channel number.
  int GetListIndex() const override { return m_nChannel; }
  void SetListIndex(int index) override { m_nChannel = index; }
  // An unused channel is not written to files that fold the channel groups.
  bool IsLeftOutWhenFolding() const override { return m_nInputIndex == -1; }
  bool IsUsed() const { return m_nInputIndex != -1; }

  // Registers the keys of section CDR_CHAN, in write order. The section has no instance field: the
  // header number is the channel number + 1 (the reader's slot, the writer's folded header).
  static void DefineCDRCfgTypes(cHelvoSection* section);

  std::string m_strName;
  std::string m_strText2;  // carried for the host; no key
  std::string m_strText3;  // carried for the host; no key
  int m_nReserved = 6;     // carried for the host; no key
  int m_nInputIndex = -1;
  int m_nChannel = 0;              // 0-based; set by AddCDR and by reading
  CrefMeter m_Meters[kNumMeters];  // carried for the host; no keys
};

// The PMU identification record (one per recorder): the header text the PMU sends and its reporting
// rate (frames per second).
class CPMUId : public CFiler {
  HELVO_DECLARE_RUNTIME(CPMUId)
 public:
  static constexpr int kDefaultReportingRate = 10;

  // No parent, empty texts, reporting rate 10 until the file's key is read; not in any list (the
  // form the reader creates).
  CPMUId();
  // Named record of parent with reporting rate 10; appends itself to the configuration's
  // PMU-identification list (when there is a parent).
  CPMUId(const std::string& name, CHelvoCfg* parent);
  CPMUId(const CPMUId&) = delete;
  // Copies every field and the parent. List membership does not change.
  CPMUId& operator=(const CPMUId& other);
  // Leaves the parent configuration's PMU-identification list.
  ~CPMUId() override;

  int GetClass() const override { return ePMUId; }

  // Registers the keys of section PMU, in write order.
  static void DefinePMUIdCfgTypes(cHelvoSection* section);

  std::string m_strName;  // no key
  std::string m_strHeader;
  int m_nReportingRate = kDefaultReportingRate;
};

// The CDR identification record (one per recorder): the reporting rate of continuous recording.
class CCDRId : public CFiler {
  HELVO_DECLARE_RUNTIME(CCDRId)
 public:
  static constexpr int kDefaultReportingRate = 6;

  // No parent, reporting rate 6 until the file's key is read; not in any list (the form the reader
  // creates).
  CCDRId();
  // Record of parent with reporting rate 6; appends itself to the configuration's CDR-identification
  // list (when there is a parent).
  explicit CCDRId(CHelvoCfg* parent);
  CCDRId(const CCDRId&) = delete;
  // Copies every field and the parent. List membership does not change.
  CCDRId& operator=(const CCDRId& other);
  // Leaves the parent configuration's CDR-identification list.
  ~CCDRId() override;

  int GetClass() const override { return eCDRId; }
  // The configuration the record belongs to; none without one.
  CHelvoCfg* GetParent() const;

  // Registers the keys of section CDR, in write order.
  static void DefineCDRIdCfgTypes(cHelvoSection* section);

  int m_nReportingRate = kDefaultReportingRate;
};

}  // namespace helvo
