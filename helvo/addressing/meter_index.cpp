// Meter indexes: where one meter of a function sits in the recorder's meter table, in both directions.
//
// A board's meter table has GetMeterSize(version) entries. Each class with meters owns a block at an
// offset, span consecutive entries per function. Files of version 202 and later use one layout for
// every generation (MeterId3_Offset / MeterId3_Span), in which a sequence function's meters are two
// entries apart; older files use the generation tables. Below version 201 the second board's entries
// are numbered after the first board's whole table; from 201 on the writer folds both boards into one
// numbering, so the board is not counted.
//
// The layout follows the version of the file the index is written to or read from. The tables'
// GetMeterOffset / GetMeterSpan follow the last file read instead; the two differ when a file is saved
// at a version on the other side of 202 than the one it was loaded from, or read from memory, and an
// index computed with the other file's layout would name a different meter.
#include <cstdint>

#include "helvo/model/class_tables.h"
#include "helvo/model/dsp_cfg.h"
#include "helvo/model/helvo_cfg.h"
#include "helvo/model/model_converters.h"
#include "helvo/model/phasor.h"

namespace helvo {

namespace {

using Tables = CHelvoCfgTables;

struct MeterBlock {
  int offset = 0;
  int span = 0;  // 0: the class has no meters
};

// The block of class cls in a file of setting version `version` at generation gen; span 0 for a class
// or generation outside the tables.
MeterBlock MeterBlockOf(int cls, int gen, int version) {
  if (cls < 0 || cls >= kNumClasses || gen < 1 || gen > kNumGenerations) return {};
  if (version >= 202) return {Tables::MeterId3_Offset[cls], Tables::MeterId3_Span[cls]};
  return {Tables::MeterOffsetsByClass_Gen[cls][gen - 1], Tables::MeterSpanByClass_Gen[cls][gen - 1]};
}

// Entries between two consecutive meters of one function. From version 202 on a sequence function's
// meters are two apart, except in the PMU meter group, which lists every entry of the block.
int MeterStep(int cls, int version, bool pmuGroup) {
  return version >= 202 && cls == eSequenceCfg && !pmuGroup ? 2 : 1;
}

}  // namespace

// ---- Writing: CrefMeter ----

std::atomic<CrefMeter::PmuMeterGroupTest> CrefMeter::s_pfnIsPmuMeterGroup{nullptr};

CrefMeter::PmuMeterGroupTest CrefMeter::SetPmuMeterGroupTest(PmuMeterGroupTest test) {
  PmuMeterGroupTest previous = s_pfnIsPmuMeterGroup.exchange(test);
  return previous;
}

bool CrefMeter::IsPmuMeterGroup(const CFiler* owner) {
  const PmuMeterGroupTest test = s_pfnIsPmuMeterGroup.load();
  return owner && test && test(owner);
}

int CrefMeter::ComputeIndex(int& index, int version, bool pmuGroup) const {
  if (!m_pPhasor || !m_pPhasor->IsValidChannel() || !m_pPhasor->AreInputsDefined()) return 0;
  const cHelvoDspCfg* group = m_pPhasor->GetDspCfg();
  if (!group) return 0;
  const int gen = sCfgState::Of(m_pPhasor).m_iIedGen;
  const int board = version < 201 ? group->GetDspIndex() : 0;
  if (board < 0 || board >= Tables::DspsByGen(gen)) return 0;

  const int cls = m_pPhasor->GetClass();
  const int channel = m_pPhasor->GetChannelNumber();
  const MeterBlock block = MeterBlockOf(cls, gen, version);
  const int step = MeterStep(cls, version, pmuGroup);
  // Anything outside the function's own entries, or beyond the table of the version, would be read
  // back as a meter of another function (or of the other board).
  if (block.span <= 0 || m_nMeter < 0 || std::int64_t{m_nMeter} * step >= block.span) return 0;
  if (channel > Tables::FunctionsPerDspByGen(static_cast<eHelvoCfgClass>(cls), gen)) return 0;
  const std::int64_t size = cFilerContainer::GetMeterSize(version);
  const std::int64_t entry =
      std::int64_t{block.span} * (channel - 1) + block.offset + std::int64_t{m_nMeter} * step;
  if (entry >= size) return 0;
  index = static_cast<int>(entry + size * board);
  return 1;
}

int CrefMeter::GetMeterIndex(int& index, int version) const {
  return ComputeIndex(index, version, false);
}

int CrefMeter::GetMeterIndex(int version) const {
  int index = -1;
  return GetMeterIndex(index, version) ? index : -1;
}

int CrefMeter::RecalcMeterIndex(int& index, int version, CFiler* owner) const {
  if (!owner) return 0;
  return ComputeIndex(index, version, IsPmuMeterGroup(owner));
}

int CrefMeter::RecalcMeterIndex(int version, CFiler* owner) const {
  int index = -1;
  return RecalcMeterIndex(index, version, owner) ? index : -1;
}

// ---- Reading: CHelvoCfg ----

int CHelvoCfg::ResolveMeterIndex(int index, int version, eHelvoCfgClass& cls, unsigned int& board,
                                 int& function, int& meter, int generation, const CFiler* owner) {
  board = 0;
  if (index < 0 || generation < 1 || generation > kNumGenerations) return 0;
  const long size = GetMeterSize(version);
  if (index >= size) {
    // Only a two-board recorder has a second table after the first.
    if (generation != 2) return 0;
    index -= static_cast<int>(size);
    board = 1;
    if (index >= size) return 0;
  }
  const bool pmuGroup = CrefMeter::IsPmuMeterGroup(owner);
  for (int c = 0; c < kNumClasses; ++c) {
    const MeterBlock block = MeterBlockOf(c, generation, version);
    if (block.span <= 0) continue;
    const int r = index - block.offset;
    if (r < 0) continue;
    const auto candidate = static_cast<eHelvoCfgClass>(c);
    if (r / block.span >= FunctionsPerDspByGen(candidate, generation)) continue;
    cls = candidate;
    function = r / block.span + 1;
    meter = (r % block.span) / MeterStep(c, version, pmuGroup);
    return 1;
  }
  return 0;
}

int CHelvoCfg::GetSeqMeterOffset(int, CPhasor*) {
  return 0;
}

}  // namespace helvo
