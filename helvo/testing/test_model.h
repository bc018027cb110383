// A small configuration model for testing the settings-file engine without the real model: a
// recorder-like container with an identification record, plain records, two channel groups reached
// through the unnamed section, fixed-slot phasor and CDR records and an END section, plus file and
// fixture helpers shared by the engine tests.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "helvo/engine/filer.h"
#include "helvo/platform/user_interface.h"

namespace helvo::testing {

// Section names "ID", "REC", "RECV", "AFTER", "END", "CH_GRP", "ELEMENT", "ANALOG_INPUT", "FREQUENCY",
// "PHASOR", "CDR_CHAN"; key names as the fields below say. Ids 90000 and up belong to these tests.
void RegisterTestStrings();

enum eTestEnum : int { kEnumZero = 0, kEnumFive = 5 };

// A converter that keeps its text as it stands and records the system frequency it was given.
class TestConverter : public CFilerElement {
 public:
  void ConvertIn(CFiler* owner, std::string& text, int& sysFreq) override;
  unsigned long ConvertOut(CFiler* owner, std::string& text, int version, int& sysFreq) override;

  std::string m_strText;
  bool m_bSuppress = false;  // ConvertOut answers 1: no line
  int m_nSetFreq = 0;        // when nonzero, ConvertOut changes the writer's system frequency to it
  int m_nSeenFreq = -1;      // system frequency of the last call
};

class TestObject : public CFiler {
 public:
  explicit TestObject(int cls) : m_nClass(cls) {}
  int GetClass() const override { return m_nClass; }
  int m_nClass;
};

// Sections REC (class 10) and RECV (class 13, section flag 0x04). Keys in write order: instance
// m_nNumber; CONV; BYTE; INT; FLOAT; LONG; TEXT; UNSIGNED; IP; ENUM; DUP (m_nDup), DUP again
// (m_nDupOther); OLD_INT (m_nInt, 0x01); V4 (0x02); V5 (0x04); V6 (0x08); V46 (0x02|0x08); GATE
// (converter m_Gate); GATED (0x10); NEVER (0x01); GATED2 (0x10); PLAIN; AFTER_PLAIN (0x10).
class TestRecord : public TestObject {
 public:
  explicit TestRecord(int cls = 10) : TestObject(cls) {}
  int m_nNumber = 0;
  TestConverter m_Conv;
  unsigned char m_bFlag = 1;
  int m_nInt = 0;
  float m_fFloat = 1.5f;
  long m_lLong = 0;
  std::string m_strText = "default";
  unsigned int m_uUnsigned = 0;
  uIPAddress m_Ip{0x01020304};
  eTestEnum m_eEnum = kEnumZero;
  int m_nDup = 0, m_nDupOther = 0;
  int m_nV4 = 4, m_nV5 = 5, m_nV6 = 6, m_nV46 = 46;
  TestConverter m_Gate;
  int m_nGated = 1, m_nNever = 0, m_nGated2 = 2, m_nPlain = 3, m_nAfterPlain = 4;
};

// Section ID (class 7): SETTINGS_VERS, NUM_BANKS, NUM_A_CHANNELS, SAMPLE_RATE, SYSTEM_FREQUENCY, CONV.
class TestId : public TestObject {
 public:
  TestId() : TestObject(7) {}
  bool GetHeaderValues(sHeaderValues& values) const override;
  void SetNumAChannels(int count) override { m_nAChan = count; }
  int m_nVersion = 6, m_nBanks = 2, m_nAChan = 18, m_nSampleRate = 96, m_nFrequency = 60;
  TestConverter m_Conv;
};

// Sections ELEMENT (class 0, in a group) and AFTER (class 8, recorder level): instance, NAME.
class TestElement : public TestObject {
 public:
  explicit TestElement(int cls = 0) : TestObject(cls) {}
  void AppendToName(const std::string& suffix) override { m_strName += suffix; }
  int m_nNumber = 0;
  std::string m_strName;
};

// Sections CH_GRP (14), ANALOG_INPUT (1) and FREQUENCY (9): instance m_nChannel, VALUE, CONV.
class TestFunction : public TestObject {
 public:
  explicit TestFunction(int cls) : TestObject(cls) {}
  bool IsLeftOutWhenFolding() const override { return m_bDirty; }
  void SetChannelNumber(int number) override { m_nChannel = number, ++m_nRenumbered; }
  int m_nChannel = 0;
  int m_nValue = 0;
  TestConverter m_Conv;
  bool m_bDirty = false;
  int m_nRenumbered = 0;
};

// Sections PHASOR (18) and CDR_CHAN (20): NAME, INP_INDEX. Counts live objects so tests can see that
// a replaced slot object is destroyed.
class TestSlot : public TestObject {
 public:
  TestSlot(int cls, int index) : TestObject(cls), m_nIndex(index) { ++s_nLive; }
  ~TestSlot() override { --s_nLive; }
  int GetListIndex() const override { return m_nIndex; }
  void SetListIndex(int index) override { m_nIndex = index; }
  bool IsLeftOutWhenFolding() const override { return m_nClass == 20 && m_nInput == -1; }
  int m_nIndex;
  int m_nInput = -1;
  std::string m_strName;
  static int s_nLive;
};

// A channel group: CH_GRP, ELEMENT, ANALOG_INPUT, FREQUENCY, PHASOR, CDR_CHAN, with `phasors` pre-made
// phasor slots (1...) and `cdrs` CDR slots (0...).
class TestGroup : public cFilerContainer {
 public:
  TestGroup(int phasors, int cdrs);
  ~TestGroup() override;
  CObject* ConstructChild(int cls) override;
  FilerList m_ChGrp, m_Elements, m_Analogs, m_Freqs, m_Phasors, m_Cdrs;
};

// The recorder: ID, REC, the unnamed section (groups 1 and 2), RECV, AFTER, END. With slots, group 1
// has 12 phasor and 37 CDR slots and group 2 has 2 and 3; without, none.
class TestConfig : public cFilerContainer {
 public:
  explicit TestConfig(bool slots = false);
  ~TestConfig() override;
  CObject* ConstructChild(int cls) override;

  template <class T>
  T* Add(FilerList& list, T* obj) {
    obj->SetParent(this);
    list.AddTail(obj);
    return obj;
  }
  template <class T = CFiler>
  T* At(FilerList& list, size_t i) {
    auto pos = list.FindIndex(i);
    return pos ? dynamic_cast<T*>(list.GetAt(pos)) : nullptr;
  }

  FilerList m_Ids, m_Records, m_Rec5, m_After;
  TestGroup m_Group1, m_Group2;
};

// File bytes: a CRC line (correct CRC, or crcField when given), then each LF-separated line of text
// followed by CR LF.
std::string SettingsFile(std::string_view text, const char* crcField = nullptr);
// Recomputes the CRC of bytes (from byte 5 on) into its first four bytes.
void FixCrc(std::string& bytes);

// The file the writer would produce for config at version.
std::string WrittenImage(TestConfig& config, int version, int sysFreq = 60);
// The body lines (after the CRC line) of a file image, without line ends.
std::vector<std::string> BodyLines(const std::string& image);

// A fresh folder under the system's temporary folder, removed with everything in it.
class TempDir {
 public:
  TempDir();
  // A folder in memory-backed storage (/dev/shm) where the system has one, else as above: for tests
  // that save thousands of files, which on a disk spend their time waiting for each save's sync.
  static TempDir InMemory();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::string& path() const { return path_; }
  std::string File(const std::string& name) const { return path_ + "/" + name; }
  std::string Write(const std::string& name, const std::string& bytes) const;  // returns the path
  std::string Read(const std::string& name) const;
  std::vector<std::string> Names() const;  // entries of the folder, sorted

 private:
  explicit TempDir(const std::string& parent);
  std::string path_;
};

// Lowers the file size limit of the process for one scope, so that writes past `bytes` fail (EFBIG)
// instead of raising SIGXFSZ: a write failure that even root cannot avoid.
class ScopedFileSizeLimit {
 public:
  explicit ScopedFileSizeLimit(unsigned long bytes);
  ~ScopedFileSizeLimit();

 private:
  unsigned long old_[2];
  void (*handler_)(int);
};

// Restores the process-wide header statics after a test.
class ScopedFilerStatics {
 public:
  ScopedFilerStatics();
  ~ScopedFilerStatics();

 private:
  int saved_[5];
};

// Fixture: statics restored, messages recorded, a temporary folder, strings registered.
class EngineTest : public ::testing::Test {
 protected:
  EngineTest() { RegisterTestStrings(); }
  // Reads bytes as a file by name into config.
  eFilerError ReadBytes(TestConfig& config, const std::string& bytes, int noCheck = 0);

  ScopedFilerStatics statics_;
  RecordingUserInterface ui_;
  ScopedUserInterface scoped_{ui_};
  TempDir dir_;
};

}  // namespace helvo::testing
