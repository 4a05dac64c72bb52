// The outside locator: the arrival, origin and configuration files byte by
// byte, the event number and the command line, and runs of the shipped test
// locator that succeed, fail, hang, print binary or print a lot.

#include "bulletins/external_locator.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

#include "bulletins/bulletin_fixture.h"
#include "bulletins/css_records.h"
#include "bulletins/fixed_columns.h"
#include "platform/strformat.h"
#include "platform/text_codec.h"

namespace nuv::test {
namespace {

const std::string kScript = std::string(NUV_TEST_DATA_DIR) + "/olk/olk_test_locator.sh";
constexpr double kNow = 1.7e9;

class ExternalLocatorTest : public BulletinTest {
 protected:
  ExternalLocatorTest() {
    settings.dir = dir.path().string();
    settings.program = kScript;
    settings.timeoutMs = 20000;
  }
  // Three phases; only the second (MJAR N-S, S) and the third (AB Z, P) define.
  void AddPhases() {
    auto& stations = ws().stations().records();
    stations[0].channels[1].lat = 36.55f, stations[0].channels[1].lon = 138.25f;
    stations[0].channels[1].elev = 0.35f;
    ws().phases().Add(Phase(0, 0, 0, kNow + 1));
    SEISMIC_PHASE s = Phase(0, 1, 1, kNow + 2);
    s.defining = 1, s.hasPolarization = 1, s.azimuth = -30, s.emergence = 20;
    s.hasAmplitude = 1, s.amplitude = 0.25f, s.period = 0.5f, s.firstMotion = 6, s.onset = 1;
    ws().phases().Add(s);
    SEISMIC_PHASE p = Phase(3, 0, 0, kNow + 3);
    p.defining = 1;
    ws().phases().Add(p);
  }
  LocatorRunResult Run(const std::string& number = "12") {
    return RunExternalLocator(source(), settings, number, prompts, kNow);
  }
  ExternalLocatorSettings settings;
};

double Number(const std::string& text) {
  return std::stod(text);
}

TEST_F(ExternalLocatorTest, ArrivalLinesOfDefiningPhasesWithChannelCoordinates) {
  AddPhases();
  const std::string lddate = CssLddate(kNow);
  const auto lines = Lines(FormatLocatorArrivals(source(), lddate));
  ASSERT_EQ(lines.size(), 2u);
  // The CSS arrival record of the phase, arid its position in the whole list.
  const SEISMIC_PHASE& s = *ws().phases().GetAt(1);
  std::string css = FormatCssArrival(source(), s, 2, CssPhaseOptions{}, lddate);
  css.pop_back();
  ASSERT_EQ(lines[0].substr(0, css.size()), css);
  // The columns at the positions the configuration file gives (0-based).
  EXPECT_EQ(Cols(lines[0], 1, 6), "MJAR  ");
  EXPECT_DOUBLE_EQ(Number(Cols(lines[0], 8, 24)), kNow + 2);
  EXPECT_EQ(Number(Cols(lines[0], 26, 33)), 2);
  EXPECT_EQ(Cols(lines[0], 62, 69), "n-s     ");
  EXPECT_EQ(Cols(lines[0], 71, 78), "S       ");
  // stn_lat names column 223, the blank before the 14 characters of the
  // latitude: a reader that skips blanks from there finds it.
  EXPECT_EQ(lines[0][223], ' ');
  EXPECT_DOUBLE_EQ(Number(Cols(lines[0], 225, 238)), 36.55);
  EXPECT_DOUBLE_EQ(Number(Cols(lines[0], 240, 248)), 138.25);
  EXPECT_DOUBLE_EQ(Number(Cols(lines[0], 250, 260)), 0.35);
  EXPECT_EQ(lines[0].size(), 260u);
  // Azimuth plus 360, amplitude in nanometres, log10(amp / per), fm, qual.
  const auto fields = SplitWords(lines[0]);
  EXPECT_EQ(fields[10], "330.00");
  EXPECT_EQ(fields[14], "20.00");
  EXPECT_EQ(fields[16], "250.0");
  EXPECT_EQ(fields[18], StrFormat("%.2f", std::log10(250.0 / 0.5)));
  EXPECT_EQ(fields[20], "d.");
  EXPECT_EQ(fields[22], "i");
  EXPECT_EQ(Number(Cols(lines[1], 26, 33)), 3);
  // A channel the station table does not know gets the null coordinates.
  SEISMIC_PHASE lost = Phase(1, 5, 2, kNow + 4);
  lost.defining = 1;
  ws().phases().Add(lost);
  const auto more = Lines(FormatLocatorArrivals(source(), lddate));
  ASSERT_EQ(more.size(), 3u);
  EXPECT_DOUBLE_EQ(Number(Cols(more[2], 225, 238)), -999.0);
}

TEST_F(ExternalLocatorTest, OriginLineWithAndWithoutAnOrigin) {
  AddPhases();
  auto fields = SplitWords(FormatLocatorOrigin(source(), CssLddate(kNow)));
  ASSERT_EQ(fields.size(), 26u);  // lddate holds a blank
  EXPECT_EQ(fields[0], "-999.0000");
  EXPECT_EQ(fields[2], "-999.0000");
  EXPECT_EQ(fields[3], "-999999999.99900");
  EXPECT_EQ(fields[4], "1");   // orid
  EXPECT_EQ(fields[6], "-1");  // jdate
  EXPECT_EQ(fields[7], "3");   // nass
  EXPECT_EQ(fields[8], "2");   // ndef
  EXPECT_EQ(fields[21], "-");  // algorithm
  EXPECT_EQ(fields[22], "NUV");
  SetOrigin();
  ws().event().eventMb = 4.5f;
  fields = SplitWords(FormatLocatorOrigin(source(), CssLddate(kNow)));
  EXPECT_EQ(fields[0], "42.7000");
  EXPECT_EQ(fields[2], "15.0000");
  EXPECT_EQ(fields[6], "2024075");
  EXPECT_EQ(fields[15], "4.50");   // mb
  EXPECT_EQ(fields[17], "-1.00");  // ms unknown
  EXPECT_EQ(fields[21], "NUV");
}

TEST_F(ExternalLocatorTest, NumbersPathsAndCommandLine) {
  const std::pair<const char*, int> numbers[] = {
      {"12", 12}, {"abc", 0}, {"", 0}, {"  -5x", -5}, {"99999999999999", 2147483647}};
  for (const auto& [text, value] : numbers) EXPECT_EQ(LocatorEventNumber(text), value) << text;
  EXPECT_EQ(LocatorFilePath("/d/loc", 12, ".sds"), "/d/loc/00000012.sds");
  EXPECT_EQ(LocatorFilePath("/d/loc/", 0, ".sdn"), "/d/loc/00000000.sdn");
  EXPECT_EQ(LocatorFilePath("", 7, ".sds"), "/00000007.sds");

  ExternalLocatorSettings s;
  s.dir = "/opt/olk";
  s.arguments = "  script.py  --quiet ";
  const LocatorCommand c = BuildLocatorCommand(s, "abc");
  EXPECT_EQ(c.program, "/opt/olk/OLK.EXE");
  EXPECT_EQ(c.args,
            (std::vector<std::string>{"script.py", "--quiet", "-O", "abc", "-r", "nuv.olk.conf"}));
  EXPECT_EQ(c.workingDir, "/opt/olk");
  // An absolute program stays; a bare name missing from the directory is
  // found in PATH.
  s.program = "/usr/bin/env";
  EXPECT_EQ(BuildLocatorCommand(s, "1").program, "/usr/bin/env");
  s.program = "sh";
  EXPECT_NE(BuildLocatorCommand(s, "1").program.find("/sh"), std::string::npos);
  EXPECT_EQ(BuildLocatorCommand(s, "1").program.find("/opt/olk"), std::string::npos);

  const auto conf = Lines(LocatorConfigText());
  ASSERT_EQ(conf.size(), 6u);
  EXPECT_EQ(conf[1],
            R"(<seism_data data_path = ".\" phase_list = "phase_list.iasp.xml" TTT_path = )"
            R"(".\iasp91\iasp91"/>)");
  EXPECT_EQ(conf[5], "</olk_config>");
  EXPECT_EQ(LocatorConfigText().back(), '\n');
}

TEST_F(ExternalLocatorTest, GoodRunShowsThePrintoutAndLeavesTheFiles) {
  AddPhases();
  const LocatorRunResult r = Run("12");
  EXPECT_TRUE(prompts.MessageTexts().empty());
  ASSERT_TRUE(r.started) << r.output;
  EXPECT_EQ(r.exitCode, 0) << r.output;
  EXPECT_NE(r.output.find("OLK test locator: 2 phases"), std::string::npos) << r.output;
  // The script read the station columns where the configuration says.
  const double lat = (36.55 + 42.0) / 2, lon = (138.25 + 75.0) / 2;
  EXPECT_NE(r.output.find(StrFormat("Epicentre %.3f %.3f", lat, lon)), std::string::npos)
      << r.output;
  for (const char* name : {"00000012.sds", "00000012.sdn", "nuv.olk.conf", "olk_log"})
    EXPECT_TRUE(std::filesystem::exists(dir / name)) << name;
  EXPECT_EQ(TempDir::ReadFile(dir / "nuv.olk.conf"), LocatorConfigText());
}

TEST_F(ExternalLocatorTest, MissingProgramOrDirectoryIsReportedNotHidden) {
  AddPhases();
  settings.program = "no-such-locator.exe";
  LocatorRunResult r = Run();
  EXPECT_FALSE(r.started);
  EXPECT_NE(r.output.find("Не удалось запустить программу"), std::string::npos);
  EXPECT_TRUE(std::filesystem::exists(dir / "00000012.sds"));  // files written anyway

  settings.program = kScript;
  settings.dir = (dir / "missing").string();
  r = Run();
  ASSERT_EQ(prompts.MessageTexts().size(), 3u);
  EXPECT_EQ(prompts.MessageTexts()[0], "Ошибка открытия файла: " + settings.dir + "/00000012.sds");
  EXPECT_EQ(r.unwritable.size(), 3u);
  EXPECT_FALSE(r.started);  // the working directory is missing too
}

TEST_F(ExternalLocatorTest, FailureHangGarbageAndFloodEndSoundly) {
  AddPhases();
  settings.arguments = "--fail";
  LocatorRunResult r = Run();
  EXPECT_EQ(r.exitCode, 3);
  EXPECT_NE(r.output.find("cannot read travel-time tables\nПрограмма завершилась с кодом 3"),
            std::string::npos)
      << r.output;

  settings.arguments = "--hang";
  settings.timeoutMs = 300;
  r = Run();
  EXPECT_TRUE(r.timedOut);
  EXPECT_NE(r.output.find("OLK: started"), std::string::npos) << r.output;
  EXPECT_NE(r.output.find("остановлена"), std::string::npos) << r.output;

  settings.timeoutMs = 20000;
  settings.arguments = "--garbage";
  r = Run();
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_TRUE(IsValidUtf8(r.output));
  EXPECT_EQ(r.output.find('\0'), std::string::npos);
  EXPECT_NE(r.output.find("binary"), std::string::npos);

  // 200 kB: read while it runs (a full pipe would block it until the
  // time-out), the first 32 000 bytes kept.
  settings.arguments = "--flood";
  r = Run();
  EXPECT_FALSE(r.timedOut);
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_EQ(r.output.size(), kLocatorMaxOutput);
  EXPECT_EQ(r.output.substr(0, 12), "line 000000 ");
}

}  // namespace
}  // namespace nuv::test
