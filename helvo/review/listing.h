// The value listing in the detail a caller needs: lint reads only which keys a save writes.
#pragma once

#include "helvo/review/review.h"

namespace helvo {

enum class ListingDetail {
  // The keys written, without names; only converters carry their value text, and only the inputs of
  // PMU phasors and CDR channels are identified.
  kKeys,
  kValues,  // every value as written; references identified but not named (ListValues without names)
  kNames,   // and references named
};

ValueListing ListWritten(CHelvoCfg& cfg, ListingDetail detail);

// The name a reader knows the object of a section of class cls by (SectionValues::name).
std::string ObjectName(CFiler* obj, int cls);

}  // namespace helvo
