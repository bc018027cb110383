// Private files the review features read text from by path, as every load reads a file.
#pragma once

#include <memory>
#include <string>

namespace helvo {

class CHelvoCfg;

// A private file holding data, in the temporary folder; removed with the object. path() is empty when
// it could not be made.
class ScratchFile {
 public:
  explicit ScratchFile(const std::string& data);
  ~ScratchFile();
  ScratchFile(const ScratchFile&) = delete;
  ScratchFile& operator=(const ScratchFile&) = delete;
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

// Reads a file image as a file is read (by path, from a private file), quietly. False, with error
// saying why (what names the text in it: "the changed values"), when it cannot be read or its load
// shows a message; cfg is then none.
bool ReadImageQuietly(const std::string& image, std::unique_ptr<CHelvoCfg>& cfg, const std::string& what,
                      std::string& error);

}  // namespace helvo
