#include "helvo/model/trend.h"

#include "helvo/engine/helvo_section.h"

namespace helvo {

HELVO_IMPLEMENT_DYNCREATE(cTrend, CFiler)

cTrend::cTrend() = default;

void cTrend::DefineTrendCfgTypes(cHelvoSection*) {}

}  // namespace helvo
