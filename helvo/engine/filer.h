// The filer object model: objects stored in sections of a settings file (CFiler), containers that own
// them and the section definitions for them (cFilerContainer, cFilerSections), section and key
// definitions (CFilerSection, CFilerEntry), and the base of value converters (CFilerElement).
// The reader and writer that walk these definitions are in reader.cpp and writer.cpp.
//
// Section and key names, class numbers and flag bits are part of the stored settings-file format:
// do not change the meaning of existing values. docs/file-format.md describes the format.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "helvo/engine/field_ref.h"
#include "helvo/platform/ordered_list.h"
#include "helvo/platform/runtime_class.h"

namespace helvo {

class CFiler;
class cFilerContainer;
class cFilerSections;
class CFilerSection;
class CFilerEntry;

// The ordered object list of one section: owned by the container that holds it (the list itself
// does not delete; see the containers' destructors).
using FilerList = PtrList<CFiler>;
using FilerListRef = Field<FilerList>;

// Result of the file-level reader and writer operations. Values are part of the interface.
enum eFilerError {
  eFilerNoError = 0,
  eFilerOpenError = 1,
  eFilerReadError = 2,
  eFilerWriteError = 3,
  eFilerCRCError = 4,
};

// A 32-bit IPv4 address; a.b.c.d is a*2^24 + b*2^16 + c*2^8 + d.
union uIPAddress {
  std::uint32_t m_nAddress;

  // The dotted part k (0 is the most significant, "a" of a.b.c.d).
  unsigned Byte(int k) const { return (m_nAddress >> (8 * (3 - k))) & 0xFFu; }
};

// The header values of the settings file being read, as an identification record carries them.
struct sHeaderValues {
  int m_nSystemFrequency = 0;
  int m_nSettingVersion = -1;
  int m_nAChan = 18;
  int m_nSampleRate = 96;
  int m_nDSPBanks = 1;
};

// Takes the lines of section blocks as the writer makes them, without building them: header and
// instance text of each block, then each key written with its definition and value text.
class cFilerLineSink {
 public:
  virtual ~cFilerLineSink() = default;
  // The section definition and the object of the block that may follow (none for [END]); a block
  // the version does not hold follows no call of Header.
  virtual void Section(CFilerSection*, CFiler*) {}
  virtual void Header(std::string_view name, std::string_view instance) = 0;
  virtual void Key(const CFilerEntry& entry, std::string_view value) = 0;
  // False to take the keys of plain fields with empty value text, unformatted. Converters still run
  // when they decide whether their key and the one after it are written (AlwaysWritesKey false).
  virtual bool WantsPlainValues() const { return true; }
  // With WantsPlainValues false: true to take every converter's value text all the same.
  virtual bool WantsConverterValues() const { return false; }
  // Asked after each Header: false to leave out the block's keys (none is formatted, no converter of
  // theirs runs).
  virtual bool WantsKeys() const { return true; }
};

// True for the setting versions whose files fold every channel group into the first (201 on).
bool IsFoldedVersion(int version);

// Any object that can be read from or written to a section.
class CFiler : public CObject {
  HELVO_DECLARE_RUNTIME(CFiler)
 public:
  explicit CFiler(cFilerContainer* parent = nullptr) : m_pParent(parent) {}
  CFiler(const CFiler&) = default;
  CFiler& operator=(const CFiler&) = default;
  ~CFiler() override = default;

  cFilerContainer* GetParent() const { return m_pParent; }
  void SetParent(cFilerContainer* parent) { m_pParent = parent; }

  virtual CFilerSection* GetSection(int cls);
  // The object's class number (eHelvoCfgClass); -1 for no class.
  virtual int GetClass() const { return -1; }

  // --- Hooks of the reader and writer; the model classes override the ones that concern them. ---

  // An identification record fills values and returns true; every other object returns false. The
  // reader takes the system frequency and the header statics from it.
  virtual bool GetHeaderValues(sHeaderValues& values) const;
  // The slot index of an object of a fixed-slot list (PMU phasors, CDR channels); -1 for others.
  virtual int GetListIndex() const { return -1; }
  // The reader gives a fixed-slot object read from a file the slot index its header names (the
  // section has no instance field of its own), so that it answers GetListIndex with the slot it
  // takes. Other objects ignore it.
  virtual void SetListIndex(int index);
  // True when the object must not appear in a file that folds the channel groups into one (version
  // 201 and later): a function marked dirty, a CDR channel without an input.
  virtual bool IsLeftOutWhenFolding() const { return false; }
  // Folding renumbers the second channel group's functions; this stores the new channel number.
  virtual void SetChannelNumber(int number);
  // Folding marks the second channel group's elements by appending suffix to their names.
  virtual void AppendToName(const std::string& suffix);
  // Folding sets the identification record's analog channel count to 18 or 36.
  virtual void SetNumAChannels(int count);

 private:
  cFilerContainer* m_pParent;
};

// Base of value converters: a field of a configuration object that knows its own text form.
class CFilerElement : public CObject {
  HELVO_DECLARE_RUNTIME(CFilerElement)
 public:
  CFilerElement() = default;
  CFilerElement(const CFilerElement&) = default;
  CFilerElement& operator=(const CFilerElement&) = default;
  ~CFilerElement() override = default;

  // Parses text into the converter. owner is the object that holds the converter; sysFreq is the
  // system frequency of the read (0 until an identification record has been read).
  virtual void ConvertIn(CFiler* owner, std::string& text, int& sysFreq);
  // Fills text with the converter's text form for the target setting version. Bit 0 of the result
  // set means: write no line for this key (and drop the next key flagged 0x10).
  virtual unsigned long ConvertOut(CFiler* owner, std::string& text, int version, int& sysFreq);
  // True when ConvertOut always writes the key (returns 0) and changes nothing: a walk that needs to
  // know only which keys are written may then skip it.
  virtual bool AlwaysWritesKey() const { return false; }
};

// One key definition: type, field, key name, flags.
class CFilerEntry {
 public:
  enum EFilerEntryType {
    eElement = 0,
    eByte = 1,
    eInt = 2,
    eFloat = 3,
    eLong = 4,
    eString = 5,
    eUnsigned = 6,
    eIPAddress = 7,
  };

  CFilerEntry(EFilerEntryType type, const FieldRef& field, int nameId, unsigned int flags);
  CFilerEntry(const CFilerEntry&) = default;
  CFilerEntry& operator=(const CFilerEntry&) = default;
  virtual ~CFilerEntry() = default;

  EFilerEntryType GetType() const { return m_eType; }
  const FieldRef& GetOffset() const { return m_Field; }
  const std::string& GetKeyName() const { return m_strName; }
  unsigned int GetFlags() const { return m_nFlags; }
  // Keys the writer treats apart, known from the name: NUM_A_CHANNELS and SAMPLE_RATE, written only
  // from version 201 on, and NUM_BANKS, which folding sets to 1.
  bool IsHeaderOnlyFrom201() const { return m_eSpecial == eSpecial::kHeaderOnlyFrom201; }
  bool IsNumBanks() const { return m_eSpecial == eSpecial::kNumBanks; }

 private:
  friend class CFilerSection;
  EFilerEntryType m_eType;
  FieldRef m_Field;
  std::string m_strName;
  unsigned int m_nFlags;
  // Precomputed from the name so the writer compares no strings per line.
  enum class eSpecial : unsigned char { kNone, kHeaderOnlyFrom201, kNumBanks } m_eSpecial = eSpecial::kNone;
};

// Flag bits of key and section definitions; consulted only when writing.
enum : unsigned int {
  FILER_NEVER_WRITTEN = 0x01u,
  FILER_FROM_VERSION_4 = 0x02u,
  FILER_FROM_VERSION_5 = 0x04u,
  FILER_FROM_VERSION_6 = 0x08u,
  FILER_AFTER_WRITTEN_CONVERTER = 0x10u,
};

// True when flags allow writing at the target setting version (ignoring bit 0x10). Asked for every
// key a walk writes: inline.
inline bool FlagsAllowVersion(unsigned long flags, int version) {
  if (flags & FILER_NEVER_WRITTEN) return false;
  if ((flags & FILER_FROM_VERSION_4) && version < 4) return false;
  if ((flags & FILER_FROM_VERSION_5) && version < 5) return false;
  if ((flags & FILER_FROM_VERSION_6) && version < 6) return false;
  return true;
}

// One section definition.
class CFilerSection {
 public:
  // nameId 0 gives the unnamed section (it only nests channel-group containers). objects names the
  // container's list that holds this section's objects (none for END and the unnamed section).
  CFilerSection(int nameId, int cls, FilerListRef objects = {}, unsigned long flags = 0);
  CFilerSection(const CFilerSection&) = delete;
  CFilerSection& operator=(const CFilerSection&) = delete;
  virtual ~CFilerSection();

  // Each overload appends one key definition and returns the section, so that a class's definition
  // routine registers its keys as one chain, in write order.
  CFilerSection* LoadCfgType(const Field<CFilerElement>& field, int nameId, unsigned int flags = 0);
  CFilerSection* LoadCfgType(const Field<unsigned char>& field, int nameId, unsigned int flags = 0);
  CFilerSection* LoadCfgType(const Field<int>& field, int nameId, unsigned int flags = 0);
  CFilerSection* LoadCfgType(const Field<float>& field, int nameId, unsigned int flags = 0);
  CFilerSection* LoadCfgType(const Field<long>& field, int nameId, unsigned int flags = 0);
  CFilerSection* LoadCfgType(const Field<std::string>& field, int nameId, unsigned int flags = 0);
  CFilerSection* LoadCfgType(const Field<unsigned int>& field, int nameId, unsigned int flags = 0);
  CFilerSection* LoadCfgType(const Field<uIPAddress>& field, int nameId, unsigned int flags = 0);
  // Enumerations with an int representation travel as their integer value (an eInt entry).
  template <class E>
  requires std::is_enum_v<E> && std::is_same_v < std::underlying_type_t<E>,
  int > CFilerSection* LoadCfgType(const Field<E>& field, int nameId, unsigned int flags = 0) {
    return Append(CFilerEntry::eInt, field, nameId, flags);
  }

  CFilerSection* AddNestedListAddress(cFilerContainer* container);

  const PtrList<CFilerEntry>& GetFilerList() const { return m_Entries; }
  PtrList<CFilerEntry>& GetFilerList() { return m_Entries; }
  const PtrList<cFilerContainer>& GetNestedContainers() const { return m_Nested; }
  // The first entry, in registration order, that names field; none when there is none.
  CFilerEntry* FindEntryByOffset(const FieldRef& field) const;
  // The first entry named key (byte for byte); none when there is none. Constant time.
  CFilerEntry* FindEntryByName(std::string_view key) const;
  // The same, for a reader walking a section's keys: next is the registration position after the
  // previous key found (start at 0). A file written by this library lists the keys in that order, so
  // the entry at next is nearly always the one and no hashing is needed; any other order falls back
  // to the index. next is moved past the entry found.
  CFilerEntry* FindEntryByName(std::string_view key, size_t& next) const;
  // The instance field: the first entry with an empty key name, or none.
  CFilerEntry* GetInstanceEntry() const { return m_pInstance; }

  int GetClass() const { return m_nClass; }
  const std::string& GetName() const { return m_strName; }
  bool IsUnnamed() const { return m_strName.empty(); }
  unsigned long GetFlags() const { return m_nFlags; }
  const FilerListRef& GetObjectListRef() const { return m_ObjectList; }
  bool HoldsObjects() const { return static_cast<bool>(m_ObjectList); }
  // The object list of this section in container, or none.
  FilerList* GetObjectList(cFilerContainer* container) const;

  // Fills obj from the section body that starts at pos; see reader.cpp. Returns the section.
  CFilerSection* ReadCfgStrings(StringList& lines, StringList::Position& pos, CFiler* obj,
                                std::string& instance, int& sysFreq);
  // Appends obj's key lines for the target version; see writer.cpp. Returns the section.
  CFilerSection* WriteCfgStrings(StringList& lines, CFiler* obj, int version, int& sysFreq);

  // The section with an empty name never has keys; it exists for AddNestedListAddress.
  static int m_bChGrp;

 private:
  CFilerSection* Append(CFilerEntry::EFilerEntryType type, const FieldRef& field, int nameId,
                        unsigned int flags);

  int m_nClass;
  std::string m_strName;
  FilerListRef m_ObjectList;
  unsigned long m_nFlags;
  PtrList<CFilerEntry> m_Entries;
  PtrList<cFilerContainer> m_Nested;
  struct NamedEntry {
    CFilerEntry* entry;
    size_t position;  // in registration order
  };
  std::unordered_map<std::string_view, NamedEntry> m_ByName;  // first definition of each name
  // Registration order; an entry whose name an earlier entry already defines is held as none, since
  // a look-up by name never finds it.
  std::vector<CFilerEntry*> m_FirstByPosition;
  CFilerEntry* m_pInstance = nullptr;
};

// The ordered registry of the section definitions of one container; also the reader and writer.
class cFilerSections {
 public:
  explicit cFilerSections(cFilerContainer* parent = nullptr);
  cFilerSections(const cFilerSections&) = delete;
  cFilerSections& operator=(const cFilerSections&) = delete;
  virtual ~cFilerSections();

  // Appends section (the integer is not used). The registry owns it.
  void AddFilerSection(int, CFilerSection* section);
  // Appends a section definition shared by every registry of its kind: built once per process, never
  // changed afterwards and never deleted, so the registry does not own it. Only definitions that hold
  // no address of a particular container may be shared (keys reach their fields through member
  // pointers); a section with nested containers stays with its registry.
  void AddSharedSection(CFilerSection* section);
  // The first registered section of class cls, or none.
  CFilerSection* GetSection(int cls) const;
  int GetCount() const { return static_cast<int>(m_Sections.GetCount()); }
  const PtrList<CFilerSection>& GetSections() const { return m_Sections; }
  void SetParent(cFilerContainer* parent) { m_pParent = parent; }
  cFilerContainer* GetParent() const { return m_pParent; }

  // --- Reading (reader.cpp) ---
  // Reads the settings file at path. noCheck nonzero skips the CRC comparison.
  eFilerError ReadCfgFile(const std::string& path, int noCheck);
  // Reads a whole file image (CRC field included). The image's CR and LF bytes are overwritten with
  // zero bytes.
  eFilerError ReadCfgFile(char* image, unsigned long size, int noCheck);
  // Parses an already split line list; pos is set to the head and moved along.
  void ReadCfgFile(StringList& lines, StringList::Position& pos);
  // Handles one section header at pos: nonzero when handled (or the list is exhausted), 0 when the
  // name matches no section.
  int BuildFilerFromString(StringList& lines, StringList::Position& pos, cFilerContainer* container,
                           const std::string& name, std::string& instance, int group, int& sysFreq);

  // --- Writing (writer.cpp) ---
  // Writes the model of this registry's container to path at the target setting version.
  // eFilerOpenError (reported as error 132 of module 3) when the file cannot be created or written;
  // eFilerWriteError (with a message) when a line could not be read back as written. On failure the
  // previous file is left as it was.
  eFilerError WriteCfgFile(const std::string& path, int version, int sysFreq);
  // Builds the lines of the file (without the CRC line) as WriteCfgFile writes them.
  void BuildCfgLines(StringList& lines, int version, int sysFreq);
  // Builds the complete file image, CRC line included, that WriteCfgFile writes, in one buffer.
  // eFilerWriteError (with WriteCfgFile's message, and image left empty) when a line could not be
  // read back as written.
  eFilerError BuildCfgImage(std::string& image, int version, int sysFreq);
  // Appends one object's section block.
  cFilerSections* WriteSectionStrings(CFilerSection* section, StringList& lines, CFiler* obj,
                                      const std::string& prefix, int version, int& sysFreq);
  // Hands every block WriteCfgFile writes to sink, line by line (blank lines are not passed on).
  void WriteAllTo(cFilerLineSink& sink, int version, int sysFreq);
  // Hands the same block to sink, line by line (the blank line after it is not passed on).
  void WriteSectionTo(CFilerSection* section, cFilerLineSink& sink, CFiler* obj, std::string_view prefix,
                      int version, int& sysFreq);

  // The header values the reader takes from the file and the writer folds by: the registry's own,
  // or those of the configuration that owns the registry (SetHeader).
  sHeaderValues& Header() { return *m_pHeader; }
  void SetHeader(sHeaderValues* header) { m_pHeader = header ? header : &m_OwnHeader; }

  // Header values of the configuration most recently read or saved, kept for hosts; the library
  // does not read them.
  static int m_nSettingVersion;
  static int m_nDSPBanks;
  static int m_nAChan;
  static int m_nSampleRate;

  // Writer counters: the channel group being written (folding) and the ELEMENT blocks written.
  int m_nCurGroup = 1;
  int m_nNextElement = 1;

 private:
  cFilerContainer* m_pParent;
  PtrList<CFilerSection> m_Sections;  // every section, in registration (write) order
  PtrList<CFilerSection> m_Owned;     // the ones this registry deletes
  sHeaderValues m_OwnHeader;
  sHeaderValues* m_pHeader = &m_OwnHeader;
};

// An object that owns child objects and the section definitions for them.
class cFilerContainer : public CFiler {
  HELVO_DECLARE_RUNTIME(cFilerContainer)
 public:
  cFilerContainer();
  cFilerContainer(const cFilerContainer&) = delete;
  cFilerContainer& operator=(const cFilerContainer&) = delete;
  ~cFilerContainer() override = default;

  void AddFilerSection(int cls, CFilerSection* section) { m_Sections.AddFilerSection(cls, section); }
  CFilerSection* GetSection(int cls) override { return m_Sections.GetSection(cls); }
  int GetSectionCount() const { return m_Sections.GetCount(); }
  cFilerSections& GetSections() { return m_Sections; }

  // A new default-constructed object of class cls, owned by the caller; none when the container
  // makes no objects of that class.
  virtual CObject* ConstructChild(int cls);
  // Called by the reader once it has taken header values from the file into the registry's header
  // (before the sections that follow are read).
  virtual void HeaderRead() {}

  static const char* ErrorString(eFilerError error);
  // Meter slots of a recorder file of the given setting version.
  static long GetMeterSize(int version);

  static const char* const strFilerError[5];

 protected:
  static const long sMeterSize[8];
  cFilerSections m_Sections;
};

}  // namespace helvo
