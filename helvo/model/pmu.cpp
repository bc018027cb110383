#include "helvo/model/pmu.h"

#include "helvo/engine/helvo_section.h"
#include "helvo/model/dsp_cfg.h"
#include "helvo/model/helvo_cfg.h"

namespace helvo {

HELVO_IMPLEMENT_DYNCREATE(CPMU, CFiler)
HELVO_IMPLEMENT_DYNCREATE(CCDR, CFiler)
HELVO_IMPLEMENT_DYNCREATE(CPMUId, CFiler)
HELVO_IMPLEMENT_DYNCREATE(CCDRId, CFiler)

namespace {

// Key name ids (helvo/resources/): each section's keys follow its own id.
enum : int {
  IDS_PMU_HEADER = 11937,  // section PMU 11936
  IDS_PMU_REPORTING_RATE = 11938,
  IDS_PHASOR_NAME = 11940,  // section PHASOR 11939
  IDS_PHASOR_INP_INDEX = 11941,
  IDS_PHASOR_INP_TYPE = 11942,
  IDS_PHASOR_UNITS = 11943,
  IDS_PHASOR_SCALE = 11944,
  IDS_PHASOR_PDC_SCALE = 11945,
  IDS_CDR_REPORTING_RATE = 11948,  // section CDR 11947
  IDS_CDR_CHAN_INP_INDEX = 11950,  // section CDR_CHAN 11949
};

}  // namespace

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

void CPMU::DefinePMUCfgTypes(cHelvoSection* section) {
  using C = CPMU;
  section->LoadCfgType(FieldOf(&C::m_strName), IDS_PHASOR_NAME)
      ->LoadCfgType(FieldOf(&C::m_nInputIndex), IDS_PHASOR_INP_INDEX)
      ->LoadCfgType(FieldOf(&C::m_nInputType), IDS_PHASOR_INP_TYPE)
      ->LoadCfgType(FieldOf(&C::m_nUnits), IDS_PHASOR_UNITS)
      ->LoadCfgType(FieldOf(&C::m_fDSPScale), IDS_PHASOR_SCALE)
      ->LoadCfgType(FieldOf(&C::m_nPDCScale), IDS_PHASOR_PDC_SCALE);
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

void CCDR::DefineCDRCfgTypes(cHelvoSection* section) {
  section->LoadCfgType(FieldOf(&CCDR::m_nInputIndex), IDS_CDR_CHAN_INP_INDEX);
}

// ---- CPMUId ----

CPMUId::CPMUId() = default;

CPMUId::CPMUId(const std::string& name, CHelvoCfg* parent) : CFiler(parent), m_strName(name) {
  m_nReportingRate = kDefaultReportingRate;
  if (parent) parent->m_PMUIdList.AddTail(this);
}

CPMUId& CPMUId::operator=(const CPMUId& other) {
  if (this == &other) return *this;
  CFiler::operator=(other);
  m_strName = other.m_strName;
  m_strHeader = other.m_strHeader;
  m_nReportingRate = other.m_nReportingRate;
  return *this;
}

CPMUId::~CPMUId() {
  if (auto* cfg = dynamic_cast<CHelvoCfg*>(CFiler::GetParent())) cfg->Remove(this);
}

void CPMUId::DefinePMUIdCfgTypes(cHelvoSection* section) {
  section->LoadCfgType(FieldOf(&CPMUId::m_strHeader), IDS_PMU_HEADER)
      ->LoadCfgType(FieldOf(&CPMUId::m_nReportingRate), IDS_PMU_REPORTING_RATE);
}

// ---- CCDRId ----

CCDRId::CCDRId() = default;

CCDRId::CCDRId(CHelvoCfg* parent) : CFiler(parent) {
  m_nReportingRate = kDefaultReportingRate;
  if (parent) parent->m_CDRIdList.AddTail(this);
}

CCDRId& CCDRId::operator=(const CCDRId& other) {
  if (this == &other) return *this;
  CFiler::operator=(other);
  m_nReportingRate = other.m_nReportingRate;
  return *this;
}

CCDRId::~CCDRId() {
  if (CHelvoCfg* cfg = GetParent()) cfg->Remove(this);
}

CHelvoCfg* CCDRId::GetParent() const {
  return dynamic_cast<CHelvoCfg*>(CFiler::GetParent());
}

void CCDRId::DefineCDRIdCfgTypes(cHelvoSection* section) {
  section->LoadCfgType(FieldOf(&CCDRId::m_nReportingRate), IDS_CDR_REPORTING_RATE);
}

}  // namespace helvo
