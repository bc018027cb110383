// CWattsVarsCfg: a watts/vars function of a voltage and a current input, stored as one WATTS/VARS section per
// function.
#pragma once

#include "helvo/model/class_tables.h"
#include "helvo/model/phasor.h"

namespace helvo {

class cHelvoSection;

class CWattsVarsCfg : public CPhasor {
  HELVO_DECLARE_RUNTIME(CWattsVarsCfg)
 public:
  CWattsVarsCfg();
  CWattsVarsCfg(const CWattsVarsCfg&) = delete;
  ~CWattsVarsCfg() override = default;

  int GetClass() const override { return eWattsVarsCfg; }

  // Registers the keys, meter and state definitions and reference addresses of the WATTS/VARS section.
  static void DefineWattsVarsCfgTypes(cHelvoSection* section);
};

}  // namespace helvo
