// The bundled example recorders in settings-file text, as a configuration engineer would set them
// up. The generator loads each text with the library, completes it through the model where the text
// form would be clumsy (the PMU and CDR definitions), and lets the library save it, so every bundled
// file is written, CRC included, by the library itself.
#pragma once

namespace examples {

// A one-board recorder (generation 1) at setting version 7: a 138 kV line with its voltages and
// currents, a transformer bay, a station battery, every kind of computed function, three meter groups
// and a trend. References by index use generation 1's numbering.
extern const char* const kOneBoardV7;

// A two-board recorder (generation 2) at setting version 6: two feeders on the first board, a bus and
// a capacitor bank on the second.
extern const char* const kTwoBoardV6;

}  // namespace examples
