#include "bench/max_config.h"

#include <cstdarg>
#include <cstdlib>
#include <string>

#include "helvo/engine/crc16.h"
#include "helvo/engine/filer.h"
#include "helvo/engine/settings_text.h"
#include "helvo/model/class_tables.h"
#include "helvo/model/helvo_cfg.h"
#include "helvo/platform/file_io.h"
#include "helvo/platform/format.h"

namespace helvo::bench {

namespace {

using Tables = CHelvoCfgTables;

// Appends printf-formatted text; keeps the generator below readable.
void Add(std::string& out, const char* fmt, ...) __attribute__((format(printf, 2, 3)));
void Add(std::string& out, const char* fmt, ...) {
  va_list args;
  va_start(args, fmt);
  out += FormatV(fmt, args);
  va_end(args);
}

// The analog channels of one element: three voltages and three currents.
constexpr const char* kPhaseTypes[6] = {"Va", "Vb", "Vc", "Ia", "Ib", "Ic"};
constexpr const char* kSumTypes[6] = {"VaSum", "VbSum", "VcSum", "IaSum", "IbSum", "IcSum"};

class BodyWriter {
 public:
  explicit BodyWriter(const MaxConfigKind& kind) : gen_(kind.generation), version_(kind.version) {}

  std::string Build() {
    const bool folded = version_ >= 201;
    const int boards = Tables::DspsByGen(gen_);
    Add(out_,
        "[ID]\nLOAD_DATE=1709543103\nSET_DATE=24 Mar 04 09:05:03\nSETTINGS_VERS=%d\nSERIAL_NUM=BENCH-%d\n"
        "COMMENTS=Maximal benchmark configuration, every function table full\nNUM_BANKS=%d\n"
        "SYSTEM_FREQUENCY=60\n",
        version_, gen_, folded ? 1 : boards);
    if (folded) Add(out_, "NUM_A_CHANNELS=%d\nSAMPLE_RATE=96\n", Count(eAnalogCfg));
    out_ += "\n";
    for (int g = 1; g <= boards; ++g) Board(g);
    MeterGroups(boards);
    Trend();
    out_ +=
        "[LIMITS]\nEI_CHATTER_WINDOW=120\nEI_CHATTER_TIME=10\nDET_CHATTER_WINDOW=120\nDET_CHATTER_TIME=10\n"
        "REC_ALARM=3\n\n";
    if (folded) out_ += "[PMU]\nHEADER=Benchmark PMU\nREPORTING_RATE=30\n\n[CDR]\nREPORTING_RATE=60\n\n";
    out_ += "[END]\n";
    return out_;
  }

 private:
  int Count(eHelvoCfgClass cls) const { return Tables::FunctionsPerDspByGen(cls, gen_); }
  // The phasor index of channel ch (1-based) of class cls, as input references carry it.
  int Phasor(int cls, int ch) const {
    return Tables::GetPhasorOffsetByGen(cls, gen_) + Tables::GetPhasorSpanByGen(cls, gen_) * (ch - 1);
  }
  int Elements() const { return Count(eAnalogCfg) / 6; }
  // The analog channel of phase p (0 to 5) of element e (1-based).
  static int Analog(int e, int p) { return (e - 1) * 6 + p + 1; }

  void Header(const char* name, int g, int n) { Add(out_, "[%s%d-%d]\n", name, g, n); }

  void Board(int g) {
    Add(out_, "[CH_GRP%d-1]\nREF_ANA=0\n\n", g);
    const int elements = Elements();
    for (int e = 1; e <= elements; ++e) Add(out_, "[ELEMENT%d-%d]\nNAME=Line %d-%d\n\n", g, e, g, e);
    for (int ch = 1; ch <= Count(eAnalogCfg); ++ch) {
      const int p = (ch - 1) % 6;
      const bool volts = p < 3;
      Header("ANALOG_INPUT", g, ch);
      Add(out_,
          "ELEMENT=Line %d-%d\nTYPE=%s\nDESC=Line %d-%d phase %c %s\nINPUT_MODULE=%s\nPRI_1=%s\nSEC_1=%s\n"
          "PRI_2=%s\nSEC_2=%s\nPRI_UNIT=%s\nSEC_UNIT=%s\nFULL_SCALE=100\nROC_INT=1\nNOM_VALUE=%s\n"
          "H_MAG_T=%s\nH_MAG_D=30\nH_MAG_A=1\nL_MAG_T=%s\nL_MAG_D=30\nL_MAG_A=1\n\n",
          g, (ch - 1) / 6 + 1, kPhaseTypes[p], g, (ch - 1) / 6 + 1, 'A' + p % 3,
          volts ? "voltage" : "current", volts ? "815201" : "815204", volts ? "-69" : "-600",
          volts ? "-69" : "-5", volts ? "69" : "600", volts ? "69" : "5", volts ? "kV" : "A",
          volts ? "V" : "A", volts ? "66.4" : "400", volts ? "72.5" : "1200", volts ? "55.3" : "0.5");
    }
    for (int n = 1; n <= Count(eSummationCfg); ++n) {
      const int p = (n - 1) % 6;
      const int e = (n - 1) / 6 % elements + 1;
      Header("SUMMATION", g, n);
      Add(out_,
          "ELEMENT=Line %d-%d\nTYPE=%s\nDESC=Sum %d\nINPUT1_INDEX=%d\nINPUT2_INDEX=%d\nH_MAG_T=%d.25\n"
          "H_MAG_D=12\nH_MAG_A=1\n\n",
          g, e, kSumTypes[p], n, Phasor(eAnalogCfg, Analog(e, p)),
          Phasor(eAnalogCfg, Analog(e % elements + 1, p)), 100 + n);
    }
    for (int n = 1; n <= Count(eSequenceCfg); ++n) {
      const int e = (n - 1) / 2 % elements + 1;
      const int first = (n % 2) ? 0 : 3;  // odd: voltage sequence, even: current sequence
      Header("SEQUENCE", g, n);
      Add(out_,
          "ELEMENT=Line %d-%d\nTYPE=%s\nDESC=Sequence %d\nPH_A_INDEX=%d\nPH_B_INDEX=%d\nPH_C_INDEX=%d\n"
          "PSEQ_H_MAG_T=%d.5\nPSEQ_H_MAG_D=6\nPSEQ_H_MAG_A=1\n\n",
          g, e, first ? "Iseq" : "Vseq", n, Phasor(eAnalogCfg, Analog(e, first)),
          Phasor(eAnalogCfg, Analog(e, first + 1)), Phasor(eAnalogCfg, Analog(e, first + 2)), 50 + n);
    }
    for (const char* name : {"DIGITAL_INPUT"})
      for (int n = 1; n <= Count(eDigitalCfg); ++n) {
        Header(name, g, n);
        Add(out_,
            "ELEMENT=Line %d-%d\nDESC=Breaker contact %d\nDELAY=2\nACTIVE_STR=Closed\nINACTIVE_STR=Open\n"
            "ACTIVE_A=1\n\n",
            g, (n - 1) % elements + 1, n);
      }
    for (int n = 1; n <= Count(eImpedanceCfg); ++n) {
      const int e = (n - 1) % elements + 1;
      Header("IMPEDANCE", g, n);
      Add(out_, "ELEMENT=Line %d-%d\nDESC=Impedance %d\nV_INDEX=%d\nI_INDEX=%d\nCIRC_RAD=%d.75\n\n", g, e, n,
          Phasor(eAnalogCfg, Analog(e, (n - 1) % 3)), Phasor(eAnalogCfg, Analog(e, 3 + (n - 1) % 3)), n);
    }
    for (int n = 1; n <= Count(eWattsVarsCfg); ++n) {
      const int e = (n - 1) % elements + 1;
      Header("WATTS/VARS", g, n);
      Add(out_, "ELEMENT=Line %d-%d\nDESC=Power %d\nV_INDEX=%d\nI_INDEX=%d\nW_H_MAG_T1=%d.125\n\n", g, e, n,
          Phasor(eAnalogCfg, Analog(e, (n - 1) % 3)), Phasor(eAnalogCfg, Analog(e, 3 + (n - 1) % 3)),
          1000 + n);
    }
    for (int n = 1; n <= Count(eFrequencyCfg); ++n) {
      Header("FREQUENCY", g, n);
      Add(out_, "IN_INDEX=%d\nH_MAG_T=60.5\nL_MAG_T=59.5\n\n", Phasor(eAnalogCfg, Analog(n, 0)));
    }
    for (int n = 1; n <= Count(eLogicCfg); ++n) {
      Header("LOGIC", g, n);
      Add(out_,
          "ELEMENT=Line %d-%d\nDESC=Logic "
          "%d\nASSERT_DLY=2\nREMOVE_DLY=4\nACTIVE_STR=On\nINACTIVE_STR=Off\n\n",
          g, (n - 1) % elements + 1, n);
    }
    for (int n = 1; n <= Count(eFaultLocCfg); ++n) {
      const int e = (n - 1) % elements + 1;
      Header("FAULT_LOCATOR", g, n);
      Add(out_,
          "ELEMENT=Line %d-%d\nDESC=Fault locator %d\nR1=0.25\nX1=3.5\nR0=0.75\nX0=10.5\nLENGTH=%d\n"
          "VA_INDEX=%d\nVB_INDEX=%d\nVC_INDEX=%d\nIA_INDEX=%d\nIB_INDEX=%d\nIC_INDEX=%d\n\n",
          g, e, n, 40 + n, Phasor(eAnalogCfg, Analog(e, 0)), Phasor(eAnalogCfg, Analog(e, 1)),
          Phasor(eAnalogCfg, Analog(e, 2)), Phasor(eAnalogCfg, Analog(e, 3)),
          Phasor(eAnalogCfg, Analog(e, 4)), Phasor(eAnalogCfg, Analog(e, 5)));
    }
    for (int n = 1; n <= Count(ePFDetCfg); ++n) {
      Header("PFDET", g, n);
      Add(out_, "ELEMENT=Line %d-%d\nDESC=Power factor %d\nINPUT=%d\nMIN_VA=100\nIND_THR=0.85\n\n", g,
          (n - 1) % elements + 1, n, n - 1);
    }
    if (version_ >= 201 && g == 1) {
      for (int n = 1; n <= 12; ++n) {
        Header("PHASOR", g, n);
        Add(out_, "NAME=PMU phasor %d\nINP_INDEX=%d\nINP_TYPE=0\n\n", n, n - 1);
      }
      for (int n = 1; n <= Count(eCDR); ++n) {
        Header("CDR_CHAN", g, n);
        Add(out_, "INP_INDEX=%d\n\n", n - 1);
      }
    }
  }

  // Meter indexes run through the meter table of the version in order, skipping nothing: the
  // library drops any that names no meter when it saves.
  void MeterGroups(int boards) {
    const long size = cFilerContainer::GetMeterSize(version_) * (version_ < 201 ? boards : 1);
    long next = 0;
    for (int group = 1; group <= 10; ++group) {
      Add(out_, "[METERING_GROUP%d]\nNAME=Group %d\n", group, group);
      for (int k = 1; k <= 36; ++k) Add(out_, "INDEX%d=%ld\n", k, next++ % size);
      out_ += "COUNT=36\n\n";
    }
  }

  void Trend() {
    out_ += "[EXTENDED_TREND1]\nINTERVAL=900\nALMCONTACT=2\nEVENTS=1\nCOUNT=60\n";
    for (int k = 1; k <= 60; ++k) Add(out_, "IX%d=%d\nOP%02d=%d\n", k, (k - 1) * 5, k, (k - 1) % 5);
    out_ += "\n";
  }

  int gen_;
  int version_;
  std::string out_;
};

std::string WithCrcLine(const std::string& body) {
  std::string bytes = "0000\r\n\r\n";
  bytes.reserve(body.size() * 103 / 100 + 8);
  for (char c : body) c == '\n' ? bytes.append("\r\n") : bytes.append(1, c);
  const std::uint16_t crc = Crc16Update(0, std::string_view(bytes).substr(5));
  bytes.replace(0, 4, Format("%4.4x", static_cast<unsigned>(crc)));
  return bytes;
}

// The body text of a file image: CR LF become LF, the CRC line goes.
std::string BodyOf(const std::string& image) {
  std::string body;
  body.reserve(image.size());
  for (size_t i = 8; i < image.size(); ++i)
    if (image[i] != '\r') body += image[i];
  return body;
}

}  // namespace

std::string MaxConfigBody(const MaxConfigKind& kind) {
  return BodyWriter(kind).Build();
}

std::string MakeMaxConfigFile(const MaxConfigKind& kind, const std::string& folder, std::string* error) {
  const std::string in = folder + "/" + kind.name + ".gen.cfg";
  const std::string out = folder + "/" + kind.name + ".cfg";
  std::string image;
  if (!ReplaceFileAtomically(in, WithCrcLine(MaxConfigBody(kind)))) {
    if (error) *error = "cannot write " + in;
    return {};
  }
  {
    CHelvoCfg cfg(in, 0);
    if (cfg.m_eReadResult != eFilerNoError) {
      if (error) *error = in + ": " + cFilerContainer::ErrorString(cfg.m_eReadResult);
    } else if (!cfg.WriteCfgFile(out, nullptr)) {
      if (error) *error = "cannot save " + out;
    } else if (ReadWholeFile(out, image) != ReadStatus::kOk) {
      if (error) *error = "cannot read " + out;
    }
  }
  RemoveFile(in);
  RemoveFile(out);
  return image;
}

std::string WithExtraSections(const std::string& image, const std::string& kind, int extra) {
  std::string body = BodyOf(image);
  const size_t end = body.rfind("[END]");
  if (end == std::string::npos) return image;
  std::string more;
  more.reserve(static_cast<size_t>(extra) * 64);
  for (int n = 1; n <= extra; ++n) {
    if (kind == "groups") {
      Add(more, "[METERING_GROUP%d]\nNAME=Extra %d\n", 10 + n, n);
      for (int k = 1; k <= 4; ++k) Add(more, "INDEX%d=%d\n", k, (n + k) % 180);
      more += "COUNT=4\n\n";
    } else if (kind == "keys") {
      Add(more, "[LIMITS]\nREC_ALARM=3\nUNKNOWN_KEY_%d=%d\n\n", n, n);
    } else if (kind == "elements") {
      Add(more, "[ELEMENT1-%d]\nNAME=Extra element %d\n\n", 100 + n, n);
    } else if (kind == "functions") {
      // Digital inputs beyond the table, each naming an element of its own that the reader makes.
      Add(more, "[DIGITAL_INPUT1-%d]\nELEMENT=Extra element %d\nDESC=Extra input %d\n\n", 100 + n, n, n);
    }
  }
  body.insert(end, more);
  return WithCrcLine(body);
}

}  // namespace helvo::bench
