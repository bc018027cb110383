#include "helvo/functions/watts_vars.h"

#include "helvo/engine/helvo_section.h"

namespace helvo {

HELVO_IMPLEMENT_DYNCREATE(CWattsVarsCfg, CPhasor)

CWattsVarsCfg::CWattsVarsCfg() = default;

void CWattsVarsCfg::DefineWattsVarsCfgTypes(cHelvoSection*) {}

}  // namespace helvo
