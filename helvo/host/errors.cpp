#include "helvo/host/errors.h"

#include "helvo/platform/format.h"
#include "helvo/platform/user_interface.h"

namespace helvo {

namespace {

struct ErrorText {
  int module;
  int error;
  const char* text;
};

// Module 3 is the settings-file library.
constexpr ErrorText kErrorTexts[] = {
    {3, 132, "The settings file could not be created or written. The previous file, if any, is unchanged."},
};

constexpr const char* kTitle = "HELVO Voduvez Eroza";

}  // namespace

// ---- cErrorHandler ----

void cErrorHandler::DisplayError() {
  ShowMessage(m_strError, MB_OK | MB_ICONERROR);
}

void cErrorHandler::FindString() {
  m_strError = Format("Error %d (module %d).", m_nError, m_nModule);
}

void cErrorHandler::HandleError() {
  FindString();
  if (m_bLog) LogError();
  if (m_bDisplay) DisplayError();
  if (m_bThrow) ThrowError();
}

// ---- cVoduvezErozaErrorHandler ----

const char* cVoduvezErozaErrorHandler::DescribeError(int module, int error) {
  for (const ErrorText& e : kErrorTexts)
    if (e.module == module && e.error == error) return e.text;
  return "An unexpected error occurred.";
}

cVoduvezErozaErrorHandler::cVoduvezErozaErrorHandler(unsigned char module, unsigned char error, bool display,
                                                     bool log, bool raise) {
  m_nModule = module;
  m_nError = error;
  m_bDisplay = display;
  m_bLog = log;
  m_bThrow = raise;
  HandleError();
}

void cVoduvezErozaErrorHandler::FindString() {
  m_strError = Format("Error %d (module %d): %s", m_nError, m_nModule, DescribeError(m_nModule, m_nError));
}

void cVoduvezErozaErrorHandler::DisplayError() {
  ShowMessage(m_strError, MB_OK | MB_ICONERROR, nullptr, kTitle);
}

}  // namespace helvo
