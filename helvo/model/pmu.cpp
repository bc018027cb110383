#include "helvo/model/pmu.h"

#include "helvo/model/dsp_cfg.h"

namespace helvo {

HELVO_IMPLEMENT_DYNCREATE(CPMU, CFiler)
HELVO_IMPLEMENT_DYNCREATE(CCDR, CFiler)

// ---- CPMU ----

CPMU::CPMU() {
  Initialize();
}

CPMU::CPMU(const std::string& name, cHelvoDspCfg* group) : CFiler(group), m_strName(name) {
  Initialize();
  if (group) group->GetPMUList().AddTail(this);
}

CPMU& CPMU::operator=(const CPMU& other) {
  if (this == &other) return *this;
  CFiler::operator=(other);
  m_strName = other.m_strName;
  m_strText2 = other.m_strText2;
  m_strText3 = other.m_strText3;
  m_nInputIndex = other.m_nInputIndex;
  m_nInputType = other.m_nInputType;
  m_nUnits = other.m_nUnits;
  m_fDSPScale = other.m_fDSPScale;
  m_nPDCScale = other.m_nPDCScale;
  m_nPhasorNumber = other.m_nPhasorNumber;
  for (int i = 0; i < kNumMeters; ++i) m_Meters[i] = other.m_Meters[i];
  return *this;
}

CPMU::~CPMU() {
  if (auto* group = dynamic_cast<cHelvoDspCfg*>(GetParent())) group->Remove(this);
}

void CPMU::Initialize() {
  m_nInputIndex = -1;
  m_nInputType = 0;
  m_nUnits = 0;
  m_fDSPScale = 10.0f;
  m_nPDCScale = 1;
  m_nPhasorNumber = 1;
  m_nReserved = 10;
}

// ---- CCDR ----

int CCDR::m_nCDRSRate = 6;

CCDR::CCDR() {
  Initialize();
}

CCDR::CCDR(const std::string& name, cHelvoDspCfg* group) : CFiler(group), m_strName(name) {
  Initialize();
  if (group) group->GetCDRList().AddTail(this);
}

CCDR& CCDR::operator=(const CCDR& other) {
  if (this == &other) return *this;
  CFiler::operator=(other);
  m_strName = other.m_strName;
  m_strText2 = other.m_strText2;
  m_strText3 = other.m_strText3;
  m_nReserved = other.m_nReserved;
  m_nInputIndex = other.m_nInputIndex;
  for (int i = 0; i < kNumMeters; ++i) m_Meters[i] = other.m_Meters[i];
  return *this;
}

CCDR::~CCDR() {
  if (auto* group = dynamic_cast<cHelvoDspCfg*>(GetParent())) group->Remove(this);
}

void CCDR::Initialize() {
  m_nInputIndex = -1;
}

}  // namespace helvo
