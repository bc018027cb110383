// CSequenceCfg: a sequence-component function of three phase inputs, stored as one SEQUENCE section per
// function.
#pragma once

#include "helvo/model/class_tables.h"
#include "helvo/model/phasor.h"

namespace helvo {

class cHelvoSection;

class CSequenceCfg : public CPhasor {
  HELVO_DECLARE_RUNTIME(CSequenceCfg)
 public:
  CSequenceCfg();
  CSequenceCfg(const CSequenceCfg&) = delete;
  ~CSequenceCfg() override = default;

  int GetClass() const override { return eSequenceCfg; }

  // Registers the keys, meter and state definitions and reference addresses of the SEQUENCE section.
  static void DefineSequenceCfgTypes(cHelvoSection* section);
};

}  // namespace helvo
