#include "helvo/functions/analog.h"

#include "helvo/engine/helvo_section.h"

namespace helvo {

HELVO_IMPLEMENT_DYNCREATE(CAnalogCfg, CPhasor)

CAnalogCfg::CAnalogCfg() = default;

void CAnalogCfg::DefineAnalogCfgTypes(cHelvoSection*) {}

}  // namespace helvo
