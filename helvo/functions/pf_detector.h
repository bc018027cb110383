// cPFDetCfg: a power-factor detector on a watts/vars function, stored as one PFDET section per function.
#pragma once

#include "helvo/model/class_tables.h"
#include "helvo/model/phasor.h"

namespace helvo {

class cHelvoSection;

class cPFDetCfg : public CPhasor {
  HELVO_DECLARE_RUNTIME(cPFDetCfg)
 public:
  cPFDetCfg();
  cPFDetCfg(const cPFDetCfg&) = delete;
  ~cPFDetCfg() override = default;

  int GetClass() const override { return ePFDetCfg; }

  // Registers the keys, meter and state definitions and reference addresses of the PFDET section.
  static void DefinePFDetCfgTypes(cHelvoSection* section);
};

}  // namespace helvo
