// Data files, the clipboard text and worksheet files of the workspace: round
// trips and every failure the analyst can meet.

#include "workspace/dsp_files.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

#include "platform/strformat.h"
#include "support/temp_dir.h"

namespace nuv {
namespace {

using test::TempDir;

TEST(DspDataFile, SavesAndReadsBackAndReportsEmptyAndMissingFiles) {
  TempDir dir;
  DspWindow w;
  w.SetData({1.5, -2.25, 1e6}, 0.01);
  EXPECT_FALSE(SaveDataFile(w, dir / "a.dat").has_value());
  EXPECT_EQ(TempDir::ReadFile(dir / "a.dat"), "1.5\n-2.25\n1e+06\n");
  auto read = ReadDataFile(dir / "a.dat");
  ASSERT_TRUE(std::holds_alternative<std::vector<double>>(read));
  EXPECT_EQ(std::get<std::vector<double>>(read), w.data);

  DspWindow empty;
  empty.data.clear();
  EXPECT_EQ(SaveDataFile(empty, dir / "e.dat"), std::string(kEmptyDataSet));
  EXPECT_TRUE(std::filesystem::exists(dir / "e.dat"));
  const std::string e = (dir / "e.dat").string();
  EXPECT_EQ(std::get<std::string>(ReadDataFile(e)), "Файл " + e + " пуст");
  dir.WriteFile("words.dat", "abc\n1\n2\n");
  EXPECT_TRUE(std::holds_alternative<std::string>(ReadDataFile(dir / "words.dat")));

  const std::string missing = (dir / "none.dat").string();
  EXPECT_EQ(std::get<std::string>(ReadDataFile(missing)), "Ошибка открытия файла " + missing);
  EXPECT_EQ(std::get<std::string>(ReadDataFile(dir.path())),
            "Ошибка открытия файла " + dir.path().string());
  EXPECT_EQ(SaveDataFile(w, dir / "no" / "such" / "x.dat"),
            "Ошибка открытия файла " + (dir / "no" / "such" / "x.dat").string());
}

TEST(DspDataFile, SmallAndLongValuesComeBackExactlyAndOldFilesStillRead) {
  // Microvolt-sized samples, a value with every digit of a double, a rate of
  // 3 samples/s whose step 1/3 has no short decimal form.
  const std::vector<double> values = {4.2e-7, -1.5e-12,  1.0 / 3.0, 123456.78901234567,
                                      0.0,    -7.25e-300};
  TempDir dir;
  DspWindow w;
  w.SetData(values, 1.0 / 3.0);
  ASSERT_FALSE(SaveDataFile(w, dir / "small.dat").has_value());
  EXPECT_EQ(std::get<std::vector<double>>(ReadDataFile(dir / "small.dat")), values);
  const auto pasted = ParseClipboard(ClipboardText(w));
  ASSERT_TRUE(pasted);
  EXPECT_EQ(pasted->samples, values);
  EXPECT_EQ(pasted->dx, w.dx);
  // Six-decimal files and clipboard texts of earlier versions.
  dir.WriteFile("old.dat", "0.000001\n-2.500000\n1000000.000000\n");
  EXPECT_EQ(std::get<std::vector<double>>(ReadDataFile(dir / "old.dat")),
            (std::vector<double>{1e-6, -2.5, 1e6}));
  const auto old = ParseClipboard("DSP NUV\r\nSPS=20.000000\r\nQTY=1\r\n0.000420\r\n");
  ASSERT_TRUE(old);
  EXPECT_EQ(old->samples, std::vector<double>{0.00042});
  EXPECT_DOUBLE_EQ(old->dx, 0.05);
}

TEST(DspDataFile, ReadingStopsAtTheFirstTextThatIsNotANumber) {
  TempDir dir;
  dir.WriteFile("m.dat", "1\n2.5\n  3e1\nx\n4\n");
  auto read = ReadDataFile(dir / "m.dat");
  EXPECT_EQ(std::get<std::vector<double>>(read), (std::vector<double>{1, 2.5, 30}));
}

TEST(DspClipboard, FormatsAndParsesTheTextExchange) {
  DspWindow w;
  w.SetData({1, 2.5}, 0.01);
  EXPECT_EQ(ClipboardText(w), "DSP NUV\r\nSPS=100\r\nQTY=2\r\n1\r\n2.5\r\n");
  auto back = ParseClipboard(ClipboardText(w));
  ASSERT_TRUE(back);
  EXPECT_EQ(back->samples, w.data);
  EXPECT_DOUBLE_EQ(back->dx, 0.01);

  auto pasted = ParseClipboard("DSP NUV\nSPS=100.000000\n\n\r\nQTY=3\n1\n2\n3");
  ASSERT_TRUE(pasted);
  EXPECT_EQ(pasted->samples, (std::vector<double>{1, 2, 3}));
  EXPECT_DOUBLE_EQ(pasted->dx, 0.01);
  EXPECT_TRUE(IsWorkspaceClipboard("DSP NUV whatever"));
  EXPECT_FALSE(IsWorkspaceClipboard(" DSP NUV"));
}

TEST(DspClipboard, NonFiniteSamplesArePastedButKeepTheRangesFinite) {
  auto pasted = ParseClipboard("DSP NUV\r\nSPS=10\r\nQTY=4\r\nnan\r\n-inf\r\n4\r\n-2\r\n");
  ASSERT_TRUE(pasted);
  ASSERT_EQ(pasted->count(), 4);
  EXPECT_TRUE(std::isnan(pasted->samples[0]));
  EXPECT_TRUE(std::isinf(pasted->samples[1]));
  Workspace ws;
  ws.LoadData(0, pasted->samples, pasted->dx);
  EXPECT_EQ(ws.window(0).yMax, 4);
  EXPECT_EQ(ws.window(0).yMin, -2);
  // Written back, the text keeps them as the C library spells them.
  EXPECT_NE(ClipboardText(ws.window(0)).find("nan\r\n-inf\r\n4\r\n"), std::string::npos);
}

TEST(DspClipboard, MismatchesAndBadRatesEndThePaste) {
  EXPECT_FALSE(ParseClipboard(""));
  EXPECT_FALSE(ParseClipboard("DSP NUV\r\nQTY=1\r\nSPS=1\r\n1\r\n"));
  EXPECT_FALSE(ParseClipboard("DSP NUW\r\nSPS=1\r\nQTY=1\r\n1\r\n"));
  EXPECT_FALSE(ParseClipboard("DSP NUV\r\nSPS=1\r\nQTY=0\r\n"));  // no sample
  // A rate of 0 (a window with dx 0 copied) or garbage would give an
  // infinite or meaningless step.
  EXPECT_FALSE(ParseClipboard("DSP NUV\r\nSPS=0.000000\r\nQTY=1\r\n1\r\n"));
  EXPECT_FALSE(ParseClipboard("DSP NUV\r\nSPS=abc\r\nQTY=1\r\n1\r\n"));
  EXPECT_FALSE(ParseClipboard("DSP NUV\r\nSPS=-5\r\nQTY=1\r\n1\r\n"));
  EXPECT_FALSE(ParseClipboard("DSP NUV\r\nSPS=inf\r\nQTY=1\r\n1\r\n"));
  // A line is cut at 1022 characters: 1022 zeros and a 5 read as 0.
  const std::string longLine = std::string(1022, '0') + "5";
  auto cut = ParseClipboard("DSP NUV\r\nSPS=1\r\nQTY=1\r\n" + longLine + "\r\n");
  ASSERT_TRUE(cut);
  EXPECT_EQ(cut->samples, std::vector<double>{0.0});
  auto whole = ParseClipboard("DSP NUV\r\nSPS=1\r\nQTY=1\r\n" + longLine.substr(1) + "\r\n");
  ASSERT_TRUE(whole);
  EXPECT_EQ(whole->samples, std::vector<double>{5.0});
}

TEST(DspWorksheet, RoundTripAndRefusedFiles) {
  TempDir dir;
  Workspace ws;
  ws.AddWindow();
  ws.SetFormula(0, "gsin(100,0.01,5,0)");
  ws.SetFormula(2, "w0*2 + w1");
  ASSERT_TRUE(SaveWorksheet(ws, dir / "a.wks"));
  auto read = ReadWorksheet(dir / "a.wks");
  ASSERT_TRUE(std::holds_alternative<std::vector<std::string>>(read));
  EXPECT_EQ(std::get<std::vector<std::string>>(read),
            (std::vector<std::string>{"gsin(100,0.01,5,0)", "", "w0*2 + w1"}));
  // A smaller workspace saved over it leaves no stale windows behind.
  Workspace small;
  small.SetFormula(0, "1");
  ASSERT_TRUE(SaveWorksheet(small, dir / "a.wks"));
  EXPECT_EQ(std::get<std::vector<std::string>>(ReadWorksheet(dir / "a.wks")).size(), 2u);
  EXPECT_FALSE(SaveWorksheet(small, dir.path()));

  dir.WriteFile("many.wks", "[WORKSHEET]\nWINDOWS=40\n");
  const std::string many = (dir / "many.wks").string();
  EXPECT_EQ(std::get<std::string>(ReadWorksheet(many)),
            "Неверное число окон в рабочей области " + many + ": 40");
  dir.WriteFile("neg.wks", "[WORKSHEET]\nWINDOWS=-1\n");
  EXPECT_TRUE(std::holds_alternative<std::string>(ReadWorksheet(dir / "neg.wks")));
  dir.WriteFile("none.wks", "garbage line\n[OTHER]\nX=1\n");
  EXPECT_TRUE(std::get<std::vector<std::string>>(ReadWorksheet(dir / "none.wks")).empty());
  const std::string missing = (dir / "missing.wks").string();
  EXPECT_EQ(std::get<std::string>(ReadWorksheet(missing)), "Ошибка открытия файла " + missing);
}

}  // namespace
}  // namespace nuv
