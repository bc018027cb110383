// Every damaged copy of the bundled examples, each byte changed in turn and each truncation, is
// either refused with a result code or loaded: nothing crashes, leaks or hangs (the suite also runs
// under the sanitizers). With the CRC comparison on, a change anywhere after the CRC line's first
// five bytes is reported as an invalid CRC by both the by-name and the memory-image reader.
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "helvo/model/helvo_cfg.h"
#include "helvo/platform/file_io.h"
#include "helvo/testing/cfg_fixture.h"
#include "helvo/testing/fuzz_targets.h"

namespace helvo {
namespace {

class CorruptionTest : public testing::CfgTest {
 protected:
  CorruptionTest() {
    for (const auto& e : std::filesystem::directory_iterator(HELVO_EXAMPLES_DIR))
      if (e.path().extension() == ".cfg") {
        std::string bytes;
        EXPECT_EQ(ReadWholeFile(e.path().string(), bytes), ReadStatus::kOk);
        examples_.emplace_back(e.path().filename().string(), std::move(bytes));
      }
  }
  static const std::uint8_t* Data(const std::string& s) {
    return reinterpret_cast<const std::uint8_t*>(s.data());
  }

  std::vector<std::pair<std::string, std::string>> examples_;  // name, content
  testing::TempDir shm_ = testing::TempDir::InMemory();
};

TEST_F(CorruptionTest, EveryChangedByteAfterTheCrcFieldIsRefusedForItsCrc) {
  ASSERT_FALSE(examples_.empty());
  EXPECT_STREQ(cFilerContainer::ErrorString(eFilerCRCError), "File has invalid CRC");
  // A refused read leaves a configuration as it was, so two serve every case until one loads.
  auto byName = std::make_unique<CHelvoCfg>(), inMemory = std::make_unique<CHelvoCfg>();
  const std::string path = shm_.File("damaged.cfg");
  auto read = [&](std::string bad, eFilerError& fromPath, eFilerError& fromImage) {
    shm_.Write("damaged.cfg", bad);
    fromPath = byName->ReadCfgFile(path, 0);
    fromImage = inMemory->ReadCfgFile(bad.data(), bad.size(), 0);
    if (fromPath == eFilerNoError) byName = std::make_unique<CHelvoCfg>();
    if (fromImage == eFilerNoError) inMemory = std::make_unique<CHelvoCfg>();
  };
  int cases = 0;
  for (const auto& [name, good] : examples_) {
    SCOPED_TRACE(name);
    eFilerError fromPath, fromImage;
    for (std::size_t i = 0; i < good.size(); ++i)
      for (unsigned mask : {0x01u, 0x02u, 0x04u, 0x08u, 0x10u, 0x20u, 0x40u, 0x80u, 0xFFu}) {
        std::string bad = good;
        bad[i] = static_cast<char>(bad[i] ^ mask);
        read(bad, fromPath, fromImage);
        ++cases;
        // Within the field byte 4 is not looked at, and a hex letter may change its case.
        const eFilerError expected = i >= 5 || !fuzzing::CrcFieldValid(bad) ? eFilerCRCError : eFilerNoError;
        ASSERT_EQ(fromPath, expected) << "byte " << i << " mask " << mask;
        ASSERT_EQ(fromImage, expected) << "byte " << i << " mask " << mask;
      }
    for (std::size_t n = 0; n < good.size(); ++n, ++cases) {
      const std::string cut = good.substr(0, n);
      read(cut, fromPath, fromImage);
      if (n >= 5 && fuzzing::CrcFieldValid(cut)) continue;  // a cut whose CRC happens to match
      const eFilerError expected = n < 5 ? eFilerReadError : eFilerCRCError;
      ASSERT_EQ(fromPath, expected) << "length " << n;
      ASSERT_EQ(fromImage, expected) << "length " << n;
    }
  }
  RecordProperty("cases", cases);
}

TEST_F(CorruptionTest, DamagedFilesReadPastTheCrcLoadOrAreRefusedCleanly) {
  int cases = 0;
  for (const auto& [name, good] : examples_) {
    SCOPED_TRACE(name);
    for (std::size_t i = 0; i < good.size(); ++i, ++cases) {
      std::string bad = good;
      bad[i] = static_cast<char>(bad[i] ^ (i % 2 ? 0xFF : 1 << (i / 2 % 8)));
      ASSERT_EQ(fuzzing::ImageReader(Data(bad), bad.size(), true), "") << "byte " << i;
    }
    // Every truncation loads or is refused; every 16th also saves and reloads to the same file.
    for (std::size_t n = 0; n <= good.size(); ++n, ++cases) {
      ASSERT_EQ(fuzzing::ImageReader(Data(good), n, true), "") << "length " << n;
      if (n % 16 == 0) {
        ASSERT_EQ(fuzzing::SaveRoundTrip(Data(good), n, shm_.path(), true), "") << "length " << n;
      }
    }
  }
  RecordProperty("cases", cases);
}

}  // namespace
}  // namespace helvo
