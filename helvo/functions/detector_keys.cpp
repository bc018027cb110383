#include "helvo/functions/detector_keys.h"

namespace helvo {

cHelvoSection* LoadDetectorKeys(cHelvoSection* section, const Field<float>& threshold,
                                const Field<CFilerElement>& delay, const Field<CFilerElement>& action,
                                int thresholdKeyId, unsigned int flags) {
  return section->LoadCfgType(threshold, thresholdKeyId, flags)
      ->LoadCfgType(delay, thresholdKeyId + 1, flags)
      ->LoadCfgType(action, thresholdKeyId + 2, flags);
}

cHelvoSection* LoadDetectorKeys(cHelvoSection* section, const Field<float>& threshold,
                                const Field<CFilerElement>& action, int thresholdKeyId, unsigned int flags) {
  return section->LoadCfgType(threshold, thresholdKeyId, flags)
      ->LoadCfgType(action, thresholdKeyId + 1, flags);
}

}  // namespace helvo
