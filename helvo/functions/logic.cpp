#include "helvo/functions/logic.h"

#include "helvo/engine/helvo_section.h"

namespace helvo {

HELVO_IMPLEMENT_DYNCREATE(cLogicCfg, CPhasor)

cLogicCfg::cLogicCfg() = default;

void cLogicCfg::DefineLogicCfgTypes(cHelvoSection*) {}

}  // namespace helvo
