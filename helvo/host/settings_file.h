// A settings file opened for a person who inspects or edits it (the tool, the Python module, a host's
// review pane): it is read once into memory (at most the largest settings file the reader accepts),
// and loading never deletes it, also when its identification record marks it as a one-time new file
// (the configuration's own load by path deletes such a file once it has read it). The messages the
// load shows go through the calling thread's sink as for any load.
#pragma once

#include <memory>
#include <string>

#include "helvo/engine/filer.h"

namespace helvo {

class CHelvoCfg;

struct OpenedSettingsFile {
  std::unique_ptr<CHelvoCfg> cfg;  // none unless result is eFilerNoError
  std::string bytes;               // the file as read (empty when it could not be read)
  eFilerError result = eFilerOpenError;
};

// Reads the file at path whole, within the reader's size limit: eFilerNoError, eFilerOpenError when it
// cannot be opened, eFilerReadError when it cannot be read or is larger than any settings file.
eFilerError ReadSettingsBytes(const std::string& path, std::string& bytes);

// Loads the settings file at path into a new configuration (noCheck: skip the CRC comparison). On
// success cfg's m_strFilePath is path.
OpenedSettingsFile OpenSettingsFile(const std::string& path, bool noCheck);

// Loads a settings file's text into a new configuration, as OpenSettingsFile loads the file (through a
// private copy, so that what a load by path does to the header values is done here too).
OpenedSettingsFile OpenSettingsText(const std::string& bytes, bool noCheck);

// True when the identification section of bytes marks the file as a one-time new file (NEWFILE
// other than 0).
bool MarkedAsNewFile(const std::string& bytes);

}  // namespace helvo
