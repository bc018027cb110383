// CSummationCfg: a summation of up to three phasors, stored as one SUMMATION section per function.
#pragma once

#include "helvo/model/class_tables.h"
#include "helvo/model/phasor.h"

namespace helvo {

class cHelvoSection;

class CSummationCfg : public CPhasor {
  HELVO_DECLARE_RUNTIME(CSummationCfg)
 public:
  CSummationCfg();
  CSummationCfg(const CSummationCfg&) = delete;
  ~CSummationCfg() override = default;

  int GetClass() const override { return eSummationCfg; }

  // Registers the keys, meter and state definitions and reference addresses of the SUMMATION section.
  static void DefineSummationCfgTypes(cHelvoSection* section);
};

}  // namespace helvo
