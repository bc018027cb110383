#include "helvo/testing/test_model.h"

#include <signal.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "helvo/engine/crc16.h"
#include "helvo/engine/settings_text.h"
#include "helvo/platform/format.h"
#include "helvo/platform/string_table.h"

namespace helvo::testing {

namespace {

// clang-format off
enum : int {
  kId = 90001, kRec, kRecV, kAfter, kEnd, kChGrp, kElement, kAnalog, kFreq, kPhasor, kCdr, kVers, kBanks,
  kAChan, kRate, kSysFreq, kConv, kByte, kInt, kFloat, kLong, kText, kUnsigned, kIp, kEnum, kDup, kOldInt,
  kV4, kV5, kV6, kV46, kGate, kGated, kNever, kGated2, kPlain, kAfterPlain, kName, kValue, kInput, kLast
};
// In the order of the ids above.
constexpr const char* kNames[] = {
  "ID", "REC", "RECV", "AFTER", "END", "CH_GRP", "ELEMENT", "ANALOG_INPUT", "FREQUENCY", "PHASOR", "CDR_CHAN",
  "SETTINGS_VERS", "NUM_BANKS", "NUM_A_CHANNELS", "SAMPLE_RATE", "SYSTEM_FREQUENCY", "CONV", "BYTE", "INT",
  "FLOAT", "LONG", "TEXT", "UNSIGNED", "IP", "ENUM", "DUP", "OLD_INT", "V4", "V5", "V6", "V46", "GATE", "GATED",
  "NEVER", "GATED2", "PLAIN", "AFTER_PLAIN", "NAME", "VALUE", "INP_INDEX"};
// clang-format on
static_assert(std::size(kNames) == kLast - kId);

CFilerSection* DefineRecordKeys(CFilerSection* s) {
  using R = TestRecord;
  return s->LoadCfgType(FieldOf(&R::m_nNumber), 0)
      ->LoadCfgType(FieldOf(&R::m_Conv), kConv)
      ->LoadCfgType(FieldOf(&R::m_bFlag), kByte)
      ->LoadCfgType(FieldOf(&R::m_nInt), kInt)
      ->LoadCfgType(FieldOf(&R::m_fFloat), kFloat)
      ->LoadCfgType(FieldOf(&R::m_lLong), kLong)
      ->LoadCfgType(FieldOf(&R::m_strText), kText)
      ->LoadCfgType(FieldOf(&R::m_uUnsigned), kUnsigned)
      ->LoadCfgType(FieldOf(&R::m_Ip), kIp)
      ->LoadCfgType(FieldOf(&R::m_eEnum), kEnum)
      ->LoadCfgType(FieldOf(&R::m_nDup), kDup)
      ->LoadCfgType(FieldOf(&R::m_nDupOther), kDup)
      ->LoadCfgType(FieldOf(&R::m_nInt), kOldInt, FILER_NEVER_WRITTEN)
      ->LoadCfgType(FieldOf(&R::m_nV4), kV4, FILER_FROM_VERSION_4)
      ->LoadCfgType(FieldOf(&R::m_nV5), kV5, FILER_FROM_VERSION_5)
      ->LoadCfgType(FieldOf(&R::m_nV6), kV6, FILER_FROM_VERSION_6)
      ->LoadCfgType(FieldOf(&R::m_nV46), kV46, FILER_FROM_VERSION_4 | FILER_FROM_VERSION_6)
      ->LoadCfgType(FieldOf(&R::m_Gate), kGate)
      ->LoadCfgType(FieldOf(&R::m_nGated), kGated, FILER_AFTER_WRITTEN_CONVERTER)
      ->LoadCfgType(FieldOf(&R::m_nNever), kNever, FILER_NEVER_WRITTEN)
      ->LoadCfgType(FieldOf(&R::m_nGated2), kGated2, FILER_AFTER_WRITTEN_CONVERTER)
      ->LoadCfgType(FieldOf(&R::m_nPlain), kPlain)
      ->LoadCfgType(FieldOf(&R::m_nAfterPlain), kAfterPlain, FILER_AFTER_WRITTEN_CONVERTER);
}

CFilerSection* DefineFunctionKeys(CFilerSection* s) {
  return s->LoadCfgType(FieldOf(&TestFunction::m_nChannel), 0)
      ->LoadCfgType(FieldOf(&TestFunction::m_nValue), kValue)
      ->LoadCfgType(FieldOf(&TestFunction::m_Conv), kConv);
}

CFilerSection* DefineElementKeys(CFilerSection* s) {
  return s->LoadCfgType(FieldOf(&TestElement::m_nNumber), 0)
      ->LoadCfgType(FieldOf(&TestElement::m_strName), kName);
}

CFilerSection* DefineSlotKeys(CFilerSection* s) {
  return s->LoadCfgType(FieldOf(&TestSlot::m_strName), kName)
      ->LoadCfgType(FieldOf(&TestSlot::m_nInput), kInput);
}

void DeleteAll(FilerList& list) {
  while (!list.IsEmpty()) delete list.RemoveTail();
}

}  // namespace

void RegisterTestStrings() {
  static StringResource rows[kLast - kId];
  static const bool registered = [] {
    for (int id = kId; id < kLast; ++id) rows[id - kId] = {id, kNames[id - kId]};
    RegisterStringTable(rows);
    return true;
  }();
  (void)registered;
}

void TestConverter::ConvertIn(CFiler*, std::string& text, int& sysFreq) {
  m_strText = text;
  m_nSeenFreq = sysFreq;
}

unsigned long TestConverter::ConvertOut(CFiler*, std::string& text, int, int& sysFreq) {
  m_nSeenFreq = sysFreq;
  if (m_nSetFreq) sysFreq = m_nSetFreq;
  text = m_strText;
  return m_bSuppress ? 1 : 0;
}

bool TestId::GetHeaderValues(sHeaderValues& v) const {
  v.m_nSystemFrequency = m_nFrequency;
  v.m_nSettingVersion = m_nVersion;
  v.m_nAChan = m_nAChan;
  v.m_nSampleRate = m_nSampleRate;
  v.m_nDSPBanks = m_nBanks;
  return true;
}

int TestSlot::s_nLive = 0;

TestGroup::TestGroup(int phasors, int cdrs) {
  RegisterTestStrings();
  using G = TestGroup;
  AddFilerSection(14, DefineFunctionKeys(new CFilerSection(kChGrp, 14, FieldOf(&G::m_ChGrp))));
  AddFilerSection(0, DefineElementKeys(new CFilerSection(kElement, 0, FieldOf(&G::m_Elements))));
  AddFilerSection(1, DefineFunctionKeys(new CFilerSection(kAnalog, 1, FieldOf(&G::m_Analogs))));
  AddFilerSection(9, DefineFunctionKeys(new CFilerSection(kFreq, 9, FieldOf(&G::m_Freqs))));
  AddFilerSection(18, DefineSlotKeys(new CFilerSection(kPhasor, 18, FieldOf(&G::m_Phasors))));
  AddFilerSection(20, DefineSlotKeys(new CFilerSection(kCdr, 20, FieldOf(&G::m_Cdrs))));
  for (int i = 1; i <= phasors; ++i) m_Phasors.AddTail(new TestSlot(18, i));
  for (int i = 0; i < cdrs; ++i) m_Cdrs.AddTail(new TestSlot(20, i));
}

TestGroup::~TestGroup() {
  for (FilerList* list : {&m_ChGrp, &m_Elements, &m_Analogs, &m_Freqs, &m_Phasors, &m_Cdrs}) DeleteAll(*list);
}

CObject* TestGroup::ConstructChild(int cls) {
  if (cls == 0) return new TestElement(0);
  if (cls == 1 || cls == 9 || cls == 14) return new TestFunction(cls);
  if (cls == 18 || cls == 20) return new TestSlot(cls, -1);
  return nullptr;
}

TestConfig::TestConfig(bool slots)
    : m_Group1(slots ? 12 : 0, slots ? 37 : 0), m_Group2(slots ? 2 : 0, slots ? 3 : 0) {
  RegisterTestStrings();
  auto* id = new CFilerSection(kId, 7, FieldOf(&TestConfig::m_Ids));
  id->LoadCfgType(FieldOf(&TestId::m_nVersion), kVers)
      ->LoadCfgType(FieldOf(&TestId::m_nBanks), kBanks)
      ->LoadCfgType(FieldOf(&TestId::m_nAChan), kAChan)
      ->LoadCfgType(FieldOf(&TestId::m_nSampleRate), kRate)
      ->LoadCfgType(FieldOf(&TestId::m_nFrequency), kSysFreq)
      ->LoadCfgType(FieldOf(&TestId::m_Conv), kConv);
  AddFilerSection(7, id);
  AddFilerSection(10, DefineRecordKeys(new CFilerSection(kRec, 10, FieldOf(&TestConfig::m_Records))));
  AddFilerSection(
      0, (new CFilerSection(0, 0))->AddNestedListAddress(&m_Group1)->AddNestedListAddress(&m_Group2));
  AddFilerSection(
      13, DefineRecordKeys(new CFilerSection(kRecV, 13, FieldOf(&TestConfig::m_Rec5), FILER_FROM_VERSION_5)));
  AddFilerSection(8, DefineElementKeys(new CFilerSection(kAfter, 8, FieldOf(&TestConfig::m_After))));
  AddFilerSection(22, new CFilerSection(kEnd, 22));
  m_Group1.SetParent(this);
  m_Group2.SetParent(this);
}

TestConfig::~TestConfig() {
  for (FilerList* list : {&m_Ids, &m_Records, &m_Rec5, &m_After}) DeleteAll(*list);
}

CObject* TestConfig::ConstructChild(int cls) {
  if (cls == 7) return new TestId;
  if (cls == 10 || cls == 13) return new TestRecord(cls);
  if (cls == 8) return new TestElement(8);
  return nullptr;
}

std::string SettingsFile(std::string_view text, const char* crcField) {
  std::string bytes = "0000\r\n\r\n";
  for (char ch : text) ch == '\n' ? bytes.append("\r\n") : bytes.append(1, ch);
  bytes += "\r\n";
  if (crcField) return bytes.replace(0, 4, crcField, 4);
  FixCrc(bytes);
  return bytes;
}

void FixCrc(std::string& bytes) {
  const std::uint16_t crc = Crc16Update(0, std::string_view(bytes).substr(5));
  bytes.replace(0, 4, Format("%4.4x", static_cast<unsigned>(crc)));
}

std::string WrittenImage(TestConfig& config, int version, int sysFreq) {
  StringList lines;
  config.GetSections().BuildCfgLines(lines, version, sysFreq);
  return BuildSettingsImage(lines);
}

std::vector<std::string> BodyLines(const std::string& image) {
  std::vector<std::string> out;
  std::istringstream in(image.substr(std::min<size_t>(8, image.size())));
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    out.push_back(line);
  }
  return out;
}

TempDir::TempDir() : TempDir(std::filesystem::temp_directory_path().string()) {}

TempDir::TempDir(const std::string& parent) {
  std::string pattern = parent + "/helvo-test-XXXXXX";
  if (!mkdtemp(pattern.data())) ADD_FAILURE() << "cannot create a temporary folder";
  path_ = pattern;
}

TempDir TempDir::InMemory() {
  return access("/dev/shm", W_OK) == 0 ? TempDir("/dev/shm") : TempDir();
}

TempDir::~TempDir() {
  std::error_code ec;
  std::filesystem::remove_all(path_, ec);
}

std::string TempDir::Write(const std::string& name, const std::string& bytes) const {
  std::ofstream(File(name), std::ios::binary) << bytes;
  return File(name);
}

std::string TempDir::Read(const std::string& name) const {
  std::ifstream in(File(name), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

std::vector<std::string> TempDir::Names() const {
  std::vector<std::string> names;
  for (const auto& e : std::filesystem::directory_iterator(path_))
    names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

ScopedFileSizeLimit::ScopedFileSizeLimit(unsigned long bytes) {
  rlimit limit{};
  getrlimit(RLIMIT_FSIZE, &limit);
  old_[0] = limit.rlim_cur, old_[1] = limit.rlim_max;
  handler_ = signal(SIGXFSZ, SIG_IGN);
  limit.rlim_cur = bytes;
  if (setrlimit(RLIMIT_FSIZE, &limit) != 0) ADD_FAILURE() << "cannot limit the file size";
}

ScopedFileSizeLimit::~ScopedFileSizeLimit() {
  const rlimit limit{old_[0], old_[1]};
  setrlimit(RLIMIT_FSIZE, &limit);
  signal(SIGXFSZ, handler_);
}

namespace {
int* const kStatics[] = {&cFilerSections::m_nSettingVersion, &cFilerSections::m_nDSPBanks,
                         &cFilerSections::m_nAChan, &cFilerSections::m_nSampleRate, &CFilerSection::m_bChGrp};
}  // namespace

ScopedFilerStatics::ScopedFilerStatics() {
  for (size_t i = 0; i < std::size(kStatics); ++i) saved_[i] = *kStatics[i];
}

ScopedFilerStatics::~ScopedFilerStatics() {
  for (size_t i = 0; i < std::size(kStatics); ++i) *kStatics[i] = saved_[i];
}

eFilerError EngineTest::ReadBytes(TestConfig& config, const std::string& bytes, int noCheck) {
  return config.GetSections().ReadCfgFile(dir_.Write("in.cfg", bytes), noCheck);
}

}  // namespace helvo::testing
