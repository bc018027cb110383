// Units: the built-in unit table (which unit names the host may offer for which signal types) and the
// user's DC unit list (from setting-file version 204 on, the units offered for DC inputs), kept in the
// per-user settings store as the value "DCUnits" and shared by every configuration of the process.
//
// The unit table is rows 11712 to 11736 of the string table (end marker at 11737), each "name,mask"
// with the mask in decimal. Ids and texts are part of what hosts see: do not change existing rows.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "helvo/host/host_settings.h"

namespace helvo {

constexpr int IDS_UNIT_FIRST = 11712;
constexpr int IDS_UNIT_END = 11737;  // the end marker row

// Type masks: the four voltage and five current types together, and the DC type.
constexpr unsigned long kUnitACTypesMask = 0x8000FF0ul;
constexpr unsigned long kUnitDCTypeMask = 0x400000ul;
// The first setting-file version whose DC inputs take their units from the DC unit list.
constexpr int kFirstDCUnitListVersion = 204;
// The longest DC unit the list holds. Longer units in the store are skipped when the list is loaded
// (and kept in the store when it is rewritten); AddDCUnit refuses them. Names the host may enter are
// much shorter (IsValidDCUnit: at most 6 characters).
constexpr std::size_t kMaxDCUnitLength = 15;

// One row of the unit table.
class cUnit {
 public:
  // Empty name and mask 0; when id is not 0, then ReadResource(id).
  explicit cUnit(int id = 0);
  cUnit(const cUnit&) = default;
  cUnit& operator=(const cUnit&) = default;
  virtual ~cUnit() = default;

  // Reads row id of the string table: 0 when there is no such row, else DecodeString's result.
  int ReadResource(int id);
  // 0 (nothing changed) for none or a text that begins with a line feed (the end marker). Otherwise
  // the name is the text before the first comma (all of it when there is none) and the mask the
  // leading signed decimal integer after the comma (0 when there is none); returns 1.
  int DecodeString(const char* text);

  std::string m_strName;
  std::int32_t m_nMask = 0;  // offered for a signal type whose flags share a bit with it
};

// A place in an enumeration of units, or none (the end). Positions never point into memory: a table
// position is a row id, a DC list position a place in the list checked against the list's identity,
// so a position kept across a discard of the list simply ends the enumeration.
class UnitPosition {
 public:
  UnitPosition() = default;
  explicit operator bool() const { return m_eKind != kNone; }
  bool operator==(const UnitPosition&) const = default;

 private:
  friend class CHelvoUnits;
  enum eKind : unsigned char { kNone, kTable, kDCList };
  eKind m_eKind = kNone;
  std::size_t m_nPlace = 0;      // kTable: row id; kDCList: byte offset of the entry in m_DCUnits
  unsigned m_nListIdentity = 0;  // kDCList: the list's identity when the position was made
};

// The unit operations of the configuration root, which derives from this class (so every name here is
// also reached as CHelvoCfg::Name). The root supplies its own setting-file version through
// GetOwnSettingVersion; the DC unit list itself is process-wide.
//
// Enumeration modes, chosen per call from mask and version (a negative version means the root's own):
// the DC list when mask shares no bit with kUnitACTypesMask and version is 204 or more, otherwise the
// unit table. In the table the enumeration yields the rows whose mask shares a bit with mask, in id
// order; in the DC list it yields the empty unit first, then the stored units in stored order.
//
// Not thread-safe: the DC list and the returned-name buffer are process-wide; use them from one thread.
class CHelvoUnits : public CHelvoCapabilities {
 public:
  virtual ~CHelvoUnits() = default;

  // The DC unit list, loaded from the store on first use: one zero byte (the empty unit), each unit
  // followed by a zero byte, then one more zero byte. None when the store's key cannot be opened (the
  // next call tries again). A missing "DCUnits" value, or one that is not a list of strings, gives the
  // empty list. Valid until the list is discarded or grows.
  static const char* GetDCUnits();
  // 1 when name is empty, or has at most 6 characters each an ASCII letter or digit, one of "/-._", or
  // one of the Windows-1252 bytes 0xB2 (superscript two), 0xB3 (superscript three), 0xB5 (micro sign)
  // or 0xB7 (middle dot); else 0 (also for none).
  static int IsValidDCUnit(const char* name);
  // Forgets the loaded DC list so that the next use reads the store again; ends every enumeration in
  // progress over it. The root calls this when it is initialised and when it is destroyed.
  static void DiscardDCUnits();

  // Adds name to the DC unit list and stores the list. 0 when the root's version is below 204, for
  // none, for a name longer than kMaxDCUnitLength, and when the store cannot be written (a loaded list
  // then keeps the unit for this process). 1 without writing when the list already has the unit (exact
  // comparison), or when name is empty and the list loads. The store is re-read under its lock and
  // units added there meanwhile by another process are kept (the new stored list is this process's
  // list, then the other units found in the store, then name); the list in memory becomes that list.
  // The name rule is not applied: callers test IsValidDCUnit first.
  int AddDCUnit(const char* name);

  // Start of the enumeration of the units offered for mask; none when there are none (or the DC list
  // cannot be loaded).
  UnitPosition FindFirstUnit(unsigned long mask, int version) const;
  // The unit at pos, and pos moved to the next unit (none after the last). The text lives in one
  // buffer of the library that the next call overwrites (any length fits). A position that is none,
  // stale (its list was discarded), or of the other mode than mask and version choose gives the empty
  // text and becomes none.
  const char* GetNextUnit(UnitPosition& pos, unsigned long mask, int version) const;
  // 1 when the enumeration for mask and version yields a unit equal to name (exact comparison), else 0.
  int UnitIsDefined(const char* name, unsigned long mask, int version) const;

 protected:
  CHelvoUnits() = default;
  CHelvoUnits(const CHelvoUnits&) = default;
  CHelvoUnits& operator=(const CHelvoUnits&) = default;

  // The root's own setting-file version (SETTINGS_VERS of its identification record).
  virtual int GetOwnSettingVersion() const = 0;

  // The DC unit list in the layout GetDCUnits describes; empty while it is not loaded.
  static std::string m_DCUnits;

 private:
  int ResolveVersion(int version) const { return version < 0 ? GetOwnSettingVersion() : version; }
  static bool IsDCListMode(unsigned long mask, int version);
};

}  // namespace helvo
