// The root of one recorder configuration and the object the host works with. It owns the section
// templates of the recorder-level sections, the identification, limits and storage-alarm records, the
// meter groups, trends, PMU and CDR identifications, and the two channel groups that hold everything
// per DSP board. It loads a settings file from a path, a memory image or a list of lines, derives the
// recorder generation from the file header, and links the records after loading.
//
// The class tables (CHelvoCfgTables), the device capability tables and the unit operations
// (CHelvoUnits) are bases of the root, so hosts reach them as CHelvoCfg::Name.
#pragma once

#include <string>
#include <vector>

#include "helvo/engine/filer.h"
#include "helvo/model/cfg_state.h"
#include "helvo/model/class_tables.h"
#include "helvo/scaling/units.h"

namespace helvo {

class cHelvoDspCfg;
class CIdCfg;
class CHelvoLimitsCfg;
class cStorageAlarms;
class CPhasor;
class CElementName;
class cTrend;
class CrefMeter;
struct sIEDDef;
class CWnd;

// A recorder-level record whose name the configuration keeps unique among its kind (meter groups).
// The record classes implement it next to their CFiler base, so that the configuration reaches the
// name without depending on those classes.
class cNamedRecord {
 public:
  virtual ~cNamedRecord() = default;
  virtual void GetName(std::string& name) const = 0;
};

class CHelvoCfg : public cFilerContainer, public CHelvoCfgTables, public CHelvoUnits {
  HELVO_DECLARE_RUNTIME(CHelvoCfg)
 public:
  // An empty configuration: two channel groups, the section templates, no records. Reads nothing.
  CHelvoCfg();
  // Reads the lines (ReadCfgFile, list form), then runs PostLoadProcess whatever the reader found.
  explicit CHelvoCfg(StringList& lines);
  // Reads the file at path (ReadCfgFile, path form; noCheck nonzero skips the CRC comparison). The
  // result is kept in m_eReadResult: on an error the configuration stays empty and unlinked; on
  // success PostLoadProcess runs. An empty path reads nothing and leaves m_strFilePath empty.
  CHelvoCfg(const std::string& path, int noCheck);
  CHelvoCfg(const CHelvoCfg&) = delete;
  CHelvoCfg& operator=(const CHelvoCfg&) = delete;
  // Deletes everything the configuration owns (records, lists, channel groups) and discards the
  // process-wide DC unit list.
  ~CHelvoCfg() override;

  int GetClass() const override { return eHelvoCfg; }
  // The generation follows the header as soon as the reader has it, so that the functions read
  // after it are filed in the tables of that generation.
  void HeaderRead() override { m_State.DeriveGeneration(); }
  // A new default-constructed object of class cls (0 to 21) from the class table; none otherwise
  // (END included). The object is not attached to anything.
  CObject* ConstructChild(int cls) override;

  // --- Reading ---
  // Reads the file at path into the configuration (no post-load processing). On success the
  // configuration's state takes the file's header values (with its copies m_nBank, m_nSetVer, m_nAChan,
  // m_nSRate), derives the generation from them, and the file is deleted when its identification
  // record carries NEWFILE=1. On an error nothing but m_strFilePath changes.
  eFilerError ReadCfgFile(const std::string& path, int noCheck);
  // Reads a whole file image (CRC field included; its CR and LF bytes are overwritten with zero bytes)
  // and on success runs PostLoadProcess. The state takes the header the image carries and derives the
  // generation from it; its copies of the header (m_nSetVer...) are not changed.
  eFilerError ReadCfgFile(char* image, unsigned long size, int noCheck);
  // Parses an already split line list, starting at its head; empties m_strFilePath. The header and
  // generation follow as for an image.
  void ReadCfgFile(StringList& lines, StringList::Position& pos);

  // Turns what the reader filled in into the working form: the single records taken out of their
  // lists (or made with their defaults), their values repaired, the channel groups linked.
  void PostLoadProcess();
  // When the first channel group has a valid PMU definition, deletes the meter group the PMU
  // definition stands for: the first group whose number equals the number of meter groups.
  void CheckMeteringInfo();

  // The setting version of the last file read by path (of any configuration).
  static int GetSettingVersion() { return m_nSetVer; }

  // The identification record: the working-form field, or else (written form) the first record of
  // the identification list; none when there is neither.
  CIdCfg* GetIdCfg() const;

  // --- Saving (helvo/saving/) ---
  // Raised inside WriteCfgFile when the set-date text read from the file cannot be parsed; it never
  // leaves WriteCfgFile.
  enum eWriteException : int { eWriteBadSetDate = 1 };
  // Saves at the identification record's SETTINGS_VERS, keeping the set date read from the file (the
  // load date when that text cannot be parsed). 1 on success, 0 when the file could not be written
  // (the previous file is then left as it was); shows nothing itself.
  int WriteCfgFile(const std::string& path, CWnd* parent);
  // Saves at version, stamping the current time as the set date. 1 on success; on failure shows
  // "Unable to open the file - no permission to open the file for writing" and returns 0.
  int WriteCfgFile(const std::string& path, int version, CWnd* parent);
  // The file image the second overload would write, after the same steps (the configuration is then
  // one of version), without writing it. 1 on success; 0, with image empty, when the writer refuses.
  int BuildVersionImage(std::string& image, int version, CWnd* parent);
  // The file image the first overload would write, after the same steps, without writing it. 1 on
  // success; 0, with image empty, when the writer refuses (a line that would not read back).
  int BuildOwnVersionImage(std::string& image, CWnd* parent);
  // Hands sink every line the first overload would write, after the same steps (no file is written).
  // Returns the version written; 0 when there is nothing to write (no identification record).
  int WriteOwnVersionTo(cFilerLineSink& sink);
  // Puts the configuration into its written form for version: records and functions in their section
  // lists in table order, elements and meter groups numbered, what version cannot hold deleted or left
  // out. A configuration already in written form (saved before) is first brought back to working form,
  // so saving the same object twice gives the same file. Returns 1.
  int PreDumpProcess(CWnd* parent, int version);
  // Appends to lines what saving at version loses (the compatibility scan the host shows before a
  // save at a chosen version): per kind of loss its explanation lines, the names of the affected
  // items and a line holding one blank. Changes nothing; an empty result means no loss.
  void PreDumpScan(StringList& lines, int version);

  // --- Meter groups, trends, PMU and CDR identifications ---
  // The first meter group in list order, other than exclude, whose name (cNamedRecord) equals name
  // ignoring letter case; none when there is none.
  CFiler* VerifyMeterGroupNamed(const std::string& name, const CFiler* exclude = nullptr);
  // Unlinks a meter group, trend, PMU identification or CDR identification from its list (the first
  // occurrence; nothing when absent) without deleting it. A trend that is the trend in use also
  // stops being in use.
  void Remove(CFiler* record);
  // Clears every reference to phasor held by the meter groups and the trends (through the reference
  // addresses of their section templates). Deletes nothing.
  void Remove(CPhasor* phasor);
  // Elements are removed through their channel group; the configuration holds no reference to them.
  void Remove(CElementName*) {}

  // --- PMU phasors and continuous recording (helvo/model/pmu_ops.cpp) ---
  // Saving runs ResolvePMU, UpdatePMUInfo and UpdateCDRInfo, in that order, on the written form (the
  // functions in their class lists) with the target setting version: from version 201 on for the
  // first channel group only, below it for each group.

  // The input function of a PMU phasor: in the first channel group's class lists (the written form),
  // the first function in list order whose channel number - 1 equals index, searched among the analog
  // inputs for type 0, the sequence functions for types 1 to 3 and the summations for type 4. None for
  // any other type, when there is no first channel group, or when no function matches.
  CPhasor* GetPMUPhasor(int index, int type);
  // The DSP scale factor of a PMU phasor on input f: the primary-per-secondary ratio of f's scale in
  // base units, times 100000, divided by the PDC factor (ComputePDCScale). Leaves dsp unchanged when f
  // is none, its scale is missing or not valid, or the PDC factor comes out 0. When the scale's first
  // secondary value is 0 the ratio is the scale's slope. Results beyond the float range are clamped
  // to it. Returns 0 in every case (callers start dsp from the value they want without a scale).
  int ComputeDSPScale(CPhasor* f, float& dsp);
  // The PDC conversion factor of a PMU phasor on input f: the input's full scale as a primary peak
  // value in units of 1e-5, divided by 65536, rounded by adding 0.5 and truncating. Leaves pdc
  // unchanged when f is none or its scale is missing or not valid. When the scale's first secondary
  // value is 0 the ratio is the scale's slope. Results beyond the int range are clamped to it.
  // Returns 0 in every case.
  static int ComputePDCScale(CPhasor* f, int& pdc);
  // Builds the hidden meter group "@@@###" that lists the meters the PMU streams. Below version 202
  // the group's PMU phasors and the configuration's PMU identifications are deleted instead.
  // Otherwise undefined phasors (input index -1) are deleted, and for each other phasor two meters of
  // its input (GetPMUPhasor) are appended: items 0 and 1 for input types 0, 1 and 4, 2 and 3 for
  // type 2, 4 and 5 for type 3 (a phasor whose input is not found gets two references without a
  // function, which write no line, so that the entries stay in step with the phasors).
  // When the group keeps a phasor and has a frequency function in its class list, item 0 of the
  // first one follows. A "@@@###" group left by an earlier call is deleted first; references beyond
  // the group's 45 slots are not made. When the group has no PMU phasor left, the PMU identifications
  // are deleted. Nothing when group is none.
  void ResolvePMU(cHelvoDspCfg* group, int version);
  // From version 202 on deletes the group's undefined PMU phasors and sets the DSP and PDC scale of
  // each other one from its input (1.0 and 1 when the input has no valid scale); below 202 deletes
  // every PMU phasor of the group. When the group has no PMU phasor left, the PMU identifications are
  // deleted. Nothing when group is none.
  void UpdatePMUInfo(cHelvoDspCfg* group, int version);
  // From version 203 on deletes the group's unused CDR channels (input index -1); below 203 deletes
  // every CDR channel of the group. When the group has no CDR channel left, the CDR identifications
  // are deleted. Nothing when group is none.
  void UpdateCDRInfo(cHelvoDspCfg* group, int version);

  // --- Version and generation ---
  using CHelvoCfgTables::GetRuntimeClass;
  using CHelvoCfgTables::IsClassSupported;
  using CHelvoCfgTables::IsDCSupported;
  // The class tables' predicates at the identification record's setting version; false without a
  // record or with a negative version.
  bool IsClassSupported(eHelvoCfgClass cls) const;
  bool IsDCSupported() const;

  // Switches the recorder generation to gen (1 to 4): creates the channel groups the generation needs
  // that are missing, sets the configuration's generation (and the header's board or analog channel
  // count that names it) and the identification record's NUM_BANKS. The switch holds for the scans
  // and saves until the next switch or read. Nonzero when the generation changed. A generation
  // outside 1 to 4 changes nothing and gives 0.
  int UpdateIedGen(int gen);
  // Takes the serial number of a device definition into the identification record (telling the user
  // when it replaces another number) and refreshes the channel groups and NUM_BANKS for the current
  // generation when the definition names a generation. Nonzero when something changed.
  int ImportParametersFromDatabase(const sIEDDef& def);

  // --- Meter and record addressing (helvo/addressing/) ---
  // Class, board, function (1-based) and meter a meter index names (owner: its record); 0 when none does.
  static int ResolveMeterIndex(int index, int version, eHelvoCfgClass& cls, unsigned int& board,
                               int& function, int& meter, int generation, const CFiler* owner = nullptr);
  // 0 for every argument: sequence meters need no offset of their own.
  static int GetSeqMeterOffset(int version, CPhasor* phasor);
  // The function a host record code and record index name; none when they name none.
  CPhasor* MapToPhasor(int code, int index);
  // Fills indexes with the record indexes of the defined functions of the code's class; empty otherwise.
  void GetcRecordIndices(int code, std::vector<int>& indexes);

  // --- Trend masks and dirty marks (helvo/addressing/trend_masks.cpp) ---
  // Rebuilds the free trend options of every meter of every function of both channel groups (meter
  // items are made on a function's first refresh): all five options free for each meter the
  // function's type has, then the option of every entry of trend (none allowed) other than exclude
  // taken from the meter it names.
  void RefreshTrendMasks(cTrend* trend, CrefMeter* exclude);
  // Marks dirty, on each board of the last file read, the functions a recorder limited to maxAnalog
  // analog channels cannot hold: analog channels above maxAnalog, external inputs above 32, then the
  // computed functions whose inputs are no longer defined, class by class (frequency, summation,
  // sequence, watts/vars, logic, fault locator, power factor, impedance), repeated until every function
  // with a dirty input is dirty itself. From version 203, at sample rate 256 or 384,
  // continuous-recording channels at or beyond maxAnalog (by input or by own index) become unused.
  // Works on the class lists of the written form. Returns 0.
  short MarkPhasorsAsDirty(int maxAnalog, int version);

  // --- Data ---
  eFilerError m_eReadResult = eFilerNoError;  // result of the path constructor's read
  int m_nLoadedSetVer = 0;                    // SETTINGS_VERS of the record as loaded
  cHelvoDspCfg* m_pDspCfg[2] = {};            // DSP board 1 and DSP board 2
  std::string m_strFilePath;                  // file last read by path
  CIdCfg* m_pIdCfg = nullptr;
  CHelvoLimitsCfg* m_pLimitsCfg = nullptr;
  cStorageAlarms* m_pStorageAlarms = nullptr;
  CFiler* m_pTrend = nullptr;        // the trend in use, taken from the trend list
  CObject* m_pHostObject = nullptr;  // for the host's own use; deleted with the configuration
  FilerList m_IdList;                // the section object lists, in file order
  FilerList m_LimitsList;
  FilerList m_MeterGroupList;
  FilerList m_TrendList;
  FilerList m_PMUIdList;
  FilerList m_CDRIdList;
  sCfgState m_State;              // header values and generation of this configuration
  int m_nSampleRateRead = 96;     // header sample rate of the last file read by path
  int m_nSampleRateWritten = 96;  // set by saving

 protected:
  // SETTINGS_VERS of the identification record; 0 without one.
  int GetOwnSettingVersion() const override;

 private:
  // Run by every constructor before anything else.
  void Initialize();
  // The section definitions every configuration shares, in write order; a null entry stands where
  // the configuration's own section nesting its channel groups goes.
  static const std::vector<CFilerSection*>& SectionDefinitions();
  // Post-load linking of the records that refer to functions, run once the channel groups have filed
  // their functions and the storage alarms exist: the check that drops the meter group a PMU
  // definition makes redundant, the resolution of the meter groups' meter references, and taking the
  // first trend out of the trend list as the trend in use, with its meter references resolved and its
  // alarm contact copied into the storage alarms. gen is the generation the references were written
  // for (the record's NUM_BANKS).
  void LinkRecordReferences(int gen);
};

}  // namespace helvo
