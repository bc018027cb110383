// CImpedanceCfg: an impedance function of a voltage and a current input, stored as one IMPEDANCE section per
// function.
#pragma once

#include "helvo/model/class_tables.h"
#include "helvo/model/phasor.h"

namespace helvo {

class cHelvoSection;

class CImpedanceCfg : public CPhasor {
  HELVO_DECLARE_RUNTIME(CImpedanceCfg)
 public:
  CImpedanceCfg();
  CImpedanceCfg(const CImpedanceCfg&) = delete;
  ~CImpedanceCfg() override = default;

  int GetClass() const override { return eImpedanceCfg; }

  // Registers the keys, meter and state definitions and reference addresses of the IMPEDANCE section.
  static void DefineImpedanceCfgTypes(cHelvoSection* section);
};

}  // namespace helvo
