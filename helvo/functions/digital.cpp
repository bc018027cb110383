#include "helvo/functions/digital.h"

#include "helvo/engine/helvo_section.h"

namespace helvo {

HELVO_IMPLEMENT_DYNCREATE(CDigitalCfg, CPhasor)

CDigitalCfg::CDigitalCfg() = default;

void CDigitalCfg::DefineDigitalCfgTypes(cHelvoSection*) {}

}  // namespace helvo
