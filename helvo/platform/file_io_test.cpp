#include "helvo/platform/file_io.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "helvo/testing/test_model.h"

namespace helvo {
namespace {

using testing::TempDir;

TEST(FileIo, ReadStatusTellsMissingFileFromMissingFolder) {
  TempDir dir;
  std::string data = "unchanged";
  EXPECT_EQ(ReadWholeFile(dir.File("none"), data), ReadStatus::kNotFound);
  EXPECT_EQ(ReadWholeFile(dir.File("none/x"), data), ReadStatus::kFailed);
  EXPECT_EQ(ReadWholeFile(dir.path(), data), ReadStatus::kFailed);
  EXPECT_EQ(data, "unchanged");
  const std::string bytes("a\0b\r\n", 5);
  EXPECT_EQ(ReadWholeFile(dir.Write("f", bytes), data), ReadStatus::kOk);
  EXPECT_EQ(data, bytes);
}

TEST(FileIo, ReplaceIsAllOrNothing) {
  TempDir dir;
  const std::string path = dir.Write("cfg", "old");
  ASSERT_EQ(chmod(path.c_str(), 0640), 0);
  ASSERT_TRUE(ReplaceFileAtomically(path, "new contents"));
  EXPECT_EQ(dir.Read("cfg"), "new contents");
  struct stat st {};
  ASSERT_EQ(stat(path.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0640u);  // an existing file keeps its permissions

  // A write that fails midway leaves the old file and no temporary file.
  bool replaced;
  {
    testing::ScopedFileSizeLimit limit(64);
    replaced = ReplaceFileAtomically(path, std::string(1000, 'z'));
  }
  EXPECT_FALSE(replaced);
  EXPECT_EQ(LastWriteError(), EFBIG);  // the system's reason is kept for the caller
  EXPECT_EQ(dir.Read("cfg"), "new contents");

  ASSERT_EQ(mkdir(dir.File("sub").c_str(), 0755), 0);
  EXPECT_FALSE(ReplaceFileAtomically(dir.File("sub"), "x"));
  EXPECT_EQ(LastWriteError(), EISDIR);
  EXPECT_FALSE(ReplaceFileAtomically(dir.File("missing/cfg"), "x"));
  EXPECT_EQ(LastWriteError(), ENOENT);
  EXPECT_FALSE(ReplaceFileAtomically("", "x"));
  EXPECT_EQ(dir.Names(), (std::vector<std::string>{"cfg", "sub"}));

  // Through a symbolic link the named file changes and the link stays a link.
  ASSERT_EQ(symlink(path.c_str(), dir.File("link").c_str()), 0);
  ASSERT_TRUE(ReplaceFileAtomically(dir.File("link"), "via link"));
  EXPECT_EQ(LastWriteError(), 0);
  EXPECT_EQ(dir.Read("cfg"), "via link");
  struct stat link {};
  EXPECT_TRUE(lstat(dir.File("link").c_str(), &link) == 0 && S_ISLNK(link.st_mode));
  ASSERT_EQ(unlink(dir.File("link").c_str()), 0);

  ASSERT_TRUE(ReplaceFileAtomically(dir.File("fresh"), ""));
  EXPECT_EQ(dir.Read("fresh"), "");
  EXPECT_TRUE(RemoveFile(dir.File("fresh")));
  EXPECT_FALSE(RemoveFile(dir.File("fresh")));
}

}  // namespace
}  // namespace helvo
