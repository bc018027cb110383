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
#include "helvo/review/review.h"
#include "summary.h"

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
    messages.push_back({MessageKind(style), Cp1252ToUtf8(text), where.line, Cp1252ToUtf8(where.section)});
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

std::string Text(const std::string& fileText) {
  return Cp1252ToUtf8(fileText);
}

// The file's 8-bit text of a value given as str; ValueError when it cannot hold a character.
std::string FileText(const std::string& utf8) {
  std::string out;
  if (!Utf8ToCp1252(utf8, out))
    throw py::value_error("'" + utf8 + "' holds a character a settings file cannot hold (Windows-1252)");
  return out;
}

// Kind names of the classes, by class number.
const char* KindName(int cls) {
  static constexpr const char* kNames[] = {"element",
                                           "analog",
                                           "digital",
                                           "summation",
                                           "sequence",
                                           "impedance",
                                           "watts_vars",
                                           "identification",
                                           "limits",
                                           "frequency",
                                           "meter_group",
                                           "logic",
                                           "fault_locator",
                                           "trend",
                                           "channel_group",
                                           "recorder",
                                           "pf_detector",
                                           "storage_alarms",
                                           "pmu_phasor",
                                           "pmu",
                                           "cdr_channel",
                                           "cdr",
                                           "end"};
  return cls >= 0 && cls < static_cast<int>(std::size(kNames)) ? kNames[cls] : "other";
}

// A section as a save at the file's own version writes it.
struct PySection {
  std::string header;
  std::string name;
  std::string kind;
  py::dict keys;

  std::string Repr() const { return "<helvocfg.Section [" + header + "] " + name + ">"; }
};

// A difference between two configurations.
struct PyChange {
  std::string section;  // '' for the header
  std::string name;
  std::string key;  // '' for a whole section only in one of them
  std::optional<std::string> oldValue, newValue;

  std::string Repr() const {
    return "<helvocfg.Change [" + section + "] " + key + ": " + oldValue.value_or("(none)") + " -> " +
           newValue.value_or("(none)") + ">";
  }
};

// A finding of lint.
struct PyFinding {
  std::string rule, section, key, text;
  int line = 0;

  std::string Repr() const {
    return "<helvocfg.Finding " + std::to_string(line) + " [" + section + "] " + key + ": " + text + " [" +
           rule + "]>";
  }
};

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
    return cfg().m_State.m_iIedGen;
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
      const StringList scanned = VersionScan(cfg(), version);
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
      // A save at a chosen version makes the configuration one of that version, with a new set date.
      if (version) textIsRead_ = false;
      shown = std::move(collector.messages);
    }
    if (!saved)
      RaiseError(path + ": " + cFilerContainer::ErrorString(eFilerWriteError), eFilerWriteError, path, shown);
  }

  std::string Get(const std::string& selectorText) {
    Selector selector;
    if (!ParseSelector(FileText(selectorText), selector))
      throw py::key_error("'" + selectorText + "' is not SECTION/KEY");
    std::string value, error;
    ReviewStatus status = ReviewStatus::kOk;
    {
      py::gil_scoped_release release;
      std::lock_guard lock(mutex_);
      const KeyValue* found = nullptr;
      status = GetValue(Listing(), selector, found, error);
      if (found) value = found->value;
    }
    if (status != ReviewStatus::kOk) throw py::key_error(Text(error));
    return Text(value);
  }

  void Set(const std::string& selectorText, const std::string& value) {
    Assignment assignment;
    if (!ParseSelector(FileText(selectorText), assignment.selector))
      throw py::key_error("'" + selectorText + "' is not SECTION/KEY");
    assignment.value = FileText(value);
    ReviewStatus status = ReviewStatus::kOk;
    std::string error;
    {
      py::gil_scoped_release release;
      std::lock_guard lock(mutex_);
      Collector collector;
      std::unique_ptr<CHelvoCfg> changed;
      std::string image;
      status = textIsRead_ ? SetValues(cfg(), text_, {assignment}, changed, image, error)
                           : SetValues(cfg(), {assignment}, changed, image, error);
      if (status == ReviewStatus::kOk) {
        opened_.cfg = std::move(changed);
        listing_.reset();
        text_ = std::move(image);  // the file the changed configuration was read from
        textIsRead_ = true;
      }
    }
    if (status == ReviewStatus::kUnknownSection || status == ReviewStatus::kUnknownKey)
      throw py::key_error(Text(error));
    if (status != ReviewStatus::kOk) throw py::value_error(Text(error));
  }

  std::vector<PySection> Sections() {
    std::vector<SectionValues> sections;
    {
      py::gil_scoped_release release;
      std::lock_guard lock(mutex_);
      sections = Listing().sections;
    }
    std::vector<PySection> out;
    for (const SectionValues& s : sections) {
      PySection section{Text(s.header), Text(s.name), KindName(s.cls), py::dict()};
      for (const KeyValue& k : s.keys) section.keys[py::str(Text(k.key))] = Text(k.value);
      out.push_back(std::move(section));
    }
    return out;
  }

  std::vector<PyFinding> LintFindings() {
    std::vector<helvo::Finding> found;
    {
      py::gil_scoped_release release;
      std::lock_guard lock(mutex_);
      // Lint judges a configuration as just loaded from its text, as the tool does.
      OpenedSettingsFile fresh = Fresh();
      if (fresh.cfg) found = Lint(*fresh.cfg, text_);
    }
    std::vector<PyFinding> out;
    for (const helvo::Finding& f : found)
      out.push_back({f.rule, Text(f.section), Text(f.key), Text(f.text), f.line});
    return out;
  }

  py::object ToDict() {
    std::string json;
    {
      py::gil_scoped_release release;
      std::lock_guard lock(mutex_);
      OpenedSettingsFile fresh = Fresh();
      if (fresh.cfg) {
        const helvocli::Summary summary =
            helvocli::Summarize(*fresh.cfg, path_, helvocli::ReadCrcState(text_));
        json = helvocli::ShowDocument(summary, ListValues(*fresh.cfg))
                   .dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
      }
    }
    return py::module_::import("json").attr("loads")(json);
  }

  // The listing of the configuration as it stands; made on first use.
  const ValueListing& Listing() {
    if (!listing_) {
      Collector collector;
      listing_ = ListValues(cfg());
    }
    return *listing_;
  }

  std::string Repr() { return "<helvocfg.Config " + path_ + " version " + std::to_string(version()) + ">"; }

  CHelvoCfg& cfg() { return *opened_.cfg; }
  std::mutex& Mutex() { return mutex_; }

 private:
  // A configuration loaded afresh from the text as it stands (the file's, or the set values'), as the
  // tool loads a file; its messages are the load's own, already on .messages.
  OpenedSettingsFile Fresh() {
    Collector collector;
    return OpenSettingsText(text_, true);
  }
  OpenedSettingsFile opened_;
  std::optional<ValueListing> listing_;
  std::string text_ = opened_.bytes;
  bool textIsRead_ = true;  // the configuration is what text_ reads as (no save at another version since)
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

std::vector<PyChange> Diff(Config& a, Config& b) {
  std::vector<helvo::Change> found;
  {
    py::gil_scoped_release release;
    if (&a == &b) {
      std::lock_guard lock(a.Mutex());
      found = DiffListings(a.Listing(), a.Listing());
    } else {
      // Both locks at once, so that diff(a, b) and diff(b, a) in two threads cannot deadlock.
      std::scoped_lock lock(a.Mutex(), b.Mutex());
      found = DiffListings(a.Listing(), b.Listing());
    }
  }
  std::vector<PyChange> out;
  auto text = [](const std::optional<std::string>& v) {
    return v ? std::optional<std::string>(Text(*v)) : std::nullopt;
  };
  for (const helvo::Change& c : found)
    out.push_back({Text(c.section), Text(c.name), Text(c.key), text(c.oldValue), text(c.newValue)});
  return out;
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
      .def_readonly("line", &Message::line,
                    "The line of the file it concerns (the CRC line is 1); 0 when none.")
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
      .def("get", &Config::Get, py::arg("selector"),
           "The value at selector ('SECTION/KEY', e.g. 'ANALOG_INPUT1-1/H_MAG_T') exactly as a save at the "
           "file's own version writes it. KeyError for an unknown section or key.")
      .def("set", &Config::Set, py::arg("selector"), py::arg("value"),
           "Sets the value at selector through its key's own conversion. ValueError when the value does not "
           "come back as given (not a number, out of range, a reference that names nothing, a character the "
           "file cannot hold); KeyError for an unknown section or key. Nothing is written until save().")
      .def("sections", &Config::Sections,
           "The sections a save at the file's own version writes, in file order (list of Section).")
      .def(
          "lint", &Config::LintFindings,
          "What loading took silently: dangling references, undefined inputs, implicit elements, what the "
          "next save drops, input loops, invalid logic, count mismatches, duplicate names (list of Finding).")
      .def("to_dict", &Config::ToDict,
           "The configuration as one document: the document `helvocfg show --json` prints (schema 2).")
      .def("__repr__", &Config::Repr);

  py::class_<PySection>(m, "Section", "A section as a save at the file's own version writes it.")
      .def_readonly("header", &PySection::header, "The header without brackets, as in selectors.")
      .def_readonly("name", &PySection::name, "The function's, element's, group's or record's name, or ''.")
      .def_readonly("kind", &PySection::kind,
                    "What the section holds: 'analog', 'summation', 'meter_group', ...")
      .def_readonly("keys", &PySection::keys, "The keys and their values as written, in file order (dict).")
      .def("__repr__", &PySection::Repr);

  py::class_<PyChange>(m, "Change", "One difference between two configurations.")
      .def_readonly("section", &PyChange::section,
                    "The section header as in selectors; '' for the file header.")
      .def_readonly("name", &PyChange::name, "The name of the section's function, element or group.")
      .def_readonly("key", &PyChange::key, "The key; '' when the whole section is only in one file.")
      .def_readonly("old", &PyChange::oldValue, "The value in the first configuration; None when absent.")
      .def_readonly("new", &PyChange::newValue, "The value in the second configuration; None when absent.")
      .def("__repr__", &PyChange::Repr);

  py::class_<PyFinding>(m, "Finding", "One finding of lint.")
      .def_readonly("rule", &PyFinding::rule, "The rule's stable id, e.g. 'dangling-reference'.")
      .def_readonly("section", &PyFinding::section, "The section header.")
      .def_readonly("key", &PyFinding::key, "The key, or '' for the whole section.")
      .def_readonly("line", &PyFinding::line, "The line in the file (the CRC line is 1).")
      .def_readonly("text", &PyFinding::text, "What is wrong.")
      .def("__repr__", &PyFinding::Repr);

  m.def("diff", &Diff, py::arg("a"), py::arg("b"),
        "The differences from configuration a to b: header values, then section by section and key by key "
        "in file order; references compare by the name of what they refer to (list of Change).");

  m.def("load", &Load, py::arg("path"), py::arg("check_crc") = true,
        "Loads the settings file at path. Raises Error (with .code and .path) when it cannot be read or its "
        "CRC does not match (check_crc=False skips that check). A file marked as new is not deleted.");
}
