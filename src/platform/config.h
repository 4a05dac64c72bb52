#pragma once
// The process-wide configuration: filled once at start-up from the command
// line and NUV.INI, changed later only by the settings sheet, the font
// command and a few windows; every persistent change is written at once.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace nuv {

class ProfileFile;

// The display font record (the fields of a Windows LOGFONT, kept so NUV.INI
// stays readable by older installations).
struct FontRecord {
  long height = 0, width = 0, escapement = 0, orientation = 0, weight = 0;
  uint8_t italic = 0, underline = 0, strikeOut = 0, charSet = 0, outPrecision = 0,
          clipPrecision = 0, quality = 0, pitchAndFamily = 0;
  std::string faceName = "ARIAL";
};

// Connection keys given on the command line; unset keys come from NUV.INI.
struct ConnectionOverrides {
  std::optional<std::string> dataSource, user, password;
};

struct Config {
  std::filesystem::path settingsDir;  // holds NUV.INI and the per-user store
  std::string homeDir;                // always ends in "/"
  std::string dataDir = "/";
  bool dataDirFromCommandLine = false;
  std::string outDir = "/";
  std::string cssOutDir = "/";
  int cssOutFormat = 0;
  std::string cssDataPath = "/";
  std::string imsRebPath = "/";
  ConnectionOverrides mainOverrides, cssOverrides;
  bool checkDb = false;             // CHKDB
  bool wfd = false;                 // waveforms through the CSS wfdisc table
  bool useTend = false;             // archive queries use FILELIST.TEND
  bool localLastId = false;         // identifiers from the main database's LASTID
  bool saveToCssDb = true;          // results also written to the CSS database
  int amplitudeDefault = 0;         // 0, 1 or 2
  bool showOrigins = false;         // processed-events window at start
  int preselectedPhases = 3;        // 0 Teleseismic, 1 Regional, 2 Local, 3 other
  int travelTimeSet = 0;            // [GODOGRAPH] N#
  std::string travelTimeDir = "/";  // [GODOGRAPH] DIR<N#>
  FontRecord font;
  std::vector<std::pair<std::string, std::string>> dirsMap;  // catalogue name -> directory
  // The channel list the waveform window loads at start: CHANLIST= on the
  // command line, else [WAVEFORMS] STARTLIST; empty or unset: none.
  std::optional<std::string> startChannelList;

  // NUV.INI in the settings folder.
  std::filesystem::path IniPath() const { return settingsDir / "NUV.INI"; }
  // The per-user store (the registry's stand-in).
  std::filesystem::path StorePath() const { return settingsDir / "registry.txt"; }
};

// Built-in user name and password of both connections.
const char* DefaultDbUser();
const char* DefaultDbPassword();

// The settings folder: $NUV_CONFIG_DIR, else $XDG_CONFIG_HOME/nuv, else ~/.config/nuv.
std::filesystem::path DefaultSettingsDir();

// Applies the command-line keys (ODBC=, USER=, PASSWORD=, ODBC_CSS=, USER_CSS=,
// PASSWORD_CSS=, DATA=/DIR=, CHKDB, CHANLIST=); unknown arguments are ignored.
void ApplyCommandLine(const std::vector<std::string>& args, Config& config);

// Fixes the home directory (`executableDir` when [NUV] DIR is empty) and
// reads the start-up keys of NUV.INI in their fixed order.
void LoadStartupSettings(const ProfileFile& ini, const std::string& executableDir, Config& config);

// Reads the directory map [DIRSMAP] (# entries NAME<i>/DIR<i>).
void LoadDirectoryMap(const ProfileFile& ini, Config& config);

}  // namespace nuv
