#pragma once
// Command identifiers of the waveform window and its panes, with the texts
// of their menu items. The main frame routes these ids to the window.

#include <vector>

namespace nuv {

enum WaveformCommandId : int {
  kCmdDrawWaveforms = 606,
  kCmdCommonCursor = 33148,
  kCmdDasMarks = 33080,
  kCmdDbPhaseMarks = 32772,
  kCmdAddChannels = 32701,
  kCmdSelectStationChannel = 33201,
  kCmdNewPane = 33202,
  kCmdDeleteActive = 33212,
  kCmdClosePanes = 144,
  kCmdActivateAll = 33207,
  kCmdDeactivateAll = 33208,
  kCmdShowTransformed = 33205,
  kCmdShowSource = 33206,
  kCmdRedraw = 33216,
  kCmdFitAll = 32735,
  kCmdSortDbNumber = 33165,
  kCmdSortPhaseTime = 33166,
  kCmdSortAlphabet = 33203,
  kCmdSortScreenNumber = 33204,
  kCmdSortDistance = 33211,
  kCmdSortAmplitude = 33220,
  kCmdSortMb = 33221,
  kCmdSortMenu = 33209,
  kCmdNormalizeAmplitude = 33184,
  kCmdSettings = 33168,
  kCmdClearIntervals = 33135,
  kCmdShiftLeft = 33017,
  kCmdShiftRight = 33018,
  kCmdStretchHorizontal = 33021,
  kCmdCompressHorizontal = 33022,
  kCmdStretchVertical = 33015,
  kCmdCompressVertical = 33016,
  kCmdMoveUp = 33019,
  kCmdMoveDown = 33020,
  kCmdCentre = 33056,
  kCmdBack = 33023,
  kCmdSameScale = 33169,
  kCmdAlignAmplitude = 32774,
  kCmdAlignTime = 33057,
  kCmdAlignMarks = 32775,
  kCmdLoadChannelList = 33143,
  kCmdSaveChannelList = 33144,
  kCmdLoadCss = 33210,
  kCmdSaveCss = 33167,
  // Items without an action in this system (kept disabled).
  kCmdPrint = 32773,
  kCmdMenuStretchVertical = 32776,
  kCmdMenuStretchHorizontal = 32777,
  kCmdMenuCompressVertical = 33025,
  kCmdMenuCompressHorizontal = 32779,
  kCmdMenuCentre = 32780,
  // Pane pop-up menu.
  kCmdPaneSelectStationChannel = 33112,
  kCmdPaneRedraw = 32771,
  kCmdPaneScale = 33162,
  // Header buttons.
  kCmdMainPaneButton = 141,
  kCmdSignalButton = 142,
  kCmdMaximizeButton = 143,
};

struct WaveformCommand {
  int id;
  const char* text;
  bool checkable;
};

// Every command the window answers to, with its menu text.
const std::vector<WaveformCommand>& WaveformCommands();
// The menu text of a command ("" when unknown).
const char* WaveformCommandText(int id);

}  // namespace nuv
