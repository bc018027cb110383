// What a conversion to another setting version loses: the version scan, and the values a conversion
// there and back does not keep.
#include <utility>

#include "helvo/model/helvo_cfg.h"
#include "helvo/model/records.h"
#include "helvo/platform/format.h"
#include "helvo/platform/user_interface.h"
#include "helvo/review/review.h"
#include "helvo/review/scratch.h"

namespace helvo {

namespace {

constexpr char kCopy[] = "the copies of the configuration";

// The one line a lost value takes in the scan: "[SECTION] KEY: OLD -> NEW".
std::string LostLine(const Change& change) {
  if (change.kind == Change::Kind::kHeader)
    return Format("%s: %s -> %s", change.key.c_str(), change.oldValue.value_or("none").c_str(),
                  change.newValue.value_or("none").c_str());
  return Format("[%s] %s: %s -> %s", change.section.c_str(), change.key.c_str(),
                change.oldValue.value_or("(no line)").c_str(), change.newValue.value_or("(no line)").c_str());
}

}  // namespace

ReviewStatus ConversionLosses(CHelvoCfg& cfg, int version, std::vector<Change>& lost, std::string& error) {
  lost.clear();
  const CIdCfg* id = cfg.GetIdCfg();
  const int own = id ? id->m_nSettingsVers : 0;
  // Only a conversion within a family has a way back: the newer family's files do not convert to the
  // older family's (the scan refuses that), so a conversion from the older family to the newer is
  // judged by the scan alone.
  if (!id || version == own || (own >= 201) != (version >= 201)) return ReviewStatus::kOk;
  // Own version, then version, then own version again, each save read back as a file is read; the
  // configuration itself is only put into its written form.
  std::string image;
  std::unique_ptr<CHelvoCfg> copy, older, back;
  bool made = cfg.BuildOwnVersionImage(image, nullptr) && ReadImageQuietly(image, copy, kCopy, error);
  {
    RecordingUserInterface recorder;
    ScopedThreadUserInterface scoped(recorder);
    made = made && copy->BuildVersionImage(image, version, nullptr);
  }
  made = made && ReadImageQuietly(image, older, kCopy, error);
  {
    RecordingUserInterface recorder;
    ScopedThreadUserInterface scoped(recorder);
    made = made && older->BuildVersionImage(image, own, nullptr);
  }
  made = made && ReadImageQuietly(image, back, kCopy, error);
  if (!made) {
    if (error.empty()) error = Format("%s cannot be saved at version %d", kCopy, version);
    return ReviewStatus::kRefused;
  }
  // Sections the conversion loses are the scan's; what is left are the values of sections both write.
  for (Change& change : DiffSnapshots(ValueSnapshot(cfg), ValueSnapshot(*back)))
    if (change.kind == Change::Kind::kKey || change.kind == Change::Kind::kHeader)
      lost.push_back(std::move(change));
  return ReviewStatus::kOk;
}

StringList VersionScan(CHelvoCfg& cfg, int version) {
  StringList lines;
  cfg.PreDumpScan(lines, version);
  std::vector<Change> lost;
  std::string error;
  if (ConversionLosses(cfg, version, lost, error) != ReviewStatus::kOk) {
    lines.AddTail("What version " + std::to_string(version) + " does not hold could not be worked out:");
    lines.AddTail(error);
    lines.AddTail(" ");
  } else if (!lost.empty()) {
    // Without the version's number, so that a list of several versions can show one block for all.
    lines.AddTail(
        "The following values are not held by Setting Files of the version chosen and will be lost:");
    for (const Change& change : lost) lines.AddTail(LostLine(change));
    lines.AddTail(" ");
  }
  return lines;
}

}  // namespace helvo
