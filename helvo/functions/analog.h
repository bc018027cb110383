// CAnalogCfg: an analog input channel, stored as one ANALOG_INPUT section per function.
#pragma once

#include "helvo/model/class_tables.h"
#include "helvo/model/phasor.h"

namespace helvo {

class cHelvoSection;

class CAnalogCfg : public CPhasor {
  HELVO_DECLARE_RUNTIME(CAnalogCfg)
 public:
  CAnalogCfg();
  CAnalogCfg(const CAnalogCfg&) = delete;
  ~CAnalogCfg() override = default;

  int GetClass() const override { return eAnalogCfg; }

  // Registers the keys, meter and state definitions and reference addresses of the ANALOG_INPUT section.
  static void DefineAnalogCfgTypes(cHelvoSection* section);
};

}  // namespace helvo
