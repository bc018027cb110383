#include "helvo/functions/summation.h"

#include "helvo/engine/helvo_section.h"

namespace helvo {

HELVO_IMPLEMENT_DYNCREATE(CSummationCfg, CPhasor)

CSummationCfg::CSummationCfg() = default;

void CSummationCfg::DefineSummationCfgTypes(cHelvoSection*) {}

}  // namespace helvo
