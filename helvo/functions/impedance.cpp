#include "helvo/functions/impedance.h"

#include "helvo/engine/helvo_section.h"

namespace helvo {

HELVO_IMPLEMENT_DYNCREATE(CImpedanceCfg, CPhasor)

CImpedanceCfg::CImpedanceCfg() = default;

void CImpedanceCfg::DefineImpedanceCfgTypes(cHelvoSection*) {}

}  // namespace helvo
