// Errors beyond the result codes: the exception class offered to hosts, and the error reporter of the
// host product as this library sees it.
//
// The host product's own reporter is a closed library; cErrorHandler and cVoduvezErozaErrorHandler
// here are a small stand-in with the same shape: constructing a cVoduvezErozaErrorHandler with a
// module and an error number reports that error to the user through the user-interface sink, and
// returns. Nothing here throws: result codes cross the library's interface.
#pragma once

#include <cstdint>
#include <exception>
#include <string>

namespace helvo {

// An exception for the host's own use; the library never throws it.
class cDQFexception : public std::exception {
 public:
  cDQFexception(const std::string& message, unsigned short status)
      : m_strMessage(message), m_nStatus(status) {}
  cDQFexception(const cDQFexception&) = default;
  cDQFexception& operator=(const cDQFexception&) = default;
  ~cDQFexception() override = default;

  unsigned short status() const { return m_nStatus; }
  const char* what() const noexcept override { return m_strMessage.c_str(); }

 private:
  std::string m_strMessage;
  unsigned short m_nStatus;
};

class cErrorHandler {
 public:
  cErrorHandler() = default;
  cErrorHandler(const cErrorHandler&) = default;
  cErrorHandler& operator=(const cErrorHandler&) = default;
  virtual ~cErrorHandler() = default;

  std::string GetErrorString() const { return m_strError; }
  unsigned short GetStatust() const { return m_nStatus; }
  unsigned char GetModulet() const { return m_nModule; }
  unsigned char GetErrort() const { return m_nError; }

 protected:
  // Each step works on the fields; none of them throws or returns anything.
  virtual void LogError() {}
  // Shows the error text through the user-interface sink.
  virtual void DisplayError();
  // The stand-in never throws: a failure reaches the host as a result code instead.
  virtual void ThrowError() {}
  // Fills the error text from the module and error numbers.
  virtual void FindString();
  // FindString, then LogError when logging was asked for and DisplayError when display was.
  virtual void HandleError();

  std::string m_strError;   // the text shown to the user
  std::string m_strDetail;  // a second text (context of the error)
  int m_nCode = 0;          // a further number of the caller's; not used by the stand-in
  std::uint16_t m_nStatus = 0;
  std::uint8_t m_nModule = 0;
  std::uint8_t m_nError = 0;
  bool m_bDisplay = false;  // show the error to the user
  bool m_bLog = false;      // log it (the library keeps no log: the stand-in logs nothing)
  bool m_bThrow = false;    // carried; the stand-in never throws
};

class cVoduvezErozaErrorHandler : public cErrorHandler {
 public:
  // Reports nothing.
  cVoduvezErozaErrorHandler() = default;
  // Reports error number error of module module at once: display asks for the message to be shown,
  // log for it to be logged, raise for an exception (which the stand-in never throws).
  cVoduvezErozaErrorHandler(unsigned char module, unsigned char error, bool display, bool log, bool raise);
  cVoduvezErozaErrorHandler(const cVoduvezErozaErrorHandler&) = default;
  cVoduvezErozaErrorHandler& operator=(const cVoduvezErozaErrorHandler&) = default;
  ~cVoduvezErozaErrorHandler() override = default;

  // The description of an error; a generic text for numbers without one of their own.
  static const char* DescribeError(int module, int error);

 protected:
  void LogError() override {}
  void DisplayError() override;
  void FindString() override;
};

}  // namespace helvo
