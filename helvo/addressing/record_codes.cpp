// Record codes: the host application names a function of a recorder record by a record code and a
// record index. The code selects a function class; the index counts the class's functions across both
// boards (user number - 1), for some codes twice over (two record entries per function). Frequency
// functions are counted by board on the older recorders and by channel on the newer ones.
#include <cstdint>

#include "helvo/model/class_tables.h"
#include "helvo/model/dsp_cfg.h"
#include "helvo/model/helvo_cfg.h"
#include "helvo/model/phasor.h"
#include "helvo/model/records.h"

namespace helvo {

namespace {

using Tables = CHelvoCfgTables;

struct sRecordCode {
  int m_nCode;
  eHelvoCfgClass m_eClass;
  int m_nMultiplier;  // record entries per function; 0 for frequency functions (numbered apart)
};

// Codes the host knows. Codes not listed (5, 20 to 39) name no class. Frozen: hosts store these.
constexpr sRecordCode kRecordCodes[] = {
    {3, eDigitalCfg, 1},    {4, eAnalogCfg, 1},     {6, eSequenceCfg, 2},   {7, eSequenceCfg, 2},
    {8, eSequenceCfg, 2},   {9, eAnalogCfg, 1},     {10, eSummationCfg, 2}, {11, eWattsVarsCfg, 1},
    {12, eAnalogCfg, 1},    {13, eAnalogCfg, 2},    {14, eSequenceCfg, 2},  {15, eSummationCfg, 2},
    {16, eWattsVarsCfg, 1}, {17, eWattsVarsCfg, 1}, {18, eFrequencyCfg, 0}, {19, eImpedanceCfg, 2},
    {40, ePFDetCfg, 2},     {41, eWattsVarsCfg, 1}, {42, eDigitalCfg, 1},   {43, eSequenceCfg, 2},
    {44, eSequenceCfg, 2},
};
constexpr int kLastListedCode = 19;  // GetcRecordIndices lists codes 3 to 19 only

// The codes a function is listed under (GetcRecordMapping): one for the first kind of request (kinds
// 7, 10 and 11) and one for the second (kinds 14 to 19); -1 where the class has no listing of that kind.
struct sListing {
  eHelvoCfgClass m_eClass;
  int m_nFirstKindCode;
  int m_nSecondKindCode;
};

constexpr sListing kListings[] = {
    {eAnalogCfg, 4, 13},     {eSummationCfg, 10, 15}, {eSequenceCfg, 7, 14},
    {eWattsVarsCfg, 11, 16}, {eImpedanceCfg, -1, 19}, {eFrequencyCfg, -1, 18},
};

const sRecordCode* FindCode(int code) {
  for (const sRecordCode& entry : kRecordCodes)
    if (entry.m_nCode == code) return &entry;
  return nullptr;
}

const sListing* FindListing(int cls) {
  for (const sListing& listing : kListings)
    if (listing.m_eClass == cls) return &listing;
  return nullptr;
}

// The generation the configuration was loaded for (its identification record keeps it); the current
// generation when there is no record.
int RecordGeneration(const CHelvoCfg* cfg) {
  const CIdCfg* id = cfg ? cfg->GetIdCfg() : nullptr;
  return id ? id->m_nNumBanks : cfg ? cfg->m_State.m_iIedGen : 0;
}

bool IsNewGeneration(int gen) {
  return gen == 3 || gen == 4;
}

// The function in slot `slot` of class cls's table on board `board`; none without that group.
CPhasor* SlotOf(CHelvoCfg& cfg, int board, eHelvoCfgClass cls, int slot) {
  cHelvoDspCfg* group = board >= 0 && board < 2 ? cfg.m_pDspCfg[board] : nullptr;
  return group ? group->GetIndexedPhasorAddress(cls, slot) : nullptr;
}

// Frequency record index: the board on the older recorders (one frequency function per board), the
// slot on the newer ones (both on the one board).
CPhasor* FrequencyFunction(CHelvoCfg& cfg, int index) {
  if (index != 0 && index != 1) return nullptr;
  const int gen = RecordGeneration(&cfg);
  if (gen == 1 || gen == 2) return SlotOf(cfg, index, eFrequencyCfg, 0);
  if (IsNewGeneration(gen)) return SlotOf(cfg, 0, eFrequencyCfg, index);
  return nullptr;
}

}  // namespace

CPhasor* CHelvoCfg::MapToPhasor(int code, int index) {
  const sRecordCode* entry = FindCode(code);
  if (!entry) return nullptr;
  if (entry->m_eClass == eFrequencyCfg) return FrequencyFunction(*this, index);
  if (index < 0) return nullptr;
  index /= entry->m_nMultiplier;
  const int perBoard = FunctionsPerDsp(entry->m_eClass, m_State);
  if (perBoard <= 0 || index >= std::int64_t{perBoard} * DspsByGen(m_State.m_iIedGen)) return nullptr;
  const int board = index >= perBoard ? 1 : 0;
  return SlotOf(*this, board, entry->m_eClass, index - perBoard * board);
}

void CHelvoCfg::GetcRecordIndices(int code, std::vector<int>& indexes) {
  indexes.clear();
  const sRecordCode* entry = FindCode(code);
  if (!entry || code > kLastListedCode) return;

  if (entry->m_eClass == eFrequencyCfg) {
    const int gen = RecordGeneration(this);
    if (gen == 1 || gen == 2) {
      for (int board = 0; board < DspsByGen(gen) && board < 2; ++board)
        if (SlotOf(*this, board, eFrequencyCfg, 0)) indexes.push_back(board);
    } else if (IsNewGeneration(gen)) {
      for (int slot = 0; slot < 2; ++slot)
        if (SlotOf(*this, 0, eFrequencyCfg, slot)) indexes.push_back(slot);
    }
    return;
  }

  // Only the boards MapToPhasor maps to, so every index listed names its function.
  const int perBoard = FunctionsPerDsp(entry->m_eClass, m_State);
  const int boards = DspsByGen(m_State.m_iIedGen);
  for (int board = 0; board < boards && board < 2; ++board) {
    for (int slot = 0; slot < perBoard; ++slot) {
      CPhasor* function = SlotOf(*this, board, entry->m_eClass, slot);
      if (function && function->AreInputsDefined())
        indexes.push_back(entry->m_nMultiplier * (perBoard * board + slot));
    }
  }
}

void CPhasor::GetcRecordMapping(int kind, int& code, int& index) const {
  const bool firstKind = kind == 7 || kind == 10 || kind == 11;
  const bool secondKind = kind >= 14 && kind <= 19;
  const sListing* listing = FindListing(GetClass());
  if ((!firstKind && !secondKind) || !listing) {
    code = 0;
    index = 0;
    return;
  }
  const int listedCode = firstKind ? listing->m_nFirstKindCode : listing->m_nSecondKindCode;
  const int channel = GetChannelNumber();

  if (listing->m_eClass == eFrequencyCfg) {
    const cHelvoDspCfg* group = GetDspCfg();
    const int gen = RecordGeneration(group ? group->GetConfiguration() : nullptr);
    if (!IsNewGeneration(gen)) {
      code = listedCode;
      index = GetDspIndex();
    } else if (channel == 1 || channel == 2) {
      // Both frequency functions sit on the one board; the record index tells them apart as
      // MapToPhasor and GetcRecordIndices do.
      code = listedCode;
      index = channel - 1;
    } else {
      code = 0;
      index = 0;
    }
    return;
  }

  if (listedCode == -1) {  // no listing of this kind; the index is left as it was
    code = -1;
    return;
  }
  if (!IsValidChannel(channel)) {  // a function without a channel number has no record entry
    code = 0;
    index = 0;
    return;
  }
  const sRecordCode* entry = FindCode(listedCode);
  const sClassInfo& row = Tables::ClassTable[listing->m_eClass];
  const int firstUser = GetDspIndex() == 0 ? row.m_nFirstChannelDsp1 : row.m_nFirstChannelDsp2;
  code = listedCode;
  index = (firstUser - row.m_nFirstChannelDsp1 + channel - 1) * entry->m_nMultiplier;
}

}  // namespace helvo
