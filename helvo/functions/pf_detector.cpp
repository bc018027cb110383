#include "helvo/functions/pf_detector.h"

#include "helvo/engine/helvo_section.h"

namespace helvo {

HELVO_IMPLEMENT_DYNCREATE(cPFDetCfg, CPhasor)

cPFDetCfg::cPFDetCfg() = default;

void cPFDetCfg::DefinePFDetCfgTypes(cHelvoSection*) {}

}  // namespace helvo
