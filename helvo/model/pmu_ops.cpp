// What saving does with the PMU phasors and CDR channels of a channel group: the scale factors each
// streamed phasor is sent with, the hidden meter group that lists the meters the PMU streams, and
// dropping the definitions a target setting version cannot hold.
#include <cfloat>
#include <climits>
#include <cmath>
#include <cstdint>
#include <vector>

#include "helvo/model/dsp_cfg.h"
#include "helvo/model/helvo_cfg.h"
#include "helvo/model/meter_group.h"
#include "helvo/model/phasor.h"
#include "helvo/model/pmu.h"
#include "helvo/platform/format.h"
#include "helvo/scaling/scale.h"

namespace helvo {

namespace {

constexpr double kPeakTimes1e5 = 141421.35624;  // 100000 x sqrt(2)
constexpr double kPerCount = 1.52587890625e-5;  // 1 / 65536

// The scale of f when it is usable for streaming; none otherwise.
const cScale* StreamScale(CPhasor* f) {
  if (!f) return nullptr;
  const cScale* s = f->GetpScale();
  return s && s->IsValid() ? s : nullptr;
}

// Primary per secondary at the scale's first point, in base units (volts per volt, amperes per
// ampere). A first point on the secondary zero has no ratio of its own; the slope of the scale, which
// equals that ratio for every scale through the origin, stands in for it.
double BaseRatio(const cScale& s) {
  if (s.m_fSec1 == 0.0f) return s.GetBaseScale();
  const double unitFactor = s.GetBaseScale() / s.GetSecToPriScale();  // finite, non-zero on a valid scale
  return static_cast<double>(s.m_fPri1) / static_cast<double>(s.m_fSec1) * unitFactor;
}

// The meter items a PMU phasor streams of its input, by input type; -1 for a type without input.
int FirstStreamedItem(int inputType) {
  switch (inputType) {
    case 0:
    case 1:
    case 4:
      return 0;
    case 2:
      return 2;
    case 3:
      return 4;
    default:
      return -1;
  }
}

// The class list an input type's function is searched in; -1 for a type without input.
int InputClass(int inputType) {
  if (inputType == 0) return eAnalogCfg;
  if (inputType >= 1 && inputType <= 3) return eSequenceCfg;
  if (inputType == 4) return eSummationCfg;
  return -1;
}

std::vector<CPMU*> PMUPhasors(cHelvoDspCfg* group) {
  std::vector<CPMU*> out;
  for (CFiler* obj : group->GetPMUList())
    if (auto* pmu = dynamic_cast<CPMU*>(obj)) out.push_back(pmu);
  return out;
}

void DeleteAll(FilerList& list) {
  while (!list.IsEmpty()) delete list.RemoveHead();
}

}  // namespace

CPhasor* CHelvoCfg::GetPMUPhasor(int index, int type) {
  const int cls = InputClass(type);
  cHelvoDspCfg* group = m_pDspCfg[0];
  if (cls < 0 || !group) return nullptr;
  for (CFiler* obj : group->GetClassList(cls)) {
    auto* f = dynamic_cast<CPhasor*>(obj);
    if (f && static_cast<std::int64_t>(f->GetChannelNumber()) - 1 == index) return f;
  }
  return nullptr;
}

int CHelvoCfg::ComputePDCScale(CPhasor* f, int& pdc) {
  const cScale* s = StreamScale(f);
  if (!s) return 0;
  const double value = BaseRatio(*s) * static_cast<double>(s->m_fFullScale) * kPeakTimes1e5 * kPerCount + 0.5;
  if (std::isnan(value)) return 0;
  if (value >= 2147483648.0)
    pdc = INT_MAX;
  else if (value <= -2147483649.0)
    pdc = INT_MIN;
  else
    pdc = static_cast<int>(value);  // truncation, as the recorder rounds
  return 0;
}

int CHelvoCfg::ComputeDSPScale(CPhasor* f, float& dsp) {
  const cScale* s = StreamScale(f);
  if (!s) return 0;
  int pdc = 1;
  ComputePDCScale(f, pdc);
  if (pdc == 0) return 0;  // a PDC factor of 0 scales nothing: no DSP factor goes with it
  const double value = BaseRatio(*s) * 100000.0 / pdc;
  if (std::isnan(value)) return 0;
  if (value > FLT_MAX)
    dsp = FLT_MAX;
  else if (value < -FLT_MAX)
    dsp = -FLT_MAX;
  else
    dsp = static_cast<float>(value);
  return 0;
}

void CHelvoCfg::ResolvePMU(cHelvoDspCfg* group, int version) {
  if (!group) return;
  if (version < kFirstPmuVersion) {
    group->RemoveAllPMU();
    DeleteAll(m_PMUIdList);
    return;
  }
  // A group an earlier call built would otherwise be written as a second copy. Only that group goes:
  // a group of the user's keeps its place whatever its name.
  std::vector<CMeterGroup*> stale;
  for (CFiler* obj : m_MeterGroupList)
    if (auto* g = dynamic_cast<CMeterGroup*>(obj); g && g->m_bPmuOwn) stale.push_back(g);
  for (CMeterGroup* g : stale) {
    Remove(g);
    delete g;
  }

  CMeterGroup* meters = nullptr;
  int used = 0;
  auto append = [&](CPhasor* f, int item) {
    if (used >= CMeterGroup::kMeterSlots) return;
    meters->m_Meters[used].m_pPhasor = f;
    meters->m_Meters[used].m_nMeter = item;
    meters->m_nCount = ++used;
  };
  for (CPMU* pmu : PMUPhasors(group)) {
    if (!pmu->IsDefined()) {
      group->Remove(pmu);
      delete pmu;
      continue;
    }
    CPhasor* f = GetPMUPhasor(pmu->m_nInputIndex, pmu->m_nInputType);
    if (!meters) {
      meters = new CMeterGroup(CMeterGroup::kHiddenPmuGroupName, this);
      meters->m_bPmuOwn = true;
    }
    // Two references per streamed phasor, also without an input, so that the group's entries stay in
    // step with the phasors.
    const int item = FirstStreamedItem(pmu->m_nInputType);
    append(f, item);
    append(f, item < 0 ? -1 : item + 1);
  }
  if (meters && !group->GetPMUList().IsEmpty()) {
    FilerList& frequencies = group->GetClassList(eFrequencyCfg);
    if (!frequencies.IsEmpty()) append(dynamic_cast<CPhasor*>(frequencies.GetHead()), 0);
  }
  if (group->GetPMUList().IsEmpty()) DeleteAll(m_PMUIdList);
}

void CHelvoCfg::UpdatePMUInfo(cHelvoDspCfg* group, int version) {
  if (!group) return;
  if (version >= kFirstPmuVersion) {
    for (CPMU* pmu : PMUPhasors(group)) {
      if (!pmu->IsDefined()) {
        group->Remove(pmu);
        delete pmu;
        continue;
      }
      CPhasor* f = GetPMUPhasor(pmu->m_nInputIndex, pmu->m_nInputType);
      float dsp = 1.0f;
      ComputeDSPScale(f, dsp);
      pmu->m_fDSPScale = dsp;
      int pdc = 1;
      ComputePDCScale(f, pdc);
      pmu->m_nPDCScale = pdc;
    }
  } else {
    group->RemoveAllPMU();
  }
  if (group->GetPMUList().IsEmpty()) DeleteAll(m_PMUIdList);
}

void CHelvoCfg::UpdateCDRInfo(cHelvoDspCfg* group, int version) {
  if (!group) return;
  if (version >= kFirstCdrVersion) {
    std::vector<CCDR*> unused;
    for (CFiler* obj : group->GetCDRList())
      if (auto* cdr = dynamic_cast<CCDR*>(obj); cdr && !cdr->IsUsed()) unused.push_back(cdr);
    for (CCDR* cdr : unused) {
      group->Remove(cdr);
      delete cdr;
    }
  } else {
    group->RemoveAllCDR();
  }
  if (group->GetCDRList().IsEmpty()) DeleteAll(m_CDRIdList);
}

}  // namespace helvo
