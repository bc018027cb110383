// Naming what references refer to.
#include "helvo/review/references.h"

#include "helvo/engine/converters.h"
#include "helvo/engine/filer.h"
#include "helvo/model/dsp_cfg.h"
#include "helvo/model/element_name.h"
#include "helvo/model/helvo_cfg.h"
#include "helvo/model/phasor.h"
#include "helvo/model/pmu.h"

namespace helvo {

CPhasor* Lookups::FunctionAt(eHelvoCfgClass cls, int index) {
  cHelvoDspCfg* group = cfg_.m_pDspCfg[0];
  if (!group || index < 0) return nullptr;
  auto [byChannel, fresh] = byChannel_.try_emplace(cls);
  if (fresh)
    for (CFiler* obj : group->GetClassList(cls))
      if (auto* p = dynamic_cast<CPhasor*>(obj)) byChannel->second.emplace(p->GetChannelNumber() - 1, p);
  if (auto it = byChannel->second.find(index); it != byChannel->second.end()) return it->second;
  return group->GetIndexedPhasorAddress(cls, index);
}

std::string Lookups::NameOf(const CPhasor* p) {
  if (!p) return {};
  auto [it, fresh] = names_.try_emplace(p);
  if (fresh) p->GetName(it->second);
  return it->second;
}

ReferenceTarget NameReference(const CFilerEntry& entry, CFiler* obj, KeyValue& value, Lookups& lookups,
                              bool names) {
  if (entry.GetType() == CFilerEntry::eElement) {
    CFilerElement* converter = nullptr;
    const RefKind kind = lookups.kinds.Of(entry, obj, converter);
    const bool named = value.value != "-1";
    value.reference = kind != RefKind::kNone;
    switch (kind) {
      case RefKind::kElement:
        if (auto* e = static_cast<CrefElementName*>(converter)->m_pElementName; e && names)
          value.target = e->GetName();
        break;
      case RefKind::kPhasor:
        if (CPhasor* p = static_cast<CrefPhasor*>(converter)->m_pPhasor; named && p) {
          if (names) value.target = lookups.NameOf(p);
          return {p, nullptr, 0};
        }
        break;
      case RefKind::kState:
        if (auto* state = static_cast<crefState*>(converter); named && state->m_pPhasor) {
          if (names) state->m_pPhasor->GetStateName(value.target, state->m_nNumber);
          return {state->m_pPhasor, "state", state->m_nNumber};
        }
        break;
      case RefKind::kMeter:
        if (auto* meter = static_cast<CrefMeter*>(converter); named && meter->m_pPhasor) {
          if (names) meter->m_pPhasor->GetMeterName(value.target, meter->m_nMeter);
          return {meter->m_pPhasor, "meter", meter->m_nMeter};
        }
        break;
      case RefKind::kNone:
        break;
    }
    return {};
  }
  const CPhasor* input = nullptr;
  const int cls = obj->GetClass();
  if (entry.GetType() != CFilerEntry::eInt || (cls != ePMU && cls != eCDR)) return {};
  if (auto* pmu = dynamic_cast<CPMU*>(obj); pmu && entry.GetOffset() == FieldOf(&CPMU::m_nInputIndex)) {
    value.reference = true;
    static constexpr eHelvoCfgClass kByType[] = {eAnalogCfg, eSequenceCfg, eSequenceCfg, eSequenceCfg,
                                                 eSummationCfg};
    if (pmu->m_nInputType >= 0 && pmu->m_nInputType < 5)
      input = lookups.FunctionAt(kByType[pmu->m_nInputType], pmu->m_nInputIndex);
  } else if (auto* cdr = dynamic_cast<CCDR*>(obj);
             cdr && entry.GetOffset() == FieldOf(&CCDR::m_nInputIndex)) {
    value.reference = true;
    input = lookups.FunctionAt(eAnalogCfg, cdr->m_nInputIndex);
  }
  if (names) value.target = lookups.NameOf(input);
  return {input, nullptr, 0};
}

}  // namespace helvo
