// Saving when the system fails: every failing call of the file layer, injected one at a time, and the
// real failures a user meets (a full device, a file-size limit, a folder or a missing folder in the
// target's place, no permission). A failed save reports failure, keeps the previous file byte for
// byte and leaves no temporary file; a successful one keeps the previous file's permission bits.
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <memory>
#include <string>
#include <vector>

#include "helvo/model/helvo_cfg.h"
#include "helvo/platform/file_io.h"
#include "helvo/testing/cfg_fixture.h"

namespace helvo {
namespace {

constexpr const char* kNotSaved = "Unable to open the file - no permission to open the file for writing";

class SaveFailureTest : public testing::CfgTest {
 protected:
  SaveFailureTest() : cfg_(std::make_unique<CHelvoCfg>(HELVO_EXAMPLES_DIR "/recorder.cfg", 0)) {
    EXPECT_EQ(cfg_->m_eReadResult, eFilerNoError);
    ReadWholeFile(HELVO_EXAMPLES_DIR "/recorder.cfg", old_);
  }
  ~SaveFailureTest() override { SetFileFailureHook(nullptr); }

  // Saves at a version other than the example's, so that the new content differs from the old.
  int Save(const std::string& path) {
    ui_.Clear();
    return cfg_->WriteCfgFile(path, 201, nullptr);
  }
  void ExpectReportedFailure() {
    ASSERT_FALSE(ui_.messages.empty());
    EXPECT_EQ(ui_.messages.back().text, kNotSaved);
  }

  std::unique_ptr<CHelvoCfg> cfg_;
  std::string old_;
};

TEST_F(SaveFailureTest, EveryInjectedFailureKeepsTheOldFileAndNothingElse) {
  const std::string path = dir_.Write("target.cfg", old_);
  int injected = 0;
  for (FileCall call :
       {FileCall::kOpen, FileCall::kWrite, FileCall::kSync, FileCall::kClose, FileCall::kRename})
    for (bool always : {false, true}) {
      SCOPED_TRACE(::testing::Message()
                   << "call " << static_cast<int>(call) << (always ? " always" : " once"));
      ASSERT_EQ(chmod(path.c_str(), 0604), 0);
      for (int k = 1;; ++k) {
        ASSERT_LT(k, 50) << "the save never succeeded";
        int seen = 0;
        SetFileFailureHook([&](FileCall c) { return c == call && (always ? ++seen >= k : ++seen == k); });
        const int saved = Save(path);
        SetFileFailureHook(nullptr);
        EXPECT_EQ(dir_.Names(), std::vector<std::string>{"target.cfg"});
        if (saved) {
          EXPECT_GT(k, 1) << "no call failed";
          EXPECT_NE(dir_.Read("target.cfg"), old_);
          struct stat st {};
          ASSERT_EQ(stat(path.c_str(), &st), 0);
          EXPECT_EQ(st.st_mode & 07777, 0604u);
          dir_.Write("target.cfg", old_);
          break;
        }
        ++injected;
        EXPECT_EQ(dir_.Read("target.cfg"), old_) << "failure " << k;
        ExpectReportedFailure();
      }
    }
  RecordProperty("injected", injected);
}

TEST_F(SaveFailureTest, RealFailuresKeepWhatWasThere) {
  ASSERT_EQ(mkdir(dir_.File("folder").c_str(), 0755), 0);
  for (const std::string& target :
       {std::string("/dev/full"), dir_.File("folder"), dir_.File("missing/x.cfg")}) {
    SCOPED_TRACE(target);
    EXPECT_EQ(Save(target), 0);
    ExpectReportedFailure();
  }
  struct stat st {};
  EXPECT_TRUE(stat(dir_.File("folder").c_str(), &st) == 0 && S_ISDIR(st.st_mode));

  // A file-size limit below the file's size, in a child so that the limit stays there.
  const std::string path = dir_.Write("target.cfg", old_);
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    std::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{64, 64};
    const bool refused = setrlimit(RLIMIT_FSIZE, &limit) == 0 && Save(path) == 0 && !ui_.messages.empty() &&
                         ui_.messages.back().text == kNotSaved;
    _exit(refused ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the limited save did not fail as it should";
  EXPECT_EQ(dir_.Read("target.cfg"), old_);
  EXPECT_EQ(dir_.Names(), (std::vector<std::string>{"folder", "target.cfg"}));
}

TEST_F(SaveFailureTest, NoPermissionKeepsTheOldFile) {
  if (geteuid() == 0) GTEST_SKIP() << "running as root, which may write any file and folder";
  const std::string path = dir_.Write("target.cfg", old_);
  ASSERT_EQ(chmod(path.c_str(), 0444), 0);
  EXPECT_EQ(Save(path), 0) << "a read-only file was replaced";
  ExpectReportedFailure();
  ASSERT_EQ(chmod(path.c_str(), 0644), 0);
  ASSERT_EQ(chmod(dir_.path().c_str(), 0555), 0);
  EXPECT_EQ(Save(path), 0);
  ASSERT_EQ(chmod(dir_.path().c_str(), 0755), 0);
  EXPECT_EQ(dir_.Read("target.cfg"), old_);
  EXPECT_EQ(dir_.Names(), std::vector<std::string>{"target.cfg"});
}

}  // namespace
}  // namespace helvo
