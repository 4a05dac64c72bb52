#include <gtest/gtest.h>

#include "bulletins/arr_file.h"
#include "bulletins/bulletin_fixture.h"
#include "bulletins/bulletin_time.h"
#include "bulletins/phase_list_formats.h"
#include "platform/time_base.h"

namespace nuv::test {
namespace {

class PhaseFilesTest : public BulletinTest {
 protected:
  const double t0 = CalendarToEpoch(2024, 3, 15, 6, 19, 0.25);
};

TEST_F(PhaseFilesTest, ArrLineColumns) {
  SEISMIC_PHASE p = Phase(3, 0, 0, t0 + 0.5);  // station "AB"
  p.deltim = 0.25;
  p.hasPolarization = 1;
  p.azimuth = -90;
  p.emergence = 33.5f;
  p.hasAmplitude = 1;
  p.amplitude = 0.25f;
  p.period = 2.0f;
  p.firstMotion = 8;
  p.onset = 1;
  const std::string line = FormatArrLine(source(), p, t0);
  ASSERT_EQ(line.size(), 223u);
  EXPECT_EQ(Cols(line, 1, 7), " AB    ");
  EXPECT_EQ(Cols(line, 8, 24), " 1710483540.75000");
  EXPECT_EQ(Cols(line, 35, 41), "2024075");
  EXPECT_EQ(Cols(line, 62, 62), "Z");
  EXPECT_EQ(Cols(line, 71, 71), "P");
  EXPECT_EQ(Cols(line, 82, 87), " 0.250");
  EXPECT_EQ(Cols(line, 89, 95), " 270.00");
  EXPECT_EQ(Cols(line, 121, 127), "  33.50");
  EXPECT_EQ(Cols(line, 137, 146), "     250.0");
  EXPECT_EQ(Cols(line, 148, 154), "   2.00");
  EXPECT_EQ(Cols(line, 156, 162), "   2.10");
  EXPECT_EQ(Cols(line, 166, 166), "r");
  EXPECT_EQ(Cols(line, 180, 180), "i");
  EXPECT_EQ(Cols(line, 182, 188), "NUV 5.2");
}

TEST_F(PhaseFilesTest, ArrExtremeValuesKeepTheColumns) {
  SEISMIC_PHASE p = Phase(0, 0, 0, -1e9);  // 1938
  p.deltim = 123456.0;
  p.hasAmplitude = 1;
  p.amplitude = 1e12f;
  p.period = 1e9f;
  const std::string line = FormatArrLine(source(), p, t0);
  ASSERT_EQ(line.size(), 223u);
  EXPECT_EQ(Cols(line, 8, 24), "-1000000000.00000");
  EXPECT_EQ(Cols(line, 35, 41), "1938114");
  EXPECT_EQ(Cols(line, 82, 87), "-1.000");
  EXPECT_EQ(Cols(line, 137, 146), "      -1.0");
  EXPECT_EQ(Cols(line, 148, 154), "  -1.00");
  EXPECT_EQ(Cols(line, 182, 188), "NUV 5.2");
  const SEISMIC_PHASE future = Phase(0, 0, 0, CalendarToEpoch(2100, 1, 1, 0, 0, 0));
  EXPECT_EQ(Cols(FormatArrLine(source(), future, t0), 35, 41), "2100001");
}

TEST_F(PhaseFilesTest, ArrRoundTripReplacingAndAdding) {
  SEISMIC_PHASE a = Phase(3, 1, 1, t0 + 10.123);  // AB N-S S
  a.deltim = -1;                                  // reads back as 2.0
  a.hasPolarization = 1;
  a.azimuth = -90;  // written 270.00, read back -90
  a.firstMotion = 7;
  a.onset = 0;
  SEISMIC_PHASE b = Phase(0, 0, 0, t0 + 3.5);
  b.hasAmplitude = 1;
  b.amplitude = 0.5f;
  b.period = 1.0f;
  b.firstMotion = 3;  // "-" reads back as 4
  b.onset = 1;
  b.deltim = 0.1;
  SEISMIC_PHASE c = Phase(0, 0, 7, t0 + 1);  // pseudo-phase "N": never defining
  for (const auto& p : {a, b, c}) ws().phases().Add(p);
  const std::string path = (dir.path() / "event.arr").string();
  ASSERT_TRUE(WriteArrFile(source(), path, prompts, t0));
  auto other = MakeWorkstation();
  other->phases().Add(Phase(2, 0, 0, t0));
  BulletinReadResult r = ReadArrFile(*other, path, true);
  ASSERT_TRUE(r.ok) << r.message;
  ASSERT_EQ(other->phases().Count(), 3);
  const SEISMIC_PHASE* ra = other->phases().Find(3, 1, 1);
  const SEISMIC_PHASE* rb = other->phases().Find(0, 0, 0);
  const SEISMIC_PHASE* rc = other->phases().Find(0, 0, 7);
  ASSERT_TRUE(ra && rb && rc);
  EXPECT_NEAR(ra->time, a.time, 1e-5);
  EXPECT_DOUBLE_EQ(ra->deltim, 2.0);
  EXPECT_FLOAT_EQ(ra->azimuth, -90);
  EXPECT_EQ(ra->firstMotion, 7);
  EXPECT_EQ(ra->onset, 0);
  EXPECT_EQ(ra->defining, 1);
  EXPECT_EQ(ra->weight, 1);
  EXPECT_FLOAT_EQ(rb->amplitude, 0.5f);
  EXPECT_FLOAT_EQ(rb->period, 1.0f);
  EXPECT_EQ(rb->firstMotion, 4);
  EXPECT_EQ(rb->onset, 1);
  EXPECT_NEAR(rb->deltim, 0.1, 1e-9);
  EXPECT_EQ(rc->defining, 0);
  r = ReadArrFile(*other, (dir.path() / "event.arr").string(), false);
  EXPECT_EQ(other->phases().Count(), 3);  // same triples replace
  other->phases().RemoveAll();
  other->phases().Add(Phase(2, 0, 0, t0));
  ReadArrFile(*other, path, false);
  EXPECT_EQ(other->phases().Count(), 4);
}

TEST_F(PhaseFilesTest, ArrDamagedLinesFailWholeAndUnknownNamesAreSkipped) {
  ws().phases().Add(Phase(0, 0, 0, t0));
  std::string good = FormatArrLine(source(), *ws().phases().GetAt(0), t0);
  std::string unknownStation = good;
  unknownStation.replace(0, 4, "QQQQ");
  std::string unknownChannel = good;
  unknownChannel.replace(61, 1, "X");
  std::string unknownPhase = good;
  unknownPhase.replace(70, 2, "Px");
  const std::string path =
      dir.WriteFile("mixed.arr", good + "\n" + unknownStation + "\n" + unknownChannel + "\n" +
                                     unknownPhase + "\n\n")
          .string();
  auto other = MakeWorkstation();
  BulletinReadResult r = ReadArrFile(*other, path, true);
  ASSERT_TRUE(r.ok);
  EXPECT_EQ(other->phases().Count(), 1);
  ASSERT_EQ(r.skipped.size(), 3u);
  EXPECT_EQ(r.skipped[0].line, 2);
  EXPECT_EQ(r.skipped[1].line, 3);
  EXPECT_EQ(r.skipped[2].line, 4);
  std::string badTime = good;
  badTime.replace(7, 17, "      garbage    ");
  for (const std::string& text : {good + "\n" + badTime + "\n", good + "\n" + good.substr(0, 30),
                                  std::string("\x01\x02\xff")}) {
    const std::string bad = dir.WriteFile("bad.arr", text).string();
    r = ReadArrFile(*other, bad, true);
    EXPECT_FALSE(r.ok);
    EXPECT_NE(r.message.find("Строка"), std::string::npos);
    EXPECT_EQ(other->phases().Count(), 1);  // nothing replaced
  }
  EXPECT_FALSE(ReadArrFile(*other, (dir.path() / "none.arr").string(), true).ok);
  EXPECT_FALSE(WriteArrFile(source(), (dir.path() / "no" / "x.arr").string(), prompts, t0));
  EXPECT_EQ(prompts.MessageTexts().back(),
            "Ошибка открытия файла  '" + (dir.path() / "no" / "x.arr").string() + "'");
}

TEST_F(PhaseFilesTest, Hypo71Cards) {
  dir.WriteFile("stations.71", "mjar z MJ1\nUSRK BHZ US2\n");
  const auto names = ReadHypo71Stations((dir.path() / "stations.71").string());
  SEISMIC_PHASE p = Phase(0, 0, 0, CalendarToEpoch(2009, 3, 15, 6, 19, 58.567));
  p.onset = 1;
  p.firstMotion = 1;
  p.weight = 2;
  p.hasAmplitude = 1;
  p.amplitude = 0.125f;
  p.period = 0.75f;
  p.coda = 123.456;
  SEISMIC_PHASE s = Phase(0, 0, 1, CalendarToEpoch(2009, 3, 15, 6, 20, 5.2));
  s.onset = 2;
  s.firstMotion = 6;
  s.weight = 3;
  SEISMIC_PHASE other = Phase(2, 0, 0, CalendarToEpoch(2009, 3, 15, 6, 21, 0));
  other.period = 1234.5f;  // does not fit 5 columns
  other.hasAmplitude = 1;
  for (const auto& x : {p, s, other}) ws().phases().Add(x);
  const std::string text = FormatHypo71(source(), names);
  const auto lines = Lines(text);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_NE(text.find("\r\n"), std::string::npos);
  const std::string& a = lines[0];
  ASSERT_EQ(a.size(), 79u);
  EXPECT_EQ(Cols(a, 1, 8), "MJ1 IPD2");
  EXPECT_EQ(Cols(a, 10, 24), "090315061958.56");
  EXPECT_EQ(Cols(a, 25, 29), " 0.75");
  EXPECT_EQ(Cols(a, 32, 40), "65.20 S 3");  // next minute: seconds above 60
  EXPECT_EQ(Cols(a, 44, 47), "12.5");
  EXPECT_EQ(Cols(a, 52, 54), "176");
  EXPECT_EQ(Cols(a, 70, 74), "123.4");
  EXPECT_EQ(Cols(lines[1], 1, 4), "KSRS");
  EXPECT_EQ(Cols(lines[1], 25, 29), "     ");
  EXPECT_TRUE(ReadHypo71Stations((dir.path() / "missing").string()).empty());
}

TEST_F(PhaseFilesTest, KedroAndOdr2) {
  // MJAR: P on Z, S on N-S with an amplitude, both defining; KSRS: only a
  // channel named other than N-S, E-W, Z gives no line.
  ws().stations()[2].channels[0].name = "BHZ";
  SEISMIC_PHASE p = Phase(0, 0, 0, CalendarToEpoch(1999, 3, 15, 6, 19, 58.97));
  p.defining = 1;
  p.onset = 1;
  p.ms = 4.4f;
  SEISMIC_PHASE s = Phase(0, 1, 1, CalendarToEpoch(1999, 3, 15, 6, 20, 30.04));
  s.defining = 1;
  s.hasAmplitude = 1;
  s.amplitude = 1.23456f;
  s.period = 0.8f;
  SEISMIC_PHASE k = Phase(2, 0, 0, CalendarToEpoch(1999, 3, 15, 6, 19, 50));
  k.defining = 1;
  k.mb = 5.1f;
  for (const auto& x : {p, s, k}) ws().phases().Add(x);
  const auto kedro = Lines(FormatKedro(source()));
  ASSERT_EQ(kedro.size(), 5u);
  // No valid origin: the earliest defining P-type time (KSRS) is the reference.
  EXPECT_EQ(kedro[0], "15-03-99");
  EXPECT_EQ(kedro[1], "F 0.00L 0.00T06-19-50.0K");
  EXPECT_EQ(kedro[2], "MJARIP06-19-59.0ES06-20-30.0N-S1.234K");
  EXPECT_EQ(kedro[3], "N-S0.8");
  EXPECT_EQ(kedro[4], "KKK");
  const auto odr2 = Lines(FormatOdr2(source()));
  ASSERT_EQ(odr2.size(), 5u);
  EXPECT_EQ(odr2[0], "150399");
  EXPECT_EQ(odr2[1], "0 33.");
  EXPECT_EQ(odr2[2], "ksrs0619500         Mb 5.1");
  EXPECT_EQ(odr2[3], "mjar0619589         Ms 4.4");
  EXPECT_EQ(odr2[4], "@@@@");
  SetOrigin();
  ws().event().originTime = CalendarToEpoch(1999, 3, 15, 6, 19, 40.55);
  EXPECT_EQ(Lines(FormatOdr2(source()))[2], "ksrs0619500 0619405 Mb 5.1");
  EXPECT_EQ(Lines(FormatKedro(source()))[1], "F42.70L74.60T06-19-40.5K");
}

}  // namespace
}  // namespace nuv::test
