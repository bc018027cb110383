// A small host of the settings-file engine: reads a settings file, checks its CRC, reports its
// sections, and writes it back with a freshly computed CRC line.
//
//   helvo-demo IN [OUT]
#include <cstdio>
#include <string>

#include "helvo/engine/settings_text.h"
#include "helvo/platform/file_io.h"

using namespace helvo;

int main(int argc, char** argv) {
  if (argc < 2 || argc > 3) {
    std::fprintf(stderr, "usage: helvo-demo IN [OUT]\n");
    return 2;
  }
  const std::string in = argv[1];
  StringList lines;
  std::uint16_t crc = 0;
  const eFilerError result = ReadSettingsLines(in, lines, false, false, &crc);
  if (result != eFilerNoError) {
    std::fprintf(stderr, "%s: %s\n", in.c_str(), cFilerContainer::ErrorString(result));
    return 1;
  }
  int sections = 0, keys = 0;
  for (const std::string& line : lines) {
    if (line.size() >= 3 && line[0] == '[' && line.find(']') != std::string::npos)
      ++sections;
    else if (line.find('=') != std::string::npos)
      ++keys;
  }
  std::printf("%s: CRC %04x ok, %d sections, %d key lines\n", in.c_str(), crc, sections, keys);
  if (argc == 3) {
    // The reader's view starts with the empty remainder of the CRC line and the blank line after it;
    // the image builder writes those itself.
    for (int k = 0; k < 2 && !lines.IsEmpty() && lines.GetHead().empty(); ++k) lines.RemoveHead();
    if (!ReplaceFileAtomically(argv[2], BuildSettingsImage(lines))) {
      std::fprintf(stderr, "%s: %s\n", argv[2], cFilerContainer::ErrorString(eFilerWriteError));
      return 1;
    }
    std::printf("wrote %s\n", argv[2]);
  }
  return 0;
}
