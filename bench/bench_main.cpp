// Benchmarks of loading and saving maximal settings files, against baselines measured in the same
// run over the same bytes: a general INI parser (inih), a memcpy of the file, and a byte-at-a-time
// CRC-16. docs/performance.md has the targets, the figures and the commands.
//
//   helvo-bench [google-benchmark flags]
//   helvo-bench --write-max FOLDER     writes the maximal files into FOLDER and exits (for heap
//                                      profiling with helvo-load)
//
// Every benchmark that loads or saves also reports x_inih: its time per iteration divided by the
// time inih takes to parse the same file, both as CPU time of this run.
#include <benchmark/benchmark.h>
#include <ini.h>
#include <stdlib.h>
#include <time.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "bench/max_config.h"
#include "helvo/engine/crc16.h"
#include "helvo/engine/settings_text.h"
#include "helvo/host/settings_file.h"
#include "helvo/model/helvo_cfg.h"
#include "helvo/model/records.h"
#include "helvo/platform/calendar_time.h"
#include "helvo/platform/file_io.h"
#include "helvo/platform/user_interface.h"
#include "helvo/report/signal_flow.h"
#include "helvo/review/review.h"

namespace helvo::bench {
namespace {

// The scaling runs read files full of unrecognised keys; their messages are not what is measured.
class SilentUserInterface final : public UserInterface {
 public:
  int MessageBox(CWnd*, const std::string&, const std::string&, unsigned) override { return IDOK; }
};

struct Fixture {
  std::string folder;
  std::map<std::string, std::string> images;  // by kind name
  std::map<std::string, std::string> paths;   // the same bytes on tmpfs
  std::map<std::string, double> inih;         // CPU seconds per inih parse, by kind name
  std::map<std::string, double> load;         // CPU seconds per load by path, by kind name
};
Fixture* g_fixture = nullptr;

double CpuSeconds() {
  timespec ts;
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
  return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

const MaxConfigKind& KindOf(int index) {
  return index == 0 ? kGen4 : kGen2;
}

// Reports the ratio of this benchmark's CPU time per iteration to inih's parse of the same file.
void ReportAgainstInih(benchmark::State& state, const MaxConfigKind& kind) {
  const double inih = g_fixture->inih[kind.name];
  if (inih > 0)
    state.counters["x_inih"] =
        benchmark::Counter(inih, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
  state.SetLabel(kind.name);
}

// Brings the process-wide header statics (generation, version) to those of kind's file, as a host
// that loads the file by path has them.
void LoadStaticsOf(const MaxConfigKind& kind) {
  CHelvoCfg cfg(g_fixture->paths[kind.name], 0);
}

// ---- Baselines ----

// The CRC floor: the textbook byte-at-a-time table form.
std::uint16_t TableCrc16(const unsigned char* p, size_t n) {
  static const auto table = [] {
    std::array<std::uint16_t, 256> t{};
    for (unsigned i = 0; i < 256; ++i) {
      unsigned v = i;
      for (int k = 0; k < 8; ++k) v = (v & 1u) ? (v >> 1) ^ 0xA001u : v >> 1;
      t[i] = static_cast<std::uint16_t>(v);
    }
    return t;
  }();
  unsigned crc = 0;
  for (size_t i = 0; i < n; ++i) crc = table[(crc ^ p[i]) & 0xFFu] ^ (crc >> 8);
  return static_cast<std::uint16_t>(crc);
}

int CountingHandler(void* user, const char* section, const char* name, const char* value) {
  auto* n = static_cast<size_t*>(user);
  *n += 1 + (section[0] != 0) + (name[0] != 0) + (value[0] != 0);
  return 1;
}

void BM_Memcpy(benchmark::State& state) {
  const std::string& image = g_fixture->images[kGen4.name];
  std::vector<char> copy(image.size());
  for (auto _ : state) {
    std::memcpy(copy.data(), image.data(), image.size());
    benchmark::DoNotOptimize(copy.data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * image.size()));
  ReportAgainstInih(state, kGen4);
}

void BM_Crc16Table(benchmark::State& state) {
  const std::string& image = g_fixture->images[kGen4.name];
  const auto* p = reinterpret_cast<const unsigned char*>(image.data());
  for (auto _ : state) benchmark::DoNotOptimize(TableCrc16(p + 5, image.size() - 5));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * (image.size() - 5)));
  ReportAgainstInih(state, kGen4);
}

void BM_Crc16(benchmark::State& state) {
  const std::string& image = g_fixture->images[kGen4.name];
  for (auto _ : state) benchmark::DoNotOptimize(Crc16Update(0, image.data() + 5, image.size() - 5));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * (image.size() - 5)));
  ReportAgainstInih(state, kGen4);
}

void BM_Inih(benchmark::State& state) {
  const MaxConfigKind& kind = KindOf(static_cast<int>(state.range(0)));
  const std::string& image = g_fixture->images[kind.name];
  size_t items = 0;
  const double start = CpuSeconds();
  for (auto _ : state) {
    items = 0;
    benchmark::DoNotOptimize(ini_parse_string(image.c_str(), CountingHandler, &items));
  }
  g_fixture->inih[kind.name] = (CpuSeconds() - start) / static_cast<double>(state.iterations());
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * image.size()));
  state.counters["items"] = static_cast<double>(items);
  ReportAgainstInih(state, kind);
}

// ---- The library ----

// Load from memory: CRC, parse, convert and post-load of a fresh configuration. The copy of the
// image (the reader overwrites line ends in place) and the teardown are not timed.
void BM_LoadMemory(benchmark::State& state) {
  const MaxConfigKind& kind = KindOf(static_cast<int>(state.range(0)));
  const std::string& image = g_fixture->images[kind.name];
  LoadStaticsOf(kind);
  std::vector<char> copy(image.size());
  for (auto _ : state) {
    state.PauseTiming();
    std::memcpy(copy.data(), image.data(), image.size());
    state.ResumeTiming();
    auto cfg = std::make_unique<CHelvoCfg>();
    const eFilerError result = cfg->ReadCfgFile(copy.data(), copy.size(), 0);
    if (result != eFilerNoError) state.SkipWithError("load failed");
    state.PauseTiming();
    cfg.reset();
    state.ResumeTiming();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * image.size()));
  ReportAgainstInih(state, kind);
}

// An empty configuration: the section and key definitions every load starts with, and their teardown.
void BM_Construct(benchmark::State& state) {
  for (auto _ : state) CHelvoCfg cfg;
  ReportAgainstInih(state, kGen4);
}

// Load by path from tmpfs (open, read, line-length and header checks, CRC, parse, post-load).
void BM_LoadPath(benchmark::State& state) {
  const MaxConfigKind& kind = KindOf(static_cast<int>(state.range(0)));
  const std::string& path = g_fixture->paths[kind.name];
  double timed = 0;
  for (auto _ : state) {
    const double start = CpuSeconds();
    auto cfg = std::make_unique<CHelvoCfg>(path, 0);
    timed += CpuSeconds() - start;
    if (cfg->m_eReadResult != eFilerNoError) state.SkipWithError("load failed");
    state.PauseTiming();
    cfg.reset();
    state.ResumeTiming();
  }
  g_fixture->load[kind.name] = timed / static_cast<double>(state.iterations());
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * g_fixture->images[kind.name].size()));
  ReportAgainstInih(state, kind);
}

// Reports the ratio of this benchmark's CPU time per iteration to `loads` loads by path of the file
// (BM_LoadPath runs first and measures one).
void ReportAgainstLoad(benchmark::State& state, const MaxConfigKind& kind, int loads) {
  const double load = g_fixture->load[kind.name] * loads;
  if (load > 0)
    state.counters["x_load"] =
        benchmark::Counter(load, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
  ReportAgainstInih(state, kind);
}

// lint as the tool runs it: a load by path, then the findings (the listing a save at the file's own
// version writes, the line index of the text, every rule).
void BM_Lint(benchmark::State& state) {
  const MaxConfigKind& kind = KindOf(static_cast<int>(state.range(0)));
  const std::string& path = g_fixture->paths[kind.name];
  const std::string& image = g_fixture->images[kind.name];
  size_t findings = 0;
  for (auto _ : state) {
    auto cfg = std::make_unique<CHelvoCfg>(path, 0);
    findings = Lint(*cfg, image).size();
    state.PauseTiming();
    cfg.reset();
    state.ResumeTiming();
  }
  if (findings) state.SkipWithError("the maximal file has lint findings");
  ReportAgainstLoad(state, kind, 1);
}

// The full listing alone (what show --values adds to a load), with and without the
// names of references (arg 1: 1 names them); the load is not timed.
void BM_ListValues(benchmark::State& state) {
  const MaxConfigKind& kind = KindOf(static_cast<int>(state.range(0)));
  const std::string& path = g_fixture->paths[kind.name];
  for (auto _ : state) {
    state.PauseTiming();
    auto cfg = std::make_unique<CHelvoCfg>(path, 0);
    state.ResumeTiming();
    benchmark::DoNotOptimize(ListValues(*cfg, state.range(1) != 0).sections.size());
    state.PauseTiming();
    cfg.reset();
    state.ResumeTiming();
  }
  ReportAgainstLoad(state, kind, 1);
}

// get as the tool runs it: a load by path, then one value (the walk formats its section only).
void BM_Get(benchmark::State& state) {
  const MaxConfigKind& kind = KindOf(static_cast<int>(state.range(0)));
  const std::string& path = g_fixture->paths[kind.name];
  const std::vector<Selector> selectors{{"ANALOG_INPUT1-1", "H_MAG_T"}};
  for (auto _ : state) {
    auto cfg = std::make_unique<CHelvoCfg>(path, 0);
    std::vector<KeyValue> values;
    std::string error;
    if (GetValues(*cfg, selectors, values, error) != ReviewStatus::kOk) state.SkipWithError(error.c_str());
    state.PauseTiming();
    cfg.reset();
    state.ResumeTiming();
  }
  ReportAgainstLoad(state, kind, 1);
}

// set as the tool runs it with --yes: the file read and loaded by path, the scan at the file's own
// version, the change checked (the changed text read back, every other line unchanged), the save of
// the file.
void BM_Set(benchmark::State& state) {
  const MaxConfigKind& kind = KindOf(static_cast<int>(state.range(0)));
  const std::string& path = g_fixture->paths[kind.name];
  const std::string out = g_fixture->folder + "/set.cfg";
  const std::vector<Assignment> assignments{{{"ANALOG_INPUT1-1", "H_MAG_T"}, "123.5"}};
  for (auto _ : state) {
    OpenedSettingsFile opened = OpenSettingsFile(path, false);
    CHelvoCfg& cfg = *opened.cfg;
    StringList lines;
    cfg.PreDumpScan(lines, cfg.GetIdCfg()->m_nSettingsVers);
    std::unique_ptr<CHelvoCfg> changed;
    std::string error;
    std::string image;
    if (SetValues(cfg, opened.bytes, assignments, changed, image, error) != ReviewStatus::kOk)
      state.SkipWithError(error.c_str());
    if (!ReplaceFileAtomically(out, image)) state.SkipWithError("save failed");
    state.PauseTiming();
    opened.cfg.reset();
    changed.reset();
    state.ResumeTiming();
  }
  ReportAgainstLoad(state, kind, 1);
}

// diff as the tool runs it: two loads by path, a snapshot of each, the comparison.
void BM_Diff(benchmark::State& state) {
  const MaxConfigKind& kind = KindOf(static_cast<int>(state.range(0)));
  const std::string& path = g_fixture->paths[kind.name];
  size_t changes = 1;
  for (auto _ : state) {
    std::unique_ptr<CHelvoCfg> cfg[2];
    std::optional<ValueSnapshot> snapshot[2];
    for (int i = 0; i < 2; ++i) {
      cfg[i] = std::make_unique<CHelvoCfg>(path, 0);
      snapshot[i].emplace(*cfg[i]);
    }
    changes = DiffSnapshots(*snapshot[0], *snapshot[1]).size();
    state.PauseTiming();
    for (auto& c : cfg) c.reset();
    state.ResumeTiming();
  }
  if (changes) state.SkipWithError("a file differs from itself");
  ReportAgainstLoad(state, kind, 2);
}

// Teardown of a loaded configuration (every object unlinks itself from what holds it).
void BM_Destroy(benchmark::State& state) {
  const MaxConfigKind& kind = KindOf(static_cast<int>(state.range(0)));
  const std::string& path = g_fixture->paths[kind.name];
  for (auto _ : state) {
    state.PauseTiming();
    auto cfg = std::make_unique<CHelvoCfg>(path, 0);
    state.ResumeTiming();
    cfg.reset();
  }
  ReportAgainstInih(state, kind);
}

// The save of a loaded configuration into memory: pre-save processing and the writer's file image
// with its CRC, at the configuration's own version. This is WriteCfgFile without the file;
// the set date is the save time (fixed by SOURCE_DATE_EPOCH to the date the files carry).
std::string SaveToMemory(CHelvoCfg& cfg) {
  const int version = cfg.GetIdCfg()->m_nSettingsVers;
  cfg.PreDumpProcess(nullptr, version);
  cfg.GetIdCfg()->m_oSetDate.m_Time = CalendarTime::GetCurrentTime();
  std::string image;
  cfg.GetSections().BuildCfgImage(image, version, cfg.GetIdCfg()->m_nSystemFrequency);
  return image;
}

void BM_SaveMemory(benchmark::State& state) {
  const MaxConfigKind& kind = KindOf(static_cast<int>(state.range(0)));
  CHelvoCfg cfg(g_fixture->paths[kind.name], 0);
  size_t size = 0;
  for (auto _ : state) size = SaveToMemory(cfg).size();
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * size));
  ReportAgainstInih(state, kind);
}

// The whole save to a file on tmpfs: pre-save, writer, temporary file, fsync, rename.
void BM_SaveFile(benchmark::State& state) {
  const MaxConfigKind& kind = KindOf(static_cast<int>(state.range(0)));
  CHelvoCfg cfg(g_fixture->paths[kind.name], 0);
  const std::string out = g_fixture->folder + "/save.cfg";
  for (auto _ : state)
    if (!cfg.WriteCfgFile(out, nullptr)) state.SkipWithError("save failed");
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * g_fixture->images[kind.name].size()));
  ReportAgainstInih(state, kind);
}

// Only the file part of a save (temporary file, write, fsync, rename), on tmpfs (arg 0) and on the
// disk that holds /var/tmp (arg 1): the fsync, reported apart from the library's own work.
void BM_ReplaceFile(benchmark::State& state) {
  const std::string& image = g_fixture->images[kGen4.name];
  std::string out = g_fixture->folder + "/replace.cfg";
  if (state.range(0) == 1) out = "/var/tmp/helvo-bench-replace.cfg";
  for (auto _ : state)
    if (!ReplaceFileAtomically(out, image)) state.SkipWithError("write failed");
  if (state.range(0) == 1) RemoveFile(out);
  state.SetLabel(state.range(0) == 1 ? "disk" : "tmpfs");
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * image.size()));
}

// Load from memory, then save into memory: what a batch tool converting files pays per file.
void BM_RoundTrip(benchmark::State& state) {
  const MaxConfigKind& kind = KindOf(static_cast<int>(state.range(0)));
  const std::string& image = g_fixture->images[kind.name];
  LoadStaticsOf(kind);
  std::vector<char> copy(image.size());
  for (auto _ : state) {
    state.PauseTiming();
    std::memcpy(copy.data(), image.data(), image.size());
    state.ResumeTiming();
    auto cfg = std::make_unique<CHelvoCfg>();
    cfg->ReadCfgFile(copy.data(), copy.size(), 0);
    benchmark::DoNotOptimize(SaveToMemory(*cfg).size());
    state.PauseTiming();
    cfg.reset();
    state.ResumeTiming();
  }
  ReportAgainstInih(state, kind);
}

// ---- Scaling ----

constexpr const char* kScalingKinds[] = {"groups", "keys", "elements", "functions"};

// Load by path of the generation-4 file with range(1) more sections of kind range(0); reports the
// time per added section.
void BM_LoadScaling(benchmark::State& state) {
  const std::string kind = kScalingKinds[state.range(0)];
  const auto extra = static_cast<int>(state.range(1));
  const std::string path = g_fixture->folder + "/scaling.cfg";
  const std::string image = WithExtraSections(g_fixture->images[kGen4.name], kind, extra);
  if (!ReplaceFileAtomically(path, image)) state.SkipWithError("write failed");
  SilentUserInterface silent;
  ScopedUserInterface scoped(silent);
  for (auto _ : state) {
    auto cfg = std::make_unique<CHelvoCfg>(path, 0);
    if (cfg->m_eReadResult != eFilerNoError) state.SkipWithError("load failed");
    state.PauseTiming();
    cfg.reset();
    state.ResumeTiming();
  }
  state.counters["per_section"] =
      benchmark::Counter(extra, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
  state.counters["bytes"] = static_cast<double>(image.size());
  state.SetLabel(kind);
}

// Teardown of the same configurations: every object leaves the lists and references that hold it.
void BM_DestroyScaling(benchmark::State& state) {
  const std::string kind = kScalingKinds[state.range(0)];
  const auto extra = static_cast<int>(state.range(1));
  const std::string path = g_fixture->folder + "/scaling.cfg";
  if (!ReplaceFileAtomically(path, WithExtraSections(g_fixture->images[kGen4.name], kind, extra)))
    state.SkipWithError("write failed");
  SilentUserInterface silent;
  ScopedUserInterface scoped(silent);
  for (auto _ : state) {
    state.PauseTiming();
    auto cfg = std::make_unique<CHelvoCfg>(path, 0);
    state.ResumeTiming();
    cfg.reset();
  }
  state.counters["per_section"] =
      benchmark::Counter(extra, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
  state.SetLabel(kind);
}

// The signal-flow graph of a loaded configuration and its DOT text (the library's share of a report).
void BM_SignalFlow(benchmark::State& state) {
  const MaxConfigKind& kind = KindOf(static_cast<int>(state.range(0)));
  SilentUserInterface silent;
  ScopedUserInterface scoped(silent);
  CHelvoCfg cfg(g_fixture->paths[kind.name], 0);
  size_t nodes = 0;
  for (auto _ : state) {
    const sSignalFlow flow = BuildSignalFlow(cfg);
    nodes = flow.m_Nodes.size();
    benchmark::DoNotOptimize(SignalFlowToDot(flow));
  }
  state.counters["nodes"] = static_cast<double>(nodes);
  state.SetLabel(kind.name);
}

// The whole `helvocfg report` of the file as a user runs it, Graphviz's dot included: a process per
// iteration, wall-clock time. The tool is the one HELVOCFG_TOOL names (the bench preset builds none).
void BM_ReportTool(benchmark::State& state) {
  const MaxConfigKind& kind = KindOf(static_cast<int>(state.range(0)));
  const char* tool = std::getenv("HELVOCFG_TOOL");
  if (!tool || !*tool) {
    state.SkipWithError("set HELVOCFG_TOOL to a built helvocfg");
    return;
  }
  const std::string command = std::string("'") + tool + "' report '" + g_fixture->paths[kind.name] +
                              "' -o '" + g_fixture->folder + "/report.html' >/dev/null 2>&1";
  for (auto _ : state)
    if (std::system(command.c_str()) != 0) state.SkipWithError("helvocfg report failed");
  state.SetLabel(kind.name);
}

void ScalingArgs(benchmark::internal::Benchmark* b) {
  for (int kind = 0; kind < 4; ++kind)
    for (int n : {1000, 10000, 100000}) b->Args({kind, n});
}

BENCHMARK(BM_Inih)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Memcpy)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Crc16Table)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Crc16)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_LoadMemory)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Construct)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_LoadPath)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Lint)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Diff)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Get)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Set)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ListValues)->Args({0, 0})->Args({0, 1})->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Destroy)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SaveMemory)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SaveFile)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ReplaceFile)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RoundTrip)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SignalFlow)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ReportTool)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_LoadScaling)->Apply(ScalingArgs)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DestroyScaling)->Apply(ScalingArgs)->Unit(benchmark::kMillisecond);

// Makes the files and checks them: the saved file must load without a message, and saving it into
// memory must give the very bytes the library wrote to the file.
bool Prepare(Fixture& f, std::string& error) {
  char pattern[] = "/dev/shm/helvo-bench-XXXXXX";
  if (!mkdtemp(pattern)) {
    char fallback[] = "/tmp/helvo-bench-XXXXXX";
    if (!mkdtemp(fallback)) return error = "cannot make a temporary folder", false;
    f.folder = fallback;
  } else {
    f.folder = pattern;
  }
  RecordingUserInterface recorder;
  ScopedUserInterface scoped(recorder);
  for (const MaxConfigKind* kind : {&kGen4, &kGen2}) {
    std::string image = MakeMaxConfigFile(*kind, f.folder, &error);
    if (image.empty()) return false;
    const std::string path = f.folder + "/" + kind->name + ".cfg";
    if (!ReplaceFileAtomically(path, image)) return error = "cannot write " + path, false;
    CHelvoCfg cfg(path, 0);
    if (cfg.m_eReadResult != eFilerNoError) return error = path + " does not load", false;
    if (SaveToMemory(cfg) != image)
      return error = std::string(kind->name) + ": saving does not reproduce", false;
    f.images[kind->name] = std::move(image);
    f.paths[kind->name] = path;
  }
  if (!recorder.messages.empty())
    return error = "message while preparing: " + recorder.messages[0].text, false;
  return true;
}

void Cleanup(Fixture& f) {
  if (f.folder.empty()) return;
  for (const MaxConfigKind* kind : {&kGen4, &kGen2}) {
    RemoveFile(f.folder + "/" + kind->name + ".cfg");
    RemoveFile(f.folder + "/" + kind->name + ".gen.cfg");
  }
  for (const char* name : {"/save.cfg", "/replace.cfg", "/scaling.cfg"}) RemoveFile(f.folder + name);
  rmdir(f.folder.c_str());
}

}  // namespace
}  // namespace helvo::bench

int main(int argc, char** argv) {
  using namespace helvo::bench;
  // Saved files carry the save time; a fixed time keeps them reproducible.
  setenv("TZ", "UTC", 1);
  setenv("SOURCE_DATE_EPOCH", "1709543103", 1);
  tzset();

  Fixture fixture;
  g_fixture = &fixture;
  std::string error;
  if (!Prepare(fixture, error)) {
    std::fprintf(stderr, "helvo-bench: %s\n", error.c_str());
    Cleanup(fixture);
    return 1;
  }
  if (argc == 3 && std::strcmp(argv[1], "--write-max") == 0) {
    for (const auto& [name, image] : fixture.images) {
      const std::string path = std::string(argv[2]) + "/" + name + ".cfg";
      if (!helvo::ReplaceFileAtomically(path, image)) {
        std::fprintf(stderr, "helvo-bench: cannot write %s\n", path.c_str());
        return 1;
      }
      std::printf("%s (%zu bytes)\n", path.c_str(), image.size());
    }
    Cleanup(fixture);
    return 0;
  }
  for (const auto& [name, image] : fixture.images)
    benchmark::AddCustomContext("file " + name, std::to_string(image.size()) + " bytes");
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  Cleanup(fixture);
  return 0;
}
