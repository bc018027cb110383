// CMeterGroup: a named selection of up to 36 meters of the functions of both channel groups that the
// recorder shows together, stored as one METERING_GROUP section per group.
#pragma once

#include <string>

#include "helvo/engine/converters.h"
#include "helvo/engine/filer.h"
#include "helvo/model/helvo_cfg.h"

namespace helvo {

class cHelvoSection;

class CMeterGroup : public CFiler, public cNamedRecord {
  HELVO_DECLARE_RUNTIME(CMeterGroup)
 public:
  CMeterGroup();
  CMeterGroup(const CMeterGroup&) = delete;
  ~CMeterGroup() override = default;

  int GetClass() const override { return eMeterGroup; }
  void GetName(std::string& name) const override { name = m_strName; }

  // Registers the keys and reference addresses of the METERING_GROUP section.
  static void DefineMeterGroupCfgTypes(cHelvoSection* section);

  std::string m_strName;
};

}  // namespace helvo
