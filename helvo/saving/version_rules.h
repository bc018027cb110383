// What an older setting-file version cannot hold. Saving at a version applies these rules, and the
// compatibility scan lists what they will remove or leave out before the user confirms the save, so
// both call the same predicates and cannot drift apart.
//
// "version" is always the target setting-file version, compared as a plain number (so every version
// from 201 on counts as "version 6 or later").
#pragma once

#include "helvo/model/class_tables.h"

namespace helvo {

class CHelvoCfg;
class cHelvoDspCfg;
class CFiler;
class CPhasor;
class CAnalogCfg;
class CSummationCfg;
class cFaultLocCfg;
class CHelvoLimitsCfg;
struct sStateChoice;

// ---- Version thresholds ----

// The most meter groups a file of version can hold: 8 below version 4, 10 from there on. Groups past
// the limit are deleted by saving.
int MeterGroupLimit(int version);
// A file of version 201 or later folds every group's frequency functions into the first group's
// list, which a reload files into that group's table: it holds this many, and saving writes no more.
constexpr int kFoldedFrequencyFunctions = 2;
// Trend definitions are written (IsClassSupported for the trend class).
bool IsTrendSupported(int version);
// Recorders reading files below version 3 ignore the Notify detector action (it is still written).
bool IsNotifyOperative(int version);
// Sag and swell thresholds and actions, and summation angle offsets, are written from version 4 on.
bool AreSagSwellWritten(int version);
bool AreAngleOffsetsWritten(int version);
// The CH_GRP record, and with it the board's angle reference channel, is written from version 5 on.
bool IsAngleReferenceWritten(int version);
// The "Almost Full" record alarm contact (LIMITS REC_ALARM) is written from version 6 on.
bool IsRecordAlarmWritten(int version);
// Fault locators may take their currents from summations from version 6 on.
bool AreSummationCurrentsSupported(int version);

// ---- Items ----

// An analog channel the file can describe: a valid input module and scale.
bool IsAnalogChannelComplete(const CAnalogCfg& channel);
// The signal type of p is the DC type (false without a type).
bool IsDCChannel(const CPhasor& p);
// The channel's input module has no name in files before version 5 (also true without a module).
bool LacksOldModuleName(const CAnalogCfg& channel);
// An analog channel that a file below version 5 cannot hold: a DC channel, or one whose module has no
// old name. Always false from version 5 on.
bool IsAnalogLostBelowDC(const CAnalogCfg& channel, int version);
// Every condition under which saving at version keeps an analog channel: its class is supported, its
// scale and input module are valid, it is not dirty, and IsAnalogLostBelowDC does not hold.
bool IsAnalogChannelKept(const CAnalogCfg& channel, int version);
// The sag or swell detector differs from its default: threshold other than 50 % or 110 %, or action 0
// set in either action block.
bool HasSagSwellSettings(const CAnalogCfg& channel);
// Any of the three input angle offsets is not exactly 0.
bool HasAngleOffsets(const CSummationCfg& summation);
// A fault locator that saving at version drops from the file and the configuration: below version 6,
// one whose phase current comes from a summation.
bool IsFaultLocatorDropped(const cFaultLocCfg& locator, int version);
// Either action block of the state (as obj holds it) has the Notify action set; false when obj is not
// of the state's section class.
bool StateUsesNotify(const sStateChoice& state, CFiler* obj);
// The board's angle reference channel is one other than channel 1, a choice only files from version
// 5 on can carry.
bool HasConfiguredAngleReference(const cHelvoDspCfg& group);

// ---- Configuration ----

// The limits record: the working-form field, or else the first record of the limits list; none when
// there is neither.
CHelvoLimitsCfg* GetLimitsCfg(const CHelvoCfg& cfg);
// The record alarm contact saving will write: the storage alarms' contact while they exist (the host
// edits that one; saving copies it into the limits record), else the limits record's REC_ALARM; 0
// without either.
unsigned int RecordAlarmToSave(const CHelvoCfg& cfg);
// The configuration has a trend: its trend in use, or any trend in its trend list.
bool HasTrend(const CHelvoCfg& cfg);
// The DSP boards of the recorder (NumDspsByGen of the identification record's NUM_BANKS, which holds
// the generation once loaded; the current generation without a record), at most 2.
int DspBoardCount(const CHelvoCfg& cfg);

}  // namespace helvo
