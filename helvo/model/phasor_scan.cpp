#include "helvo/model/phasor_scan.h"

#include "helvo/model/class_tables.h"
#include "helvo/model/dsp_cfg.h"
#include "helvo/model/phasor.h"

namespace helvo {

namespace {

constexpr unsigned long kKindBits = 0xFul;

}  // namespace

cPhasorScan::cPhasorScan(cHelvoDspCfg* group, E_PHSCAN_MODE mode, unsigned long mask, CElementName* element)
    : m_pDspCfg(group),
      m_pCfg(group ? group->GetConfiguration() : nullptr),
      m_eMode(mode),
      m_nScanMask(mask),
      m_nMask(mask),
      m_pStartElement(element) {}

CPhasor* cPhasorScan::GetFirst() {
  m_nMask = m_nScanMask;
  m_pElement = nullptr;
  m_pType = nullptr;
  m_pList = nullptr;
  m_posNext = PhasorList::Position();
  m_posLast = PhasorList::Position();
  m_nFreqSlot = 0;
  m_ePhase = ePhase::kDone;

  if (m_eMode == ePhScanGroup && m_pDspCfg) {
    m_ePhase = ePhase::kFrequency;
  } else if (m_eMode == ePhScanElement && m_pStartElement) {
    m_ePhase = ePhase::kElements;
    m_pElement = m_pStartElement;
    if (!StartTypes()) m_ePhase = ePhase::kDone;
  }
  return Advance();
}

CPhasor* cPhasorScan::GetNext() {
  return Advance();
}

void cPhasorScan::RemoveLast() {
  if (!m_posLast || !m_pList) return;
  m_pList->RemoveAt(m_posLast);  // the next position was taken before, so the scan can go on
  m_posLast = PhasorList::Position();
}

bool cPhasorScan::StartTypes() {
  return SelectType(0);
}

bool cPhasorScan::NextType() {
  return SelectType(m_nTypeIndex + 1);
}

bool cPhasorScan::SelectType(unsigned int from) {
  m_pType = nullptr;
  m_pList = nullptr;
  m_posNext = PhasorList::Position();
  for (m_nTypeIndex = from; sTypesEntry::IsValidIndex(m_nTypeIndex); ++m_nTypeIndex) {
    const sTypesEntry& type = TypesEntries[m_nTypeIndex];
    const unsigned long match = type.m_nFlags & m_nMask & ~kKindBits;
    if (match == 0) continue;
    m_pType = &type;
    m_nMatch = match;
    m_pList = &m_pElement->GetKindList(CElementName::KindOf(&type));
    m_posNext = m_pList->GetHeadPosition();
    return true;
  }
  return false;
}

bool cPhasorScan::NextElement() {
  FilerList& elements = m_pDspCfg->GetElementList();
  while (m_posElement) {
    auto* element = dynamic_cast<CElementName*>(elements.GetNext(m_posElement));
    if (!element) continue;
    m_pElement = element;
    if (StartTypes()) return true;
  }
  m_pElement = nullptr;
  return false;
}

CPhasor* cPhasorScan::Advance() {
  m_posLast = PhasorList::Position();
  if (m_ePhase == ePhase::kFrequency) {
    CPhasor** slots = m_pDspCfg->GetFunctionTableAddress(eFrequencyCfg);
    const int count = cHelvoDspCfg::GetFunctionTableCapacity(eFrequencyCfg);
    if (m_nMask & kFrequencyBit) {
      while (m_nFreqSlot < count) {
        CPhasor* f = slots[m_nFreqSlot++];
        if (f) return f;
      }
    }
    // Frequency functions are in no element list.
    m_nMask &= ~kFrequencyBit;
    m_ePhase = ePhase::kElements;
    m_posElement = m_pDspCfg->GetElementList().GetHeadPosition();
    if (!NextElement()) m_ePhase = ePhase::kDone;
  }
  while (m_ePhase == ePhase::kElements) {
    while (m_posNext) {
      const PhasorList::Position here = m_posNext;
      CPhasor* f = m_pList->GetNext(m_posNext);
      if (f && (f->GetPhaseFlags() & m_nMatch & ~kKindBits) != 0) {
        m_posLast = here;
        return f;
      }
    }
    if (NextType()) continue;
    if (m_eMode == ePhScanGroup && NextElement()) continue;
    m_ePhase = ePhase::kDone;
  }
  return nullptr;
}

}  // namespace helvo
