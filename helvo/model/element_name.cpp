#include "helvo/model/element_name.h"

#include "helvo/model/dsp_cfg.h"
#include "helvo/platform/format.h"

namespace helvo {

HELVO_IMPLEMENT_DYNCREATE(CElementName, CFiler)

CElementName::CElementName(std::string& name, cHelvoDspCfg* group) : CFiler(group) {
  if (group && group->VerifyElementNamed(name, this)) {
    auto taken = [&](const std::string& candidate) { return group->VerifyElementNamed(candidate, this); };
    std::string chosen;
    for (int i = 2; i <= 99 && chosen.empty(); ++i) {
      std::string candidate = Format("Element %d", i);
      if (!taken(candidate)) chosen = std::move(candidate);
    }
    for (int i = 100; i <= 999 && chosen.empty(); ++i) {
      std::string candidate = Format("Element%d", i);
      if (!taken(candidate)) chosen = std::move(candidate);
    }
    name = chosen;  // empty when every candidate is taken
  }
  m_strName = name;
}

CElementName::~CElementName() {
  if (auto* group = dynamic_cast<cHelvoDspCfg*>(GetParent())) group->Remove(this);
}

}  // namespace helvo
