#include "bulletins/ims_writer.h"

#include <gtest/gtest.h>

#include "bulletins/bulletin_apply.h"
#include "bulletins/bulletin_fixture.h"
#include "platform/text_codec.h"
#include "platform/time_base.h"

namespace nuv::test {
namespace {

class ImsWriterTest : public BulletinTest {
 protected:
  std::vector<std::string> Write() { return Lines(FormatRebBulletin(source())); }
  // The arrival lines (after the arrival header) of the REB or the standard layout.
  std::vector<std::string> Arrivals(bool standard = false) {
    std::vector<std::string> lines = standard ? Lines(FormatIms1Bulletin(source())) : Write(), out;
    bool in = false;
    for (const std::string& line : lines) {
      if (in && !line.empty() && line != "STOP") out.push_back(line);
      if (line.rfind("Sta ", 0) == 0) in = true;
    }
    return out;
  }
};

TEST_F(ImsWriterTest, LineLengthsAndHeadersStayInTheirColumns) {
  SetOrigin();
  ws().phases().Add(Phase(0, 0, 0, ws().event().originTime + 100));
  const auto lines = Write();
  ASSERT_GE(lines.size(), 10u);
  EXPECT_EQ(lines[0],
            "\t\t\tNUV - REB    Event 20240315061900           origin time  03/15/24 "
            "06:19:00.250");
  EXPECT_EQ(lines[1].size(), 80u);
  // An identifier longer than 8 characters is written whole, the comment after it.
  EXPECT_EQ(lines[1], "EVENT 20240315061900 KYRGYZSTAN" + std::string(80 - 31, ' '));
  EXPECT_EQ(lines[2].size(), 136u);
  EXPECT_EQ(Cols(lines[2], 37, 44), "Latitude");
  EXPECT_EQ(Cols(lines[2], 131, 136), "OrigID");
  const std::string& origin = lines[3];
  EXPECT_EQ(origin.size(), 136u);
  EXPECT_EQ(Cols(origin, 1, 22), "2024/03/15 06:19:00.25");
  EXPECT_EQ(Cols(origin, 37, 44), " 42.7000");
  EXPECT_EQ(Cols(origin, 46, 54), "  74.6000");
  EXPECT_EQ(Cols(origin, 72, 76), " 15.0");
  EXPECT_EQ(Cols(origin, 112, 112), "m");
  EXPECT_EQ(Cols(origin, 119, 125), "RADIVOZ");
  EXPECT_EQ(Cols(origin, 129, 136), "    4711");
  EXPECT_EQ(lines[5].size(), 38u);  // magnitude header
  const auto arrivals = Arrivals();
  ASSERT_EQ(arrivals.size(), 1u);
  EXPECT_EQ(arrivals[0].size(), 122u);
  EXPECT_EQ(Cols(arrivals[0], 1, 5), "MJAR ");
  EXPECT_EQ(Cols(arrivals[0], 20, 27), "P       ");
  EXPECT_EQ(Cols(arrivals[0], 29, 39), "06:20:40.25");
  EXPECT_EQ(Cols(arrivals[0], 74, 76), "___");
}

TEST_F(ImsWriterTest, WithoutOriginTheOriginLineIsBlankAndTheTitleShowsTheEpoch) {
  ws().event().eventId = PadEventId("X");
  ws().event().orid = -1;
  ws().event().eventComment = "NOTHING";
  ws().phases().Add(Phase(0, 0, 0, 1000));
  const auto lines = Write();
  EXPECT_NE(lines[0].find("origin time  01/01/70 00:00:00.000"), std::string::npos);
  EXPECT_EQ(lines[1], "EVENT          NOTHING" + std::string(80 - 22, ' '));
  EXPECT_EQ(lines[3], std::string(136, ' '));
  const auto arrivals = Arrivals();
  ASSERT_EQ(arrivals.size(), 1u);
  EXPECT_EQ(Cols(arrivals[0], 7, 18), std::string(12, ' '));
}

TEST_F(ImsWriterTest, ArrivalColumnsMagnitudesAndOrder) {
  SetOrigin();
  const double t0 = ws().event().originTime;
  SEISMIC_PHASE far = Phase(0, 0, 0, t0 + 300);
  far.distance = 12.5f;
  far.hasAmplitude = 1;
  far.amplitude = 0.0125f;
  far.period = 1.5f;
  far.mb = 4.2f;
  far.ms = 3.9f;
  far.defining = 1;
  far.firstMotion = 5;
  far.onset = 1;
  far.arid = 77;
  far.hasResidual = 1;
  far.residual = -1.25f;
  SEISMIC_PHASE near = Phase(1, 0, 0, t0 + 200);
  near.distance = 3.0f;
  near.ml = 2.1f;
  near.onset = 2;
  near.firstMotion = 6;
  SEISMIC_PHASE none = Phase(2, 0, 0, t0 + 10);  // no distance: last
  none.distance = -1;
  for (const auto& p : {far, near, none}) ws().phases().Add(p);
  const auto a = Arrivals();
  ASSERT_EQ(a.size(), 3u);
  EXPECT_EQ(Cols(a[0], 1, 4), "USRK");
  EXPECT_EQ(Cols(a[1], 1, 4), "MJAR");
  EXPECT_EQ(Cols(a[2], 1, 4), "KSRS");
  EXPECT_EQ(Cols(a[1], 7, 12), " 12.50");
  EXPECT_EQ(Cols(a[1], 42, 46), " -1.2");
  EXPECT_EQ(Cols(a[1], 74, 76), "T__");
  EXPECT_EQ(Cols(a[1], 84, 92), "     12.5");
  EXPECT_EQ(Cols(a[1], 94, 98), " 1.50");
  EXPECT_EQ(Cols(a[1], 100, 102), "mci");
  EXPECT_EQ(Cols(a[1], 104, 113), "mb     4.2");
  EXPECT_EQ(Cols(a[1], 115, 122), "      77");
  EXPECT_EQ(Cols(a[0], 100, 102), "mdq");
  EXPECT_EQ(Cols(a[0], 104, 113), "ML     2.1");
  // KSRS has no distance of its own: the one from the station's coordinates.
  EXPECT_NE(Cols(a[2], 7, 12), std::string(6, ' '));
  // Magnitude block: mean and population deviation over the phases.
  const auto lines = Write();
  bool mb = false, ml = false;
  for (const auto& line : lines) {
    if (line.rfind("mb", 0) == 0) {
      mb = true;
      EXPECT_EQ(Cols(line, 7, 19), " 4.2 0.0    1");
    }
    if (line.rfind("ML", 0) == 0) ml = true;
  }
  EXPECT_TRUE(mb);
  EXPECT_TRUE(ml);
}

TEST_F(ImsWriterTest, ExtremeValuesNeverShiftTheColumns) {
  SetOrigin();
  CurrentEvent& e = ws().event();
  e.originDepth = 700;
  e.originLon = -179.9999f;
  e.originLat = -89.9999f;
  e.orid = 2000000000;
  e.ellipse.major = 12345.6f;  // does not fit 4 columns: blank
  e.ellipse.minor = 3.5f;
  e.ellipse.direction = 45;
  for (double t : {CalendarToEpoch(2045, 12, 31, 23, 59, 59.996), -157766400.0 /* 1965 */}) {
    ws().phases().RemoveAll();
    e.originTime = t;
    SEISMIC_PHASE p = Phase(0, 0, 0, t + 0.004);
    p.distance = 123456.0f;  // wider than the Dist column
    p.hasResidual = 1;
    p.residual = -1234.5f;
    p.hasAmplitude = 1;
    p.amplitude = 5e9f;
    p.period = 12.5f;
    p.ms = -1;
    p.mb = -1;
    p.arid = 2000000000;
    ws().phases().Add(p);
    const auto lines = Write();
    const std::string& origin = lines[3];
    ASSERT_EQ(origin.size(), 136u);
    EXPECT_EQ(Cols(origin, 46, 54), "-179.9999");
    EXPECT_EQ(Cols(origin, 37, 44), "-89.9999");
    EXPECT_EQ(Cols(origin, 72, 76), "700.0");
    EXPECT_EQ(Cols(origin, 57, 60), "    ");
    EXPECT_EQ(Cols(origin, 62, 66), "  3.5");
    EXPECT_EQ(Cols(origin, 129, 136), "        ");  // ids are never cut: 10 digits do not fit
    const auto a = Arrivals();
    ASSERT_EQ(a.size(), 1u);
    EXPECT_EQ(a[0].size(), 122u);
    EXPECT_EQ(Cols(a[0], 7, 12), "      ");
    EXPECT_EQ(Cols(a[0], 42, 46), "     ");
    EXPECT_EQ(Cols(a[0], 84, 92), "         ");
    EXPECT_EQ(Cols(a[0], 94, 98), "12.50");
    EXPECT_EQ(Cols(a[0], 100, 100), "m");
    EXPECT_EQ(Cols(a[0], 104, 113), "          ");
  }
  // 2045-12-31 23:59:59.996 rounds up into the next year, never to ".100".
  e.originTime = CalendarToEpoch(2045, 12, 31, 23, 59, 59.996);
  EXPECT_EQ(Cols(Write()[3], 1, 22), "2046/01/01 00:00:00.00");
}

TEST_F(ImsWriterTest, MagnitudeZeroCountsInTheBlockButNotInTheArrival) {
  SetOrigin();
  SEISMIC_PHASE p = Phase(0, 0, 0, ws().event().originTime + 50);
  p.mb = 0;
  ws().phases().Add(p);
  const auto lines = Write();
  int mbLines = 0;
  for (const auto& line : lines) mbLines += line.rfind("mb ", 0) == 0;
  EXPECT_EQ(mbLines, 1);
  EXPECT_EQ(Cols(Arrivals()[0], 104, 113), std::string(10, ' '));
}

// The standard short bulletin: the message envelope, the standard headers
// and columns, times in milliseconds; the program's reader takes it back
// under the event's own identifier.
TEST_F(ImsWriterTest, StandardBulletinReadsBack) {
  SetOrigin();
  ws().event().eventComment = "Кыргызстан, северный район — очень длинное описание места";
  const double t0 = ws().event().originTime;
  SEISMIC_PHASE p = Phase(0, 0, 0, t0 + 100.1234);
  p.distance = 3.5f;
  p.defining = 1;
  p.hasResidual = 1;
  p.residual = 0.3f;
  p.mb = 4.4f;
  p.arid = 12;
  ws().phases().Add(p);
  SEISMIC_PHASE s = Phase(0, 1, 1, t0 + 170.5);
  s.distance = 3.5f;
  ws().phases().Add(s);
  const std::string text = FormatIms1Bulletin(source());
  const auto lines = Lines(text);
  ASSERT_GE(lines.size(), 16u);
  EXPECT_EQ(lines[0], "BEGIN IMS1.0");
  EXPECT_EQ(lines[1], "MSG_TYPE DATA");
  EXPECT_EQ(lines[2], "MSG_ID 20240315061900 NUV");
  EXPECT_EQ(lines[3], "DATA_TYPE BULLETIN IMS1.0:short");
  EXPECT_EQ(lines.back(), "STOP");
  size_t event = 0;
  while (event < lines.size() && lines[event].rfind("EVENT", 0) != 0) ++event;
  ASSERT_LT(event + 4, lines.size());
  // The origin id as the 8-column event number, the region from column 16
  // (cut on a character, never inside one), the identifier in a comment.
  EXPECT_EQ(Cols(lines[event], 1, 15), "EVENT     4711 ");
  EXPECT_EQ(lines[event].rfind("Кыргызстан, северный район", 15), 15u);
  EXPECT_LE(lines[event].size(), 80u);
  EXPECT_TRUE(IsValidUtf8(lines[event]));
  EXPECT_EQ(lines[event + 1], " (NUV EVENTID 20240315061900)");
  EXPECT_EQ(lines[event + 2],
            "   Date       Time        Err   RMS Latitude Longitude  Smaj  Smin  Az Depth   Err "
            "Ndef Nsta Gap  mdist  Mdist Qual   Author      OrigID");
  EXPECT_EQ(Cols(lines[event + 3], 1, 22), "2024/03/15 06:19:00.25");
  EXPECT_EQ(Cols(lines[event + 3], 112, 112), "m");
  EXPECT_EQ(lines[event + 5], "Magnitude  Err Nsta Author      OrigID");
  const auto arrivals = Arrivals(true);
  ASSERT_EQ(arrivals.size(), 2u);
  EXPECT_EQ(Cols(arrivals[0], 29, 40), "06:20:40.373");
  EXPECT_EQ(Cols(arrivals[0], 74, 76), "T__");
  EXPECT_EQ(Cols(arrivals[0], 104, 113), "mb     4.4");
  EXPECT_EQ(Cols(arrivals[0], 115, 122), "      12");

  const std::string path = dir.WriteFile("ims1.txt", text).string();
  auto other = MakeWorkstation();
  const BulletinReadResult r = ReadImsEvent(*other, path, "4711", false);
  ASSERT_TRUE(r.ok) << r.message;
  EXPECT_TRUE(r.skipped.empty());
  EXPECT_EQ(other->event().eventId, PadEventId("20240315061900"));
  EXPECT_EQ(other->event().orid, 4711);
  EXPECT_NEAR(other->event().originTime, t0, 0.005);
  ASSERT_EQ(other->phases().Count(), 2);
  EXPECT_NEAR(other->phases().Find(0, 0, 0)->time, p.time, 0.0005);
  EXPECT_EQ(other->phases().Find(0, 0, 0)->defining, 1);
  EXPECT_NEAR(other->phases().Find(0, 1, 1)->time, s.time, 0.0005);
  // The layout of this system's own bulletin is not touched by the standard one.
  EXPECT_EQ(Write()[0].rfind("\t\t\tNUV - REB", 0), 0u);
}

TEST_F(ImsWriterTest, UnwritableFileBeeps) {
  EXPECT_FALSE(WriteRebFile(source(), (dir.path() / "missing" / "x.txt").string(), prompts));
  ASSERT_FALSE(prompts.records.empty());
  EXPECT_EQ(prompts.records.back().kind, "beep");
}

}  // namespace
}  // namespace nuv::test
