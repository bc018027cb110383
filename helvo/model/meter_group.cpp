#include "helvo/model/meter_group.h"

#include "helvo/engine/helvo_section.h"

namespace helvo {

HELVO_IMPLEMENT_DYNCREATE(CMeterGroup, CFiler)

CMeterGroup::CMeterGroup() = default;

void CMeterGroup::DefineMeterGroupCfgTypes(cHelvoSection*) {}

}  // namespace helvo
