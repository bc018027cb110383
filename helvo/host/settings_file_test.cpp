#include "helvo/host/settings_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdio>
#include <thread>

#include "helvo/model/helvo_cfg.h"
#include "helvo/platform/file_io.h"
#include "helvo/platform/user_interface.h"
#include "helvo/testing/test_model.h"

namespace helvo {
namespace {

std::string Example(const char* name) {
  std::string bytes;
  ReadWholeFile(std::string(HELVO_EXAMPLES_DIR "/") + name, bytes);
  return bytes;
}

TEST(OpenSettingsFile, KeepsAFileMarkedNewAndReadsPipesAndRefusesEndlessStreams) {
  RecordingUserInterface sink;
  ScopedUserInterface installed(sink);
  testing::TempDir dir;
  std::string marked = Example("recorder.cfg");
  marked.insert(marked.find("[ID]\r\n") + 6, "NEWFILE=1\r\n");
  const std::string path = dir.Write("new.cfg", marked);
  OpenedSettingsFile opened = OpenSettingsFile(path, true);
  ASSERT_TRUE(opened.cfg);
  EXPECT_EQ(opened.cfg->m_strFilePath, path);
  EXPECT_EQ(opened.bytes, marked);
  struct stat st;
  EXPECT_EQ(::stat(path.c_str(), &st), 0) << "the marked file was deleted";

  // A pipe is read once, and the configuration comes from what was read.
  const std::string fifo = dir.File("pipe.cfg");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  const std::string example = Example("recorder-v7.cfg");
  std::thread writer([&] {
    if (std::FILE* out = std::fopen(fifo.c_str(), "wb")) {
      std::fwrite(example.data(), 1, example.size(), out);
      std::fclose(out);
    }
  });
  opened = OpenSettingsFile(fifo, false);
  writer.join();
  ASSERT_TRUE(opened.cfg);
  EXPECT_EQ(opened.result, eFilerNoError);

  EXPECT_EQ(OpenSettingsFile("/dev/zero", false).result, eFilerReadError);
  EXPECT_EQ(OpenSettingsFile(dir.File("missing.cfg"), false).result, eFilerOpenError);
  EXPECT_TRUE(sink.messages.empty());
}

}  // namespace
}  // namespace helvo
