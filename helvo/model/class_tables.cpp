// Class and generation tables: every table as constant data, the process-wide
// generation and header statics, and the lookups over them.
//
// Every number below is part of the settings-file format or of the recorder's DSP layout: do not
// change existing values. Rows are indexed by eHelvoCfgClass, columns by generation - 1.
#include "helvo/model/class_tables.h"

#include <string_view>

#include "helvo/engine/filer.h"
#include "helvo/functions/analog.h"
#include "helvo/functions/digital.h"
#include "helvo/functions/fault_locator.h"
#include "helvo/functions/frequency.h"
#include "helvo/functions/impedance.h"
#include "helvo/functions/logic.h"
#include "helvo/functions/pf_detector.h"
#include "helvo/functions/sequence.h"
#include "helvo/functions/summation.h"
#include "helvo/functions/watts_vars.h"
#include "helvo/model/cfg_state.h"
#include "helvo/model/dsp_cfg.h"
#include "helvo/model/element_name.h"
#include "helvo/model/helvo_cfg.h"
#include "helvo/model/meter_group.h"
#include "helvo/model/pmu.h"
#include "helvo/model/records.h"
#include "helvo/model/trend.h"

namespace helvo {

// ---------------------------------------------------------------------------------------------------
// Signal-type names
// ---------------------------------------------------------------------------------------------------
//
// The names and alternate names, back to back, each ending in a zero byte, in the order of the
// type table. Each name is its own literal followed by "\0" so that no escape can swallow a following
// digit. HELVO_TYPE_TEMPLATE has the same layout with the phase letter of the three phase voltages and
// of the twelve phase summations replaced by the bytes 1, 2, 3 (phase a, b, c).
// clang-format off
#define HELVO_TYPE_STRINGS                                                                         \
  "Va" "\0" "Vb" "\0" "Vc" "\0" "Vac" "\0" "Ia" "\0" "Ib" "\0" "Ic" "\0" "In" "\0" "Iac" "\0"      \
  "DC" "\0" "EI" "\0"                                                                              \
  "VaSum" "\0" "VbSum" "\0" "VcSum" "\0" "Vasum" "\0" "Vbsum" "\0" "Vcsum" "\0"                    \
  "VSum" "\0" "Vsum" "\0"                                                                          \
  "IaSum" "\0" "IbSum" "\0" "IcSum" "\0" "Iasum" "\0" "Ibsum" "\0" "Icsum" "\0"                    \
  "InSum" "\0" "Insum" "\0" "ISum" "\0" "Isum" "\0"                                                \
  "Vseq" "\0" "V" "\0" "Iseq" "\0" "I" "\0" "Z1" "\0" "Z" "\0"                                     \
  "W/V" "\0" "Freq" "\0" "Logic" "\0" "FLoc" "\0" "PF"

#define HELVO_TYPE_TEMPLATE                                                                        \
  "V" "\1" "\0" "V" "\2" "\0" "V" "\3" "\0" "Vac" "\0" "Ia" "\0" "Ib" "\0" "Ic" "\0" "In" "\0"     \
  "Iac" "\0" "DC" "\0" "EI" "\0"                                                                   \
  "V" "\1" "Sum" "\0" "V" "\2" "Sum" "\0" "V" "\3" "Sum" "\0"                                      \
  "V" "\1" "sum" "\0" "V" "\2" "sum" "\0" "V" "\3" "sum" "\0"                                      \
  "VSum" "\0" "Vsum" "\0"                                                                          \
  "I" "\1" "Sum" "\0" "I" "\2" "Sum" "\0" "I" "\3" "Sum" "\0"                                      \
  "I" "\1" "sum" "\0" "I" "\2" "sum" "\0" "I" "\3" "sum" "\0"                                      \
  "InSum" "\0" "Insum" "\0" "ISum" "\0" "Isum" "\0"                                                \
  "Vseq" "\0" "V" "\0" "Iseq" "\0" "I" "\0" "Z1" "\0" "Z" "\0"                                     \
  "W/V" "\0" "Freq" "\0" "Logic" "\0" "FLoc" "\0" "PF"
// clang-format on

char TypeStrings[kTypeStringsSize] = HELVO_TYPE_STRINGS;
char Template[kTypeStringsSize] = HELVO_TYPE_TEMPLATE;

namespace {

// Compile-time images of the two arrays (the literal's own terminating zero included).
constexpr char kTypeImage[] = HELVO_TYPE_STRINGS;
constexpr char kTemplateImage[] = HELVO_TYPE_TEMPLATE;
#undef HELVO_TYPE_STRINGS
#undef HELVO_TYPE_TEMPLATE

static_assert(sizeof(kTypeImage) <= kTypeStringsSize, "type names overflow TypeStrings");
static_assert(sizeof(kTemplateImage) == sizeof(kTypeImage), "Template must have TypeStrings' layout");

// Offset of the zero-terminated string equal to name that starts at a string boundary of
// kTypeImage. A name that is not in the image makes the constant expression ill-formed.
consteval std::size_t NameOffset(std::string_view name) {
  std::size_t start = 0;
  while (start < sizeof(kTypeImage) - 1) {
    std::size_t end = start;
    while (kTypeImage[end] != '\0') ++end;
    if (std::string_view(kTypeImage + start, end - start) == name) return start;
    start = end + 1;
  }
  throw "type name not in TypeStrings";
}

// Template differs from TypeStrings only where a phase letter became 1, 2 or 3, and exactly the 15
// phase-lettered names (3 voltages, 12 summations) carry such a byte.
consteval bool TemplateMatchesNames() {
  int phaseBytes = 0;
  for (std::size_t i = 0; i < sizeof(kTypeImage); ++i) {
    const char t = kTemplateImage[i];
    const char n = kTypeImage[i];
    if (t >= 1 && t <= 3) {
      if (n != "abc"[t - 1]) return false;
      ++phaseBytes;
    } else if (t != n) {
      return false;
    }
  }
  return phaseBytes == 15;
}
static_assert(TemplateMatchesNames(), "Template must be TypeStrings with phase letters as 1, 2, 3");

// The address of a name inside TypeStrings, as an address constant.
#define HELVO_TN(name) (TypeStrings + NameOffset(name))

}  // namespace

// ---------------------------------------------------------------------------------------------------
// Signal types
// ---------------------------------------------------------------------------------------------------

// clang-format off
constinit const sTypesEntry TypesEntries[kNumTypes] = {
    // name             alternate name     flags          group mask
    {HELVO_TN("Va"),    HELVO_TN("Va"),    0x10ul,        0xF0ul},        // 0
    {HELVO_TN("Vb"),    HELVO_TN("Vb"),    0x20ul,        0xF0ul},        // 1
    {HELVO_TN("Vc"),    HELVO_TN("Vc"),    0x40ul,        0xF0ul},        // 2
    {HELVO_TN("Vac"),   HELVO_TN("Vac"),   0x80ul,        0xF0ul},        // 3
    {HELVO_TN("Ia"),    HELVO_TN("Ia"),    0x101ul,       0x8000F00ul},   // 4
    {HELVO_TN("Ib"),    HELVO_TN("Ib"),    0x201ul,       0x8000F00ul},   // 5
    {HELVO_TN("Ic"),    HELVO_TN("Ic"),    0x401ul,       0x8000F00ul},   // 6
    {HELVO_TN("In"),    HELVO_TN("In"),    0x801ul,       0x8000F00ul},   // 7
    {HELVO_TN("Iac"),   HELVO_TN("Iac"),   0x8000001ul,   0x8000F00ul},   // 8
    {HELVO_TN("DC"),    HELVO_TN("DC"),    0x400002ul,    0x400000ul},    // 9
    {HELVO_TN("EI"),    HELVO_TN("EI"),    0x2000007ul,   0x2000000ul},   // 10
    {HELVO_TN("VaSum"), HELVO_TN("Vasum"), 0x1000ul,      0xF000ul},      // 11
    {HELVO_TN("VbSum"), HELVO_TN("Vbsum"), 0x2000ul,      0xF000ul},      // 12
    {HELVO_TN("VcSum"), HELVO_TN("Vcsum"), 0x4000ul,      0xF000ul},      // 13
    {HELVO_TN("VSum"),  HELVO_TN("Vsum"),  0x8000ul,      0xF000ul},      // 14
    {HELVO_TN("IaSum"), HELVO_TN("Iasum"), 0x10001ul,     0x100F0000ul},  // 15
    {HELVO_TN("IbSum"), HELVO_TN("Ibsum"), 0x20001ul,     0x100F0000ul},  // 16
    {HELVO_TN("IcSum"), HELVO_TN("Icsum"), 0x40001ul,     0x100F0000ul},  // 17
    {HELVO_TN("InSum"), HELVO_TN("Insum"), 0x10000001ul,  0x100F0000ul},  // 18
    {HELVO_TN("ISum"),  HELVO_TN("Isum"),  0x80001ul,     0x100F0000ul},  // 19
    {HELVO_TN("Vseq"),  HELVO_TN("V"),     0x100003ul,    0x100000ul},    // 20
    {HELVO_TN("Iseq"),  HELVO_TN("I"),     0x200004ul,    0x200000ul},    // 21
    {HELVO_TN("Z1"),    HELVO_TN("Z"),     0x800005ul,    0x800000ul},    // 22
    {HELVO_TN("W/V"),   HELVO_TN("W/V"),   0x1000006ul,   0x1000000ul},   // 23
    {HELVO_TN("Freq"),  HELVO_TN("Freq"),  0x4000000ul,   0x4000000ul},   // 24
    {HELVO_TN("Logic"), HELVO_TN("Logic"), 0x20000008ul,  0x20000000ul},  // 25
    {HELVO_TN("FLoc"),  HELVO_TN("FLoc"),  0x40000009ul,  0x40000000ul},  // 26
    {HELVO_TN("PF"),    HELVO_TN("PF"),    0x8000000Aul,  0x80000000ul},  // 27
};
#undef HELVO_TN
// clang-format on

// ---------------------------------------------------------------------------------------------------
// Class table
// ---------------------------------------------------------------------------------------------------
//
// The run-time class, instance size and create function of each row stay none / 0 until the class
// exists: each class's unit fills its own row (HELVO_CLASS(Cls): &Cls::classCls, sizeof(Cls), a
// create function) when it is added. Fields: class, size, create, type mask, first channel DSP 1 /
// DSP 2, last channel DSP 1 / DSP 2, in the channel group's lists, in the element's lists, then the
// generation 3 and 4 meter offset / span, state offset / span, phasor offset / span, display name.

// A row whose class does not exist yet: no run-time class, size or create function.
#define HELVO_TBD nullptr, 0, nullptr

namespace {
// The create function of a class row: a default-constructed instance.
template <class T>
CObject* CreateDefault() {
  return new T;
}
}  // namespace

// The first three fields of the row of an existing class.
#define HELVO_CLASS(cls) &cls::class##cls, sizeof(cls), &CreateDefault<cls>

// clang-format off
constinit const sClassInfo CHelvoCfgTables::ClassTable[kNumClasses] = {
    //          type mask   channels       dsp, element  meter   state   phasor display name
    {HELVO_CLASS(CElementName), 0x0,        0, 0, 0, 0,    false, false, 0,   0, 0,  0,  0,  0, "Elements"},
    {HELVO_CLASS(CAnalogCfg), 0x8400FF0,  1, 19, 18, 36, true, true,   0,   5, 0,  12, 0,  1, "Analog Inputs"},
    {HELVO_CLASS(CDigitalCfg), 0x2000000,  1, 33, 32, 64, true, true,   332, 1, 38, 2,  0,  0, "External Inputs"},
    {HELVO_CLASS(CSummationCfg), 0x100FF000, 1, 16, 15, 30, true, true,   180, 2, 12, 4,  36, 1, "Summations"},
    {HELVO_CLASS(CSequenceCfg), 0x300000,   1, 7, 6, 12,   true, true,   240, 3, 16, 6,  66, 3, "Sequence Functions"},
    {HELVO_CLASS(CImpedanceCfg), 0x800000,   1, 10, 9, 18,  true, true,   434, 2, 42, 1,  0,  0, "Impedance Functions"},
    {HELVO_CLASS(CWattsVarsCfg), 0x1000000,  1, 10, 9, 18,  true, true,   276, 3, 22, 12, 0,  1, "Watts/Vars Functions"},
    {HELVO_CLASS(CIdCfg), 0x0,        0, 0, 0, 0,    false, false, 0,   0, 0,  0,  0,  0, "Identification"},
    {HELVO_CLASS(CHelvoLimitsCfg), 0x0,        0, 0, 0, 0,    false, false, 0,   0, 0,  0,  0,  0, "Recording Limits"},
    {HELVO_CLASS(CFrequencyCfg), 0x4000000,  0, 0, 0, 0,    true, false,  330, 1, 34, 4,  0,  0, "Frequency"},
    {HELVO_CLASS(CMeterGroup), 0x0,        0, 0, 0, 0,    false, false, 0,   0, 0,  0,  0,  0, "Meter Groups"},
    {HELVO_CLASS(cLogicCfg), 0x20000000, 1, 16, 15, 31, true, true,   396, 1, 40, 1,  0,  0, "Logic Functions"},
    {HELVO_CLASS(cFaultLocCfg), 0x40000000, 1, 6, 5, 11,   true, true,   0,   0, 0,  0,  0,  0, "Fault Locators"},
    {HELVO_CLASS(cTrend), 0x0,        0, 0, 0, 0,    false, false, 0,   0, 0,  0,  0,  0, "Trends"},
    {HELVO_CLASS(cHelvoDspCfg), 0x0,        1, 1, 2, 2,    false, false, 0,   0, 0,  0,  0,  0, "Channel Groups"},
    {HELVO_CLASS(CHelvoCfg), 0x0,        0, 0, 0, 0,    false, false, 0,   0, 0,  0,  0,  0, "Recorders"},
    {HELVO_CLASS(cPFDetCfg), 0x80000000, 1, 10, 9, 18,  true, true,   470, 1, 43, 2,  0,  0, "PF Functions"},
    {HELVO_CLASS(cStorageAlarms), 0x0,        0, 0, 0, 0,    false, false, 0,   0, 0,  0,  0,  0, "Storage Alarms"},
    {HELVO_CLASS(CPMU), 0x0,        0, 0, 0, 0,    false, false, 0,   0, 0,  0,  0,  0, "PMU"},
    {HELVO_CLASS(CPMUId), 0x0,        0, 0, 0, 0,    false, false, 0,   0, 0,  0,  0,  0, "PMUId"},
    {HELVO_CLASS(CCDR), 0x0,        0, 0, 0, 0,    false, false, 0,   0, 0,  0,  0,  0, "CDR"},
    {HELVO_CLASS(CCDRId), 0x0,        0, 0, 0, 0,    false, false, 0,   0, 0,  0,  0,  0, "CDRId"},
};
// clang-format on
#undef HELVO_TBD
#undef HELVO_CLASS

// ---------------------------------------------------------------------------------------------------
// Generation tables (columns: generations 1, 2, 3, 4)
// ---------------------------------------------------------------------------------------------------

// clang-format off
const int CHelvoCfgTables::NumDspsByGen[kNumGenerations] = {1, 2, 1, 1};

const int CHelvoCfgTables::NumFunctionsByClass_Gen[kNumClasses][kNumGenerations] = {
    {0, 0, 0, 0},      // 0 element
    {18, 18, 18, 36},  // 1 analog
    {32, 32, 32, 64},  // 2 digital
    {15, 15, 30, 30},  // 3 summation
    {6, 6, 12, 12},    // 4 sequence
    {9, 9, 18, 18},    // 5 impedance
    {9, 9, 18, 18},    // 6 watts/vars
    {1, 1, 1, 1},      // 7 identification
    {1, 1, 1, 1},      // 8 limits
    {1, 1, 2, 2},      // 9 frequency
    {10, 10, 10, 10},  // 10 meter groups
    {15, 15, 30, 30},  // 11 logic
    {5, 5, 10, 10},    // 12 fault locator
    {0, 0, 0, 0},      // 13 trend
    {1, 2, 1, 1},      // 14 channel group (per recorder)
    {1, 2, 1, 1},      // 15 recorder (per recorder)
    {9, 9, 18, 18},    // 16 PF detector
    {9, 9, 18, 18},    // 17 storage alarms
    {0, 0, 0, 0},      // 18 PMU phasor
    {0, 0, 0, 0},      // 19 PMU identification
    {0, 0, 18, 36},    // 20 CDR channels
    {0, 0, 0, 0},      // 21 CDR identification
};

const int CHelvoCfgTables::MeterOffsetsByClass_Gen[kNumClasses][kNumGenerations] = {
    {0, 0, 0, 0},          // 0
    {0, 0, 0, 0},          // 1 analog
    {166, 166, 332, 332},  // 2 digital
    {90, 90, 180, 180},    // 3 summation
    {120, 120, 240, 240},  // 4 sequence
    {217, 217, 434, 434},  // 5 impedance
    {138, 138, 276, 276},  // 6 watts/vars
    {0, 0, 0, 0},          // 7
    {0, 0, 0, 0},          // 8
    {165, 165, 330, 330},  // 9 frequency
    {0, 0, 0, 0},          // 10
    {198, 198, 396, 396},  // 11 logic
    {0, 0, 0, 0},          // 12
    {0, 0, 0, 0},          // 13
    {0, 0, 0, 0},          // 14
    {0, 0, 0, 0},          // 15
    {235, 235, 470, 470},  // 16 PF detector
    {0, 0, 0, 0},          // 17
    {0, 0, 0, 0},          // 18
    {0, 0, 0, 0},          // 19
    {0, 0, 0, 0},          // 20
    {0, 0, 0, 0},          // 21
};

const int CHelvoCfgTables::MeterSpanByClass_Gen[kNumClasses][kNumGenerations] = {
    {0, 0, 0, 0},  // 0
    {5, 5, 5, 5},  // 1 analog
    {1, 1, 1, 1},  // 2 digital
    {2, 2, 2, 2},  // 3 summation
    {3, 3, 3, 3},  // 4 sequence
    {2, 2, 2, 2},  // 5 impedance
    {3, 3, 3, 3},  // 6 watts/vars
    {0, 0, 0, 0},  // 7
    {0, 0, 0, 0},  // 8
    {1, 1, 1, 1},  // 9 frequency
    {0, 0, 0, 0},  // 10
    {1, 1, 1, 1},  // 11 logic
    {0, 0, 0, 0},  // 12
    {0, 0, 0, 0},  // 13
    {0, 0, 0, 0},  // 14
    {0, 0, 0, 0},  // 15
    {1, 1, 1, 1},  // 16 PF detector
    {0, 0, 0, 0},  // 17
    {0, 0, 0, 0},  // 18
    {0, 0, 0, 0},  // 19
    {0, 0, 0, 0},  // 20
    {0, 0, 0, 0},  // 21
};

const int CHelvoCfgTables::StateOffsetsByClass_Gen[kNumClasses][kNumGenerations] = {
    {0, 0, 0, 0},      // 0
    {0, 0, 0, 0},      // 1 analog
    {32, 32, 38, 38},  // 2 digital
    {6, 6, 12, 12},    // 3 summation
    {10, 10, 16, 16},  // 4 sequence
    {35, 35, 42, 42},  // 5 impedance
    {16, 16, 22, 22},  // 6 watts/vars
    {0, 0, 0, 0},      // 7
    {0, 0, 0, 0},      // 8
    {28, 28, 34, 34},  // 9 frequency
    {0, 0, 0, 0},      // 10
    {33, 33, 40, 40},  // 11 logic
    {0, 0, 0, 0},      // 12
    {0, 0, 0, 0},      // 13
    {0, 0, 0, 0},      // 14
    {0, 0, 0, 0},      // 15
    {36, 36, 43, 43},  // 16 PF detector
    {0, 0, 0, 0},      // 17
    {0, 0, 0, 0},      // 18
    {0, 0, 0, 0},      // 19
    {0, 0, 0, 0},      // 20
    {0, 0, 0, 0},      // 21
};

const int CHelvoCfgTables::StateSpanByClass_Gen[kNumClasses][kNumGenerations] = {
    {0, 0, 0, 0},      // 0
    {6, 6, 12, 12},    // 1 analog
    {1, 1, 2, 2},      // 2 digital
    {4, 4, 4, 4},      // 3 summation
    {6, 6, 6, 6},      // 4 sequence
    {1, 1, 1, 1},      // 5 impedance
    {12, 12, 12, 12},  // 6 watts/vars
    {0, 0, 0, 0},      // 7
    {0, 0, 0, 0},      // 8
    {4, 4, 4, 4},      // 9 frequency
    {0, 0, 0, 0},      // 10
    {1, 1, 1, 1},      // 11 logic
    {0, 0, 0, 0},      // 12
    {0, 0, 0, 0},      // 13
    {0, 0, 0, 0},      // 14
    {0, 0, 0, 0},      // 15
    {2, 2, 2, 2},      // 16 PF detector
    {0, 0, 0, 0},      // 17
    {0, 0, 0, 0},      // 18
    {0, 0, 0, 0},      // 19
    {0, 0, 0, 0},      // 20
    {0, 0, 0, 0},      // 21
};

const int CHelvoCfgTables::StateWidthByClass_Gen[kNumClasses][kNumGenerations] = {
    {0, 0, 0, 0},  // 0
    {1, 1, 2, 2},  // 1 analog
    {1, 1, 2, 2},  // 2 digital
    {1, 1, 1, 1},  // 3 summation
    {1, 1, 1, 1},  // 4 sequence
    {1, 1, 1, 1},  // 5 impedance
    {1, 1, 1, 1},  // 6 watts/vars
    {0, 0, 0, 0},  // 7
    {0, 0, 0, 0},  // 8
    {1, 1, 1, 1},  // 9 frequency
    {0, 0, 0, 0},  // 10
    {1, 1, 1, 1},  // 11 logic
    {0, 0, 0, 0},  // 12
    {0, 0, 0, 0},  // 13
    {0, 0, 0, 0},  // 14
    {0, 0, 0, 0},  // 15
    {1, 1, 1, 1},  // 16 PF detector
    {0, 0, 0, 0},  // 17
    {0, 0, 0, 0},  // 18
    {0, 0, 0, 0},  // 19
    {0, 0, 0, 0},  // 20
    {0, 0, 0, 0},  // 21
};

const int CHelvoCfgTables::PhasorOffsetsByClass_Gen[kNumClasses][kNumGenerations] = {
    {0, 0, 0, 0},      // 0
    {0, 0, 0, 0},      // 1 analog
    {0, 0, 0, 0},      // 2 digital
    {18, 18, 36, 36},  // 3 summation
    {33, 33, 66, 66},  // 4 sequence
    {0, 0, 0, 0},      // 5 impedance
    {0, 0, 0, 0},      // 6 watts/vars
    {0, 0, 0, 0},      // 7
    {0, 0, 0, 0},      // 8
    {0, 0, 0, 0},      // 9 frequency
    {0, 0, 0, 0},      // 10
    {0, 0, 0, 0},      // 11 logic
    {0, 0, 0, 0},      // 12
    {0, 0, 0, 0},      // 13
    {0, 0, 0, 0},      // 14
    {0, 0, 0, 0},      // 15
    {0, 0, 0, 0},      // 16 PF detector
    {0, 0, 0, 0},      // 17
    {0, 0, 0, 0},      // 18
    {0, 0, 0, 0},      // 19
    {0, 0, 0, 0},      // 20
    {0, 0, 0, 0},      // 21
};

const int CHelvoCfgTables::PhasorSpanByClass_Gen[kNumClasses][kNumGenerations] = {
    {0, 0, 0, 0},  // 0
    {1, 1, 1, 1},  // 1 analog
    {0, 0, 0, 0},  // 2 digital
    {1, 1, 1, 1},  // 3 summation
    {3, 3, 3, 3},  // 4 sequence
    {0, 0, 0, 0},  // 5 impedance
    {1, 1, 1, 1},  // 6 watts/vars
    {0, 0, 0, 0},  // 7
    {0, 0, 0, 0},  // 8
    {0, 0, 0, 0},  // 9 frequency
    {0, 0, 0, 0},  // 10
    {0, 0, 0, 0},  // 11 logic
    {0, 0, 0, 0},  // 12
    {0, 0, 0, 0},  // 13
    {0, 0, 0, 0},  // 14
    {0, 0, 0, 0},  // 15
    {0, 0, 0, 0},  // 16 PF detector
    {0, 0, 0, 0},  // 17
    {0, 0, 0, 0},  // 18
    {0, 0, 0, 0},  // 19
    {0, 0, 0, 0},  // 20
    {0, 0, 0, 0},  // 21
};

// Meter layout of setting version 202 and later, one value per class, independent of generation.
const int CHelvoCfgTables::MeterId3_Offset[kNumClasses] = {
      0,   0, 368, 180, 240, 470, 312,   0,   0, 366,   0,  // classes 0 to 10
    432,   0,   0,   0,   0, 506,   0,   0,   0,   0,   0,  // classes 11 to 21
};

const int CHelvoCfgTables::MeterId3_Span[kNumClasses] = {
      0,   5,   1,   2,   6,   2,   3,   0,   0,   1,   0,  // classes 0 to 10
      1,   0,   0,   0,   0,   1,   0,   0,   0,   0,   0,  // classes 11 to 21
};

// Classes a file of setting version 1 to 7 can hold (bit n = class n); entry 0 is unused.
const unsigned long CHelvoCfgTables::SettingVersionClassMap[8] = {
    0x0ul, 0x7FFul, 0x1FFFul, 0x1FFFul, 0x3FFFul, 0x13FFFul, 0x13FFFul, 0x13FFFul,
};
// clang-format on

// ---------------------------------------------------------------------------------------------------
// Process-wide values
// ---------------------------------------------------------------------------------------------------

constinit int CHelvoCfgTables::m_iIedGen = 1;
constinit int CHelvoCfgTables::m_nSetVer = -1;
constinit int CHelvoCfgTables::m_nBank = 1;
constinit int CHelvoCfgTables::m_nAChan = 18;
constinit int CHelvoCfgTables::m_nSRate = -1;
constinit int CHelvoCfgTables::NO_ANALOG_FOR_384 = 9;

// ---------------------------------------------------------------------------------------------------
// Lookups
// ---------------------------------------------------------------------------------------------------

namespace {

constexpr unsigned long kKindBits = 0xFul;  // the kind code; identifying bits lie above it

bool ValidClass(int cls) {
  return cls >= 0 && cls < kNumClasses;
}
bool ValidGen(int gen) {
  return gen >= 1 && gen <= kNumGenerations;
}

// table[cls][gen - 1], or 0 when either index is outside the table.
int ByGen(const int (&table)[kNumClasses][kNumGenerations], int cls, int gen) {
  return ValidClass(cls) && ValidGen(gen) ? table[cls][gen - 1] : 0;
}

// ASCII letter-case folding (locale independent: type names are ASCII).
char Fold(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// Compares the zero-terminated name with the type name at stored (a pointer into TypeStrings),
// ignoring letter case. Never reads past the end of TypeStrings, even if a host rewrote it without
// its zero bytes: a stored name that runs to the array's end ends there.
bool EqualsStoredName(const char* stored, const char* name) {
  const char* const end = TypeStrings + kTypeStringsSize;
  for (;; ++stored, ++name) {
    const char s = stored < end ? *stored : '\0';
    if (Fold(s) != Fold(*name)) return false;
    if (s == '\0') return true;
  }
}

}  // namespace

const sTypesEntry* sTypesEntry::LookupType(const char* name) {
  if (name == nullptr) return nullptr;
  for (const sTypesEntry& entry : TypesEntries) {
    if (EqualsStoredName(entry.m_pName, name)) return &entry;
  }
  return nullptr;
}

const sTypesEntry* sTypesEntry::LookupType(unsigned long flags) {
  for (const sTypesEntry& entry : TypesEntries) {
    if (((entry.m_nFlags ^ flags) & ~kKindBits) == 0) return &entry;
  }
  return nullptr;
}

const RuntimeClass* CHelvoCfgTables::GetRuntimeClass(int cls) {
  return ValidClass(cls) ? ClassTable[cls].m_pClass : nullptr;
}

unsigned long CHelvoCfgTables::GetTypeMask(int cls) {
  return ValidClass(cls) ? ClassTable[cls].m_nTypeMask : 0ul;
}

int CHelvoCfgTables::DspsByGen(int gen) {
  return ValidGen(gen) ? NumDspsByGen[gen - 1] : 0;
}

int CHelvoCfgTables::FunctionsPerDspByGen(eHelvoCfgClass cls, int gen) {
  return ByGen(NumFunctionsByClass_Gen, cls, gen);
}

int CHelvoCfgTables::GetMeterOffsetByGen(int cls, int gen) {
  if (m_nSetVer >= 202) return ValidClass(cls) && ValidGen(gen) ? MeterId3_Offset[cls] : 0;
  return ByGen(MeterOffsetsByClass_Gen, cls, gen);
}

int CHelvoCfgTables::GetMeterSpanByGen(int cls, int gen) {
  if (m_nSetVer >= 202) return ValidClass(cls) && ValidGen(gen) ? MeterId3_Span[cls] : 0;
  return ByGen(MeterSpanByClass_Gen, cls, gen);
}

int CHelvoCfgTables::GetStateOffsetByGen(int cls, int gen) {
  return ByGen(StateOffsetsByClass_Gen, cls, gen);
}
int CHelvoCfgTables::GetStateSpanByGen(int cls, int gen) {
  return ByGen(StateSpanByClass_Gen, cls, gen);
}
int CHelvoCfgTables::GetStateWidthByGen(int cls, int gen) {
  return ByGen(StateWidthByClass_Gen, cls, gen);
}
int CHelvoCfgTables::GetPhasorOffsetByGen(int cls, int gen) {
  return ByGen(PhasorOffsetsByClass_Gen, cls, gen);
}
int CHelvoCfgTables::GetPhasorSpanByGen(int cls, int gen) {
  return ByGen(PhasorSpanByClass_Gen, cls, gen);
}

int CHelvoCfgTables::GetMeterOffset(int cls) {
  return GetMeterOffsetByGen(cls, m_iIedGen);
}
int CHelvoCfgTables::GetMeterSpan(int cls) {
  return GetMeterSpanByGen(cls, m_iIedGen);
}
int CHelvoCfgTables::GetStateOffset(int cls) {
  return GetStateOffsetByGen(cls, m_iIedGen);
}
int CHelvoCfgTables::GetStateSpan(int cls) {
  return GetStateSpanByGen(cls, m_iIedGen);
}
int CHelvoCfgTables::GetStateWidth(int cls) {
  return GetStateWidthByGen(cls, m_iIedGen);
}
int CHelvoCfgTables::GetPhasorOffset(int cls) {
  return GetPhasorOffsetByGen(cls, m_iIedGen);
}
int CHelvoCfgTables::GetPhasorSpan(int cls) {
  return GetPhasorSpanByGen(cls, m_iIedGen);
}

int CHelvoCfgTables::FunctionsPerDsp(eHelvoCfgClass cls) {
  // 1. The generation of the file last read; header values that name none leave it unchanged.
  sCfgState state;
  state.m_Header.m_nSettingVersion = cFilerSections::m_nSettingVersion;
  state.m_Header.m_nSampleRate = cFilerSections::m_nSampleRate;
  state.m_Header.m_nDSPBanks = cFilerSections::m_nDSPBanks;
  state.m_Header.m_nAChan = cFilerSections::m_nAChan;
  state.m_iIedGen = m_iIedGen;
  state.DeriveGeneration();
  m_iIedGen = state.m_iIedGen;
  return FunctionsPerDsp(cls, state);
}

int CHelvoCfgTables::FunctionsPerDsp(eHelvoCfgClass cls, const sCfgState& state) {
  const int version = state.m_Header.m_nSettingVersion;
  const int rate = state.m_Header.m_nSampleRate;
  const int gen = state.m_iIedGen;
  const int tableValue = ByGen(NumFunctionsByClass_Gen, cls, gen);

  // 2. The older family: the table value.
  if (version < 201) return tableValue;

  // 3, 4. The newer family: fewer analog and digital channels at the high sample rates.
  if (cls == eAnalogCfg) {
    if (gen == 3 && rate > 256) return NO_ANALOG_FOR_384;
    if (gen == 4 && rate == 256) return 18;
    if (gen == 4 && rate == 384) return NO_ANALOG_FOR_384;
  } else if (cls == eDigitalCfg) {
    if (gen == 3 && rate > 256) return tableValue / 2;
    if (gen == 4 && (rate == 256 || rate == 384)) return tableValue / 2;
  }
  // 5. Otherwise the table value.
  return tableValue;
}

int CHelvoCfgTables::GetMeterOffset(int cls, const sCfgState& state) {
  if (state.m_nSetVer >= 202) return ValidClass(cls) && ValidGen(state.m_iIedGen) ? MeterId3_Offset[cls] : 0;
  return ByGen(MeterOffsetsByClass_Gen, cls, state.m_iIedGen);
}
int CHelvoCfgTables::GetMeterSpan(int cls, const sCfgState& state) {
  if (state.m_nSetVer >= 202) return ValidClass(cls) && ValidGen(state.m_iIedGen) ? MeterId3_Span[cls] : 0;
  return ByGen(MeterSpanByClass_Gen, cls, state.m_iIedGen);
}
int CHelvoCfgTables::GetStateOffset(int cls, const sCfgState& state) {
  return ByGen(StateOffsetsByClass_Gen, cls, state.m_iIedGen);
}
int CHelvoCfgTables::GetStateSpan(int cls, const sCfgState& state) {
  return ByGen(StateSpanByClass_Gen, cls, state.m_iIedGen);
}
int CHelvoCfgTables::GetPhasorOffset(int cls, const sCfgState& state) {
  return ByGen(PhasorOffsetsByClass_Gen, cls, state.m_iIedGen);
}
int CHelvoCfgTables::GetPhasorSpan(int cls, const sCfgState& state) {
  return ByGen(PhasorSpanByClass_Gen, cls, state.m_iIedGen);
}

bool CHelvoCfgTables::IsClassSupported(eHelvoCfgClass cls, unsigned int version) {
  if (!ValidClass(cls)) return false;
  unsigned long map = 0;
  if (version >= 1 && version <= 7) {
    map = SettingVersionClassMap[version];
  } else if (version >= 201) {
    map = kNewFamilyClassMap;
  }
  return ((map >> cls) & 1ul) != 0;
}

bool CHelvoCfgTables::IsDCSupported(unsigned int version) {
  return version >= 5;
}

int CHelvoCfgTables::ClassFromFlags(unsigned long flags) {
  const unsigned long bits = flags & ~kKindBits;
  for (int cls = 0; cls < kNumClasses; ++cls) {
    if ((ClassTable[cls].m_nTypeMask & bits) != 0) return cls;
  }
  return eEndOfFile;
}

unsigned long CHelvoCfgTables::GetFirstPhaseFlags(unsigned long mask, unsigned int& index) {
  index = 0;
  const unsigned long bits = mask & ~kKindBits;
  for (; index < static_cast<unsigned int>(kNumTypes); ++index) {
    if ((TypesEntries[index].m_nFlags & bits) != 0) return TypesEntries[index].m_nFlags;
  }
  return 0;
}

unsigned long CHelvoCfgTables::GetNextPhaseFlags(unsigned long mask, unsigned int& index) {
  // An index at or past the last type ends the enumeration (and never wraps round to 0).
  if (index >= static_cast<unsigned int>(kNumTypes) - 1) {
    index = kNumTypes;
    return 0;
  }
  const unsigned long bits = mask & ~kKindBits;
  for (++index; index < static_cast<unsigned int>(kNumTypes); ++index) {
    if ((TypesEntries[index].m_nFlags & bits) != 0) return TypesEntries[index].m_nFlags;
  }
  return 0;
}

CObject* CHelvoCfgTables::CreateClassObject(int cls) {
  if (!ValidClass(cls)) return nullptr;
  const sClassInfo& row = ClassTable[cls];
  if (row.m_pfnCreate != nullptr) return row.m_pfnCreate();
  if (row.m_pClass != nullptr) return row.m_pClass->CreateObject();
  return nullptr;
}

}  // namespace helvo
