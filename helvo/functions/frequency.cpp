#include "helvo/functions/frequency.h"

#include "helvo/engine/helvo_section.h"

namespace helvo {

HELVO_IMPLEMENT_DYNCREATE(CFrequencyCfg, CPhasor)

CFrequencyCfg::CFrequencyCfg() = default;

void CFrequencyCfg::DefineFrequencyCfgTypes(cHelvoSection*) {}

}  // namespace helvo
