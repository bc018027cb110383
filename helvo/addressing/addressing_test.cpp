#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <memory>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "helvo/functions/frequency.h"
#include "helvo/functions/impedance.h"
#include "helvo/functions/logic.h"
#include "helvo/functions/pf_detector.h"
#include "helvo/functions/sequence.h"
#include "helvo/functions/summation.h"
#include "helvo/functions/watts_vars.h"
#include "helvo/model/dsp_cfg.h"
#include "helvo/model/meter_group.h"
#include "helvo/model/phasor.h"
#include "helvo/model/records.h"
#include "helvo/testing/cfg_fixture.h"

namespace helvo {
namespace {

using T = CHelvoCfgTables;
constexpr int kMeteredClasses[] = {1, 2, 3, 4, 5, 6, 9, 11, 16};

// A function of a class without meters, with its inputs defined.
class NoMeters : public CPhasor {
 public:
  using CPhasor::CPhasor;
  int GetClass() const override { return eFaultLocCfg; }
  int AreInputsDefined() override { return 1; }
};

class IndexResolutionTest : public testing::CfgTest {
 protected:
  // Header of a file of `version` that names generation gen: the one cfg read, and the statics.
  static void SetFile(CHelvoCfg& cfg, int gen, int version, int rate = 96) {
    const bool newFamily = gen >= 3;
    cFilerSections::m_nSettingVersion = newFamily ? std::max(version, 201) : std::min(version, 7);
    cFilerSections::m_nDSPBanks = gen == 2 ? 2 : 1;
    cFilerSections::m_nAChan = gen == 4 ? 36 : 18;
    cFilerSections::m_nSampleRate = rate;
    T::m_nSetVer = version;
    T::FunctionsPerDsp(eAnalogCfg);
    ASSERT_EQ(T::m_iIedGen, gen);
    cfg.m_State = sCfgState::FromStatics();
  }
  // A real function of class cls filed at channel n of group, every input taken from source.
  static std::unique_ptr<CPhasor> Make(int cls, cHelvoDspCfg* group, int n, CPhasor* source) {
    std::unique_ptr<CPhasor> f(dynamic_cast<CPhasor*>(T::CreateClassObject(cls)));
    f->SetParent(group);
    f->SetChannelNumber(n);
    group->Add(f.get());
    if (auto* p = dynamic_cast<CSummationCfg*>(f.get())) p->m_orefInput[0].m_pPhasor = source;
    if (auto* p = dynamic_cast<CSequenceCfg*>(f.get()))
      for (CrefPhasor& input : p->m_orefInput) input.m_pPhasor = source;
    if (auto* p = dynamic_cast<CImpedanceCfg*>(f.get()))
      p->m_orefVolts.m_pPhasor = p->m_orefAmps.m_pPhasor = source;
    if (auto* p = dynamic_cast<CWattsVarsCfg*>(f.get()))
      p->m_orefVolts.m_pPhasor = p->m_orefAmps.m_pPhasor = source;
    if (auto* p = dynamic_cast<CFrequencyCfg*>(f.get())) p->m_orefInput.m_pPhasor = source;
    if (auto* p = dynamic_cast<cPFDetCfg*>(f.get())) p->m_orefInput.m_pPhasor = source;
    if (auto* p = dynamic_cast<cLogicCfg*>(f.get())) p->m_orefInputs[0].m_pPhasor = source;
    EXPECT_TRUE(f->AreInputsDefined()) << cls;
    return f;
  }
};

// Every reference written as an index resolves back to it: meters at every version (files of 203 at
// the high sample rates, where a board holds fewer analog and digital channels), states and phasors.
TEST_F(IndexResolutionTest, ReferencesRoundTripAtEveryGenerationAndVersion) {
  int resolved = 0;
  for (int gen = 1; gen <= 4; ++gen) {
    for (int version : {3, 5, 7, 201, 202, 203}) {
      CHelvoCfg cfg;
      SetFile(cfg, gen, version, version == 203 && gen == 3 ? 384 : version == 203 && gen == 4 ? 256 : 96);
      auto* pmu = new CMeterGroup("pmu", &cfg);
      pmu->m_nNumber = 1;  // the last group
      for (int board = 0; board < (gen == 2 && version < 201 ? 2 : 1); ++board) {
        cHelvoDspCfg* group = cfg.m_pDspCfg[board];
        auto source = Make(eDigitalCfg, group, 2, nullptr);
        for (int cls : kMeteredClasses) {
          const int last = T::FunctionsPerDsp(static_cast<eHelvoCfgClass>(cls)), words = (last + 31) / 32;
          const int span = version >= 202 ? T::MeterId3_Span[cls] : T::MeterSpanByClass_Gen[cls][gen - 1];
          for (int n : {1, last}) {
            auto f = Make(cls, group, n, source.get());
            SCOPED_TRACE(::testing::Message() << gen << "/" << version << " class " << cls << " n " << n);
            for (int meter = 0; meter < span; ++meter) {
              CrefMeter ref;
              ref.m_pPhasor = f.get(), ref.m_nMeter = meter;
              // Sequence meters past the two-apart numbering exist only in the PMU meter group.
              const CFiler* owner =
                  version >= 202 && cls == eSequenceCfg && meter * 2 >= span ? pmu : nullptr;
              int index = -1;
              if (!(owner ? ref.RecalcMeterIndex(index, version, pmu) : ref.GetMeterIndex(index, version))) {
                // Only these blocks lie beyond the meter table of a file of that version.
                EXPECT_TRUE((gen >= 3 && version < 201) || (cls == ePFDetCfg && version < 5));
                continue;
              }
              eHelvoCfgClass c{};
              unsigned int b = 9;
              int function = 0, item = -1;
              ASSERT_TRUE(CHelvoCfg::ResolveMeterIndex(index, version, c, b, function, item, gen, owner));
              EXPECT_EQ(std::tuple(int{c}, b, function, item), std::tuple(cls, unsigned(board), n, meter));
              ++resolved;
            }
            for (int state = 0; state * words < T::GetStateSpan(cls); ++state) {
              crefState ref;
              ref.m_pPhasor = f.get(), ref.m_nNumber = state;
              int index = -1;
              ASSERT_TRUE(ref.GetStateIndex(index));
              EXPECT_EQ(group->ResolveStateIndex(index), f.get());
              EXPECT_EQ(index, state);
            }
            CrefPhasor phasor;
            phasor.m_pPhasor = f.get();
            int index = -1;
            // Watts/vars phasors share the analog block; the inputs naming them are resolved by slot.
            if (cls == eWattsVarsCfg || !phasor.GetPhasorIndex(index)) continue;
            EXPECT_EQ(group->ResolvePhasorIndex(index), f.get());
          }
        }
      }
    }
  }
  EXPECT_GT(resolved, 900);
}

TEST_F(IndexResolutionTest, AnyIndexResolvesInsideTheTablesOrFails) {
  eHelvoCfgClass c{};
  unsigned int board = 9;
  int function = 0, meter = -1;
  constexpr int kIndexes[] = {INT_MIN, -1, 0, 83, 214, 235, 356, 1047, 1048, INT_MAX};
  for (int gen : {INT_MIN, 0, 1, 2, 4, 5}) {
    for (int version : {INT_MIN, 4, 7, 201, 202, INT_MAX}) {
      for (int index : kIndexes) {
        if (!CHelvoCfg::ResolveMeterIndex(index, version, c, board, function, meter, gen)) continue;
        ASSERT_TRUE(gen >= 1 && gen <= 4);
        EXPECT_TRUE(board == 0 || (board == 1 && gen == 2));
        EXPECT_TRUE(function >= 1 && function <= T::NumFunctionsByClass_Gen[c][gen - 1] && meter >= 0);
      }
    }
  }
  EXPECT_FALSE(CHelvoCfg::ResolveMeterIndex(214, 4, c, board, function, meter, 1));  // between two blocks
  EXPECT_FALSE(CHelvoCfg::ResolveMeterIndex(235, 4, c, board, function, meter, 1));  // past the table

  CHelvoCfg cfg;
  SetFile(cfg, 4, 202);  // 36 analog channels: two words per state
  cHelvoDspCfg* group = cfg.m_pDspCfg[0];
  auto analog = Make(eAnalogCfg, group, 20, nullptr);
  for (int index : kIndexes) {
    int state = index, phasor = index;
    EXPECT_EQ(group->ResolveStateIndex(state), index == 83 ? analog.get() : nullptr) << index;
    EXPECT_EQ(std::tuple(group->ResolvePhasorIndex(phasor), phasor), std::tuple(nullptr, index));
  }
  int state = 83;
  EXPECT_EQ(std::tuple(group->ResolveStateIndex(state), state), std::tuple(analog.get(), 1));
}

// References the file could not carry without naming another function's meter, state or phasor.
TEST_F(IndexResolutionTest, IndexesStayWithTheirFunction) {
  CHelvoCfg cfg;
  SetFile(cfg, 3, 7);  // loaded from a version-7 file
  cHelvoDspCfg* group = cfg.m_pDspCfg[0];
  auto source = Make(eDigitalCfg, group, 2, nullptr);
  auto seq = Make(eSequenceCfg, group, 2, source.get());
  CrefMeter ref;
  ref.m_pPhasor = seq.get(), ref.m_nMeter = 1;
  EXPECT_EQ(ref.GetMeterIndex(202), 248);  // 240 + 6 x 1 + 1 x 2: the layout of the file written
  auto* pmu = new CMeterGroup("PMU", &cfg);
  pmu->m_nNumber = 1;
  std::string text;
  int freq = 60;
  ref.ConvertOut(pmu, text, 202, freq);
  EXPECT_EQ(text, "247");
  ref.m_nMeter = 4;  // a PMU item outside the two-apart numbering is still written for the PMU group
  EXPECT_EQ(std::tuple(ref.GetMeterIndex(202), ref.ConvertOut(pmu, text, 202, freq)), std::tuple(-1, 0ul));
  EXPECT_EQ(text, "250");
  ref.m_nMeter = 3;  // would be meter 0 of function 3
  EXPECT_EQ(ref.GetMeterIndex(202), -1);
  T::m_nSetVer = 202;  // loaded from a version-202 file, saved at 201
  ref.m_pPhasor = source.get(), ref.m_nMeter = 0;
  EXPECT_EQ(ref.GetMeterIndex(201), 332 + 1);
  NoMeters locator(group, nullptr, 0ul);
  locator.SetChannelNumber(1);
  ref.m_pPhasor = &locator;
  EXPECT_EQ(ref.GetMeterIndex(201), -1);

  crefState state;
  state.m_pPhasor = source.get(), state.m_nNumber = 2;  // digital inputs have states 0 and 1 here
  CrefPhasor phasor;
  phasor.m_pPhasor = source.get();  // and no phasors
  int index = 7;
  EXPECT_EQ(std::tuple(state.GetStateIndex(index), phasor.GetPhasorIndex(index), index), std::tuple(0, 0, 7));
}

TEST_F(IndexResolutionTest, RecordCodesMapBackToTheirFunctions) {
  CHelvoCfg cfg;
  SetFile(cfg, 2, 7);
  cHelvoDspCfg *g0 = cfg.m_pDspCfg[0], *g1 = cfg.m_pDspCfg[1];
  auto a3 = Make(eAnalogCfg, g0, 3, nullptr), b1 = Make(eAnalogCfg, g1, 1, nullptr);
  auto s1 = Make(eSummationCfg, g0, 1, a3.get()), s3 = Make(eSummationCfg, g0, 3, a3.get());
  auto s2 = Make(eSummationCfg, g0, 2, a3.get()), t1 = Make(eSummationCfg, g1, 1, b1.get());
  dynamic_cast<CSummationCfg*>(s2.get())->m_orefInput[0].m_pPhasor = nullptr;  // not defined
  auto q6 = Make(eSequenceCfg, g1, 6, b1.get()), z2 = Make(eImpedanceCfg, g1, 2, b1.get());
  auto f0 = Make(eFrequencyCfg, g0, 1, a3.get()), f1 = Make(eFrequencyCfg, g1, 1, b1.get());

  EXPECT_EQ(cfg.MapToPhasor(13, 5), a3.get());
  std::vector<int> indexes{7};
  cfg.GetcRecordIndices(15, indexes);
  EXPECT_EQ(indexes, (std::vector<int>{0, 4, 30}));
  for (CPhasor* f :
       {a3.get(), b1.get(), s1.get(), s3.get(), t1.get(), q6.get(), z2.get(), f0.get(), f1.get()}) {
    for (int kind : {7, 14}) {
      int code = 0, index = 99;
      f->GetcRecordMapping(kind, code, index);
      if (code == -1) continue;
      ASSERT_GT(code, 0) << f->GetClass();
      EXPECT_EQ(cfg.MapToPhasor(code, index), f) << code << " " << index;
      cfg.GetcRecordIndices(code, indexes);
      EXPECT_NE(std::find(indexes.begin(), indexes.end(), index), indexes.end()) << code << " " << index;
    }
  }
  int code = 5, index = 5;
  z2->GetcRecordMapping(7, code, index);
  EXPECT_EQ(std::tuple(code, index), std::tuple(-1, 5));
  a3->GetcRecordMapping(8, code, index);
  EXPECT_EQ(std::tuple(code, index), std::tuple(0, 0));
  for (int bad : {INT_MIN, 0, 2, 39, 40, INT_MAX}) {  // 40 is known to MapToPhasor only
    cfg.GetcRecordIndices(bad, indexes);
    EXPECT_TRUE(indexes.empty());
    for (int i : {INT_MIN, -1, 73}) {
      EXPECT_EQ(cfg.MapToPhasor(bad, i), nullptr);
      EXPECT_EQ(cfg.MapToPhasor(13, i), nullptr);
    }
  }
  EXPECT_EQ(cfg.MapToPhasor(18, 2), nullptr);

  // The newer recorders keep both frequency functions on the one board, told apart by the index.
  SetFile(cfg, 4, 202);
  cfg.m_pIdCfg = new CIdCfg(&cfg);
  cfg.m_pIdCfg->m_nNumBanks = 4;
  auto f2 = Make(eFrequencyCfg, g0, 2, a3.get());
  f2->GetcRecordMapping(15, code, index);
  EXPECT_EQ(std::tuple(code, index, cfg.MapToPhasor(18, 1)), std::tuple(18, 1, f2.get()));
  cfg.GetcRecordIndices(18, indexes);
  EXPECT_EQ(indexes, (std::vector<int>{0, 1}));
}

}  // namespace
}  // namespace helvo
