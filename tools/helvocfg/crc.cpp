#include "commands.h"

#include <cstdio>

#include "helvo/engine/filer.h"
#include "helvo/platform/file_io.h"
#include "summary.h"
#include "terminal_ui.h"

namespace helvocli {

using namespace helvo;

int Crc(const std::string& file, bool fix) {
  std::string bytes;
  if (ReadWholeFile(file, bytes) != ReadStatus::kOk) {
    PrintError(file + ": " + cFilerContainer::ErrorString(eFilerOpenError));
    return kExitFileError;
  }
  if (bytes.size() < 6) {
    PrintError(file + ": too short for a settings file");
    return kExitFileError;
  }
  const CrcState crc = ReadCrcState(bytes);
  std::printf("stored   %s\ncomputed %s\n", crc.stored.c_str(), crc.computed.c_str());
  if (!fix || crc.state == "valid") return kExitOk;
  bytes.replace(0, 4, crc.computed);
  if (!ReplaceFileAtomically(file, bytes)) {
    PrintError(file + ": " + cFilerContainer::ErrorString(eFilerWriteError));
    return kExitFileError;
  }
  std::printf("fixed    %s\n", crc.computed.c_str());
  return kExitOk;
}

}  // namespace helvocli
