#include "bulletins/ims_reader.h"

#include <gtest/gtest.h>

#include "bulletins/bulletin_apply.h"
#include "bulletins/bulletin_fixture.h"
#include "bulletins/bulletin_time.h"
#include "bulletins/fixed_columns.h"
#include "bulletins/ims_writer.h"

namespace nuv::test {
namespace {

const std::string kAgencyFile = std::string(NUV_TEST_DATA_DIR) + "/bulletins/isc_short.txt";

bool HasSkipped(const BulletinReadResult& r, int line, const std::string& reasonPart) {
  for (const auto& s : r.skipped)
    if (s.line == line && s.reason.find(reasonPart) != std::string::npos) return true;
  return false;
}

class ImsReaderTest : public BulletinTest {};

TEST_F(ImsReaderTest, EventLinesAndTheEventList) {
  std::string id, comment;
  ParseEventLine("EVENT 12345678 SOUTHERN ALASKA\r", id, comment);
  EXPECT_EQ(id, "12345678");
  EXPECT_EQ(comment, "SOUTHERN ALASKA");
  // Longer identifiers (ISC's nine digits, this system's twenty) stay whole.
  ParseEventLine("EVENT  123456789XYZ", id, comment);
  EXPECT_EQ(id, "123456789XYZ");
  EXPECT_EQ(comment, "");
  ParseEventLine("EVENT 20240315061900 KYRGYZSTAN, NORTH    \r", id, comment);
  EXPECT_EQ(id, "20240315061900");
  EXPECT_EQ(comment, "KYRGYZSTAN, NORTH");
  ParseEventLine("EVENT", id, comment);
  EXPECT_EQ(id, "");
  EXPECT_EQ(comment, "");
  const auto events = ListImsEvents(
      "EVENT 1 ONE\n EVENT 2 TWO\nEVENT WEIGHT=3\nEVENT 4 FINISH  \nEVENTS 5 X\nEvent 6 SIX\n");
  ASSERT_EQ(events.size(), 3u);
  EXPECT_EQ(events[0].identifier, "1");
  EXPECT_EQ(events[1].comment, "TWO");
  EXPECT_EQ(events[2].identifier, "6");
  EXPECT_EQ(events[2].line, 6);
  const auto agency = ListImsEvents(*ReadWholeFile(kAgencyFile));
  ASSERT_EQ(agency.size(), 2u);
  EXPECT_EQ(agency[0].identifier, "14235698");
  EXPECT_EQ(agency[0].comment, "NEAR S. COAST OF WESTERN HONSHU");
  EXPECT_EQ(agency[1].comment, "NEAR COAST OF PERU");
}

TEST_F(ImsReaderTest, AgencyBulletinTakesThePrimeOriginAndReportsWhatItSkipped) {
  const BulletinReadResult r = ReadImsEvent(ws(), kAgencyFile, "14235698", false);
  ASSERT_TRUE(r.ok) << r.message;
  const CurrentEvent& e = ws().event();
  EXPECT_EQ(e.eventId, PadEventId("14235698"));
  EXPECT_EQ(e.eventComment, "NEAR S. COAST OF WESTERN HONSHU");
  EXPECT_EQ(e.originValid, 1);
  EXPECT_FLOAT_EQ(e.originLat, 33.07f);
  EXPECT_FLOAT_EQ(e.originLon, 136.62f);
  EXPECT_FLOAT_EQ(e.originDepth, 14.0f);
  EXPECT_FALSE(e.fixDepth);
  EXPECT_EQ(e.orid, 7104535);
  EXPECT_FLOAT_EQ(e.ellipse.major, 3.7f);
  EXPECT_FLOAT_EQ(e.ellipse.minor, 2.9f);
  EXPECT_FLOAT_EQ(e.ellipse.direction, 72);
  EXPECT_FLOAT_EQ(e.ellipse.depthError, 2.1f);
  EXPECT_DOUBLE_EQ(e.originTime, BulletinEpoch(2004, 9, 5, 10, 7, 7.95f));
  EXPECT_EQ(e.eventMb, kNoMagnitude);
  // MJAR P, MJAR S on its N-S channel, USRK P on both vertical channels,
  // KSRS S on the only channel KSRS has.
  ASSERT_EQ(ws().phases().Count(), 5);
  EXPECT_EQ(r.phasesAdded, 5);
  EXPECT_NE(ws().phases().Find(2, 0, 1), nullptr);
  const SEISMIC_PHASE* p = ws().phases().Find(0, 0, 0);
  ASSERT_NE(p, nullptr);
  EXPECT_NEAR(p->time, BulletinEpoch(2004, 9, 5, 10, 7, 39.5), 1e-3);
  EXPECT_FLOAT_EQ(p->amplitude, 1.2345f);
  EXPECT_FLOAT_EQ(p->period, 0.85f);
  EXPECT_EQ(p->hasAmplitude, 1);
  EXPECT_FLOAT_EQ(p->residual, -0.3f);
  EXPECT_FLOAT_EQ(p->azimuth, 52.0f);
  EXPECT_FLOAT_EQ(p->slowness, 12.1f);
  EXPECT_FLOAT_EQ(p->distance, 2.31f);
  EXPECT_FLOAT_EQ(p->mb, 6.9f);
  EXPECT_EQ(p->defining, 1);
  EXPECT_EQ(p->onset, 1);
  EXPECT_EQ(p->firstMotion, 4);
  EXPECT_EQ(p->weight, 2);
  EXPECT_EQ(p->arid, 800001);
  EXPECT_NE(ws().phases().Find(0, 1, 1), nullptr);
  EXPECT_NE(ws().phases().Find(1, 0, 0), nullptr);
  EXPECT_NE(ws().phases().Find(1, 1, 0), nullptr);
  EXPECT_EQ(ws().phases().Find(1, 1, 0)->onset, 2);  // "acq": quality q
  // What was left out, with line numbers.
  EXPECT_TRUE(HasSkipped(r, 9, "другое решение"));
  EXPECT_TRUE(HasSkipped(r, 12, "другое решение"));
  EXPECT_TRUE(HasSkipped(r, 25, "комментарий"));
  EXPECT_TRUE(HasSkipped(r, 26, "фаза Sn неизвестна"));
  ASSERT_EQ(r.notes.size(), 1u);
  EXPECT_EQ(r.notes[0].line, 27);
  EXPECT_EQ(r.notes[0].reason, "у станции KSRS нет канала для фазы S: фаза помещена на канал Z");
  EXPECT_TRUE(HasSkipped(r, 28, "станция XXXXX неизвестна"));
  EXPECT_TRUE(HasSkipped(r, 29, "нет времени"));
  EXPECT_TRUE(HasSkipped(r, 30, "фаза LR неизвестна"));
  for (size_t i = 1; i < r.skipped.size(); ++i) EXPECT_LE(r.skipped[i - 1].line, r.skipped[i].line);
}

// An older ISC bulletin: upper-case names, first arrivals marked with '*',
// a station with only a vertical channel, a line without a phase name.
TEST_F(ImsReaderTest, OldAgencyPhaseNamesAndMissingComponents) {
  const std::string path = std::string(NUV_TEST_DATA_DIR) + "/bulletins/isc_old_names.txt";
  ASSERT_EQ(ListImsEvents(*ReadWholeFile(path)).front().identifier, "600516548");
  const BulletinReadResult r = ReadImsEvent(ws(), path, "600516548", false);
  ASSERT_TRUE(r.ok) << r.message;
  const std::pair<int, int> expected[] = {{0, 0}, {0, 6}, {0, 2},
                                          {1, 6}, {2, 1}, {0, 8}};  // (station, type) on slot 0
  for (const auto& [station, type] : expected)
    EXPECT_NE(ws().phases().Find(station, 0, type), nullptr) << station << " " << type;
  EXPECT_NE(ws().phases().Find(1, 1, 6), nullptr);  // USRK's second vertical
  EXPECT_EQ(ws().phases().Count(), 7);
  ASSERT_NE(ws().phases().Find(2, 0, 1), nullptr);
  EXPECT_EQ(ws().phases().Find(2, 0, 1)->defining, 1);
  EXPECT_TRUE(HasSkipped(r, 14, "фаза SN неизвестна"));
  EXPECT_TRUE(HasSkipped(r, 16, "фаза Pp неоднозначна: pP PP"));
  EXPECT_TRUE(HasSkipped(r, 17, "нет названия фазы"));
  EXPECT_EQ(r.skipped.size(), 3u);
  // Each remark once, at its first line.
  std::vector<std::string> notes;
  for (const SkippedLine& n : r.notes) notes.push_back(std::to_string(n.line) + " " + n.reason);
  EXPECT_EQ(notes, (std::vector<std::string>{
                       "9 фаза P* прочитана как P", "10 фаза PN прочитана как Pn",
                       "11 фаза PG прочитана как Pg", "13 фаза S* прочитана как S",
                       "13 у станции KSRS нет канала для фазы S: фаза помещена на канал Z",
                       "15 фаза PCP прочитана как PcP"}));
}

TEST_F(ImsReaderTest, StartingAtAListedEventGivesTheSameReading) {
  const std::string text = *ReadWholeFile(kAgencyFile);
  const auto entries = ListImsEvents(text);
  for (const ImsEventEntry& entry : entries) {
    const ImsEventText whole = ParseBulletinEvent(text, entry.identifier, BulletinLayout::Ims);
    const ImsEventText hinted =
        ParseBulletinEvent(text, entry.identifier, BulletinLayout::Ims, &entry);
    ASSERT_EQ(whole.arrivals.size(), hinted.arrivals.size());
    for (size_t i = 0; i < whole.arrivals.size(); ++i)
      EXPECT_EQ(whole.arrivals[i].line, hinted.arrivals[i].line);
    ASSERT_EQ(whole.skipped.size(), hinted.skipped.size());
    for (size_t i = 0; i < whole.skipped.size(); ++i)
      EXPECT_EQ(whole.skipped[i].line, hinted.skipped[i].line);
    EXPECT_EQ(whole.origin.line, hinted.origin.line);
  }
}

TEST_F(ImsReaderTest, ArrivalAfterMidnightGoesToTheNextDay) {
  const BulletinReadResult r = ReadImsEvent(ws(), kAgencyFile, "14235701", false);
  ASSERT_TRUE(r.ok) << r.message;
  ASSERT_EQ(ws().phases().Count(), 1);
  EXPECT_NEAR(ws().phases().GetAt(0)->time, BulletinEpoch(2004, 9, 6, 0, 0, 5), 1e-3);
  EXPECT_FLOAT_EQ(ws().event().originLon, -77.25f);
}

TEST_F(ImsReaderTest, WriteThenReadGivesTheSameEvent) {
  SetOrigin();
  const double t0 = ws().event().originTime;
  SEISMIC_PHASE a = Phase(0, 0, 0, t0 + 61.37);
  a.defining = 1;
  a.hasAmplitude = 1;
  a.amplitude = 0.0125f;
  a.period = 0.5f;
  a.firstMotion = 5;
  a.onset = 1;
  a.hasResidual = 1;
  a.residual = 0.4f;
  a.hasPolarization = 1;
  a.azimuth = 123.4f;
  a.hasSlowness = 1;
  a.slowness = 8.5f;
  a.distance = 4.25f;
  a.mb = 4.5f;
  a.arid = 31;
  SEISMIC_PHASE b = Phase(0, 1, 1, t0 + 110.04);
  b.firstMotion = 6;
  b.onset = 2;
  b.ml = 3.0f;
  b.arid = 32;
  ws().phases().Add(a);
  ws().phases().Add(b);
  ws().event().eventId = PadEventId("20240315");
  const std::string path = (dir.path() / "reb.txt").string();
  ASSERT_TRUE(WriteRebFile(source(), path, prompts));
  auto other = MakeWorkstation();
  const BulletinReadResult r = ReadImsEvent(*other, path, "20240315", false);
  ASSERT_TRUE(r.ok) << r.message;
  EXPECT_TRUE(r.skipped.empty());
  const CurrentEvent& e = other->event();
  EXPECT_NEAR(e.originLat, 42.70, 1e-4);
  EXPECT_NEAR(e.originLon, 74.60, 1e-4);
  EXPECT_NEAR(e.originDepth, 15.0, 0.05);
  EXPECT_NEAR(e.originTime, t0, 0.005);
  EXPECT_EQ(e.orid, 4711);
  EXPECT_EQ(e.eventComment, "KYRGYZSTAN");
  ASSERT_EQ(other->phases().Count(), 2);
  const SEISMIC_PHASE* ra = other->phases().Find(0, 0, 0);
  const SEISMIC_PHASE* rb = other->phases().Find(0, 1, 1);
  ASSERT_TRUE(ra && rb);
  EXPECT_NEAR(ra->time, a.time, 0.005);
  EXPECT_NEAR(rb->time, b.time, 0.005);
  EXPECT_EQ(ra->defining, 1);
  EXPECT_EQ(rb->defining, 0);
  EXPECT_NEAR(ra->amplitude, a.amplitude, 1e-4);
  EXPECT_NEAR(ra->period, 0.5, 1e-6);
  EXPECT_EQ(ra->firstMotion, 5);
  EXPECT_EQ(rb->firstMotion, 6);
  EXPECT_EQ(ra->onset, 1);
  EXPECT_EQ(rb->onset, 2);
  EXPECT_NEAR(ra->residual, 0.4, 0.05);
  EXPECT_NEAR(ra->azimuth, 123.4, 0.05);
  EXPECT_NEAR(ra->slowness, 8.5, 0.05);
  EXPECT_NEAR(ra->distance, 4.25, 0.005);
  EXPECT_NEAR(ra->mb, 4.5, 0.05);
  EXPECT_NEAR(rb->ml, 3.0, 0.05);
  EXPECT_EQ(ra->arid, 31);
  EXPECT_EQ(rb->arid, 32);
}

TEST_F(ImsReaderTest, FailedReadingsChangeNothing) {
  SetOrigin();
  ws().phases().Add(Phase(0, 0, 0, ws().event().originTime + 60));
  const std::string before = FormatRebBulletin(source());
  const std::string header =
      "EVENT 1 X\n   Date       Time        Err   RMS Latitude Longitude  Smaj\n";
  const std::string arrivals = "\nSta     Dist  EvAz Phase        Time\n";
  const std::pair<std::string, std::string> cases[] = {
      {"", "не найдено"},
      {"EVENT 2 OTHER\n", "не найдено"},
      {"EVENT 1 X\n", "нет строки начала"},
      {header, "нет строки начала"},
      {header + "2024/13/45 99:99:99.99 garbage\n" + arrivals, "нет строки начала"},
      {header + "2024/03/15 06:19:00.00        0.1   abc\n" + arrivals, "нет строки начала"},
      {header + "2024/03/15 06:19:00.00                42.7000   74.6000\n", "нет списка"},
      {header + "2024/03/15 06:19:00.00                42.7000   74.6000\nEVENT 2 Y\n" + arrivals,
       "нет списка"},
      {std::string("EVENT 1 X\n\0\0\0\xff\xfe", 16), "нет строки начала"},
  };
  int n = 0;
  for (const auto& [text, why] : cases) {
    const std::string path = (dir.path() / ("bad" + std::to_string(n++))).string();
    dir.WriteFile("bad" + std::to_string(n - 1), text);
    const BulletinReadResult r = ReadImsEvent(ws(), path, "1", false);
    EXPECT_FALSE(r.ok) << text;
    EXPECT_NE(r.message.find(why), std::string::npos) << r.message;
    EXPECT_EQ(FormatRebBulletin(source()), before);
  }
  const BulletinReadResult missing = ReadImsEvent(ws(), (dir.path() / "none").string(), "1", false);
  EXPECT_FALSE(missing.ok);
  EXPECT_NE(missing.message.find("Ошибка открытия файла"), std::string::npos);
  EXPECT_EQ(FormatRebBulletin(source()), before);
}

TEST_F(ImsReaderTest, PhasesOnlyAddsToTheListAndKeepsTheOriginId) {
  SetOrigin();
  ws().phases().Add(Phase(3, 0, 0, 100));
  ws().event().ellipse.major = 9;
  const BulletinReadResult r = ReadImsEvent(ws(), kAgencyFile, "14235698", true);
  ASSERT_TRUE(r.ok);
  EXPECT_EQ(ws().phases().Count(), 6);
  EXPECT_EQ(ws().event().orid, 4711);
  EXPECT_FLOAT_EQ(ws().event().ellipse.major, 9);
  EXPECT_EQ(ws().event().originValid, 0);
  EXPECT_EQ(ws().event().originTime, 0);
  EXPECT_EQ(ws().event().eventId, PadEventId("14235698"));
}

TEST_F(ImsReaderTest, ColumnOffsetOfAnIndentedArrivalBlock) {
  const std::string text =
      "EVENT 7 SHIFTED\n"
      "   Date       Time        Err   RMS Latitude Longitude\n"
      "2024/03/15 06:19:00.00               42.7000   74.6000          15.0\n"
      "\n"
      "  Sta     Dist  EvAz Phase        Time      TRes\n"
      "  MJAR    2.31  48.1 P        06:20:00.50    1.5\n";
  const ImsEventText parsed = ParseBulletinEvent(text, "7", BulletinLayout::Ims);
  ASSERT_EQ(parsed.failure, "");
  ASSERT_EQ(parsed.arrivals.size(), 1u);
  EXPECT_EQ(parsed.arrivals[0].sta, "MJAR");
  EXPECT_FLOAT_EQ(parsed.arrivals[0].tres, 1.5f);
  EXPECT_FLOAT_EQ(parsed.arrivals[0].second, 0.5f);
}

TEST_F(ImsReaderTest, TrezonBulletinReadsWordByWord) {
  const std::string text =
      "EVENT 55 ТРЕЗОН\n"
      "   Date       Time        Err   RMS Latitude Longitude  Smaj  Smin  Az Depth   Err\n"
      "2024/03/15 06:19:00.25 0.3 0.8 42.7000 74.6000 5.0 3.0 45 15.0 2.0 8 8 90 1.0 9.0 m "
      "TREZON 321\n"
      "\n"
      "Sta Dist EvAz Phase Time TRes Azim AzRes Slow SRes Def SNR Amp Per Qual Magnitude ArrID\n"
      "\n"
      "MJAR 2.31 48.1 P 06:20:00.50 1.5 52.0 3.0 12.0 0.4 T__ 9.0 1234.5 0.8 c mb 4.5 900\n"
      "KSRS 7.05 300.2 P 06:21:xx\n"
      "USRK 11.75 9.8 P 06:22:00.00\n"
      "STOP\n";
  const std::string path = dir.WriteFile("trezon.txt", text).string();
  const BulletinReadResult r = ReadTrezonEvent(ws(), path, "55");
  ASSERT_TRUE(r.ok) << r.message;
  EXPECT_EQ(ws().event().orid, 321);
  EXPECT_FLOAT_EQ(ws().event().originDepth, 15.0f);
  ASSERT_EQ(ws().phases().Count(), 3);
  const SEISMIC_PHASE* p = ws().phases().Find(0, 0, 0);
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(p->firstMotion, 5);
  EXPECT_FLOAT_EQ(p->mb, 4.5f);
  EXPECT_EQ(p->arid, 900);
  EXPECT_EQ(p->defining, 1);
  EXPECT_FLOAT_EQ(p->amplitude, 1.2345f);
  EXPECT_TRUE(HasSkipped(r, 8, "нет времени"));
}

// An ellipse direction no integer can hold (or not a number) is no
// direction; the rest of the origin line still counts.
TEST_F(ImsReaderTest, TrezonDirectionBeyondAnIntegerIsNone) {
  for (const char* az : {"8.9e33", "-3e12", "nan", "179.9"}) {
    const std::string text = std::string("EVENT 56 ТРЕЗОН\n") +
                             "   Date       Time        Err   RMS Latitude Longitude\n" +
                             "2024/03/15 06:19:00.25 0.3 0.8 42.7000 74.6000 5.0 3.0 " + az +
                             " 15.0 2.0\n";
    const ImsEventText parsed = ParseBulletinEvent(text, "56", BulletinLayout::Trezon);
    ASSERT_TRUE(parsed.hasOrigin) << az;
    EXPECT_FLOAT_EQ(parsed.origin.direction, az == std::string("179.9") ? 179.0f : -1.0f) << az;
    EXPECT_FLOAT_EQ(parsed.origin.depth, 15.0f) << az;
  }
}

}  // namespace
}  // namespace nuv::test
