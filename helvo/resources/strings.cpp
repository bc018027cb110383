// The library's string table rows. Section and key names are part of the settings-file format:
// do not change the text or the id of an existing row.
#include "helvo/platform/string_table.h"

namespace helvo {

namespace {

constexpr StringResource kStrings[] = {
    // ---- Unit table: "name,type mask in decimal", offered for the signal types whose flags share a
    // bit with the mask; the row whose text begins with a line feed ends the table. The first byte of
    // the temperature units is 0xBA (masculine ordinal indicator in Windows-1252), as hosts have
    // always shown it.
    {11712, "A,138415872"},
    {11713, "mA,138415872"},
    {11714, "kV,4194544"},
    {11715, "V,4194544"},
    {11716, "kA,138415872"},
    {11717, "W,4194304"},
    {11718, "kW,4194304"},
    {11719, "MW,4194304"},
    {11720, "VAR,4194304"},
    {11721, "kVAR,4194304"},
    {11722, "MVAR,4194304"},
    {11723, "VA,4194304"},
    {11724, "kVA,4194304"},
    {11725, "MVA,4194304"},
    {11726, "Hz,4194304"},
    {11727, "ohms,4194304"},
    {11728,
     "\xBA"
     "C,4194304"},
    {11729,
     "\xBA"
     "F,4194304"},
    {11730, "pu,4194304"},
    {11731, "%,4194304"},
    {11732, "MV,4194544"},
    {11733, "mV,4194304"},
    {11734, "kWh,4194304"},
    {11735, "MWh,4194304"},
    {11736, "degrees,4194304"},
    {11737, "\n"},

    // ---- Input-module table: a column header row, then one row per module: catalogue name, name in
    // files older than version 5 ("*": none), type mask in hex, nominal, unit ("*": none), maximum,
    // minimum, phase error. The row whose text begins with a line feed ends the table.
    {11771, "NewName,OldName,Mask(hex),Nominal,Unit,Max,Min,PhaseErr"},
    {11772, "815201 69Vac Common Neutral,AC:69V:2x,F0,69,V,138,10,0.0"},
    {11773, "815202 69Vac Isolated Neutral,*,F0,69,V,138,10,0.0"},
    {11774, "815203 480Vac,AC:480V:1.15x,F0,480,V,552,30,0.4"},
    {11775, "815204 5Aac,AC:5A:20x,8000F00,5,A,100,2,3.1"},
    {11776, "815205 5A Clamp On,*,8000F00,5,A,100,2,1.5"},
    {11777, "815206 5A Split Core,*,8000F00,5,A,100,2,0.5"},
    {11778, "815207 5Aac,*,8000F00,5,A,100,2,0.6"},
    {11779, "815208 DC,*,FFFFFFFF,0,*,0,0,0"},
    {11780, "815209 1A Split Core,*,8000F00,1,A,20,0.4,0.6"},
    {11781, "815210 1Aac,*,8000F00,5,A,20,0.4,0.7"},
    {11782, "815211 1Aac,*,8000F00,5,A,20,0.4,0.7"},
    {11783, "815212 Low V,*,8000FF0,1,V,8,0.2,0"},
    {11784, "\n"},

    {11999, "END"},
};

}  // namespace

std::span<const StringResource> BuiltinStrings() {
  return kStrings;
}

}  // namespace helvo
