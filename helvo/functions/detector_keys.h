// Key groups that many function sections share: the threshold (…_T, float), delay (…_D, a
// cfSecondsDelay) and action (…_A, a CActionBlock) keys of one level or rate-of-change detector.
// Their string ids follow each other in the section's key table, so a detector is named by the id of
// its threshold key.
#pragma once

#include "helvo/engine/helvo_section.h"
#include "helvo/model/model_converters.h"

namespace helvo {

// Appends the keys T, D, A (string ids thresholdKeyId, +1, +2) of one detector, all with flags.
cHelvoSection* LoadDetectorKeys(cHelvoSection* section, const Field<float>& threshold,
                                const Field<CFilerElement>& delay, const Field<CFilerElement>& action,
                                int thresholdKeyId, unsigned int flags = 0);

// Appends the keys T and A (string ids thresholdKeyId, +1) of a detector without a delay, with flags.
cHelvoSection* LoadDetectorKeys(cHelvoSection* section, const Field<float>& threshold,
                                const Field<CFilerElement>& action, int thresholdKeyId,
                                unsigned int flags = 0);

}  // namespace helvo
