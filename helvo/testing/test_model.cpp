#include "helvo/testing/test_model.h"

#include <stdlib.h>

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

void DefineRecordKeys(CFilerSection* s) {
  using R = TestRecord;
  s->LoadCfgType(FieldOf(&R::m_nNumber), 0)
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

void DefineFunctionKeys(CFilerSection* s) {
  s->LoadCfgType(FieldOf(&TestFunction::m_nChannel), 0)
      ->LoadCfgType(FieldOf(&TestFunction::m_nValue), kValue)
      ->LoadCfgType(FieldOf(&TestFunction::m_Conv), kConv);
}

void DefineElementKeys(CFilerSection* s) {
  s->LoadCfgType(FieldOf(&TestElement::m_nNumber), 0)->LoadCfgType(FieldOf(&TestElement::m_strName), kName);
}

void DefineSlotKeys(CFilerSection* s) {
  s->LoadCfgType(FieldOf(&TestSlot::m_strName), kName)->LoadCfgType(FieldOf(&TestSlot::m_nInput), kInput);
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
  auto function = [this](int name, int cls, FilerList TestGroup::*list) {
    auto* s = new CFilerSection(name, cls, FieldOf(list));
    DefineFunctionKeys(s);
    AddFilerSection(cls, s);
  };
  function(kChGrp, 14, &TestGroup::m_ChGrp);
  auto* element = new CFilerSection(kElement, 0, FieldOf(&TestGroup::m_Elements));
  DefineElementKeys(element);
  AddFilerSection(0, element);
  function(kAnalog, 1, &TestGroup::m_Analogs);
  function(kFreq, 9, &TestGroup::m_Freqs);
  auto* phasor = new CFilerSection(kPhasor, 18, FieldOf(&TestGroup::m_Phasors));
  DefineSlotKeys(phasor);
  AddFilerSection(18, phasor);
  auto* cdr = new CFilerSection(kCdr, 20, FieldOf(&TestGroup::m_Cdrs));
  DefineSlotKeys(cdr);
  AddFilerSection(20, cdr);
  for (int i = 1; i <= phasors; ++i) m_Phasors.AddTail(new TestSlot(18, i));
  for (int i = 0; i < cdrs; ++i) m_Cdrs.AddTail(new TestSlot(20, i));
}

TestGroup::~TestGroup() {
  for (FilerList* list : {&m_ChGrp, &m_Elements, &m_Analogs, &m_Freqs, &m_Phasors, &m_Cdrs}) DeleteAll(*list);
}

CObject* TestGroup::ConstructChild(int cls) {
  switch (cls) {
    case 0:
      return new TestElement(0);
    case 1:
    case 9:
    case 14:
      return new TestFunction(cls);
    case 18:
    case 20:
      return new TestSlot(cls, -1);
    default:
      return nullptr;
  }
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
  auto* rec = new CFilerSection(kRec, 10, FieldOf(&TestConfig::m_Records));
  DefineRecordKeys(rec);
  AddFilerSection(10, rec);
  AddFilerSection(
      0, (new CFilerSection(0, 0))->AddNestedListAddress(&m_Group1)->AddNestedListAddress(&m_Group2));
  auto* rec5 = new CFilerSection(kRecV, 13, FieldOf(&TestConfig::m_Rec5), FILER_FROM_VERSION_5);
  DefineRecordKeys(rec5);
  AddFilerSection(13, rec5);
  auto* after = new CFilerSection(kAfter, 8, FieldOf(&TestConfig::m_After));
  DefineElementKeys(after);
  AddFilerSection(8, after);
  AddFilerSection(22, new CFilerSection(kEnd, 22));
  m_Group1.SetParent(this);
  m_Group2.SetParent(this);
}

TestConfig::~TestConfig() {
  for (FilerList* list : {&m_Ids, &m_Records, &m_Rec5, &m_After}) DeleteAll(*list);
}

CObject* TestConfig::ConstructChild(int cls) {
  switch (cls) {
    case 7:
      return new TestId;
    case 10:
    case 13:
      return new TestRecord(cls);
    case 8:
      return new TestElement(8);
    default:
      return nullptr;
  }
}

std::string SettingsFile(const std::vector<std::string>& lines, const char* crcField) {
  std::string bytes = "0000\r\n\r\n";
  for (const std::string& line : lines) bytes += line + "\r\n";
  if (crcField)
    bytes.replace(0, 4, crcField, 4);
  else
    FixCrc(bytes);
  return bytes;
}

std::string SettingsFile(std::string_view text, const char* crcField) {
  std::vector<std::string> lines;
  for (size_t start = 0;;) {
    const size_t end = text.find('\n', start);
    lines.emplace_back(text.substr(start, end - start));
    if (end == std::string_view::npos) break;
    start = end + 1;
  }
  return SettingsFile(lines, crcField);
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

TempDir::TempDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "helvo-test-XXXXXX").string();
  if (!mkdtemp(pattern.data())) ADD_FAILURE() << "cannot create a temporary folder";
  path_ = pattern;
}

TempDir::~TempDir() {
  std::error_code ec;
  std::filesystem::permissions(path_, std::filesystem::perms::owner_all, std::filesystem::perm_options::add,
                               ec);
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

ScopedFilerStatics::ScopedFilerStatics()
    : version_(cFilerSections::m_nSettingVersion),
      banks_(cFilerSections::m_nDSPBanks),
      achan_(cFilerSections::m_nAChan),
      rate_(cFilerSections::m_nSampleRate),
      chgrp_(CFilerSection::m_bChGrp) {}

ScopedFilerStatics::~ScopedFilerStatics() {
  cFilerSections::m_nSettingVersion = version_;
  cFilerSections::m_nDSPBanks = banks_;
  cFilerSections::m_nAChan = achan_;
  cFilerSections::m_nSampleRate = rate_;
  CFilerSection::m_bChGrp = chgrp_;
}

eFilerError EngineTest::ReadBytes(TestConfig& config, const std::string& bytes, int noCheck) {
  return config.GetSections().ReadCfgFile(dir_.Write("in.cfg", bytes), noCheck);
}

}  // namespace helvo::testing
