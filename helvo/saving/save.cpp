// The save entry points of a configuration: at its own setting version (keeping the set date read
// from the file) and at a version the user chose (stamping the current time). Both put the
// configuration into written form (PreDumpProcess) and hand it to the writer; neither lets an
// exception out.
#include <cstdlib>
#include <string>

#include "helvo/host/host_settings.h"
#include "helvo/model/helvo_cfg.h"
#include "helvo/model/records.h"
#include "helvo/platform/calendar_time.h"
#include "helvo/platform/format.h"
#include "helvo/platform/user_interface.h"

namespace helvo {

namespace {

constexpr int kFirstFoldedVersion = 201;

// Splits off the next token of text at pos, skipping leading delimiters, as the C library's
// tokeniser does: empty delimiters take the rest of the text. None when nothing is left.
bool NextToken(const std::string& text, size_t& pos, const char* delimiters, std::string& token) {
  if (*delimiters) pos = text.find_first_not_of(delimiters, pos);
  if (pos == std::string::npos || pos >= text.size()) return false;
  const size_t end = *delimiters ? text.find_first_of(delimiters, pos) : std::string::npos;
  token = text.substr(pos, end == std::string::npos ? std::string::npos : end - pos);
  pos = end == std::string::npos ? text.size() : end + 1;
  return true;
}

// The set date as the file wrote it ("%y %b %d %H:%M:%S"): year, month name and day separated by
// blanks, then hour, minute and second separated by colons. Two-digit years below 80 are 20xx, 80 to
// 99 are 19xx. Raises CHelvoCfg::eWriteException when a part is missing or the month is not one of
// the twelve English abbreviations.
CalendarTime ParseSetDate(const std::string& full) {
  static const char* const kMonths[] = {"jan", "feb", "mar", "apr", "may", "jun",
                                        "jul", "aug", "sep", "oct", "nov", "dec"};
  const std::string text = full.substr(0, 30);
  std::string year, month, day, hour, minute, second;
  size_t pos = 0;
  if (!NextToken(text, pos, " ", year) || !NextToken(text, pos, " ", month) ||
      !NextToken(text, pos, " ", day) || !NextToken(text, pos, ":", hour) ||
      !NextToken(text, pos, ":", minute) || !NextToken(text, pos, "", second))
    throw CHelvoCfg::eWriteBadSetDate;
  int monthNumber = 0;
  for (int m = 0; m < 12 && !monthNumber; ++m)
    if (EqualsNoCase(month, kMonths[m])) monthNumber = m + 1;
  if (!monthNumber) throw CHelvoCfg::eWriteBadSetDate;
  int y = std::atoi(year.c_str());
  if (y < 80)
    y += 2000;
  else if (y < 100)
    y += 1900;
  return CalendarTime(y, monthNumber, std::atoi(day.c_str()), std::atoi(hour.c_str()),
                      std::atoi(minute.c_str()), std::atoi(second.c_str()));
}

// For the time of a write the configuration's generation is the one the header names, so that the
// per-class counts describe the file written (a two-board working form is written folded onto one
// board from 201 on). The working form's own generation is put back afterwards, however the write ends.
class WriteGenerationScope {
 public:
  explicit WriteGenerationScope(sCfgState& state) : m_State(state), m_iIedGen(state.m_iIedGen) {
    m_State.DeriveGeneration();
  }
  ~WriteGenerationScope() { m_State.m_iIedGen = m_iIedGen; }
  WriteGenerationScope(const WriteGenerationScope&) = delete;
  WriteGenerationScope& operator=(const WriteGenerationScope&) = delete;

 private:
  sCfgState& m_State;
  const int m_iIedGen;
};

// Makes state the one of a file written at version, for this save and every later scan and save (a
// file folded at 201 or later has one board of 18 or 36 analog channels): its header and, through the
// header, its generation. Only a two-board working form written folded onto one board keeps its two
// boards; WriteGenerationScope gives the write the generation the header names.
void SwitchToVersion(sCfgState& state, int version) {
  sHeaderValues& header = state.m_Header;
  if (header.m_nSettingVersion < kFirstFoldedVersion) header.m_nAChan = header.m_nDSPBanks <= 1 ? 18 : 36;
  header.m_nSettingVersion = version;
  const int workingGen = state.m_iIedGen;
  state.DeriveGeneration();
  if (CHelvoCfg::DspsByGen(state.m_iIedGen) < CHelvoCfg::DspsByGen(workingGen)) state.m_iIedGen = workingGen;
}

// The steps of a save at cfg's own version before its lines are written; returns that version.
int PrepareOwnVersionSave(CHelvoCfg& cfg, sCfgState& state, CWnd* parent) {
  const CIdCfg* own = cfg.GetIdCfg();
  // A configuration that never had an identification record saves at the version a new record takes.
  const int version = own ? own->m_nSettingsVers : GetSettingVersionLimit();
  // A file read below 201 saved at its own version from 201 on (its identification record came from
  // the host's limit) is folded as a conversion to that version folds it.
  if (version >= kFirstFoldedVersion && state.m_Header.m_nSettingVersion < kFirstFoldedVersion)
    SwitchToVersion(state, version);
  cfg.PreDumpProcess(parent, version);
  if (CIdCfg* id = cfg.GetIdCfg()) {
    try {
      id->m_oSetDate.m_Time = ParseSetDate(id->m_strSetDate);
    } catch (...) {
      id->m_oSetDate.m_Time = CalendarTime(static_cast<std::time_t>(id->m_oSetDate.m_lLoadDate));
    }
  }
  return version;
}

}  // namespace

int CHelvoCfg::WriteOwnVersionTo(cFilerLineSink& sink) {
  MessageScope messages(this, m_strFilePath);
  const int version = PrepareOwnVersionSave(*this, m_State, nullptr);
  CIdCfg* id = GetIdCfg();
  if (!id) return 0;
  {
    WriteGenerationScope generation(m_State);
    m_Sections.WriteAllTo(sink, version, id->m_nSystemFrequency);
  }
  return version;
}

namespace {

// A save at cfg's own version: the steps before the lines are written, then write(sections, version,
// frequency), which writes them.
template <class Write>
eFilerError SaveAtOwnVersion(CHelvoCfg& cfg, sCfgState& state, CWnd* parent, Write&& write) {
  const int version = PrepareOwnVersionSave(cfg, state, parent);
  CIdCfg* id = cfg.GetIdCfg();
  eFilerError result;
  {
    WriteGenerationScope generation(state);
    result = write(cfg.GetSections(), version, id->m_nSystemFrequency);
  }
  state.Publish();
  return result;
}

// A save at version: from here on the configuration is one of version, so that saving it again at its
// own version writes the same file. The set date is the time of the save.
template <class Write>
eFilerError SaveAtVersion(CHelvoCfg& cfg, sCfgState& state, int version, CWnd* parent, Write&& write) {
  SwitchToVersion(state, version);
  cfg.PreDumpProcess(parent, version);
  CIdCfg* id = cfg.GetIdCfg();
  id->m_oSetDate.m_Time = CalendarTime::GetCurrentTime();
  eFilerError result;
  {
    WriteGenerationScope generation(state);
    result = write(cfg.GetSections(), version, id->m_nSystemFrequency);
  }
  state.m_nSRate = id->m_nSampleRate;
  state.Publish();
  cfg.m_nSampleRateWritten = id->m_nSampleRate;
  return result;
}

// The file image save (one of the two above, handed the writer as it writes) would write: 1, or 0 with
// image empty when the writer refuses.
template <class Save>
int BuildImage(std::string& image, Save&& save) {
  try {
    if (save([&](cFilerSections& sections, int version, int frequency) {
          return sections.BuildCfgImage(image, version, frequency);
        }) == eFilerNoError)
      return 1;
  } catch (...) {
  }
  image.clear();
  return 0;
}

}  // namespace

int CHelvoCfg::WriteCfgFile(const std::string& path, CWnd* parent) {
  MessageScope messages(this, path);
  try {
    return SaveAtOwnVersion(*this, m_State, parent,
                            [&](cFilerSections& sections, int version, int frequency) {
                              return sections.WriteCfgFile(path, version, frequency);
                            }) == eFilerNoError
               ? 1
               : 0;
  } catch (...) {
    return 0;
  }
}

int CHelvoCfg::BuildOwnVersionImage(std::string& image, CWnd* parent) {
  MessageScope messages(this, m_strFilePath);
  return BuildImage(image, [&](auto&& write) { return SaveAtOwnVersion(*this, m_State, parent, write); });
}

int CHelvoCfg::WriteCfgFile(const std::string& path, int version, CWnd* parent) {
  MessageScope messages(this, path);
  eFilerError result = eFilerOpenError;
  try {
    result =
        SaveAtVersion(*this, m_State, version, parent, [&](cFilerSections& sections, int v, int frequency) {
          return sections.WriteCfgFile(path, v, frequency);
        });
  } catch (...) {
    result = eFilerOpenError;
  }
  if (result == eFilerNoError) return 1;
  ShowMessage("Unable to open the file - no permission to open the file for writing", MB_OK, parent);
  return 0;
}

int CHelvoCfg::BuildVersionImage(std::string& image, int version, CWnd* parent) {
  MessageScope messages(this, m_strFilePath);
  return BuildImage(image,
                    [&](auto&& write) { return SaveAtVersion(*this, m_State, version, parent, write); });
}

}  // namespace helvo
