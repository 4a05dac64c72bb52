#include "platform/config.h"

#include <cstdlib>

#include "platform/paths.h"
#include "platform/profile_file.h"
#include "platform/strformat.h"

namespace nuv {
namespace {

// Built-in credentials used when NUV.INI names none (the SQLite data source
// ignores them; a server installation sets its own in NUV.INI).
constexpr const char* kDefaultUser = "nuv";
constexpr const char* kDefaultPassword = "nuv";

std::string RemoveQuotes(std::string_view text) {
  std::string out;
  for (char c : text)
    if (c != '"' && c != '\'') out.push_back(c);
  return out;
}

}  // namespace

const char* DefaultDbUser() {
  return kDefaultUser;
}
const char* DefaultDbPassword() {
  return kDefaultPassword;
}

std::filesystem::path DefaultSettingsDir() {
  if (const char* dir = std::getenv("NUV_CONFIG_DIR"); dir && *dir) return dir;
  if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg)
    return std::filesystem::path(xdg) / "nuv";
  const char* home = std::getenv("HOME");
  return std::filesystem::path(home && *home ? home : ".") / ".config" / "nuv";
}

void ApplyCommandLine(const std::vector<std::string>& args, Config& config) {
  // Longer prefixes first, so ODBC_CSS= is never taken for ODBC= (the
  // comparison itself is by prefix of the upper-cased argument).
  struct Key {
    const char* prefix;
    std::optional<std::string>* target;
  };
  const Key keys[] = {
      {"ODBC_CSS=", &config.cssOverrides.dataSource},
      {"USER_CSS=", &config.cssOverrides.user},
      {"PASSWORD_CSS=", &config.cssOverrides.password},
      {"ODBC=", &config.mainOverrides.dataSource},
      {"USER=", &config.mainOverrides.user},
      {"PASSWORD=", &config.mainOverrides.password},
      {"CHANLIST=", &config.startChannelList},
  };
  for (const std::string& arg : args) {
    const std::string upper = ToUpperAscii(arg);
    bool matched = false;
    for (const Key& key : keys) {
      if (upper.starts_with(key.prefix)) {
        *key.target = arg.substr(std::string_view(key.prefix).size());
        matched = true;
        break;
      }
    }
    if (matched) continue;
    if (upper.starts_with("DATA=") || upper.starts_with("DIR=")) {
      const size_t eq = arg.find('=');
      config.dataDir = NativePath(RemoveQuotes(arg.substr(eq + 1)));
      config.dataDirFromCommandLine = true;
    } else if (upper.starts_with("CHKDB")) {
      config.checkDb = true;
    }
  }
}

void LoadStartupSettings(const ProfileFile& ini, const std::string& executableDir, Config& config) {
  // Home directory: [NUV] DIR, else the executable's directory; always ends in "/".
  std::string home = ini.GetString("NUV", "DIR", "", 254);
  if (home.empty()) {
    home = NativePath(executableDir);
  } else {
    // Only trailing blanks go; a leading blank may be part of a quoted name.
    home.erase(home.find_last_not_of(' ') + 1);
    home = NativePath(home);
  }
  if (home.empty() || home.back() != '/') home.push_back('/');
  config.homeDir = home;

  config.amplitudeDefault = ini.GetInt("AMPLITUDE", "DEFAULT", 0);
  config.localLastId = ini.GetInt("DATABASE", "LOCALLASTID", 0) != 0;
  config.useTend = ini.GetInt("DATABASE", "USE_TEND", 0) != 0;
  config.wfd = ini.GetInt("DATABASE", "WFD", 0) != 0;
  config.saveToCssDb = ini.GetInt("DATABASE", "SAVETOCSSDB", 1) != 0;
  config.showOrigins = ini.GetInt("SHOWORIGINS", "SHOWWINDOW", 0) != 0;

  const std::string selection = ini.GetString("PRESELECTED PHASES", "Selection", "", 512);
  config.preselectedPhases = selection == "Teleseismic" ? 0
                             : selection == "Regional"  ? 1
                             : selection == "Local"     ? 2
                                                        : 3;

  if (!config.dataDirFromCommandLine)
    config.dataDir = NativePath(ini.GetString("DATA", "DIR", "\\", 100));
  config.outDir = NativePath(ini.GetString("OUT", "DIR", "\\", 120));
  config.cssOutDir = NativePath(ini.GetString("CSS30DATAOUTPUT", "DIR", "\\", 4096));
  config.cssOutFormat = ini.GetInt("CSS30DATAOUTPUT", "FORMAT", 0);

  FontRecord& font = config.font;
  auto longKey = [&](const char* key) {
    return static_cast<long>(LeadingInteger(ini.GetString("FONT", key, "", 99)));
  };
  auto byteKey = [&](const char* key) {
    return static_cast<uint8_t>(LeadingInteger(ini.GetString("FONT", key, "", 99)));
  };
  font.height = longKey("lfHeight");
  font.width = longKey("lfWidth");
  font.escapement = longKey("lfEscapement");
  font.orientation = longKey("lfOrientation");
  font.weight = longKey("lfWeight");
  font.italic = byteKey("lfItalic");
  font.underline = byteKey("lfUnderline");
  font.strikeOut = byteKey("lfStrikeOut");
  font.charSet = byteKey("lfCharSet");
  font.outPrecision = byteKey("lfOutPrecision");
  font.clipPrecision = byteKey("lfClipPrecision");
  font.quality = byteKey("lfQuality");
  font.pitchAndFamily = byteKey("lfPitchAndFamily");
  font.faceName = ini.GetString("FONT", "lfFaceName", "ARIAL", 99);

  config.travelTimeSet =
      static_cast<int>(LeadingInteger(ini.GetString("GODOGRAPH", "N#", "0", 32)));
  config.travelTimeDir =
      NativePath(ini.GetString("GODOGRAPH", StrFormat("DIR%d", config.travelTimeSet), "\\", 120));

  if (!config.startChannelList) {
    const std::string list = ini.GetString("WAVEFORMS", "STARTLIST", "", 255);
    if (!list.empty()) config.startChannelList = list;
  }

  config.cssDataPath = NativePath(ini.GetString("DIR", "CSSDATAPATH", "\\", 512));
  config.imsRebPath = NativePath(ini.GetString("DIR", "IMSREBPATH", "\\", 512));
}

void LoadDirectoryMap(const ProfileFile& ini, Config& config) {
  config.dirsMap.clear();
  const int mapCount = ini.GetInt("DIRSMAP", "#", 0);
  for (int i = 0; i < mapCount; ++i) {
    config.dirsMap.emplace_back(
        ini.GetString("DIRSMAP", StrFormat("NAME%d", i), "", 32000),
        NativePath(ini.GetString("DIRSMAP", StrFormat("DIR%d", i), "", 32000)));
  }
}

}  // namespace nuv
