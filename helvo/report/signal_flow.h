// The signal flow of a configuration as plain data: one node per function and per recorder-level
// consumer (meter group, trend, PMU, continuous recording), one edge per function a node refers to,
// and readable texts of what a reviewer checks (logic as an expression, each detector's threshold,
// delay and actions). Hosts draw the graph as they like; SignalFlowToDot gives the Graphviz form the
// helvocfg tool prints and embeds in its report. Every text is UTF-8 (names from the file are
// decoded from Windows-1252). Works on the working form of a loaded configuration; changes nothing.
#pragma once

#include <string>
#include <vector>

namespace helvo {

class CHelvoCfg;
class CPhasor;
class cLogicCfg;
class cHelvoDspCfg;
class CPMU;

// Where a node stands, left to right.
enum eFlowColumn : int {
  eFlowInput = 0,    // analog and digital inputs
  eFlowDerived = 1,  // summation, sequence, impedance, watts/vars, frequency, fault locator, PF detector
  eFlowOutput = 2,   // logic, meter groups, trend, PMU, continuous recording
};

struct sFlowNode {
  std::string m_strId;     // DOT identifier, unique in the graph ("g1_c3_2", "mg1", "trend")
  std::string m_strLabel;  // the function's name (description on a line of its own) or the record's title
  eFlowColumn m_eColumn = eFlowInput;
  int m_nClass = -1;         // eHelvoCfgClass of the function or record
  bool m_bFunction = false;  // a channel or computed function (not a recorder-level record)
};

// An arrow from the referenced node to the referencing one. References between the same two nodes
// share one edge; m_nCount says how many there are.
struct sFlowEdge {
  int m_nFrom = 0;  // index into m_Nodes
  int m_nTo = 0;
  int m_nCount = 1;
  std::string m_strLabel;  // the detector state a logic input or trigger uses; empty otherwise
};

struct sSignalFlow {
  std::vector<sFlowNode> m_Nodes;
  std::vector<sFlowEdge> m_Edges;

  int GetFunctionCount() const;
};

// Every function of the configuration's boards (those of its generation), board by board, class by
// class in table order.
std::vector<CPhasor*> ListFunctions(CHelvoCfg& cfg);

sSignalFlow BuildSignalFlow(CHelvoCfg& cfg);

// A Graphviz digraph laid out left to right with the three columns as ranks.
std::string SignalFlowToDot(const sSignalFlow& flow);

// The logic function as an expression over its inputs' detector states, operators applied left to
// right: "(Brk1:Closed OR NOT Line 1:Va[HiLev]) AND Bus:Vb[Sag]". An input an operator uses but that
// names no state reads "(none)"; an operator value the recorder does not know reads "INVALID".
std::string LogicExpression(const cLogicCfg& logic);

// One detector of a function, as the settings file defines it.
struct sDetectorRow {
  std::string m_strState;      // the state suffix ("HiLev", "Sag", ...)
  std::string m_strThreshold;  // the threshold as written (empty when the detector has none)
  std::string m_strDelay;      // "0.05 s" (empty when the detector has none)
  // The actions set ("Action 1, Notify") or "none"; for a state with a block for each transition
  // "on assert: ...; on removal: ...".
  std::string m_strActions;
};

// The detectors of function's type that carry actions, in section order; version and sysFreq are
// those values are written with (the file's own).
std::vector<sDetectorRow> DescribeDetectors(CPhasor& function, int version, int sysFreq);

// The names of the functions p takes its inputs from, in key order; the module of an analog input
// (the INPUT_MODULE value), empty for other functions.
std::vector<std::string> DescribeInputs(CPhasor& p);
std::string DescribeModule(CPhasor& p, int version, int sysFreq);

// The function a PMU phasor of group streams, in the working form (functions in their tables): an
// analog input for input type 0, a sequence function for 1 to 3, a summation for 4; none otherwise.
CPhasor* PmuInputOf(cHelvoDspCfg& group, const CPMU& pmu);

}  // namespace helvo
