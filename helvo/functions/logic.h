// cLogicCfg: a user-defined logic detector, stored as one LOGIC section per function. Up to five
// detector states of other functions (each optionally inverted) are combined left to right by four
// operators; the result is one state with assert and remove delays, an action block for each
// transition and user texts for the two states.
#pragma once

#include <string>

#include "helvo/model/class_tables.h"
#include "helvo/model/model_converters.h"
#include "helvo/model/phasor.h"

namespace helvo {

class cHelvoSection;
class CElementName;

class cLogicCfg : public CPhasor {
  HELVO_DECLARE_RUNTIME(cLogicCfg)
 public:
  static constexpr unsigned long kLogicFlags = 0x20000008ul;  // the "Logic" type
  static constexpr int kNumInputs = 5;
  static constexpr int kNumOperators = 4;
  static constexpr int kNumOperations = 10;

  // Operator values, stored in settings files (OPERn keys). Operator k joins the chain so far (A)
  // with input k + 2 (B).
  enum eOperation : int {
    eAND = 0,
    eNAND = 1,
    eOR = 2,
    eNOR = 3,
    eXOR = 4,
    eXNOR = 5,
    eA = 6,
    eB = 7,
    eNOTA = 8,
    eNOTB = 9,
  };

  // The form the reader creates: no group, element or type.
  cLogicCfg();
  // A logic function of group for element, with the "Logic" type, listed once with its element.
  cLogicCfg(cHelvoDspCfg* group, CElementName* element);
  cLogicCfg(const cLogicCfg&) = delete;
  // Copies the operators, the inputs with their inversions, both delays, both texts and the actions
  // of both blocks (which stay owned by this function), then the CPhasor part.
  cLogicCfg& operator=(const cLogicCfg& other);
  ~cLogicCfg() override = default;

  int GetClass() const override { return eLogicCfg; }
  unsigned long GetFunctionPhaseFlags() override { return kLogicFlags; }
  // The whole chain is valid: IsValidOperation(3).
  int AreInputsDefined() override;

  // The text of operator k + 1 for k from 0 to 3; "INVALID" for any other k or a stored value
  // outside 0 to 9.
  const char* GetIndexedOperString(int k) const;
  static bool IsValidOperationEnum(int value) { return value >= 0 && value < kNumOperations; }
  // The text of value; "INVALID" outside 0 to 9.
  static const char* GetOperStringByEnum(int value);
  // True when the chain up to operator k + 1 (k from 0 to 3) is valid: every input an operator of
  // that part of the chain uses is defined, walking back from operator k + 1 towards input 1; an
  // input that leads back to this function (a latch) does not count against it. False for k above 3
  // and for any operator value outside 0 to 9 on the way.
  bool IsValidOperation(int k);
  // True when input k + 1 (k from 0 to 4) refers to a function whose own inputs are defined.
  bool IsValidInput(int k);

  // Operator texts indexed by operator value.
  static const char* const OperStrings[kNumOperations];

  // Registers the keys, meter and state definitions and reference addresses of the LOGIC section.
  static void DefineLogicCfgTypes(cHelvoSection* section);

  cfSecondsDelay m_oAssertDelay{2};
  cfSecondsDelay m_oRemoveDelay{2};
  std::string m_strActive = "Active";
  std::string m_strInactive = "Inactive";
  CActionBlock m_oActiveAct;
  CActionBlock m_oInactiveAct;
  crefState m_orefInputs[kNumInputs];
  int m_nOper[kNumOperators] = {eA, eA, eA, eA};
  unsigned char m_bNotInput[kNumInputs] = {0, 0, 0, 0, 0};

 private:
  // The chain up to operator k + 1 judged as one cInputsJudgement of this function.
  int JudgeChain(int k);
  // The eInputsJudged answer of the chain up to operator k + 1, and of input k + 1.
  int ChainState(int k);
  int JudgeInput(int k);

  // Set while the chain is judged, so that a chain leading back here (a latch) meets this function
  // as pending instead of recursing without end.
  bool m_bCheckingInputs = false;
};

}  // namespace helvo
