// Phasor and detector-state indexes of one board, in both directions.
//
// Phasor table: a class's block starts at its phasor offset and gives each function span entries.
// Detector-state table: a bit array read in 32-bit words. A class's block starts at word `offset` and
// covers `span` words; one state of the class takes W = ceil(functions per board / 32) consecutive
// words, and bit n - 1 of them belongs to function n. Both use the current generation.
#include <climits>
#include <cstdint>

#include "helvo/model/cfg_state.h"
#include "helvo/model/class_tables.h"
#include "helvo/model/dsp_cfg.h"
#include "helvo/model/model_converters.h"
#include "helvo/model/phasor.h"

namespace helvo {

namespace {

using Tables = CHelvoCfgTables;

// Words one detector state of a class takes: one bit per function of a board; 0 without functions.
int StateWords(int functions) {
  return functions > 0 ? static_cast<int>((std::int64_t{functions} + 31) / 32) : 0;
}

}  // namespace

// ---- Writing ----

int CrefPhasor::GetPhasorIndex(int& index) const {
  if (!m_pPhasor || !m_pPhasor->IsValidChannel()) return 0;
  const int cls = m_pPhasor->GetClass();
  const sCfgState state = sCfgState::Of(m_pPhasor);
  const int span = Tables::GetPhasorSpan(cls, state);
  // A class without a phasor block would otherwise be written as the first function of another.
  if (span <= 0) return 0;
  const std::int64_t value =
      Tables::GetPhasorOffset(cls, state) + std::int64_t{span} * (m_pPhasor->GetChannelNumber() - 1);
  if (value > INT_MAX) return 0;
  index = static_cast<int>(value);
  return 1;
}

int crefState::GetStateIndex(int& index) const {
  // A dirty function is left out of the file, so nothing may name its states.
  if (!m_pPhasor || m_pPhasor->m_bDirty || !m_pPhasor->AreInputsDefined()) return 0;
  const int channel = m_pPhasor->GetChannelNumber();
  // Inputs can be defined while the function's own channel number is not (yet) valid.
  if (!m_pPhasor->IsValidChannel(channel)) return 0;
  const int cls = m_pPhasor->GetClass();
  const sCfgState state = sCfgState::Of(m_pPhasor);
  const int words = StateWords(Tables::FunctionsPerDsp(static_cast<eHelvoCfgClass>(cls), state));
  const int span = Tables::GetStateSpan(cls, state);
  // A number past the class's block names a state of another class.
  if (words == 0 || span <= 0 || m_nNumber < 0 || std::int64_t{m_nNumber} * words >= span) return 0;
  index = 32 * Tables::GetStateOffset(cls, state) + (channel - 1) + m_nNumber * 32 * words;
  return 1;
}

// ---- Reading ----

CPhasor* cHelvoDspCfg::ResolvePhasorIndex(int& index) {
  if (index < 0) return nullptr;
  const sCfgState state = sCfgState::Of(this);
  for (int c = 0; c < kNumClasses; ++c) {
    const int span = Tables::GetPhasorSpan(c, state);
    if (span <= 0) continue;
    const int r = index - Tables::GetPhasorOffset(c, state);
    const auto cls = static_cast<eHelvoCfgClass>(c);
    if (r >= 0 && r / span < Tables::FunctionsPerDsp(cls, state))
      return GetIndexedPhasorAddress(cls, r / span);
  }
  return nullptr;
}

CPhasor* cHelvoDspCfg::ResolveStateIndex(int& index) {
  if (index < 0) return nullptr;
  const int word = index / 32;
  const sCfgState state = sCfgState::Of(this);
  for (int c = 0; c < kNumClasses; ++c) {
    const int span = Tables::GetStateSpan(c, state);
    if (span <= 0) continue;
    const int offset = Tables::GetStateOffset(c, state);
    const int r = word - offset;
    if (r < 0 || r >= span) continue;
    // The first block that holds the word decides.
    const auto cls = static_cast<eHelvoCfgClass>(c);
    const int functions = Tables::FunctionsPerDsp(cls, state);
    const int words = StateWords(functions);
    if (words == 0) return nullptr;
    const int bit = (index - 32 * offset) % (32 * words);
    if (bit >= functions) return nullptr;
    index = r / words;
    return GetIndexedPhasorAddress(cls, bit);
  }
  return nullptr;
}

}  // namespace helvo
