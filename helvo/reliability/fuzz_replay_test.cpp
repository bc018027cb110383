// Replays the committed fuzz corpora and every input that once broke a fuzz target (fuzz/regressions)
// through the same property checks the fuzz programs make, so that ordinary test runs keep them.
#include <algorithm>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "helvo/platform/file_io.h"
#include "helvo/testing/cfg_fixture.h"
#include "helvo/testing/fuzz_targets.h"

namespace helvo {
namespace {

namespace fs = std::filesystem;
using FuzzReplayTest = testing::CfgTest;

TEST_F(FuzzReplayTest, CorporaAndPastFindingsKeepTheirProperties) {
  using Check = std::function<std::string(const std::uint8_t*, std::size_t)>;
  const testing::TempDir shm = testing::TempDir::InMemory();
  const std::string folder = shm.path();
  const std::vector<std::pair<std::string, Check>> targets = {
      {"image_reader", [](auto* d, auto n) { return fuzzing::ImageReader(d, n, true); }},
      {"line_reader", [](auto* d, auto n) { return fuzzing::LineReader(d, n); }},
      {"settings_store", [](auto* d, auto n) { return fuzzing::SettingsStoreReader(d, n); }},
      {"save_round_trip", [&](auto* d, auto n) { return fuzzing::SaveRoundTrip(d, n, folder, true); }},
      {"crc", [&](auto* d, auto n) { return fuzzing::CrcVerdict(d, n, folder); }},
  };
  const fs::path root = fs::path(HELVO_EXAMPLES_DIR).parent_path() / "fuzz";
  int replayed = 0;
  for (const auto& [name, check] : targets) {
    for (const char* kind : {"corpus", "regressions"}) {
      const fs::path dir = root / kind / name;
      if (!fs::is_directory(dir)) continue;
      std::vector<fs::path> files;
      for (const auto& e : fs::directory_iterator(dir)) files.push_back(e.path());
      std::sort(files.begin(), files.end());
      for (const fs::path& file : files) {
        std::string bytes;
        ASSERT_EQ(ReadWholeFile(file.string(), bytes), ReadStatus::kOk) << file;
        EXPECT_EQ(check(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()), "") << file;
        ++replayed;
      }
    }
  }
  EXPECT_GT(replayed, 0);
  RecordProperty("replayed", replayed);
}

TEST_F(FuzzReplayTest, EveryExampleAndCorpusFileSavesStably) {
  const testing::TempDir shm = testing::TempDir::InMemory();
  const fs::path examples(HELVO_EXAMPLES_DIR);
  std::vector<fs::path> files;
  for (const auto& e : fs::recursive_directory_iterator(examples.parent_path() / "fuzz" / "corpus"))
    if (e.is_regular_file()) files.push_back(e.path());
  for (const auto& e : fs::directory_iterator(examples))
    if (e.path().extension() == ".cfg") files.push_back(e.path());
  for (const fs::path& file : files) {
    std::string bytes;
    ASSERT_EQ(ReadWholeFile(file.string(), bytes), ReadStatus::kOk) << file;
    const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.data());
    EXPECT_EQ(fuzzing::SaveRoundTrip(data, bytes.size(), shm.path(), true), "") << file;
  }
}

}  // namespace
}  // namespace helvo
