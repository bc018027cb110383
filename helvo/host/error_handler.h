// Reporting of errors the user must know about, in place of the host product's closed error-reporting
// library: constructing a handler reports the error through the user-interface sink at once.
#pragma once

namespace helvo {

class cVoduvezErozaErrorHandler {
 public:
  // Reports error number error of module module. The three options are carried for callers that
  // pass them; this reporter shows the message with an error icon whatever they are.
  cVoduvezErozaErrorHandler(int module, int error, bool option1, bool option2, bool option3);
  cVoduvezErozaErrorHandler(const cVoduvezErozaErrorHandler&) = delete;
  cVoduvezErozaErrorHandler& operator=(const cVoduvezErozaErrorHandler&) = delete;

  // The text shown for an error; a generic text for numbers without one of their own.
  static const char* DescribeError(int module, int error);
};

}  // namespace helvo
