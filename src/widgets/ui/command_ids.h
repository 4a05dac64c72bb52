#pragma once
// Command identifiers the frame itself refers to. The full menu is in
// menu_layout.cpp; the windows that own the other commands name theirs.

namespace nuv::cmd {

// Window switching and arrangement.
inline constexpr int kShowWaveforms = 32705;
inline constexpr int kShowPhaseList = 32708;
inline constexpr int kShowWorkspace = 33105;
inline constexpr int kShowMap = 32707;
inline constexpr int kCascade = 32714;
inline constexpr int kTileHorizontally = 32722;
inline constexpr int kTileVertically = 32718;
inline constexpr int kWindowCascade = 57650;
inline constexpr int kWindowTileHorizontally = 57651;
inline constexpr int kWindowTileVertically = 57652;

// Commands of the "Функции" menu that the frame carries out.
inline constexpr int kParticleMotion = 43;
inline constexpr int kSettings = 19;
inline constexpr int kFont = 32769;
inline constexpr int kAddChannels = 32701;
inline constexpr int kReconnect = 33155;
inline constexpr int kEditNetworks = 33149;
inline constexpr int kEditDirsMap = 33190;
inline constexpr int kEditControlledRegions = 33219;
inline constexpr int kShowOrigins = 33191;
inline constexpr int kAbout = 33136;
inline constexpr int kExit = 57665;
inline constexpr int kHypocentre = 32723;
inline constexpr int kHypocentreParameters = 33185;
// Import of miniSEED files into the archive (a frame command).
inline constexpr int kImportMseed = 33240;

// Toolbar customisation of the "WAVEFORMS" and "PHASELIST" bars.
inline constexpr int kCustomizeWaveformsBar = 33183;
inline constexpr int kCustomizePhaseListBar = 33186;

// The network list of the "MAP" bar and the command it sends to the map.
inline constexpr int kNetworkCombo = 33180;
inline constexpr int kNetworkChosen = 140;

// Drop-down buttons of the "WAVEFORMS" bar.
inline constexpr int kSortMenu = 33209;
inline constexpr int kFilter = 32704;
inline constexpr int kFormula = 33145;
inline constexpr int kAmplitudeDefault = 32733;

// Indicator of the clock pane of the status bar.
inline constexpr int kClockIndicator = 122;

}  // namespace nuv::cmd
