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

// Puts the header statics back when the write is over, however it ends.
class HeaderStaticsGuard {
 public:
  HeaderStaticsGuard()
      : m_nSettingVersion(cFilerSections::m_nSettingVersion),
        m_nAChan(cFilerSections::m_nAChan),
        m_iIedGen(CHelvoCfgTables::m_iIedGen) {}
  ~HeaderStaticsGuard() {
    cFilerSections::m_nSettingVersion = m_nSettingVersion;
    cFilerSections::m_nAChan = m_nAChan;
    CHelvoCfgTables::m_iIedGen = m_iIedGen;
  }
  HeaderStaticsGuard(const HeaderStaticsGuard&) = delete;
  HeaderStaticsGuard& operator=(const HeaderStaticsGuard&) = delete;

  const int m_nSettingVersion;
  const int m_nAChan;
  const int m_iIedGen;
};

// Writes sections at version with the header statics describing the target during the write (the
// per-class counts follow them): a file read below 201 becomes 18 or 36 analog channels a board, and
// a target from 201 on takes the generation that channel count gives.
eFilerError WriteAtVersion(cFilerSections& sections, const std::string& path, int version, int sysFreq) {
  HeaderStaticsGuard guard;
  cFilerSections::m_nSettingVersion = version;
  if (guard.m_nSettingVersion < kFirstFoldedVersion)
    cFilerSections::m_nAChan = cFilerSections::m_nDSPBanks <= 1 ? 18 : 36;
  if (version >= kFirstFoldedVersion) {
    if (cFilerSections::m_nAChan == 18)
      CHelvoCfgTables::m_iIedGen = 3;
    else if (cFilerSections::m_nAChan == 36)
      CHelvoCfgTables::m_iIedGen = 4;
  }
  return sections.WriteCfgFile(path, version, sysFreq);
}

}  // namespace

int CHelvoCfg::WriteCfgFile(const std::string& path, CWnd* parent) {
  try {
    const CIdCfg* own = GetIdCfg();
    // A configuration that never had an identification record saves at the version a new record takes.
    const int version = own ? own->m_nSettingsVers : GetSettingVersionLimit();
    PreDumpProcess(parent, version);
    CIdCfg* id = GetIdCfg();
    try {
      id->m_oSetDate.m_Time = ParseSetDate(id->m_strSetDate);
    } catch (...) {
      id->m_oSetDate.m_Time = CalendarTime(static_cast<std::time_t>(id->m_oSetDate.m_lLoadDate));
    }
    // A file read below 201 saved at a version from 201 on (its identification record came from the
    // host's limit) is folded as a conversion to that version folds it.
    const bool folding =
        version >= kFirstFoldedVersion && cFilerSections::m_nSettingVersion < kFirstFoldedVersion;
    const eFilerError result = folding ? WriteAtVersion(m_Sections, path, version, id->m_nSystemFrequency)
                                       : m_Sections.WriteCfgFile(path, version, id->m_nSystemFrequency);
    return result == eFilerNoError ? 1 : 0;
  } catch (...) {
    return 0;
  }
}

int CHelvoCfg::WriteCfgFile(const std::string& path, int version, CWnd* parent) {
  eFilerError result = eFilerOpenError;
  try {
    PreDumpProcess(parent, version);
    CIdCfg* id = GetIdCfg();
    id->m_oSetDate.m_Time = CalendarTime::GetCurrentTime();
    result = WriteAtVersion(m_Sections, path, version, id->m_nSystemFrequency);
    m_nSRate = id->m_nSampleRate;
    m_nSampleRateWritten = id->m_nSampleRate;
  } catch (...) {
    result = eFilerOpenError;
  }
  if (result == eFilerNoError) return 1;
  ShowMessage("Unable to open the file - no permission to open the file for writing", MB_OK, parent);
  return 0;
}

}  // namespace helvo
