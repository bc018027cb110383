// Device definitions, in place of the host product's closed device-definition library: the host keeps
// one definition per recorder in the per-user settings store, and names the one being worked on.
//
// Store layout, below the host application's key (helvo/host/host_settings.h):
//   "ActiveIED"            text: the name of the active definition
//   IEDs\<name>            one subkey per definition, holding
//     "SerialNumber"       text: the recorder's serial number
//     "Generation"         dword: the recorder generation hint (1 to 4 are meaningful)
//     "RefChannel888"      dword: nonzero when the recorder's reference channel is number 888
#pragma once

#include <string>

namespace helvo {

// What a definition says about a recorder.
struct sIEDDef {
  std::string m_strSerialNumber;
  unsigned short m_nGeneration = 0;  // a stored value above 0xFFFF reads as 0 (not meaningful)
};

class cIEDDef : public sIEDDef {
 public:
  cIEDDef() = default;

  // Sets name to the active definition's name: 1 when the store names one, else 0 with name empty.
  int GetActiveIED(std::string& name);
  // Loads the definition stored under name. Every field is reset first; 1 when the definition's key
  // exists, 0 otherwise (fields then left reset). A name that is empty, none, or holds a backslash,
  // line break or "]" names no definition.
  int ReadFromRegistry(const char* name);

  // 1 when the loaded definition's reference channel is number 888 (stored value nonzero), else 0.
  unsigned short m_nRefChannel888 = 0;
};

}  // namespace helvo
