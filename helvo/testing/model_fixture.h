// Helpers for the tests of the configuration model: a stand-in function of any class, and a fixture
// that files elements and functions in a channel group and builds configurations from lines.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "helvo/model/dsp_cfg.h"
#include "helvo/model/element_name.h"
#include "helvo/model/helvo_cfg.h"
#include "helvo/model/phasor.h"
#include "helvo/testing/cfg_fixture.h"

namespace helvo::testing {

using Lines = std::vector<std::string>;

// A function of a chosen class and channel with one input reference, its own scale and secondary
// level, and inputs defined unless a test says otherwise; counts live instances. Filed in its group's
// table only when `file` is set (the group then owns it).
class ModelFn : public CPhasor {
 public:
  ModelFn(int cls, cHelvoDspCfg* group, int channel, CElementName* element = nullptr, unsigned long flags = 0,
          bool file = false)
      : CPhasor(group, element, flags), m_nClass(cls) {
    SetChannelNumber(channel);
    ++s_nLive;
    if (file) group->Add(this);
  }
  ~ModelFn() override { --s_nLive; }
  int GetClass() const override { return m_nClass; }
  int AreInputsDefined() override { return m_bDefined; }
  cScale* GetpScale() override { return &m_Scale; }
  const char* GetPriUnit() override { return m_Scale.GetPriUnit(); }
  float GetMaxMeasuredLevel(int primary) override { return primary ? -1.0f : m_fLevel; }
  // Scale pri1 : sec1 (second point 0 : 0 unless given), secondary unit "V".
  ModelFn& SetScale(float pri1, float sec1, const char* priUnit, float fullScale = 1.0f, float pri2 = 0.0f,
                    float sec2 = 0.0f) {
    m_Scale.m_fPri1 = pri1, m_Scale.m_fSec1 = sec1, m_Scale.m_fPri2 = pri2, m_Scale.m_fSec2 = sec2;
    m_Scale.m_fFullScale = fullScale, m_Scale.m_strPriUnit = priUnit, m_Scale.m_strSecUnit = "V";
    return *this;
  }
  int m_nClass;
  int m_bDefined = 1;
  float m_fLevel = 0.0f;
  CrefPhasor m_Input;
  static inline int s_nLive = 0;
};

class ModelTest : public CfgTest {
 protected:
  static CElementName* NewElement(cHelvoDspCfg& group, std::string name) {
    auto* e = new CElementName(name, &group);
    group.Add(e);
    return e;
  }
  // An analog input filed in group's table.
  static ModelFn* NewAnalog(cHelvoDspCfg* group, int channel) {
    return new ModelFn(eAnalogCfg, group, channel, nullptr, 0, true);
  }
  static StringList List(std::initializer_list<const char*> text) {
    StringList lines;
    for (const char* line : text) lines.AddTail(line);
    return lines;
  }
  // A configuration built from settings lines, as the line-list constructor does.
  static std::unique_ptr<CHelvoCfg> FromLines(std::initializer_list<const char*> text) {
    StringList lines = List(text);
    return std::make_unique<CHelvoCfg>(lines);
  }
};

}  // namespace helvo::testing
