#include "commands.h"

#include <cstdio>

#include "helvo/engine/filer.h"
#include "helvo/platform/file_io.h"
#include "helvo/platform/text_encoding.h"
#include "summary.h"
#include "terminal_ui.h"
#include "tool_common.h"

namespace helvocli {

using namespace helvo;

int Crc(const CrcOptions& options) {
  TerminalUserInterface ui;
  ScopedUserInterface scoped(ui);
  ui.SetFile(options.file);
  std::string bytes;
  if (!ReadForTool(options.file, bytes)) return kExitFileError;
  if (bytes.size() < 6) {
    PrintError("too short for a settings file");
    return kExitFileError;
  }
  const CrcState crc = ReadCrcState(bytes);
  std::printf("stored   %s\ncomputed %s\n", Cp1252ToUtf8(crc.stored).c_str(), crc.computed.c_str());
  if (crc.state == "valid") return kExitOk;
  if (!options.fix) return crc.state == "unchecked" ? kExitOk : kExitMessages;
  if (crc.state == "unchecked" && !options.force) {
    std::printf("kept     %s (the file is marked to be read unchecked; --force replaces the mark)\n",
                crc.stored.c_str());
    return kExitOk;
  }
  // Only the four characters of a real CRC line are replaced: anything else is not a settings file,
  // and writing into it would damage it.
  if (bytes.compare(4, 4, "\r\n\r\n") != 0) {
    PrintError("the first line is not four characters followed by CR LF and an empty line: not fixed");
    return kExitFileError;
  }
  bytes.replace(0, 4, crc.computed);
  if (!ReplaceFileAtomically(options.file, bytes)) {
    PrintError(WriteFailure());
    return kExitFileError;
  }
  std::printf("fixed    %s\n", crc.computed.c_str());
  return kExitOk;
}

}  // namespace helvocli
