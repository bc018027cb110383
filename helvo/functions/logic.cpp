#include "helvo/functions/logic.h"

#include "helvo/engine/helvo_section.h"

namespace helvo {

HELVO_IMPLEMENT_DYNCREATE(cLogicCfg, CPhasor)

namespace {

// String ids of the LOGIC section, its keys and its (empty) meter and state suffix. Part of the
// settings-file format.
enum : int {
  kSection = 11232,
  kElement,
  kDesc,
  kFirstInputKey,  // NOTINP1, INPUT1, OPER1, NOTINP2, ... OPER4, NOTINP5, INPUT5
  kAssertDelay = kFirstInputKey + 3 * cLogicCfg::kNumInputs - 1,
  kRemoveDelay,
  kActiveAction,
  kInactiveAction,
  kActiveText,
  kInactiveText,
  kNoSuffix,
};

constexpr unsigned long kLogicTypes = 0x20000000ul;
constexpr const char* kInvalid = "INVALID";

}  // namespace

const char* const cLogicCfg::OperStrings[kNumOperations] = {"AND",  "NAND", "OR", "NOR",  "XOR",
                                                            "XNOR", "A",    "B",  "NOTA", "NOTB"};

cLogicCfg::cLogicCfg() {
  m_oActiveAct.SetParent(this);
  m_oInactiveAct.SetParent(this);
}

cLogicCfg::cLogicCfg(cHelvoDspCfg* group, CElementName* element) : CPhasor(group, element, kLogicFlags) {
  m_oActiveAct.SetParent(this);
  m_oInactiveAct.SetParent(this);
}

cLogicCfg& cLogicCfg::operator=(const cLogicCfg& other) {
  if (this == &other) return *this;
  for (int k = 0; k < kNumOperators; ++k) m_nOper[k] = other.m_nOper[k];
  for (int k = 0; k < kNumInputs; ++k) {
    m_orefInputs[k] = other.m_orefInputs[k];
    m_bNotInput[k] = other.m_bNotInput[k];
  }
  m_oAssertDelay = other.m_oAssertDelay;
  m_oRemoveDelay = other.m_oRemoveDelay;
  m_strActive = other.m_strActive;
  m_strInactive = other.m_strInactive;
  // The blocks take the other function's actions but keep this function as their owner.
  m_oActiveAct = other.m_oActiveAct;
  m_oInactiveAct = other.m_oInactiveAct;
  m_oActiveAct.SetParent(this);
  m_oInactiveAct.SetParent(this);
  CPhasor::operator=(other);
  return *this;
}

int cLogicCfg::AreInputsDefined() {
  return JudgeChain(kNumOperators - 1);
}

const char* cLogicCfg::GetIndexedOperString(int k) const {
  if (k < 0 || k >= kNumOperators) return kInvalid;
  return GetOperStringByEnum(m_nOper[k]);
}

const char* cLogicCfg::GetOperStringByEnum(int value) {
  return IsValidOperationEnum(value) ? OperStrings[value] : kInvalid;
}

bool cLogicCfg::IsValidOperation(int k) {
  return JudgeChain(k) == eInputsDefined;
}

bool cLogicCfg::IsValidInput(int k) {
  return JudgeInput(k) != eInputsUndefined;
}

int cLogicCfg::JudgeChain(int k) {
  cInputsJudgement judgement(m_bCheckingInputs);
  if (!judgement.Entered()) return eInputsPending;
  return judgement.Answer(ChainState(k));
}

int cLogicCfg::ChainState(int k) {
  if (k >= kNumOperators) return eInputsUndefined;
  // Operator k + 1 joins the chain so far (A) with input k + 2 (B); walk back towards input 1.
  for (; k >= 0; --k) {
    switch (m_nOper[k]) {
      case eAND:
      case eNAND:
      case eOR:
      case eNOR:
      case eXOR:
      case eXNOR: {
        const int a = ChainState(k - 1);
        return a == eInputsUndefined ? a : cInputsJudgement::Both(a, JudgeInput(k + 1));
      }
      case eB:
      case eNOTB:
        return JudgeInput(k + 1);  // the chain before it does not matter
      case eA:
      case eNOTA:
        break;  // input k + 2 does not matter
      default:
        return eInputsUndefined;
    }
  }
  return JudgeInput(0);
}

int cLogicCfg::JudgeInput(int k) {
  if (k < 0 || k >= kNumInputs) return eInputsUndefined;
  CPhasor* input = m_orefInputs[k].m_pPhasor;
  return input ? input->AreInputsDefined() : eInputsUndefined;
}

void cLogicCfg::DefineLogicCfgTypes(cHelvoSection* section) {
  section->LoadCfgType(GetorefElementName(), kElement)
      ->LoadCfgType(FieldOf(&cLogicCfg::m_oiChannelNumber), 0)
      ->LoadCfgType(FieldOf(&cLogicCfg::m_strDescription), kDesc);
  // Each input with its inversion, then the operator that joins the next input.
  for (size_t k = 0; k < kNumInputs; ++k) {
    const int notKey = kFirstInputKey + 3 * static_cast<int>(k);
    section->LoadCfgType(FieldOf(&cLogicCfg::m_bNotInput, k), notKey)
        ->LoadCfgType(FieldOf(&cLogicCfg::m_orefInputs, k), notKey + 1);
    if (k < kNumOperators) section->LoadCfgType(FieldOf(&cLogicCfg::m_nOper, k), notKey + 2);
  }
  section->LoadCfgType(FieldOf(&cLogicCfg::m_oAssertDelay), kAssertDelay)
      ->LoadCfgType(FieldOf(&cLogicCfg::m_oRemoveDelay), kRemoveDelay)
      ->LoadCfgType(FieldOf(&cLogicCfg::m_oActiveAct), kActiveAction)
      ->LoadCfgType(FieldOf(&cLogicCfg::m_oInactiveAct), kInactiveAction)
      ->LoadCfgType(FieldOf(&cLogicCfg::m_strActive), kActiveText)
      ->LoadCfgType(FieldOf(&cLogicCfg::m_strInactive), kInactiveText);
  for (size_t k = 0; k < kNumInputs; ++k)
    section->LoadReferenceAddress(FieldOf(&cLogicCfg::m_orefInputs, k, &crefState::m_pPhasor));
  section
      ->LoadStateDefinition(0, kNoSuffix, kLogicTypes, ActionBlockOf(&cLogicCfg::m_oActiveAct),
                            ActionBlockOf(&cLogicCfg::m_oInactiveAct))
      ->LoadMeterDefinition(0, kNoSuffix, kLogicTypes);
}

}  // namespace helvo
