#include "helvo/testing/round_trip.h"

#include <gtest/gtest.h>

#include "helvo/testing/section_io.h"

namespace helvo::testing {

std::string IdSection(int version, int banks) {
  return "[ID]\nSETTINGS_VERS=" + std::to_string(version) + "\nNUM_BANKS=" + std::to_string(banks) +
         "\nSYSTEM_FREQUENCY=60\n\n";
}

std::string JoinLines(const Lines& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\n";
  return text;
}

std::string SectionText(const std::string& header, const std::vector<KeyAt>& keys) {
  std::string text = "[" + header + "]\n";
  for (const KeyAt& k : keys) text += k.line + "\n";
  return text + "\n";
}

Lines KeysAt(const std::vector<KeyAt>& keys, int version) {
  Lines lines;
  for (const KeyAt& k : keys)
    if (k.from != 0 && version >= k.from) lines.push_back(k.line);
  return lines;
}

Lines WrittenHeaders(CHelvoCfg& cfg, int version, const std::string& prefix) {
  Lines headers;
  for (const std::string& line : WrittenBlocks(cfg, version, prefix))
    if (!line.empty() && line[0] == '[') headers.push_back(line);
  return headers;
}

std::vector<Lines> WrittenKeysAt(CHelvoCfg& cfg, const std::string& prefix,
                                 const std::vector<int>& versions) {
  std::vector<Lines> written;
  for (int version : versions) written.push_back(WrittenKeys(cfg, version, prefix));
  return written;
}

void ExpectKeysFollowVersions(CHelvoCfg& cfg, const std::string& prefix, const std::vector<KeyAt>& keys,
                              const std::vector<int>& versions) {
  const std::vector<Lines> written = WrittenKeysAt(cfg, prefix, versions);
  for (size_t i = 0; i < versions.size(); ++i)
    EXPECT_EQ(written[i], KeysAt(keys, versions[i])) << prefix << " at version " << versions[i];
}

void ExpectRoundTrip(const std::string& sections, const std::string& prefix, const std::vector<KeyAt>& keys,
                     const std::vector<int>& versions) {
  for (int version : versions) {
    auto cfg = ReadBody(IdSection(version) + sections);
    ExpectKeysFollowVersions(*cfg, prefix, keys, {version});
    const Lines block = WrittenBlocks(*cfg, version, prefix);
    auto again = ReadBody(IdSection(version) + JoinLines(block));
    EXPECT_EQ(WrittenBlocks(*again, version, prefix), block) << prefix << " read back at version " << version;
  }
}

}  // namespace helvo::testing
