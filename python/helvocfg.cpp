// The Python module `helvocfg`: the library's configurations for fleet scripts. A thin face: every
// value, change and finding comes from the library, as the command-line tool prints them; this file
// only turns them into Python objects and exceptions. Messages a call shows are collected on the
// object (never printed), long calls release the GIL, and each configuration serialises its own calls.
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "helvo/engine/filer.h"
#include "helvo/host/settings_file.h"
#include "helvo/model/class_tables.h"
#include "helvo/model/helvo_cfg.h"
#include "helvo/model/records.h"
#include "helvo/platform/text_encoding.h"
#include "helvo/platform/user_interface.h"

namespace py = pybind11;

namespace helvopy {

using namespace helvo;

// One message a call showed, as the tool would print it.
struct Message {
  std::string kind;  // "error", "warning" or "note"
  std::string text;  // UTF-8
  int line = 0;      // line in the file (the CRC line is 1); 0 when none
  std::string section;

  std::string Repr() const {
    std::string out = "<helvocfg.Message " + kind;
    if (line) out += " line " + std::to_string(line);
    if (!section.empty()) out += " [" + section + "]";
    return out + ": " + text + ">";
  }
};

const char* KindOf(unsigned style) {
  switch (style & 0xF0u) {
    case MB_ICONERROR:
      return "error";
    case MB_ICONWARNING:
      return "warning";
    default:
      return "note";
  }
}

// Collects what the library shows on the calling thread while it lives; dialogs answer Continue
// (the module never asks: a script decides from the scan itself).
class Collector final : public UserInterface {
 public:
  Collector() : installed_(SetThreadUserInterface(this)) {}
  ~Collector() override { SetThreadUserInterface(installed_); }
  Collector(const Collector&) = delete;
  Collector& operator=(const Collector&) = delete;

  int MessageBox(CWnd* parent, const std::string& text, const std::string& title, unsigned style) override {
    return MessageBoxAt(parent, text, title, style, {});
  }
  int MessageBoxAt(CWnd*, const std::string& text, const std::string&, unsigned style,
                   const MessageContext& where) override {
    messages.push_back({KindOf(style), Cp1252ToUtf8(text), where.line, Cp1252ToUtf8(where.section)});
    return (style & 0x0Fu) == MB_YESNO ? IDYES : IDOK;
  }
  int ShowDialog(CWnd*, const DialogModel&) override { return IDOK; }

  std::vector<Message> messages;

 private:
  UserInterface* installed_;
};

// helvocfg.Error, raised with the library's result code, the file and the messages shown.
PyObject* g_error = nullptr;

[[noreturn]] void RaiseError(const std::string& text, int code, const std::string& path,
                             const std::vector<Message>& messages) {
  py::gil_scoped_acquire gil;
  py::object error = py::reinterpret_borrow<py::object>(g_error)(text);
  error.attr("code") = code;
  error.attr("path") = path;
  error.attr("messages") = py::cast(messages);
  PyErr_SetObject(g_error, error.ptr());
  throw py::error_already_set();
}

int OwnVersion(const CHelvoCfg& cfg) {
  const CIdCfg* id = cfg.GetIdCfg();
  return id ? id->m_nSettingsVers : 0;
}

// A loaded configuration. Calls on one object are serialised; different objects run in parallel.
class Config {
 public:
  Config(OpenedSettingsFile opened, std::string path, std::vector<Message> messages)
      : opened_(std::move(opened)), path_(std::move(path)), messages_(std::move(messages)) {}

  const std::vector<Message>& messages() const { return messages_; }
  const std::string& path() const { return path_; }

  int version() {
    std::lock_guard lock(mutex_);
    return OwnVersion(cfg());
  }
  int generation() {
    std::lock_guard lock(mutex_);
    return CHelvoCfg::m_iIedGen;
  }
  int boards() {
    const int g = generation();
    return g >= 1 && g <= kNumGenerations ? CHelvoCfg::NumDspsByGen[g - 1] : 0;
  }
  int frequency() {
    std::lock_guard lock(mutex_);
    const CIdCfg* id = cfg().GetIdCfg();
    return id ? id->m_nSystemFrequency : 0;
  }

  std::vector<std::string> Scan(int version) {
    std::vector<std::string> lines;
    {
      py::gil_scoped_release release;
      std::lock_guard lock(mutex_);
      Collector collector;
      StringList scanned;
      cfg().PreDumpScan(scanned, version);
      for (const std::string& line : scanned) lines.push_back(Cp1252ToUtf8(line));
    }
    return lines;
  }

  void Save(const std::string& path, std::optional<int> version) {
    std::vector<Message> shown;
    int saved = 0;
    {
      py::gil_scoped_release release;
      std::lock_guard lock(mutex_);
      Collector collector;
      saved = version ? cfg().WriteCfgFile(path, *version, nullptr) : cfg().WriteCfgFile(path, nullptr);
      shown = std::move(collector.messages);
    }
    if (!saved)
      RaiseError(path + ": " + cFilerContainer::ErrorString(eFilerWriteError), eFilerWriteError, path, shown);
  }

  std::string Repr() {
    return "<helvocfg.Config " + path_ + " version " + std::to_string(version()) + ">";
  }

  CHelvoCfg& cfg() { return *opened_.cfg; }

 private:
  OpenedSettingsFile opened_;
  std::string path_;
  std::vector<Message> messages_;
  std::mutex mutex_;
};

std::unique_ptr<Config> Load(const std::string& path, bool checkCrc) {
  OpenedSettingsFile opened;
  std::vector<Message> shown;
  {
    py::gil_scoped_release release;
    Collector collector;
    opened = OpenSettingsFile(path, !checkCrc);
    shown = std::move(collector.messages);
  }
  if (!opened.cfg)
    RaiseError(path + ": " + cFilerContainer::ErrorString(opened.result), opened.result, path, shown);
  return std::make_unique<Config>(std::move(opened), path, std::move(shown));
}

}  // namespace helvopy

PYBIND11_MODULE(helvocfg, m) {
  using namespace helvopy;
  m.doc() = R"(Recorder settings files for scripts.

Load a settings file with load(), read and change its values with Config.get() and Config.set()
(selectors "SECTION/KEY", as the file writes them), see what an older setting version would lose with
Config.scan(), and save with Config.save(). Messages the library shows while loading or saving are
collected on the objects, never printed. Texts are str, decoded from the file's 8-bit text
(Windows-1252).)";

  static py::exception<void> error(m, "Error");
  g_error = error.ptr();
  py::setattr(error, "__doc__",
              py::str("A settings file could not be read or written. Attributes: code (the library's result "
                      "code: 1 open, 2 read, 3 write, 4 CRC error), path, messages."));

  py::class_<Message>(m, "Message", "A message the library showed while loading or saving.")
      .def_readonly("kind", &Message::kind, "'error', 'warning' or 'note'.")
      .def_readonly("text", &Message::text, "The message's text.")
      .def_readonly("line", &Message::line, "The line of the file it concerns (the CRC line is 1); 0 when none.")
      .def_readonly("section", &Message::section, "The section it concerns (header without brackets), or ''.")
      .def("__repr__", &Message::Repr);

  py::class_<Config>(m, "Config", "One recorder configuration loaded from a settings file.")
      .def_property_readonly("messages", &Config::messages, "The messages loading showed (list of Message).")
      .def_property_readonly("path", &Config::path, "The file it was loaded from.")
      .def_property_readonly("version", &Config::version, "The setting-file version (SETTINGS_VERS).")
      .def_property_readonly("generation", &Config::generation, "The recorder generation, 1 to 4.")
      .def_property_readonly("boards", &Config::boards, "The number of DSP boards, 1 or 2.")
      .def_property_readonly("frequency", &Config::frequency, "The system frequency in Hz (50 or 60).")
      .def("scan", &Config::Scan, py::arg("version"),
           "The lines of what saving at version would lose; empty when nothing is lost.")
      .def("save", &Config::Save, py::arg("path"), py::arg("version") = py::none(),
           "Saves atomically at version (the file's own when None). Never asks: call scan() first to see "
           "what an older version loses. Raises Error when the file cannot be written.")
      .def("__repr__", &Config::Repr);

  m.def("load", &Load, py::arg("path"), py::arg("check_crc") = true,
        "Loads the settings file at path. Raises Error (with .code and .path) when it cannot be read or its "
        "CRC does not match (check_crc=False skips that check). A file marked as new is not deleted.");
}
