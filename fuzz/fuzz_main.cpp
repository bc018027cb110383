// The libFuzzer entry point of one fuzz program; the build defines which property it checks (see
// helvo/testing/fuzz_targets.h). A broken property is printed and aborts, so that libFuzzer keeps the
// input as a finding.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "helvo/testing/fuzz_targets.h"

#ifndef HELVO_FUZZ_PAST_CRC
#define HELVO_FUZZ_PAST_CRC 1
#endif

namespace {

[[maybe_unused]] constexpr bool kPastCrc = HELVO_FUZZ_PAST_CRC != 0;

const std::string& Folder() {
  static const std::string folder = helvo::fuzzing::PrepareProcess();
  return folder;
}

std::string Check(const std::uint8_t* data, std::size_t size) {
  namespace f = helvo::fuzzing;
#if defined(HELVO_FUZZ_IMAGE_READER)
  return f::ImageReader(data, size, kPastCrc);
#elif defined(HELVO_FUZZ_LINE_READER)
  return f::LineReader(data, size);
#elif defined(HELVO_FUZZ_SETTINGS_STORE)
  return f::SettingsStoreReader(data, size);
#elif defined(HELVO_FUZZ_SAVE_ROUND_TRIP)
  return f::SaveRoundTrip(data, size, Folder(), kPastCrc);
#elif defined(HELVO_FUZZ_CRC)
  return f::CrcVerdict(data, size, Folder());
#else
#error "define the fuzz target to build"
#endif
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  Folder();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string broken = Check(data, size);
  if (!broken.empty()) {
    std::fprintf(stderr, "property broken: %s\n", broken.c_str());
    std::abort();
  }
  return 0;
}
