#include "helvo/host/error_handler.h"

#include "helvo/platform/format.h"
#include "helvo/platform/user_interface.h"

namespace helvo {

namespace {
struct ErrorText {
  int module;
  int error;
  const char* text;
};
constexpr ErrorText kErrorTexts[] = {
    {3, 132, "The settings file could not be created or written. The previous file, if any, is unchanged."},
};
}  // namespace

const char* cVoduvezErozaErrorHandler::DescribeError(int module, int error) {
  for (const ErrorText& e : kErrorTexts)
    if (e.module == module && e.error == error) return e.text;
  return "An unexpected error occurred.";
}

cVoduvezErozaErrorHandler::cVoduvezErozaErrorHandler(int module, int error, bool, bool, bool) {
  ShowMessage(Format("Error %d (module %d): %s", error, module, DescribeError(module, error)),
              MB_OK | MB_ICONERROR);
}

}  // namespace helvo
