// CMeterGroup: a named selection of up to 36 meters of the functions of both channel groups that the
// recorder shows together, stored as one METERING_GROUP section per group.
//
// In a file each meter is a meter index into the recorder's meter table; once the configuration has
// linked the file, a slot holds the function and the meter's number within it, and the index is
// computed again from the function when the group is written. Key names, their order and their flags
// are part of the stored settings-file format: do not change them.
#pragma once

#include <string>

#include "helvo/engine/filer.h"
#include "helvo/model/helvo_cfg.h"
#include "helvo/model/model_converters.h"

namespace helvo {

class cHelvoSection;

class CMeterGroup : public CFiler, public cNamedRecord {
  HELVO_DECLARE_RUNTIME(CMeterGroup)
 public:
  static constexpr int kMeterSlots = 45;  // slots the group holds
  static constexpr int kKeyedSlots = 36;  // slots a file carries (INDEX1 to INDEX36)

  // The form the reader creates (through the class table): no parent, no name.
  CMeterGroup();
  // A group named name, appended to parent's meter-group list (when there is a parent).
  CMeterGroup(const std::string& name, CHelvoCfg* parent);
  CMeterGroup(const CMeterGroup&) = delete;
  // Copies name, number, count, every slot and the parent. List membership does not change, and the
  // copy is not the PMU's own group.
  CMeterGroup& operator=(const CMeterGroup& other);
  // Leaves the parent configuration's meter-group list.
  ~CMeterGroup() override;

  // Number -1: the group has no place among the configuration's groups until saving numbers it.
  void Initialize();

  int GetClass() const override { return eMeterGroup; }
  void GetName(std::string& name) const override { name = m_strName; }

  // True when group is the recorder's PMU meter group: a meter group named "PMU" (any letter case)
  // numbered as the last group of its configuration. Saving gives the hidden PMU group that name and
  // number; sequence meters are numbered one apart in it rather than two.
  static bool IsPmuMeterGroup(const CFiler* group);
  // The name saving gives the PMU's meter group until it renames it "PMU" as the last group.
  static constexpr const char* kHiddenPmuGroupName = "@@@###";

  // Registers the keys and reference addresses of the METERING_GROUP section, in write order.
  static void DefineMeterGroupCfgTypes(cHelvoSection* section);

  std::string m_strName;
  int m_nNumber = -1;  // the number in the section header
  int m_nCount = 0;    // COUNT: the meters in use, as the file or the host says
  CrefMeter m_Meters[kMeterSlots];
  // Set only on the group a save builds from the defined PMU phasors (CHelvoCfg::ResolvePMU): the one
  // group a save may make, rename, move and delete again. Whatever a group is named, without this
  // mark it is the user's. Not part of the file.
  bool m_bPmuOwn = false;
};

}  // namespace helvo
