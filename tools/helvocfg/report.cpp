// helvocfg report: one self-contained HTML page to review and sign a settings file. The diagram is
// drawn by Graphviz's dot, run as a child process; everything else comes from the library.
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <set>
#include <string_view>

#include "commands.h"
#include "helvo/engine/converters.h"
#include "helvo/functions/logic.h"
#include "helvo/host/host_settings.h"
#include "helvo/model/dsp_cfg.h"
#include "helvo/model/element_name.h"
#include "helvo/model/helvo_cfg.h"
#include "helvo/model/meter_group.h"
#include "helvo/model/phasor.h"
#include "helvo/model/pmu.h"
#include "helvo/model/records.h"
#include "helvo/model/trend.h"
#include "helvo/platform/file_io.h"
#include "helvo/platform/format.h"
#include "helvo/platform/text_encoding.h"
#include "helvo/report/signal_flow.h"
#include "helvo/review/review.h"
#include "report_page.h"
#include "summary.h"
#include "terminal_ui.h"
#include "tool_common.h"

extern char** environ;

namespace helvocli {

using namespace helvo;

namespace {

std::string Esc(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      case '\'':
        out += "&#39;";
        break;
      default:
        out += c;
    }
  }
  return out;
}

// Text read from the settings file, for the page.
std::string FromFile(const std::string& raw) {
  return Esc(Cp1252ToUtf8(raw));
}

std::string OrDash(const std::string& html) {
  return html.empty() ? "&mdash;" : html;
}

// Runs `dot -Tsvg` on dot and returns its output; none when dot cannot be started or fails.
std::optional<std::string> RunDot(const std::string& dot) {
  const char* tmp = std::getenv("TMPDIR");
  std::string path = std::string(tmp && *tmp ? tmp : "/tmp") + "/helvocfg-graph.XXXXXX";
  const int fd = mkstemp(path.data());
  if (fd < 0) return std::nullopt;
  close(fd);
  std::optional<std::string> svg;
  int out[2];
  if (ReplaceFileAtomically(path, dot) && pipe2(out, O_CLOEXEC) == 0) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    char arg0[] = "dot", arg1[] = "-Tsvg";
    char* argv[] = {arg0, arg1, path.data(), nullptr};
    pid_t pid = 0;
    const int spawned = posix_spawnp(&pid, "dot", &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    std::string text;
    char buffer[65536];
    for (ssize_t n; spawned == 0 && (n = read(out[0], buffer, sizeof buffer)) != 0;) {
      if (n < 0) {
        if (errno == EINTR) continue;
        break;
      }
      text.append(buffer, static_cast<size_t>(n));
    }
    close(out[0]);
    int status = 0;
    if (spawned == 0 && waitpid(pid, &status, 0) == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0) {
      const size_t start = text.find("<svg");
      if (start != std::string::npos) svg = text.substr(start);
    }
  }
  std::remove(path.c_str());
  return svg;
}

class Page {
 public:
  Page(CHelvoCfg& cfg, const std::string& file, const std::string& bytes)
      : cfg_(cfg), file_(file), bytes_(bytes) {
    if (const CIdCfg* id = cfg.GetIdCfg()) {
      version_ = id->m_nSettingsVers;
      sysFreq_ = id->m_nSystemFrequency;
    }
  }

  std::string Render() {
    html_ =
        "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n<title>Settings report: " +
        Esc(BaseName()) + "</title>\n<style>" + kReportCss + "</style>\n</head>\n<body>\n";
    Header();
    Diagram();
    Functions();
    Logic();
    Records();
    Versions();
    Lint();
    html_ += kReportSignOff;
    html_ += "<footer>Produced by helvocfg " + Esc(HELVOCFG_REPORT_VERSION) + " from " + Esc(file_) +
             ". Names from the file are shown as written.</footer>\n</body>\n</html>\n";
    return std::move(html_);
  }

 private:
  std::string BaseName() const {
    const size_t slash = file_.find_last_of('/');
    return slash == std::string::npos ? file_ : file_.substr(slash + 1);
  }
  void Fact(const char* name, const std::string& html) {
    html_ += std::string("<tr><th>") + name + "</th><td>" + OrDash(html) + "</td></tr>\n";
  }

  void Header() {
    const CIdCfg* id = cfg_.GetIdCfg();
    const int gen = cfg_.m_State.m_iIedGen;
    const int boards = gen >= 1 && gen <= kNumGenerations ? CHelvoCfgTables::NumDspsByGen[gen - 1] : 0;
    html_ += "<div class=\"doc-head\"><div><h1>Recorder settings report</h1><div class=\"file\">" +
             Esc(file_) + "</div></div><div class=\"file\">" + (id ? FromFile(id->m_strStationName) : "") +
             "</div></div>\n";
    html_ += "<table class=\"facts\"><tbody>\n";
    Fact("Setting version", Format("%d", version_));
    Fact("Generation", Format("%d", gen));
    Fact("Boards", Format("%d", boards));
    Fact("System frequency", Format("%d Hz", sysFreq_));
    if (id) {
      Fact("Sample rate", Format("%d", id->m_nSampleRate));
      Fact("Analog channels", Format("%d", id->m_nNumAChannels));
      Fact("Serial number", FromFile(id->m_strSerialNum));
      Fact("Settings name", FromFile(id->m_strSettingsName));
      Fact("Station", FromFile(id->m_strStationName));
      Fact("Location", FromFile(id->m_strLocation));
      Fact("Comments", FromFile(id->m_strComments));
    }
    const CrcState crc = ReadCrcState(bytes_);
    Fact("CRC", "<span class=\"state-" + crc.state + "\">" + crc.state + "</span> (stored <code>" +
                    Esc(Cp1252ToUtf8(crc.stored)) + "</code>, computed <code>" + crc.computed + "</code>)");
    html_ += "</tbody></table>\n";
  }

  void Diagram() {
    const sSignalFlow flow = BuildSignalFlow(cfg_);
    html_ += Format(
        "<section class=\"diagram\"><h2>Signal flow</h2>\n<figure id=\"signal-flow\" "
        "data-functions=\"%d\">\n",
        flow.GetFunctionCount());
    if (std::optional<std::string> svg = RunDot(SignalFlowToDot(flow)))
      html_ += *svg;
    else
      html_ += std::string("<p class=\"missing\" id=\"no-diagram\">") + kReportNoDiagram + "</p>\n";
    html_ +=
        "<figcaption class=\"legend\"><span style=\"background:#dce8f4\">inputs</span>"
        "<span style=\"background:#f2f2f2\">derived functions</span>"
        "<span style=\"background:#f9e3c4\">logic, meters, trend, PMU, CDR</span> &nbsp; An arrow runs from "
        "what is used to what uses it; &times;n counts references between the same two.</figcaption>\n"
        "</figure></section>\n";
  }

  void FunctionRows(const std::vector<CPhasor*>& functions) {
    html_ +=
        "<table><thead><tr><th class=\"num\">Ch</th><th>Type</th><th>Description</th>"
        "<th>Scale</th><th>Module</th><th>Inputs</th></tr></thead><tbody>\n";
    for (CPhasor* p : functions) {
      std::string scale, inputs;
      if (cScale* s = p->GetpScale()) s->FormatRatioUnits(scale);
      for (const std::string& in : DescribeInputs(*p)) inputs += (inputs.empty() ? "" : "<br>") + Esc(in);
      const char* type = p->GetTypeString();
      html_ += Format("<tr><td class=\"num\">%d</td>", p->GetUserChannelNumber()) + "<td>" +
               OrDash(type ? FromFile(type) : "") + "</td><td>" + OrDash(FromFile(p->GetDescription())) +
               "</td><td>" + OrDash(FromFile(scale)) + "</td><td>" +
               OrDash(Esc(DescribeModule(*p, version_, sysFreq_))) + "</td><td>" + OrDash(inputs) +
               "</td></tr>\n";
    }
    html_ += "</tbody></table>\n";

    std::string rows;
    for (CPhasor* p : functions) {
      if (dynamic_cast<cLogicCfg*>(p)) continue;  // listed with their expressions
      std::string name;
      p->GetName(name);
      for (const sDetectorRow& d : DescribeDetectors(*p, version_, sysFreq_))
        rows += std::string("<tr") + (d.m_strActions == "none" ? " class=\"idle\"" : "") + "><td>" +
                FromFile(name) + "</td><td>" + Esc(d.m_strState) + "</td><td class=\"num\">" +
                OrDash(Esc(d.m_strThreshold)) + "</td><td class=\"num\">" + OrDash(Esc(d.m_strDelay)) +
                "</td><td>" + Esc(d.m_strActions) + "</td></tr>\n";
    }
    if (rows.empty()) return;
    html_ +=
        "<h4>Detectors</h4><table><thead><tr><th>Function</th><th>Detector</th><th "
        "class=\"num\">Threshold</th>"
        "<th class=\"num\">Delay</th><th>Actions</th></tr></thead><tbody>\n" +
        rows + "</tbody></table>\n";
  }

  void Functions() {
    html_ += "<section><h2>Channels and functions</h2>\n";
    const std::vector<CPhasor*> all = ListFunctions(cfg_);
    bool multipleBoards = false;
    for (CPhasor* p : all) multipleBoards = multipleBoards || p->GetDspIndex() > 0;
    for (int b = 0; b < 2; ++b) {
      cHelvoDspCfg* group = cfg_.m_pDspCfg[b];
      if (!group) continue;
      std::vector<CPhasor*> mine;
      for (CPhasor* p : all)
        if (p->GetDspCfg() == group) mine.push_back(p);
      if (mine.empty()) continue;
      std::string groupName;
      group->GetName(groupName);
      if (multipleBoards) html_ += "<h3>" + Esc(groupName) + "</h3>\n";
      std::string reference;
      if (CPhasor* ref = group->GetRefChannel()) ref->GetName(reference);
      if (!reference.empty()) html_ += "<p class=\"note\">Angle reference: " + FromFile(reference) + "</p>\n";
      std::set<const CPhasor*> shown;
      for (CFiler* obj : group->GetElementList()) {
        auto* element = dynamic_cast<CElementName*>(obj);
        if (!element) continue;
        std::vector<CPhasor*> functions;
        for (CPhasor* p : mine)
          if (p->GetElement() == element && shown.insert(p).second) functions.push_back(p);
        html_ += "<h3>Element " + FromFile(element->GetName()) + "</h3>\n";
        if (functions.empty())
          html_ += "<p class=\"note\">No functions.</p>\n";
        else
          FunctionRows(functions);
      }
      std::vector<CPhasor*> loose;  // frequency functions, and any whose element the group does not list
      for (CPhasor* p : mine)
        if (!shown.count(p)) loose.push_back(p);
      if (!loose.empty()) {
        html_ += "<h3>Without element</h3>\n";
        FunctionRows(loose);
      }
    }
    html_ += "</section>\n";
  }

  void Logic() {
    std::string rows;
    for (CPhasor* p : ListFunctions(cfg_)) {
      auto* logic = dynamic_cast<cLogicCfg*>(p);
      if (!logic) continue;
      std::string name, actions;
      p->GetName(name);
      for (const sDetectorRow& d : DescribeDetectors(*p, version_, sysFreq_))
        actions += (actions.empty() ? "" : "<br>") + (d.m_strState.empty() ? "" : Esc(d.m_strState) + ": ") +
                   Esc(d.m_strActions);
      rows += "<tr><td>" + FromFile(name) + "</td><td class=\"expr\">" + Esc(LogicExpression(*logic)) +
              "</td><td class=\"num\">" +
              Format("%.4g s", static_cast<double>(logic->m_oAssertDelay.m_fSeconds)) +
              "</td><td class=\"num\">" +
              Format("%.4g s", static_cast<double>(logic->m_oRemoveDelay.m_fSeconds)) + "</td><td>" +
              FromFile(logic->m_strActive) + " / " + FromFile(logic->m_strInactive) + "</td><td>" +
              OrDash(actions) + "</td></tr>\n";
    }
    html_ += "<section><h2>Logic</h2>\n";
    if (rows.empty()) {
      html_ += "<p class=\"note\">No logic functions.</p></section>\n";
      return;
    }
    html_ +=
        "<table><thead><tr><th>Function</th><th>Expression</th><th class=\"num\">Assert delay</th>"
        "<th class=\"num\">Remove delay</th><th>States</th><th>Actions</th></tr></thead><tbody>\n" +
        rows + "</tbody></table></section>\n";
  }

  static std::string MeterName(const CrefMeter& ref) {
    std::string name;
    ref.m_pPhasor->GetMeterName(name, ref.m_nMeter);
    return FromFile(name);
  }

  void Records() {
    html_ += "<section><h2>Meter groups</h2>\n";
    std::string rows;
    int number = 0;
    for (CFiler* obj : cfg_.m_MeterGroupList) {
      auto* group = dynamic_cast<CMeterGroup*>(obj);
      if (!group) continue;
      std::string meters;
      for (const CrefMeter& ref : group->m_Meters)
        if (ref.m_pPhasor) meters += (meters.empty() ? "" : ", ") + MeterName(ref);
      rows += Format("<tr><td class=\"num\">%d</td><td>", ++number) + FromFile(group->m_strName) +
              "</td><td>" + OrDash(meters) + "</td></tr>\n";
    }
    if (rows.empty())
      html_ += "<p class=\"note\">No meter groups.</p>\n";
    else
      html_ +=
          "<table><thead><tr><th class=\"num\">No.</th><th>Name</th><th>Meters</th></tr></thead><tbody>\n" +
          rows + "</tbody></table>\n";
    html_ += "</section>\n<section><h2>Trend</h2>\n";
    if (auto* trend = dynamic_cast<cTrend*>(cfg_.m_pTrend)) {
      html_ += Format("<p>Interval %d, alarm contact %u.</p>\n", trend->m_nInterval, trend->m_nAlarmContact);
      rows.clear();
      for (const ceTrendOption& entry : trend->m_Entries) {
        if (!entry.m_pPhasor) continue;
        char buffer[32];
        const char* option =
            ceTrendOption::GetChoice(static_cast<eTrendOption>(entry.m_nOption), buffer, sizeof buffer);
        rows += "<tr><td>" + MeterName(entry) + "</td><td>" +
                (option ? Esc(option) : Format("option %u", entry.m_nOption)) + "</td></tr>\n";
      }
      if (!rows.empty())
        html_ += "<table><thead><tr><th>Meter</th><th>Option</th></tr></thead><tbody>\n" + rows +
                 "</tbody></table>\n";
    } else {
      html_ += "<p class=\"note\">No trend.</p>\n";
    }
    html_ += "</section>\n";
    Streams();
  }

  void Streams() {
    std::string pmuRows, cdrRows;
    for (int b = 0; b < 2; ++b) {
      cHelvoDspCfg* group = cfg_.m_pDspCfg[b];
      if (!group) continue;
      for (CFiler* obj : group->GetPMUList()) {
        auto* pmu = dynamic_cast<CPMU*>(obj);
        if (!pmu || !pmu->IsDefined()) continue;
        std::string input;
        if (CPhasor* in = PmuInputOf(*group, *pmu)) in->GetName(input);
        pmuRows += Format("<tr><td class=\"num\">%d</td><td>", pmu->m_nPhasorNumber) +
                   FromFile(pmu->m_strName) + "</td><td>" + OrDash(FromFile(input)) +
                   Format("</td><td class=\"num\">%d</td></tr>\n", pmu->m_nInputType);
      }
      for (CFiler* obj : group->GetCDRList()) {
        auto* cdr = dynamic_cast<CCDR*>(obj);
        if (!cdr || !cdr->IsUsed()) continue;
        std::string input;
        if (CPhasor* in = group->GetIndexedPhasorAddress(eAnalogCfg, cdr->m_nInputIndex)) in->GetName(input);
        cdrRows += Format("<tr><td class=\"num\">%d</td><td>", cdr->m_nChannel + 1) +
                   FromFile(cdr->m_strName) + "</td><td>" + OrDash(FromFile(input)) + "</td></tr>\n";
      }
    }
    html_ += "<section><h2>PMU</h2>\n";
    for (CFiler* obj : cfg_.m_PMUIdList)
      if (auto* id = dynamic_cast<CPMUId*>(obj))
        html_ += "<p>Header " + OrDash(FromFile(id->m_strHeader)) +
                 Format(", reporting rate %d.</p>\n", id->m_nReportingRate);
    html_ += pmuRows.empty() ? "<p class=\"note\">No PMU phasors.</p>\n"
                             : "<table><thead><tr><th class=\"num\">No.</th><th>Name</th><th>Input</th>"
                               "<th class=\"num\">Input type</th></tr></thead><tbody>\n" +
                                   pmuRows + "</tbody></table>\n";
    html_ += "</section>\n<section><h2>Continuous recording</h2>\n";
    for (CFiler* obj : cfg_.m_CDRIdList)
      if (auto* id = dynamic_cast<CCDRId*>(obj))
        html_ += Format("<p>Reporting rate %d.</p>\n", id->m_nReportingRate);
    html_ +=
        cdrRows.empty()
            ? "<p class=\"note\">No continuous-recording channels.</p>\n"
            : "<table><thead><tr><th class=\"num\">Ch</th><th>Name</th><th>Input</th></tr></thead><tbody>\n" +
                  cdrRows + "</tbody></table>\n";
    html_ += "</section>\n";
  }

  // The scan's blocks as paragraphs: the explanation's lines joined, and the names that follow an
  // explanation ending in a colon as a list.
  static std::string LossText(const StringList& lines) {
    std::string html, paragraph, items;
    bool listing = false;
    auto flush = [&] {
      if (!paragraph.empty()) html += "<p>" + paragraph + "</p>";
      if (!items.empty()) html += "<ul>" + items + "</ul>";
      paragraph.clear(), items.clear(), listing = false;
    };
    for (const std::string& line : lines) {
      if (line.find_first_not_of(' ') == std::string::npos) {
        flush();
      } else if (listing) {
        items += "<li>" + FromFile(line) + "</li>";
      } else {
        paragraph += (paragraph.empty() ? "" : " ") + FromFile(line);
        listing = line.back() == ':';
      }
    }
    flush();
    return html;
  }

  // The scan for every lower version the file can be saved at; neighbouring versions with the same
  // answer share a row.
  void Versions() {
    std::vector<int> versions;
    for (int v = 1; v <= 7; ++v) versions.push_back(v);
    for (int v = 201; v <= GetSettingVersionLimit(); ++v) versions.push_back(v);
    std::vector<std::pair<std::vector<int>, std::string>> rows;
    for (int v : versions) {
      if (v >= version_) break;
      const StringList lines = VersionScan(cfg_, v);
      std::string text;
      if (IsDownwardConversion(lines)) {
        text =
            "<td>Cannot be saved at this version: a file of the newer family does not convert to the older "
            "one.</td>";
      } else if (lines.GetCount() == 0) {
        text = "<td class=\"note\">Nothing is lost.</td>";
      } else {
        text = "<td class=\"lost\">" + LossText(lines) + "</td>";
      }
      if (!rows.empty() && rows.back().second == text)
        rows.back().first.push_back(v);
      else
        rows.push_back({{v}, text});
    }
    html_ += "<section><h2>Saving at an older version</h2>\n";
    if (rows.empty()) {
      html_ +=
          "<p class=\"note\">The file is at the oldest version; there is no older one to save "
          "at.</p></section>\n";
      return;
    }
    html_ +=
        "<table><thead><tr><th style=\"width:18%\">Version</th><th>What the file would "
        "lose</th></tr></thead><tbody>\n";
    for (const auto& [vs, text] : rows) {
      const std::string label =
          vs.size() == 1 ? Format("%d", vs.front()) : Format("%d&ndash;%d", vs.front(), vs.back());
      html_ += "<tr><td>" + label + "</td>" + text + "</tr>\n";
    }
    html_ += "</tbody></table></section>\n";
  }

  // Last: linting leaves the configuration in its written form.
  void Lint() {
    html_ += "<section id=\"lint\"><h2>Lint findings</h2>\n";
    std::string rows;
    for (const Finding& f : helvo::Lint(cfg_, bytes_))
      rows += "<tr><td class=\"num\">" + (f.line > 0 ? Format("%d", f.line) : std::string("&mdash;")) +
              "</td><td><code>" + FromFile(f.section) + (f.key.empty() ? "" : "/" + FromFile(f.key)) +
              "</code></td><td>" + FromFile(f.text) + "</td><td><code>" + Esc(f.rule) + "</code></td></tr>\n";
    if (rows.empty())
      html_ += "<p class=\"note\">No findings.</p>\n";
    else
      html_ +=
          "<table><thead><tr><th "
          "class=\"num\">Line</th><th>Where</th><th>Finding</th><th>Rule</th></tr></thead>"
          "<tbody>\n" +
          rows + "</tbody></table>\n";
    html_ += "</section>\n";
  }

  CHelvoCfg& cfg_;
  const std::string& file_;
  const std::string& bytes_;
  int version_ = 0;
  int sysFreq_ = 60;
  std::string html_;
};

std::string DefaultOut(const std::string& file) {
  const size_t slash = file.find_last_of('/');
  const size_t dot = file.find_last_of('.');
  const std::string stem =
      dot != std::string::npos && (slash == std::string::npos || dot > slash) ? file.substr(0, dot) : file;
  return stem + ".html";
}

}  // namespace

int Report(const ReportOptions& options) {
  TerminalUserInterface ui;
  ScopedUserInterface scoped(ui);
  auto loaded = Load(options.file, options.noCrcCheck);
  if (!loaded) return kExitFileError;
  const std::string html = Page(*loaded->cfg, options.file, loaded->bytes).Render();
  const std::string out = options.out.empty() ? DefaultOut(options.file) : options.out;
  if (out == "-") {
    std::fwrite(html.data(), 1, html.size(), stdout);
    return kExitOk;
  }
  if (!ReplaceFileAtomically(out, html)) {
    PrintError(out + ": the report could not be written");
    return kExitFileError;
  }
  return kExitOk;
}

}  // namespace helvocli
