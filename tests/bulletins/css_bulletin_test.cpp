#include <gtest/gtest.h>

#include <cmath>

#include "bulletins/bulletin_fixture.h"
#include "bulletins/css_export.h"
#include "bulletins/css_records.h"
#include "bulletins/fixed_columns.h"
#include "platform/strformat.h"
#include "platform/time_base.h"

namespace nuv::test {
namespace {

// The blank-separated fields of a record.
std::vector<std::string> Fields(const std::string& line) {
  return SplitWords(line);
}

class CssBulletinTest : public BulletinTest {
 protected:
  std::string Read(const std::string& name) { return TempDir::ReadFile(dir.path() / name); }
};

TEST_F(CssBulletinTest, CurrentEventWithoutOriginWritesNullsWithCounts) {
  SEISMIC_PHASE p = Phase(0, 0, 0, 1.7e9);
  p.defining = 1;
  ws().phases().Add(p);
  ws().phases().Add(Phase(0, 1, 1, 1.7e9 + 10));
  const CssExportResult r = ExportCurrentEvent(source(), dir.path().string(), -5, 1.7e9);
  ASSERT_TRUE(r.ok) << r.message;
  EXPECT_EQ(r.message, "Файлы успешно сохранены");
  const auto origin = Fields(Read("1.Origin"));
  ASSERT_EQ(origin.size(), 26u);  // lddate holds a blank
  EXPECT_EQ(origin[0], "-999.0000");
  EXPECT_EQ(origin[3], "-999999999.99900");
  EXPECT_EQ(origin[4], "1");  // orid below 1 written as 1
  EXPECT_EQ(origin[7], "2");  // nass
  EXPECT_EQ(origin[8], "1");  // ndef
  EXPECT_EQ(origin[9], "0");  // ndp
  EXPECT_EQ(origin[12], "-");
  EXPECT_EQ(origin[21], "-");    // algorithm without origin
  EXPECT_EQ(origin[22], "NUV");  // auth
  EXPECT_EQ(Lines(Read("1.Arrival")).size(), 2u);
  EXPECT_EQ(Lines(Read("1.Assoc")).size(), 2u);
  EXPECT_TRUE(Read("1.Stamag").empty());
  EXPECT_TRUE(Read("1.Amplitude").empty());
}

TEST_F(CssBulletinTest, RecordsOfOnePhase) {
  SetOrigin();
  ws().event().eventMb = 4.4f;
  SEISMIC_PHASE p = Phase(0, 1, 1, CalendarToEpoch(2024, 3, 15, 6, 20, 0.5));
  p.firstMotion = 5;
  p.onset = 2;
  p.weight = 1;
  p.deltim = 0.125;
  p.hasPolarization = 1;
  p.azimuth = -30;
  p.emergence = 20;
  p.hasAmplitude = 1;
  p.amplitude = 0.25f;
  p.period = 0.5f;
  p.ampTime = p.time + 1;
  p.distance = 2.5f;
  p.mb = 4.5f;
  p.ml = 3.2f;
  ws().phases().Add(p);
  const CssExportResult r = ExportCurrentEvent(source(), dir.path().string(), 12, 1.7e9);
  ASSERT_TRUE(r.ok);
  const auto origin = Fields(Read("12.Origin"));
  EXPECT_EQ(origin[0], "42.7000");
  EXPECT_EQ(origin[6], "2024075");
  EXPECT_EQ(origin[15], "4.40");   // mb
  EXPECT_EQ(origin[17], "-1.00");  // ms unknown
  EXPECT_EQ(origin[21], "NUV");
  const std::string arrivalLine = Read("12.Arrival");
  const auto arrival = Fields(arrivalLine);
  EXPECT_EQ(arrival[0], "MJAR");
  EXPECT_EQ(arrival[2], "1");  // arid = position
  EXPECT_EQ(arrival[6], "n-s");
  EXPECT_EQ(arrival[7], "S");
  EXPECT_EQ(arrival[9], "0.125");
  EXPECT_EQ(arrival[10], "330.00");
  EXPECT_EQ(arrival[14], "20.00");
  EXPECT_EQ(arrival[16], "250.0");
  EXPECT_EQ(arrival[18], StrFormat("%.2f", std::log10(250.0 / 0.5)));
  EXPECT_EQ(arrival[20], "c.");
  EXPECT_EQ(arrival[22], "w");
  EXPECT_EQ(Cols(arrivalLine, 1, 7), "MJAR   ");
  const auto assoc = Fields(Read("12.Assoc"));
  EXPECT_EQ(assoc[1], "12");
  EXPECT_EQ(assoc[5], "2.500");
  EXPECT_EQ(assoc[6], "330.00");
  EXPECT_EQ(assoc[9], "d");
  EXPECT_EQ(assoc[15], "0.800");  // weight 1 of 0..4
  const auto stamag = Fields(Read("12.Stamag"));
  EXPECT_EQ(stamag[6], "ML");  // the last magnitude present wins
  EXPECT_EQ(stamag[7], "3.20");
  EXPECT_EQ(stamag[3], "12");
  const auto amplitude = Fields(Read("12.Amplitude"));
  EXPECT_EQ(amplitude[3], "N-S");  // as stored
  EXPECT_EQ(amplitude[4], "250.00");
  EXPECT_EQ(amplitude[12], "nm");
  EXPECT_EQ(amplitude[14], "y");
}

TEST_F(CssBulletinTest, OnlyLocalMagnitudeGivesNoStamagAndUnknownMotionIsDash) {
  SEISMIC_PHASE p = Phase(0, 0, 0, 1.7e9);
  p.ml = 2.0f;
  p.firstMotion = 0;  // "U"
  const std::string lddate = CssLddate(1.7e9);
  EXPECT_EQ(FormatCssStamag(source(), p, 1, {}, lddate), "");
  EXPECT_EQ(Fields(FormatCssArrival(source(), p, 1, {}, lddate))[20], "-");
  EXPECT_EQ(FormatCssAmplitude(source(), p, 1, {}, lddate), "");
  p.hasAmplitude = 1;  // a measurement without a period: no amplitude in the database export
  CssPhaseOptions database;
  database.needPositiveAmplitude = true;
  database.qualByOnset = false;
  EXPECT_EQ(FormatCssAmplitude(source(), p, 1, database, lddate), "");
  p.onset = 3;
  EXPECT_EQ(Fields(FormatCssArrival(source(), p, 1, database, lddate))[22], "e");
  EXPECT_EQ(Fields(FormatCssArrival(source(), p, 1, {}, lddate))[22], "-");
}

TEST_F(CssBulletinTest, ExtremeValuesBecomeNullsAndKeepTheWidths) {
  CssOrigin o;
  o.lat = -89.99;
  o.lon = -179.99;
  o.depth = 700;
  o.time = CalendarToEpoch(1965, 1, 1, 0, 0, 0);
  o.nass = 123456;  // four columns
  o.mb = -1;
  o.orid = 1234567890;
  const std::string line = FormatCssOrigin(o, "00:00:00 01.01.24");
  const auto f = Fields(line);
  EXPECT_EQ(f[0], "-89.9900");
  EXPECT_EQ(f[1], "-179.9900");
  EXPECT_EQ(f[2], "700.0000");
  EXPECT_EQ(f[3], "-157766400.00000");
  EXPECT_EQ(f[4], "-1");
  EXPECT_EQ(f[7], "-1");
  const CssOrigin nulls;
  EXPECT_EQ(line.size(), FormatCssOrigin(nulls, "00:00:00 01.01.24").size());
  SEISMIC_PHASE p = Phase(0, 0, 0, CalendarToEpoch(2045, 6, 1, 0, 0, 0));
  const std::string plain = FormatCssArrival(source(), p, 1, {}, "x");
  p.deltim = 1e7;
  p.hasAmplitude = 1;
  p.amplitude = 1e12f;
  p.period = 1e8f;
  p.distance = 1e9f;
  const std::string wide = FormatCssArrival(source(), p, 1, {}, "x");
  EXPECT_EQ(wide.size(), plain.size());
  EXPECT_EQ(Fields(wide)[3], "2045152");
  EXPECT_EQ(Fields(wide)[9], "-1.000");
  EXPECT_EQ(FormatCssAssoc(source(), p, 1, {}, "x").size(),
            FormatCssAssoc(source(), Phase(0, 0, 0, 0), 1, {}, "x").size());
}

TEST_F(CssBulletinTest, UncreatableFileStopsTheExport) {
  ws().phases().Add(Phase(0, 0, 0, 1.7e9));
  const CssExportResult r =
      ExportCurrentEvent(source(), (dir.path() / "missing").string(), 3, 1.7e9);
  EXPECT_FALSE(r.ok);
  EXPECT_EQ(r.message, "Ошибка открытия файла: " + (dir.path() / "missing/3.Origin").string());
}

}  // namespace
}  // namespace nuv::test
