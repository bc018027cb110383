// cTrend: the trend definition, up to 60 meters the recorder logs at a fixed interval, each with its
// trend option, and the alarm contact that signals a trend problem. Stored as an EXTENDED_TREND
// section.
#pragma once

#include "helvo/engine/converters.h"
#include "helvo/engine/filer.h"
#include "helvo/model/class_tables.h"

namespace helvo {

class cHelvoSection;

class cTrend : public CFiler {
  HELVO_DECLARE_RUNTIME(cTrend)
 public:
  cTrend();
  cTrend(const cTrend&) = delete;
  ~cTrend() override = default;

  int GetClass() const override { return eTrend; }

  // Registers the keys and reference addresses of the EXTENDED_TREND section.
  static void DefineTrendCfgTypes(cHelvoSection* section);
};

}  // namespace helvo
