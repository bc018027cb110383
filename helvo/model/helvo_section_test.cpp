#include "helvo/engine/helvo_section.h"

#include <gtest/gtest.h>

#include <string>

#include "helvo/model/class_tables.h"
#include "helvo/model/phasor.h"
#include "helvo/platform/string_table.h"

namespace helvo {
namespace {

constexpr StringResource kSectionStrings[] = {
    {92101, "SUM"}, {92102, "Mag"}, {92103, "Ang"}, {92104, "\n"}, {92105, "HiLev"}, {92106, "IN1"},
};

class SectionTest : public ::testing::Test {
 protected:
  SectionTest() { RegisterStringTable(kSectionStrings); }
  ~SectionTest() override { UnregisterStringTable(kSectionStrings); }
};

// A record with two phasor links, a direct function pointer and two action blocks.
class LinkRecord : public CFiler {
 public:
  int GetClass() const override { return eSummationCfg; }
  CrefPhasor m_Inputs[2];
  CPhasor* m_pTrigger = nullptr;
  CActionBlock m_oHigh, m_oLow;
  int m_nValue = 0;
};

class LinkContainer : public cFilerContainer {
 public:
  LinkContainer() {
    auto* s = new cHelvoSection(92101, eSummationCfg, FieldOf(&LinkContainer::m_Records));
    s->LoadCfgType(FieldOf(&LinkRecord::m_Inputs, 0), 92106)
        ->LoadReferenceAddress(FieldOf(&LinkRecord::m_Inputs, 0, &CrefPhasor::m_pPhasor))
        ->LoadReferenceAddress(FieldOf(&LinkRecord::m_Inputs, 1, &CrefPhasor::m_pPhasor))
        ->LoadReferenceAddress(FieldOf(&LinkRecord::m_pTrigger));
    AddFilerSection(eSummationCfg, s);
  }
  ~LinkContainer() override {
    while (!m_Records.IsEmpty()) delete m_Records.RemoveHead();
  }
  LinkRecord* Make() {
    auto* r = new LinkRecord;
    r->SetParent(this);
    m_Records.AddTail(r);
    return r;
  }
  FilerList m_Records;
};

TEST_F(SectionTest, ChoiceWalksAdvanceThenReturn) {
  cHelvoSection section(92101, eSummationCfg);
  cHelvoSection::MeterPosition mpos;
  EXPECT_EQ(section.GetFirstMeterId(mpos), nullptr);
  EXPECT_EQ(section.GetNextMeterId(mpos), nullptr);

  // Keys and choices in one chain.
  section.LoadCfgType(FieldOf(&LinkRecord::m_nValue), 92106)
      ->LoadMeterDefinition(0, 92102, 0xF0)
      ->LoadMeterDefinition(2, 92104, 0x100)
      ->LoadMeterDefinition(1, 92103, 0xF0);
  std::string walked;
  for (sMeterChoice* m = section.GetFirstMeterId(mpos); m; m = section.GetNextMeterId(mpos))
    walked += std::to_string(m->m_nIndex) + ":" + m->GetSuffix() + ";";
  EXPECT_EQ(walked, "0:Mag;2:;1:Ang;");  // registration order; "\n" is no suffix
  EXPECT_EQ(section.FindMeterChoice(3), nullptr);

  cHelvoSection::StatePosition spos;
  section.LoadStateDefinition(0, 92105, 0xF0, ActionBlockOf(&LinkRecord::m_oHigh),
                              ActionBlockOf(&LinkRecord::m_oHigh));
  section.LoadStateDefinition(1, 92104, 0xF0, ActionBlockOf(&LinkRecord::m_oHigh),
                              ActionBlockOf(&LinkRecord::m_oLow));
  sStateChoice* single = section.GetFirstStateId(spos);
  sStateChoice* pair = section.GetNextStateId(spos);
  ASSERT_TRUE(single && pair);
  EXPECT_EQ(section.GetNextStateId(spos), nullptr);

  LinkRecord record;
  EXPECT_TRUE(single->HasSingleAction());
  EXPECT_EQ(single->GetSecondAction(&record), &record.m_oHigh);
  EXPECT_EQ(single->GetSuffix(), "HiLev");
  EXPECT_FALSE(pair->HasSingleAction());
  EXPECT_EQ(pair->GetSecondAction(&record), &record.m_oLow);
  // The action reference is the same field reference as a key on that block would use.
  EXPECT_TRUE(pair->m_Second == FieldOf(&LinkRecord::m_oLow));
  CFiler other;
  EXPECT_EQ(single->GetFirstAction(&other), nullptr);
}

TEST_F(SectionTest, ClearingReferencesTouchesOnlyTheRemovedFunction) {
  cFilerContainer root;
  LinkContainer group;
  auto* nested = new cHelvoSection(0, eElementName);
  nested->AddNestedListAddress(&group);
  root.AddFilerSection(0, nested);

  CPhasor gone, kept;
  LinkRecord* a = group.Make();
  LinkRecord* b = group.Make();
  a->m_Inputs[0].m_pPhasor = &gone;
  a->m_Inputs[1].m_pPhasor = &kept;
  a->m_pTrigger = &gone;
  b->m_Inputs[1].m_pPhasor = &gone;
  b->m_pTrigger = &kept;

  EXPECT_EQ(ClearReferencesTo(&root, &gone), 3);  // reached through the nested group
  EXPECT_EQ(a->m_Inputs[0].m_pPhasor, nullptr);
  EXPECT_EQ(a->m_Inputs[1].m_pPhasor, &kept);
  EXPECT_EQ(a->m_pTrigger, nullptr);
  EXPECT_EQ(b->m_Inputs[1].m_pPhasor, nullptr);
  EXPECT_EQ(b->m_pTrigger, &kept);
  EXPECT_EQ(ClearReferencesTo(&root, &gone), 0);
  EXPECT_EQ(ClearReferencesTo(&root, nullptr), 0);
}

}  // namespace
}  // namespace helvo
