// Start-up configuration: the command-line keys and the NUV.INI keys with
// their defaults, limits and overrides.

#include "platform/config.h"

#include <gtest/gtest.h>

#include "platform/profile_file.h"
#include "support/temp_dir.h"

namespace nuv {
namespace {

Config FromCommandLine(const std::vector<std::string>& args) {
  Config config;
  ApplyCommandLine(args, config);
  return config;
}

TEST(CommandLineTest, DataDirectoryKeysAreCaseInsensitiveAndLoseQuotes) {
  EXPECT_EQ(FromCommandLine({"DIR=D:\\data"}).dataDir, "D:/data");
  EXPECT_EQ(FromCommandLine({"DATA=D:\\data"}).dataDir, "D:/data");
  const Config quoted = FromCommandLine({"data=\"D:\\my data\""});
  EXPECT_EQ(quoted.dataDir, "D:/my data");
  EXPECT_TRUE(quoted.dataDirFromCommandLine);
  EXPECT_EQ(FromCommandLine({"Dir='/srv/a\"b'"}).dataDir, "/srv/ab");
  EXPECT_FALSE(FromCommandLine({"DIRECTORY=/x"}).dataDirFromCommandLine);
}

TEST(CommandLineTest, CssKeysDoNotTouchTheMainConnection) {
  const Config config =
      FromCommandLine({"ODBC_CSS=X", "USER_CSS=u", "PASSWORD_CSS=p", "program/path/nuv"});
  EXPECT_FALSE(config.mainOverrides.dataSource);
  EXPECT_FALSE(config.mainOverrides.user);
  EXPECT_FALSE(config.mainOverrides.password);
  EXPECT_EQ(config.cssOverrides.dataSource, "X");
  EXPECT_EQ(config.cssOverrides.user, "u");
  EXPECT_EQ(config.cssOverrides.password, "p");
}

TEST(CommandLineTest, ValuesKeepTheirCaseAndTheLaterKeyWins) {
  const Config config = FromCommandLine(
      {"odbc=First", "ODBC=Second", "user=Analyst", "Password=S3cret;x", "USER_CSS="});
  EXPECT_EQ(config.mainOverrides.dataSource, "Second");
  EXPECT_EQ(config.mainOverrides.user, "Analyst");
  EXPECT_EQ(config.mainOverrides.password, "S3cret;x");
  // An empty value is an override too (it means: no CSS user).
  EXPECT_EQ(config.cssOverrides.user, "");
  EXPECT_FALSE(config.checkDb);
  EXPECT_TRUE(FromCommandLine({"chkdb"}).checkDb);
}

class StartupSettingsTest : public ::testing::Test {
 protected:
  test::TempDir dir;
  ProfileFile ini{dir / "NUV.INI"};
  Config Load(const std::string& exeDir = "/opt/nuv/") {
    Config config;
    LoadStartupSettings(ini, exeDir, config);
    LoadDirectoryMap(ini, config);
    return config;
  }
};

TEST_F(StartupSettingsTest, MissingFileGivesEveryDefault) {
  const Config config = Load();
  EXPECT_EQ(config.homeDir, "/opt/nuv/");
  EXPECT_EQ(config.dataDir, "/");
  EXPECT_EQ(config.outDir, "/");
  EXPECT_EQ(config.cssOutDir, "/");
  EXPECT_EQ(config.cssDataPath, "/");
  EXPECT_EQ(config.imsRebPath, "/");
  EXPECT_EQ(config.travelTimeSet, 0);
  EXPECT_EQ(config.travelTimeDir, "/");
  EXPECT_EQ(config.amplitudeDefault, 0);
  EXPECT_FALSE(config.wfd);
  EXPECT_FALSE(config.useTend);
  EXPECT_FALSE(config.localLastId);
  EXPECT_TRUE(config.saveToCssDb);
  EXPECT_FALSE(config.showOrigins);
  EXPECT_EQ(config.preselectedPhases, 3);
  EXPECT_EQ(config.font.faceName, "ARIAL");
  EXPECT_EQ(config.font.height, 0);
  EXPECT_TRUE(config.dirsMap.empty());
}

TEST_F(StartupSettingsTest, HomeDirectoryLosesTrailingBlanksAndGetsOneSlash) {
  ini.WriteString("NUV", "DIR", "\"C:\\nuv  \"");
  EXPECT_EQ(Load().homeDir, "C:/nuv/");
  ini.WriteString("NUV", "DIR", "C:\\nuv\\");
  EXPECT_EQ(Load().homeDir, "C:/nuv/");
  ini.WriteString("NUV", "DIR", "/home/analyst/nuv");
  EXPECT_EQ(Load().homeDir, "/home/analyst/nuv/");
  ini.WriteString("NUV", "DIR", "");
  EXPECT_EQ(Load("/usr/lib/nuv").homeDir, "/usr/lib/nuv/");
}

TEST_F(StartupSettingsTest, PhaseSelectionNamesAndOtherValues) {
  const std::pair<const char*, int> cases[] = {{"Teleseismic", 0}, {"Regional", 1}, {"Local", 2},
                                               {"local", 3},       {"", 3},         {"Other", 3}};
  for (const auto& [text, expected] : cases) {
    ini.WriteString("PRESELECTED PHASES", "Selection", text);
    EXPECT_EQ(Load().preselectedPhases, expected) << text;
  }
}

TEST_F(StartupSettingsTest, DataDirectoryFromTheCommandLineIsNotRead) {
  ini.WriteString("DATA", "DIR", "/from/ini");
  Config config;
  ApplyCommandLine({"DATA=/from/args"}, config);
  LoadStartupSettings(ini, "/opt/", config);
  EXPECT_EQ(config.dataDir, "/from/args");
  EXPECT_EQ(Load().dataDir, "/from/ini");
}

TEST_F(StartupSettingsTest, ChannelListForTheStartFromTheCommandLineOrTheIni) {
  EXPECT_FALSE(Load().startChannelList);
  ini.WriteString("WAVEFORMS", "STARTLIST", "DEMO-Z");
  EXPECT_EQ(Load().startChannelList, "DEMO-Z");
  // The command line wins, in the case typed; an empty key loads no list.
  for (const auto& [arg, expected] :
       {std::pair<std::string, std::string>{"ChanList=Мой 3C", "Мой 3C"}, {"CHANLIST=", ""}}) {
    Config config;
    ApplyCommandLine({arg}, config);
    LoadStartupSettings(ini, "/opt/", config);
    EXPECT_EQ(config.startChannelList, expected) << arg;
  }
}

TEST_F(StartupSettingsTest, FlagsFontsTravelTimesAndDirectoryMap) {
  ini.WriteString("DATABASE", "WFD", "1");
  ini.WriteString("DATABASE", "USE_TEND", "2x");
  ini.WriteString("DATABASE", "LOCALLASTID", "1");
  ini.WriteString("DATABASE", "SAVETOCSSDB", "0");
  ini.WriteString("AMPLITUDE", "DEFAULT", "2");
  ini.WriteString("SHOWORIGINS", "SHOWWINDOW", "1");
  ini.WriteString("FONT", "lfHeight", "-13");
  ini.WriteString("FONT", "lfWeight", "700");
  ini.WriteString("FONT", "lfCharSet", "204");
  ini.WriteString("FONT", "lfItalic", "x");
  ini.WriteString("FONT", "lfFaceName", "Courier New");
  ini.WriteString("GODOGRAPH", "N#", "2");
  ini.WriteString("GODOGRAPH", "DIR1", "/tt/one");
  ini.WriteString("GODOGRAPH", "DIR2", "D:\\tt\\iasp91");
  ini.WriteString("DIRSMAP", "#", "2");
  ini.WriteString("DIRSMAP", "NAME0", "/archive/2020");
  ini.WriteString("DIRSMAP", "DIR0", "E:\\copy\\2020");
  ini.WriteString("DIRSMAP", "NAME1", "cat1");
  const Config config = Load();
  EXPECT_TRUE(config.wfd);
  EXPECT_TRUE(config.useTend);
  EXPECT_TRUE(config.localLastId);
  EXPECT_FALSE(config.saveToCssDb);
  EXPECT_EQ(config.amplitudeDefault, 2);
  EXPECT_TRUE(config.showOrigins);
  EXPECT_EQ(config.font.height, -13);
  EXPECT_EQ(config.font.weight, 700);
  EXPECT_EQ(config.font.charSet, 204);
  EXPECT_EQ(config.font.italic, 0);
  EXPECT_EQ(config.font.faceName, "Courier New");
  EXPECT_EQ(config.travelTimeSet, 2);
  EXPECT_EQ(config.travelTimeDir, "D:/tt/iasp91");
  ASSERT_EQ(config.dirsMap.size(), 2u);
  EXPECT_EQ(config.dirsMap[0].first, "/archive/2020");
  EXPECT_EQ(config.dirsMap[0].second, "E:/copy/2020");
  EXPECT_EQ(config.dirsMap[1].first, "cat1");
  EXPECT_EQ(config.dirsMap[1].second, "");
}

TEST_F(StartupSettingsTest, SectionsAndKeysAreFoundWithoutRegardToCase) {
  ini.WriteString("database", "wfd", "1");
  ini.WriteString("Out", "Dir", "/results");
  const Config config = Load();
  EXPECT_TRUE(config.wfd);
  EXPECT_EQ(config.outDir, "/results");
}

}  // namespace
}  // namespace nuv
