#include "helvo/functions/sequence.h"

#include "helvo/engine/helvo_section.h"

namespace helvo {

HELVO_IMPLEMENT_DYNCREATE(CSequenceCfg, CPhasor)

CSequenceCfg::CSequenceCfg() = default;

void CSequenceCfg::DefineSequenceCfgTypes(cHelvoSection*) {}

}  // namespace helvo
