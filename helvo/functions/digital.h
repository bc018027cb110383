// CDigitalCfg: a digital (external) input, stored as one DIGITAL_INPUT section per function.
#pragma once

#include "helvo/model/class_tables.h"
#include "helvo/model/phasor.h"

namespace helvo {

class cHelvoSection;

class CDigitalCfg : public CPhasor {
  HELVO_DECLARE_RUNTIME(CDigitalCfg)
 public:
  CDigitalCfg();
  CDigitalCfg(const CDigitalCfg&) = delete;
  ~CDigitalCfg() override = default;

  int GetClass() const override { return eDigitalCfg; }

  // Registers the keys, meter and state definitions and reference addresses of the DIGITAL_INPUT section.
  static void DefineDigitalCfgTypes(cHelvoSection* section);
};

}  // namespace helvo
