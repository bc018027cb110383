#include "helvo/functions/fault_locator.h"

#include "helvo/engine/helvo_section.h"

namespace helvo {

HELVO_IMPLEMENT_DYNCREATE(cFaultLocCfg, CPhasor)

cFaultLocCfg::cFaultLocCfg() = default;

void cFaultLocCfg::DefineFaultLocCfgTypes(cHelvoSection*) {}

}  // namespace helvo
