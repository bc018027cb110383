#include "helvo/engine/filer.h"

#include "helvo/platform/format.h"
#include "helvo/platform/string_table.h"

namespace helvo {

HELVO_IMPLEMENT_DYNCREATE(CFiler, CObject)
HELVO_IMPLEMENT_DYNCREATE(CFilerElement, CObject)
HELVO_IMPLEMENT_DYNCREATE(cFilerContainer, CFiler)

// ---- CFiler ----

CFilerSection* CFiler::GetSection(int) {
  return nullptr;
}
bool CFiler::GetHeaderValues(sHeaderValues&) const {
  return false;
}
void CFiler::SetListIndex(int) {}
void CFiler::SetChannelNumber(int) {}
void CFiler::AppendToName(const std::string&) {}
void CFiler::SetNumAChannels(int) {}

// ---- CFilerElement ----

void CFilerElement::ConvertIn(CFiler*, std::string&, int&) {}
unsigned long CFilerElement::ConvertOut(CFiler*, std::string&, int, int&) {
  return 0;
}

// ---- CFilerEntry ----

CFilerEntry::CFilerEntry(EFilerEntryType type, const FieldRef& field, int nameId, unsigned int flags)
    : m_eType(type), m_Field(field), m_strName(LoadString(nameId)), m_nFlags(flags) {
  if (EqualsNoCase(m_strName, "NUM_A_CHANNELS") || EqualsNoCase(m_strName, "SAMPLE_RATE"))
    m_eSpecial = eSpecial::kHeaderOnlyFrom201;
  else if (EqualsNoCase(m_strName, "NUM_BANKS"))
    m_eSpecial = eSpecial::kNumBanks;
}

// ---- CFilerSection ----

int CFilerSection::m_bChGrp = 0;

CFilerSection::CFilerSection(int nameId, int cls, FilerListRef objects, unsigned long flags)
    : m_nClass(cls), m_strName(LoadString(nameId)), m_ObjectList(objects), m_nFlags(flags) {}

CFilerSection::~CFilerSection() {
  while (!m_Entries.IsEmpty()) delete m_Entries.RemoveTail();
}

CFilerSection* CFilerSection::Append(CFilerEntry::EFilerEntryType type, const FieldRef& field, int nameId,
                                     unsigned int flags) {
  auto* entry = new CFilerEntry(type, field, nameId, flags);
  m_Entries.AddTail(entry);
  const bool first =
      m_ByName.try_emplace(std::string_view(entry->m_strName), NamedEntry{entry, m_FirstByPosition.size()})
          .second;
  m_FirstByPosition.push_back(first ? entry : nullptr);
  if (entry->m_strName.empty() && !m_pInstance) m_pInstance = entry;
  return this;
}

CFilerSection* CFilerSection::LoadCfgType(const Field<CFilerElement>& f, int id, unsigned int flags) {
  return Append(CFilerEntry::eElement, f, id, flags);
}
CFilerSection* CFilerSection::LoadCfgType(const Field<unsigned char>& f, int id, unsigned int flags) {
  return Append(CFilerEntry::eByte, f, id, flags);
}
CFilerSection* CFilerSection::LoadCfgType(const Field<int>& f, int id, unsigned int flags) {
  return Append(CFilerEntry::eInt, f, id, flags);
}
CFilerSection* CFilerSection::LoadCfgType(const Field<float>& f, int id, unsigned int flags) {
  return Append(CFilerEntry::eFloat, f, id, flags);
}
CFilerSection* CFilerSection::LoadCfgType(const Field<long>& f, int id, unsigned int flags) {
  return Append(CFilerEntry::eLong, f, id, flags);
}
CFilerSection* CFilerSection::LoadCfgType(const Field<std::string>& f, int id, unsigned int flags) {
  return Append(CFilerEntry::eString, f, id, flags);
}
CFilerSection* CFilerSection::LoadCfgType(const Field<unsigned int>& f, int id, unsigned int flags) {
  return Append(CFilerEntry::eUnsigned, f, id, flags);
}
CFilerSection* CFilerSection::LoadCfgType(const Field<uIPAddress>& f, int id, unsigned int flags) {
  return Append(CFilerEntry::eIPAddress, f, id, flags);
}

CFilerSection* CFilerSection::AddNestedListAddress(cFilerContainer* container) {
  m_Nested.AddTail(container);
  return this;
}

CFilerEntry* CFilerSection::FindEntryByOffset(const FieldRef& field) const {
  for (CFilerEntry* e : m_Entries)
    if (e->m_Field == field) return e;
  return nullptr;
}

CFilerEntry* CFilerSection::FindEntryByName(std::string_view key) const {
  auto it = m_ByName.find(key);
  return it == m_ByName.end() ? nullptr : it->second.entry;
}

CFilerEntry* CFilerSection::FindEntryByName(std::string_view key, size_t& next) const {
  if (next < m_FirstByPosition.size()) {
    CFilerEntry* expected = m_FirstByPosition[next];
    if (expected && expected->m_strName == key) {
      ++next;
      return expected;
    }
  }
  auto it = m_ByName.find(key);
  if (it == m_ByName.end()) return nullptr;
  next = it->second.position + 1;
  return it->second.entry;
}

FilerList* CFilerSection::GetObjectList(cFilerContainer* container) const {
  return m_ObjectList.Get(container);
}

// ---- cFilerSections ----

int cFilerSections::m_nSettingVersion = -1;
int cFilerSections::m_nDSPBanks = 1;
int cFilerSections::m_nAChan = 18;
int cFilerSections::m_nSampleRate = 96;

cFilerSections::cFilerSections(cFilerContainer* parent) : m_pParent(parent) {}

cFilerSections::~cFilerSections() {
  m_Sections.RemoveAll();
  while (!m_Owned.IsEmpty()) delete m_Owned.RemoveTail();
}

void cFilerSections::AddFilerSection(int, CFilerSection* section) {
  if (!section) return;
  m_Sections.AddTail(section);
  m_Owned.AddTail(section);
}

void cFilerSections::AddSharedSection(CFilerSection* section) {
  if (section) m_Sections.AddTail(section);
}

CFilerSection* cFilerSections::GetSection(int cls) const {
  for (CFilerSection* s : m_Sections)
    if (s->GetClass() == cls) return s;
  return nullptr;
}

// ---- cFilerContainer ----

const char* const cFilerContainer::strFilerError[5] = {
    "UNDEFINED ERROR",    "Unable to open File",  "Error reading File",
    "Error writing File", "File has invalid CRC",
};

const long cFilerContainer::sMeterSize[8] = {0, 235, 235, 235, 235, 244, 244, 244};

cFilerContainer::cFilerContainer() : m_Sections(this) {}

CObject* cFilerContainer::ConstructChild(int) {
  return nullptr;
}

const char* cFilerContainer::ErrorString(eFilerError error) {
  const int i = static_cast<int>(error);
  return (i >= 0 && i < 5) ? strFilerError[i] : strFilerError[0];
}

long cFilerContainer::GetMeterSize(int version) {
  if (version >= 1 && version <= 7) return sMeterSize[version];
  return version < 202 ? 488 : 524;
}

}  // namespace helvo
