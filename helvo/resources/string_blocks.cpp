// The blocks of the library's string table, in one place. Each resource file contributes the rows of
// its area; the table indexes them all when it is first used.
#include <array>
#include <span>

#include "helvo/platform/string_table.h"

namespace helvo {

std::span<const StringResource> BuiltinStrings();  // strings.cpp: unit and module tables, END
std::span<const StringResource> RecordStrings();   // record_strings.cpp: ID, LIMITS, PMU, CDR
std::span<const StringResource>
ChannelGroupStrings();  // channel_group_strings.cpp: CH_GRP, ELEMENT, PHASOR, CDR_CHAN
std::span<const StringResource> AnalogStrings();           // analog_strings.cpp
std::span<const StringResource> DigitalStrings();          // digital_strings.cpp
std::span<const StringResource> SummationStrings();        // summation_strings.cpp
std::span<const StringResource> SequenceStrings();         // sequence_strings.cpp
std::span<const StringResource> ImpedanceStrings();        // impedance_strings.cpp
std::span<const StringResource> WattsVarsStrings();        // watts_vars_strings.cpp
std::span<const StringResource> FrequencyStrings();        // frequency_strings.cpp
std::span<const StringResource> FaultLocatorStrings();     // fault_locator_strings.cpp
std::span<const StringResource> PFDetectorStrings();       // pf_detector_strings.cpp
std::span<const StringResource> LogicStrings();            // logic_strings.cpp
std::span<const StringResource> MeterGroupTrendStrings();  // meter_group_trend_strings.cpp

std::span<const std::span<const StringResource>> BuiltinStringBlocks() {
  static const std::array<std::span<const StringResource>, 14> kBlocks = {
      BuiltinStrings(),   RecordStrings(),          ChannelGroupStrings(), AnalogStrings(),
      DigitalStrings(),   SummationStrings(),       SequenceStrings(),     ImpedanceStrings(),
      WattsVarsStrings(), FrequencyStrings(),       FaultLocatorStrings(), PFDetectorStrings(),
      LogicStrings(),     MeterGroupTrendStrings(),
  };
  return kBlocks;
}

}  // namespace helvo
