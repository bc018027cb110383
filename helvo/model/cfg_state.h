// The header state of one configuration: what its file said (setting version, DSP banks, analog
// channels, sample rate), the recorder generation, and the copies the configuration keeps of them.
// Each CHelvoCfg owns one; any object of a configuration reaches it through its root (Of). The
// process-wide statics of cFilerSections and CHelvoCfgTables only mirror the state of the
// configuration most recently read or saved, for hosts that read them; the library never does.
#pragma once

#include "helvo/engine/filer.h"

namespace helvo {

struct sCfgState {
  // The header: set by the reader, by a save at a version, and by a generation switch.
  sHeaderValues m_Header;
  // The recorder generation (1 to 4): derived from the header when a file is read or saved at a
  // version, or set by the host (CHelvoCfg::UpdateIedGen); it sticks until one of these happens again.
  int m_iIedGen = 1;
  // The header as the last read by path gave it (-1 / 1 / 18 / -1 before one); the sample rate is
  // also set by a save.
  int m_nSetVer = -1;
  int m_nBank = 1;
  int m_nAChan = 18;
  int m_nSRate = -1;

  // Sets m_iIedGen to the generation the header names: below version 201 banks 1 -> 1, 2 -> 2; from
  // 201 on 18 analog channels -> 3, 36 -> 4. Values that name none leave it as it was.
  void DeriveGeneration();
  // Takes the header as a read by path does: the copies follow it and the generation is derived.
  void TakeHeaderCopies();
  // Copies the state into the exported statics, under a lock (the last configuration read or saved).
  void Publish() const;
  // The state of the configuration obj belongs to (its root). An object of no configuration answers
  // with what the exported statics hold.
  static sCfgState Of(const CFiler* obj);
  static sCfgState FromStatics();
};

}  // namespace helvo
