#include "helvo/functions/fault_locator.h"

#include <string_view>
#include <utility>

#include "helvo/engine/helvo_section.h"
#include "helvo/model/cfg_state.h"

namespace helvo {

HELVO_IMPLEMENT_DYNCREATE(cFLInput, CFilerElement)
HELVO_IMPLEMENT_DYNCREATE(cFaultLocCfg, CPhasor)

namespace {

// String ids of the FAULT_LOCATOR section and its keys. Part of the settings-file format.
enum : int {
  kSection = 10704,
  kElement,
  kDesc,
  kTrigIndex,
  kTrigInvert,
  kR1,
  kX1,
  kR0,
  kX0,
  kLength,
  kDistance,
  kType,
  kTriggerIndex,
  kTriggerInvert,
  kUnit,
  kFirstInputKey,  // VA_INDEX, VA_SEC_TO_PRI, VB_INDEX, ... IC_SEC_TO_PRI
};

// The phasor link of input I of a locator. It lies one level deeper than FieldOf reaches (locator,
// input converter, phasor reference, pointer), so it resolves itself; links of the same input
// compare equal.
class InputLinkField : public Field<CPhasor*> {
 public:
  template <size_t I>
  static InputLinkField Of() {
    static_assert(I < cFaultLocCfg::kNumInputs);
    InputLinkField field;
    field.resolve_ = [](const FieldRef&, CFiler* obj) -> void* {
      auto* locator = dynamic_cast<cFaultLocCfg*>(obj);
      return locator ? &locator->m_Inputs[I].m_orefPhasor.m_pPhasor : nullptr;
    };
    return field;
  }
};

// The links of inputs VA to IC, in that order.
template <size_t... I>
void LoadInputLinks(cHelvoSection* section, std::index_sequence<I...>) {
  (section->LoadReferenceAddress(InputLinkField::Of<I>()), ...);
}

// A usable scale of an input phasor, or none.
const cScale* ValidScaleOf(CPhasor* phasor) {
  const cScale* scale = phasor ? phasor->GetpScale() : nullptr;
  return scale && scale->IsValid() ? scale : nullptr;
}

}  // namespace

// ---- cFLInput ----

void cFLInput::ConvertIn(CFiler*, std::string&, int&) {}

unsigned long cFLInput::ConvertOut(CFiler*, std::string& text, int, int&) {
  // An empty ratio would not tell the recorder anything; 1.0 is the neutral ratio.
  if (const cScale* scale = ValidScaleOf(GetPhasor()))
    scale->FormatRatio(text);
  else
    text = "1.0";
  return 0;
}

// ---- cFaultLocCfg ----

cFaultLocCfg::cFaultLocCfg() {
  Initialize();
}

cFaultLocCfg::cFaultLocCfg(cHelvoDspCfg* group, CElementName* element) : CPhasor(group, element, kFLocFlags) {
  Initialize();
}

void cFaultLocCfg::Initialize() {
  for (int i = 0; i < kNumInputs; ++i) {
    m_Inputs[i].m_orefPhasor.m_pPhasor = nullptr;
    m_Inputs[i].m_orefPhasor.SetTypesMask(i < eIA ? kVoltageInputs : kCurrentInputs);
  }
  m_orefTrigger.m_pPhasor = nullptr;
}

cFaultLocCfg& cFaultLocCfg::operator=(const cFaultLocCfg& other) {
  if (this == &other) return *this;
  m_Scale = other.m_Scale;
  for (int i = 0; i < kNumInputs; ++i) m_Inputs[i] = other.m_Inputs[i];
  m_oDelay = other.m_oDelay;
  m_orefTrigger = other.m_orefTrigger;
  m_fR1 = other.m_fR1;
  m_fX1 = other.m_fX1;
  m_fR0 = other.m_fR0;
  m_fX0 = other.m_fX0;
  m_fLength = other.m_fLength;
  m_strUnit = other.m_strUnit;
  m_nTrigInvert = other.m_nTrigInvert;
  CPhasor::operator=(other);
  return *this;
}

CPhasor* cFaultLocCfg::GetInputPhasor(int i) const {
  return i >= 0 && i < kNumInputs ? m_Inputs[i].GetPhasor() : nullptr;
}

bool cFaultLocCfg::HasSummationCurrentInput() const {
  for (int i = eIA; i <= eIC; ++i)
    if (const CPhasor* p = m_Inputs[i].GetPhasor(); p && p->GetClass() == eSummationCfg) return true;
  return false;
}

int cFaultLocCfg::AreInputsDefined() {
  for (int i = eVA; i <= eVC; ++i)
    if (CPhasor* p = m_Inputs[i].GetPhasor(); !p || !p->IsValidChannel()) return 0;
  for (int i = eIA; i <= eIC; ++i)
    if (CPhasor* p = m_Inputs[i].GetPhasor(); !p || !p->IsValidChannel()) return 0;
  // Recorders that read files below version 6 cannot locate faults from summed currents.
  if (sCfgState::Of(this).m_nSetVer < 6 && HasSummationCurrentInput()) return 0;
  CPhasor* trigger = m_orefTrigger.m_pPhasor;
  if (!trigger) return eInputsUndefined;
  cInputsJudgement judgement(m_bCheckingInputs);
  if (!judgement.Entered()) return eInputsPending;
  // The trigger is a chain of its own: one that leads only back here has nothing to define it.
  return judgement.Answer(trigger->AreInputsDefined());
}

cScale* cFaultLocCfg::GetpScale() {
  const cScale* v = ValidScaleOf(GetVoltsInputPhasor());
  const cScale* i = ValidScaleOf(GetAmpsInputPhasor());
  if (!v || !i) return nullptr;
  m_Scale.m_fPri1 = (v->m_fPri1 - v->m_fPri2) * (i->m_fSec1 - i->m_fSec2);
  m_Scale.m_fSec1 = (v->m_fSec1 - v->m_fSec2) * (i->m_fPri1 - i->m_fPri2);
  m_Scale.m_fPri2 = 0.0f;
  m_Scale.m_fSec2 = 0.0f;
  m_Scale.m_fFullScale = v->m_fFullScale / i->m_fFullScale;  // a valid scale has a positive full scale

  // Bring the primary side to ohms: kilovolts over amperes are already ohms x 1000. Unlike the
  // impedance function the fault locator knows no megavolt unit.
  int exponent = 0;
  if (std::string_view(v->m_strPriUnit) == "V") exponent = 3;
  if (std::string_view(i->m_strPriUnit) == "A")
    exponent -= 3;
  else if (std::string_view(i->m_strPriUnit) == "mA")
    exponent -= 6;
  switch (exponent) {
    case -6:
      m_Scale.m_fPri1 *= 1000000.0f;
      break;
    case -3:
      m_Scale.m_fPri1 *= 1000.0f;
      break;
    case 3:
      m_Scale.m_fSec1 *= 1000.0f;
      break;
    default:
      break;
  }
  m_Scale.m_strSecUnit = "Sec Ohm";
  m_Scale.m_strPriUnit = "Pri Ohms";
  return &m_Scale;
}

void cFaultLocCfg::DefineFaultLocCfgTypes(cHelvoSection* section) {
  section->LoadCfgType(GetorefElementName(), kElement)
      ->LoadCfgType(FieldOf(&cFaultLocCfg::m_oiChannelNumber), 0)
      ->LoadCfgType(FieldOf(&cFaultLocCfg::m_strDescription), kDesc)
      ->LoadCfgType(FieldOf(&cFaultLocCfg::m_orefTrigger), kTrigIndex)
      ->LoadCfgType(FieldOf(&cFaultLocCfg::m_nTrigInvert), kTrigInvert)
      ->LoadCfgType(FieldOf(&cFaultLocCfg::m_fR1), kR1)
      ->LoadCfgType(FieldOf(&cFaultLocCfg::m_fX1), kX1)
      ->LoadCfgType(FieldOf(&cFaultLocCfg::m_fR0), kR0)
      ->LoadCfgType(FieldOf(&cFaultLocCfg::m_fX0), kX0)
      ->LoadCfgType(FieldOf(&cFaultLocCfg::m_fLength), kLength)
      // Names older files used: read into the same fields, never written.
      ->LoadCfgType(FieldOf(&cFaultLocCfg::m_fLength), kDistance, FILER_NEVER_WRITTEN)
      ->LoadCfgType(FieldOf(&cFaultLocCfg::m_strLegacyType), kType, FILER_NEVER_WRITTEN)
      ->LoadCfgType(FieldOf(&cFaultLocCfg::m_orefTrigger), kTriggerIndex, FILER_NEVER_WRITTEN)
      ->LoadCfgType(FieldOf(&cFaultLocCfg::m_nTrigInvert), kTriggerInvert, FILER_NEVER_WRITTEN)
      ->LoadCfgType(FieldOf(&cFaultLocCfg::m_strUnit), kUnit);
  // Each input: its phasor index, then the ratio the recorder needs for it.
  for (size_t i = 0; i < kNumInputs; ++i) {
    const int indexKey = kFirstInputKey + 2 * static_cast<int>(i);
    section->LoadCfgType(FieldOf(&cFaultLocCfg::m_Inputs, i, &cFLInput::m_orefPhasor), indexKey)
        ->LoadCfgType(FieldOf(&cFaultLocCfg::m_Inputs, i), indexKey + 1);
  }
  LoadInputLinks(section, std::make_index_sequence<kNumInputs>());
  section->LoadReferenceAddress(FieldOf(&cFaultLocCfg::m_orefTrigger, &crefState::m_pPhasor));
}

}  // namespace helvo
