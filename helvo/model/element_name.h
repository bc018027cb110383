// An element: a named piece of the monitored power system (a line, a bus, a transformer winding)
// inside a channel group. Functions name their element through CrefElementName.
#pragma once

#include <string>

#include "helvo/engine/filer.h"

namespace helvo {

class cHelvoDspCfg;

class CElementName : public CFiler {
  HELVO_DECLARE_RUNTIME(CElementName)
 public:
  // No channel group, empty name.
  CElementName() = default;
  // An element of group (its parent). When another element of the group already has name (ignoring
  // letter case), the first free name of "Element 2" ... "Element 99", then "Element100" ...
  // "Element999" is taken instead, and an empty name when all of those are used. The chosen name is
  // also written back into name. The element does not add itself to the group.
  CElementName(std::string& name, cHelvoDspCfg* group);
  CElementName(const CElementName&) = delete;
  CElementName& operator=(const CElementName&) = delete;
  // Unlinks the element from its channel group (cHelvoDspCfg::Remove).
  ~CElementName() override;

  const std::string& GetName() const { return m_strName; }
  void GetName(std::string& name) const { name = m_strName; }
  void SetName(const std::string& name) { m_strName = name; }

  int GetClass() const override { return 0; }
  // The writer marks the second channel group's elements this way when it folds the groups.
  void AppendToName(const std::string& suffix) override { m_strName += suffix; }

  std::string m_strName;
  int m_nElementNumber = 0;  // the ELEMENT section's number; pre-save processing numbers 1, 2, 3, ...
};

}  // namespace helvo
