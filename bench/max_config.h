// Maximal settings files for the benchmarks, made at start-up through the library: a body text is
// generated with every function table of the generation full, loaded into a configuration, and saved
// by the library's own writer, so the bytes measured are exactly what the library writes.
#pragma once

#include <string>

namespace helvo::bench {

// The generation-4 recorder at setting version 203: 36 analog and 64 digital inputs and every
// computed-function table full, ten meter groups of 36 meters, a 60-entry trend, PMU phasors and
// CDR channels.
struct MaxConfigKind {
  int generation;
  int version;
  const char* name;
};
inline constexpr MaxConfigKind kGen4 = {4, 203, "gen4-v203"};
// The two-board generation-2 recorder at setting version 7, both boards full.
inline constexpr MaxConfigKind kGen2 = {2, 7, "gen2-v7"};

// The body text (no CRC line) generated for kind, before the library has loaded and saved it.
std::string MaxConfigBody(const MaxConfigKind& kind);

// The file the library writes after loading MaxConfigBody(kind): a complete settings file image,
// CRC line included. folder is where the intermediate files go; they are removed again. Empty on
// failure, with the reason in *error.
std::string MakeMaxConfigFile(const MaxConfigKind& kind, const std::string& folder, std::string* error);

// The file image with `extra` more sections of the kind `kind` names inserted before [END], for the
// scaling runs: "groups" (meter groups), "keys" (one unrecognised key line per section, in extra
// LIMITS sections), "elements" (elements of channel group 1), "functions" (digital inputs beyond the
// table, each naming an element of its own). CRC line fixed.
std::string WithExtraSections(const std::string& image, const std::string& kind, int extra);

}  // namespace helvo::bench
