#include "helvo/model/meter_group.h"

#include "helvo/engine/helvo_section.h"
#include "helvo/model/phasor.h"
#include "helvo/platform/format.h"

namespace helvo {

HELVO_IMPLEMENT_DYNCREATE(CMeterGroup, CFiler)

namespace {

// Key name ids (helvo/resources/meter_group_trend_strings.cpp): NAME, then INDEX1 to INDEX60, then
// COUNT, after the section's own id.
enum : int {
  IDS_METERING_GROUP_NAME = 10929,
  IDS_METERING_GROUP_INDEX1 = 10930,
  IDS_METERING_GROUP_COUNT = 10990,
};

// The meter converter asks whether its owner is the PMU meter group when it numbers sequence meters.
// Only a meter group can be that group, so putting the test in place whenever a group is made means
// it is there before any group can be written, without depending on the order of static
// initialisation.
void InstallPmuMeterGroupTest() {
  CrefMeter::SetPmuMeterGroupTest(&CMeterGroup::IsPmuMeterGroup);
}

}  // namespace

CMeterGroup::CMeterGroup() {
  InstallPmuMeterGroupTest();
  Initialize();
}

CMeterGroup::CMeterGroup(const std::string& name, CHelvoCfg* parent) : CFiler(parent), m_strName(name) {
  InstallPmuMeterGroupTest();
  Initialize();
  if (parent) parent->m_MeterGroupList.AddTail(this);
}

CMeterGroup& CMeterGroup::operator=(const CMeterGroup& other) {
  if (this == &other) return *this;
  CFiler::operator=(other);
  m_strName = other.m_strName;
  m_nNumber = other.m_nNumber;
  m_nCount = other.m_nCount;
  for (int i = 0; i < kMeterSlots; ++i) m_Meters[i] = other.m_Meters[i];
  return *this;
}

CMeterGroup::~CMeterGroup() {
  if (auto* cfg = dynamic_cast<CHelvoCfg*>(GetParent())) cfg->Remove(this);
}

void CMeterGroup::Initialize() {
  m_nNumber = -1;
}

bool CMeterGroup::IsPmuMeterGroup(const CFiler* group) {
  const auto* meters = dynamic_cast<const CMeterGroup*>(group);
  if (!meters || !EqualsNoCase(meters->m_strName, "PMU")) return false;
  const auto* cfg = dynamic_cast<const CHelvoCfg*>(meters->GetParent());
  return cfg && meters->m_nNumber == static_cast<int>(cfg->m_MeterGroupList.GetCount());
}

void CMeterGroup::DefineMeterGroupCfgTypes(cHelvoSection* section) {
  using C = CMeterGroup;
  section->LoadCfgType(FieldOf(&C::m_strName), IDS_METERING_GROUP_NAME)
      ->LoadCfgType(FieldOf(&C::m_nNumber), 0);  // the number in the section header
  for (int i = 0; i < kKeyedSlots; ++i)
    section->LoadCfgType(FieldOf(&C::m_Meters, i), IDS_METERING_GROUP_INDEX1 + i);
  section->LoadCfgType(FieldOf(&C::m_nCount), IDS_METERING_GROUP_COUNT);
  // Every slot, keyed or not, can hold a function once the file is linked, so every slot is cleared
  // when that function is removed.
  for (int i = 0; i < kMeterSlots; ++i)
    section->LoadReferenceAddress(FieldOf(&C::m_Meters, i, &CrefMeter::m_pPhasor));
}

}  // namespace helvo
