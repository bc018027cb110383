// CFrequencyCfg: a frequency function of one analog input, stored as one FREQUENCY section per function.
#pragma once

#include "helvo/model/class_tables.h"
#include "helvo/model/phasor.h"

namespace helvo {

class cHelvoSection;

class CFrequencyCfg : public CPhasor {
  HELVO_DECLARE_RUNTIME(CFrequencyCfg)
 public:
  CFrequencyCfg();
  CFrequencyCfg(const CFrequencyCfg&) = delete;
  ~CFrequencyCfg() override = default;

  int GetClass() const override { return eFrequencyCfg; }

  // Registers the keys, meter and state definitions and reference addresses of the FREQUENCY section.
  static void DefineFrequencyCfgTypes(cHelvoSection* section);
};

}  // namespace helvo
