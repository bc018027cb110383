// cFaultLocCfg: a fault locator, stored as one FAULT_LOCATOR section per function.
#pragma once

#include "helvo/model/class_tables.h"
#include "helvo/model/phasor.h"

namespace helvo {

class cHelvoSection;

class cFaultLocCfg : public CPhasor {
  HELVO_DECLARE_RUNTIME(cFaultLocCfg)
 public:
  cFaultLocCfg();
  cFaultLocCfg(const cFaultLocCfg&) = delete;
  ~cFaultLocCfg() override = default;

  int GetClass() const override { return eFaultLocCfg; }

  // Registers the keys, meter and state definitions and reference addresses of the FAULT_LOCATOR section.
  static void DefineFaultLocCfgTypes(cHelvoSection* section);
};

}  // namespace helvo
