// cLogicCfg: a logic function of detector states, stored as one LOGIC section per function.
#pragma once

#include "helvo/model/class_tables.h"
#include "helvo/model/phasor.h"

namespace helvo {

class cHelvoSection;

class cLogicCfg : public CPhasor {
  HELVO_DECLARE_RUNTIME(cLogicCfg)
 public:
  cLogicCfg();
  cLogicCfg(const cLogicCfg&) = delete;
  ~cLogicCfg() override = default;

  int GetClass() const override { return eLogicCfg; }

  // Registers the keys, meter and state definitions and reference addresses of the LOGIC section.
  static void DefineLogicCfgTypes(cHelvoSection* section);
};

}  // namespace helvo
