#include <gtest/gtest.h>

#include "db/dialect.h"
#include "platform/strformat.h"
#include "platform/time_base.h"
#include "sigproc/instrument.h"
#include "sigproc/response_amplitude.h"
#include "sigproc/response_source.h"
#include "support/test_database.h"

namespace nuv {
namespace {

TEST(CalibrationQuery, TextsPerColumnTimeAndDialect) {
  const ResponseChannel plain{"ABC", "BHZ", "", "??", ""};
  const ResponseChannel full{"ABC", "BHZ", "KZ", "00", ""};
  const double t = CalendarToEpoch(2021, 6, 15, 12, 30, 45.75);

  EXPECT_EQ(CalibrationQuery(CalibrationColumn::kSac, plain, t, kDialectSqlite),
            "SELECT SAC FROM CALIBRATION WHERE ((STA='ABC') AND (CHAN='BHZ') AND (STARTDATE<= "
            "{ts '2021-06-15 12:30:45' } ) AND (ENDDATE> {ts '2021-06-15 12:30:45' } ))  OR "
            "((STA='ABC') AND (CHAN='BHZ') AND (STARTDATE<= {ts '2021-06-15 12:30:45' } ) AND "
            "(ENDDATE Is Null));");
  EXPECT_EQ(CalibrationQuery(CalibrationColumn::kSac, full, t, kDialectPostgres),
            "SELECT SAC FROM CALIBRATION WHERE ((STA='ABC') AND (CHAN='BHZ') AND (STARTDATE<= "
            "{d '2021-06-15' } ) AND (ENDDATE> {d '2021-06-15' } ) AND (NETWORK='KZ')  AND "
            "(LOCATION='00') )  OR ((STA='ABC') AND (CHAN='BHZ') AND (STARTDATE<= {d "
            "'2021-06-15' } ) AND (ENDDATE Is Null) AND (NETWORK='KZ')  AND (LOCATION='00'));");
  EXPECT_EQ(CalibrationQuery(CalibrationColumn::kFap, full, t, kDialectPostgres),
            "SELECT FAP FROM CALIBRATION WHERE ((STA='ABC') AND (CHAN='BHZ') AND "
            "(STARTDATE<={ts '2021-06-15 12:30:45'}) AND (ENDDATE>{ts '2021-06-15 12:30:45'}) AND "
            "(NETWORK='KZ')  AND (LOCATION='00') )  OR ((STA='ABC') AND (CHAN='BHZ') AND "
            "(STARTDATE<={ts '2021-06-15 12:30:45'}) AND (ENDDATE Is Null) AND (NETWORK='KZ')  "
            "AND (LOCATION='00'));");
  EXPECT_EQ(CalibrationQuery(CalibrationColumn::kFap, full, std::nullopt, kDialectSqlite),
            "SELECT FAP FROM CALIBRATION WHERE ((STA='ABC') AND (CHAN='BHZ') AND (ENDDATE Is "
            "Null) AND (NETWORK='KZ')  AND (LOCATION='00'));");
  // Quotes in codes are doubled.
  const ResponseChannel quoted{"A'B", "C'", "", "", ""};
  EXPECT_EQ(CalibrationQuery(CalibrationColumn::kSac, quoted, std::nullopt, kDialectSqlite),
            "SELECT SAC FROM CALIBRATION WHERE ((STA='A''B') AND (CHAN='C''') AND (ENDDATE Is "
            "Null));");
}

class CalibrationTest : public test::DatabaseTest {
 protected:
  void AddRow(const std::string& sta, const std::string& chan, const std::string& net,
              const std::string& loc, const std::string& start, const std::string& end,
              const std::string& fap, const std::string& sac) {
    auto text = [](const std::string& v) {
      return v.empty() ? std::string("NULL") : "'" + SqlEscape(v) + "'";
    };
    db().Exec(
        "INSERT INTO CALIBRATION (STA, CHAN, NETWORK, LOCATION, STARTDATE, ENDDATE, FAP, "
        "SAC) VALUES (" +
        text(sta) + ", " + text(chan) + ", " + text(net) + ", " + text(loc) + ", " +
        (start.empty() ? "NULL" : "{ts '" + start + "'}") + ", " +
        (end.empty() ? "NULL" : "{ts '" + end + "'}") + ", " + text(fap) + ", " + text(sac) + ")");
  }
  std::optional<double> PoleConstant(const ResponseChannel& channel, std::optional<double> t) {
    const auto pz = LoadPoleZeroResponse(db().main(), db().dialect(), channel, t);
    if (!pz) return std::nullopt;
    return pz->constant;
  }
};

TEST_P(CalibrationTest, PicksTheRowValidAtTheDataTime) {
  // 2019: closed row; since 2020-03-01: open row; another channel and station.
  AddRow("ABC", "BHZ", "", "", "2019-01-01 00:00:00", "2020-03-01 00:00:00", "FAP|1 10 0|5 20 0",
         "POLES 1|-1 0|CONSTANT 1");
  AddRow("ABC", "BHZ", "", "", "2020-03-01 00:00:00", "", "CAL x|1 30 0|5 40 0",
         "POLES 1|-1 0|CONSTANT 2");
  AddRow("ABC", "BHN", "", "", "2019-01-01 00:00:00", "", "", "POLES 1|-1 0|CONSTANT 3");
  AddRow("XYZ", "BHZ", "", "", "2019-01-01 00:00:00", "", "", "POLES 1|-1 0|CONSTANT 4");
  const ResponseChannel bhz{"ABC", "BHZ", "", "??", ""};

  EXPECT_EQ(PoleConstant(bhz, CalendarToEpoch(2019, 7, 1, 10, 0, 0)), 1.0);
  EXPECT_EQ(PoleConstant(bhz, CalendarToEpoch(2021, 7, 1, 10, 0, 0)), 2.0);
  EXPECT_EQ(PoleConstant(bhz, std::nullopt), 2.0);
  EXPECT_EQ(PoleConstant({"ABC", "BHN", "", "", ""}, CalendarToEpoch(2021, 1, 1, 0, 0, 0)), 3.0);
  EXPECT_EQ(PoleConstant({"abc", "BHE", "", "", ""}, CalendarToEpoch(2021, 1, 1, 0, 0, 0)),
            std::nullopt);
  EXPECT_EQ(PoleConstant(bhz, CalendarToEpoch(2018, 1, 1, 0, 0, 0)), std::nullopt);

  const auto fapOld =
      LoadFapResponse(db().main(), db().dialect(), bhz, CalendarToEpoch(2019, 7, 1, 10, 0, 0));
  ASSERT_TRUE(fapOld);
  EXPECT_EQ(fapOld->Amplitude(5.0), 20.0);
  const auto fapNew = LoadFapResponse(db().main(), db().dialect(), bhz, std::nullopt);
  ASSERT_TRUE(fapNew);
  EXPECT_EQ(fapNew->Amplitude(1.0), 30.0);
  // The BHN row has no FAP.
  std::string problem;
  EXPECT_FALSE(LoadFapResponse(db().main(), db().dialect(), {"ABC", "BHN", "", "", ""},
                               std::nullopt, &problem));
  EXPECT_FALSE(problem.empty());
}

TEST_P(CalibrationTest, NetworkAndLocationNarrowTheChoice) {
  AddRow("ABC", "BHZ", "KZ", "00", "2019-01-01 00:00:00", "", "", "POLES 1|-1 0|CONSTANT 5");
  AddRow("ABC", "BHZ", "KZ", "10", "2019-01-01 00:00:00", "", "", "POLES 1|-1 0|CONSTANT 6");
  const double t = CalendarToEpoch(2021, 2, 2, 2, 2, 2);
  EXPECT_EQ(PoleConstant({"ABC", "BHZ", "KZ", "10", ""}, t), 6.0);
  EXPECT_EQ(PoleConstant({"ABC", "BHZ", "", "00", ""}, t), 5.0);
  EXPECT_EQ(PoleConstant({"ABC", "BHZ", "II", "00", ""}, t), std::nullopt);
  EXPECT_EQ(PoleConstant({"ABC", "BHZ", "KZ", "20", ""}, std::nullopt), std::nullopt);
}

TEST_P(CalibrationTest, MalformedTextsAndQuotesAreNoResponse) {
  AddRow("O'K", "BHZ", "", "", "2019-01-01 00:00:00", "", "1 2 3|oops", "POLES 2|-1 x");
  DatabaseResponseLoader loader(&db().main(), db().dialect(), db().homeDir());
  const ResponseChannel channel{"O'K", "BHZ", "", "", ""};
  EXPECT_FALSE(loader.LoadPoleZero(channel, CalendarToEpoch(2021, 1, 1, 0, 0, 0)));
  EXPECT_NE(loader.lastProblem().find("SAC"), std::string::npos) << loader.lastProblem();
  EXPECT_FALSE(loader.LoadFapFromDatabase(channel, std::nullopt));
  EXPECT_NE(loader.lastProblem().find("FAP"), std::string::npos) << loader.lastProblem();

  DatabaseResponseLoader unconnected(nullptr, db().dialect(), db().homeDir());
  EXPECT_FALSE(unconnected.LoadPoleZero(channel, std::nullopt));
}

TEST_P(CalibrationTest, SimulateTraceThroughTheDatabase) {
  AddRow("ABC", "BHZ", "", "", "2019-01-01 00:00:00", "", "",
         "ZEROS 3|POLES 2|-0.1 0.1|-0.1 -0.1|CONSTANT 2.5");
  DatabaseResponseLoader loader(&db().main(), db().dialect(), db().homeDir());
  std::vector<float> x(1000);
  for (std::size_t i = 0; i < x.size(); ++i) x[i] = static_cast<float>(i % 17);
  TraceSamples trace{{"ABC", "BHZ", "", "??", ""}, 100.0, CalendarToEpoch(2021, 1, 1, 0, 0, 0), x};
  const auto out = SimulateTrace(trace, 1004, loader, prompts);
  ASSERT_TRUE(out);
  EXPECT_EQ(out->size(), 992u);
  trace.channel.channel = "BHN";
  EXPECT_FALSE(SimulateTrace(trace, 1004, loader, prompts));
  ASSERT_EQ(prompts.MessageTexts().size(), 1u);
  EXPECT_EQ(prompts.MessageTexts()[0],
            "Ошибка открытия таблицы калибровок для канала 'BHN' станции 'ABC'");
}

TEST_P(CalibrationTest, ChannelGainFromTheArchiveIndex) {
  auto row = [&](const char* sta, const char* ch, double begin, double length, const char* gain) {
    db().Exec(std::string("INSERT INTO FILELIST (STA, CH, TBEGIN, TQTY, GAIN) VALUES ('") + sta +
              "', '" + ch + "', " + std::to_string(begin) + ", " + std::to_string(length) + ", " +
              gain + ")");
  };
  row("ABC", "BHZ", 1000, 100, "250");
  row("ABC", "BHZ", 2000, 100, "32484");
  row("ABC", "BHZ", 3000, 100, "0");
  row("ABC", "BHZ", 4000, 100, "NULL");
  EXPECT_EQ(ChannelGain(db().main(), "ABC", "BHZ", 1050.7, true, prompts), 250.0);
  EXPECT_EQ(ChannelGain(db().main(), "ABC", "BHZ", 1100, true, prompts), 250.0);
  EXPECT_EQ(ChannelGain(db().main(), "ABC", "BHZ", 1050, false, prompts), 1.0);
  EXPECT_EQ(ChannelGain(db().main(), "ABC", "BHZ", 2050, true, prompts), 1.0);
  EXPECT_EQ(ChannelGain(db().main(), "ABC", "BHZ", 3050, true, prompts), 1.0);
  EXPECT_EQ(ChannelGain(db().main(), "ABC", "BHZ", 4050, true, prompts), 1.0);
  EXPECT_EQ(ChannelGain(db().main(), "ABC", "BHZ", 5050, true, prompts), 1.0);
  EXPECT_EQ(ChannelGain(db().main(), "A'C", "BHZ", 1050, true, prompts), 1.0);
  EXPECT_TRUE(prompts.MessageTexts().empty());

  db().Exec("DROP TABLE FILELIST");
  EXPECT_EQ(ChannelGain(db().main(), "ABC", "BHZ", 1050, true, prompts), 1.0);
  ASSERT_EQ(prompts.MessageTexts().size(), 1u);
  EXPECT_FALSE(prompts.MessageTexts()[0].empty());
}

TEST_P(CalibrationTest, AmplitudeServices) {
  AddRow("ABC", "BHZ", "", "", "2019-01-01 00:00:00", "", "", "POLES 1|-1 0|CONSTANT 1000");
  AddRow("ABC", "BHN", "", "", "2019-01-01 00:00:00", "", "0.1 2 0|10 2 0", "");
  test::TempDir home;
  home.WriteFile("RESPONSE/abc.fap", "2\n0.1 4\n10 4\n");
  const std::string homeDir = home.path().string() + "/";
  DatabaseResponseLoader loader(&db().main(), db().dialect(), homeDir);
  const double t = CalendarToEpoch(2021, 1, 1, 0, 0, 0);
  int gainAsked = 0;
  auto gain = [&] {
    ++gainAsked;
    return 8.0;
  };

  // Poles and zeros: A * |R(1/T)| / 1000 with H(f) = 1000 / (i 2 pi f + 1).
  const auto pz =
      AmplitudeByPoleZero(3.0, 2.0, {"ABC", "BHZ", "", "", ""}, t, loader, gain, prompts);
  ASSERT_TRUE(pz);
  const double w = kTwoPi * 0.5;
  EXPECT_NEAR(*pz, 3.0 * 1e9 / (1000.0 / std::sqrt(w * w + 1.0)) / 1000.0, 1e-6);
  EXPECT_EQ(gainAsked, 0);
  // Without poles and zeros: the amplitude table of the database over the gain.
  const auto db =
      AmplitudeByPoleZero(3.0, 2.0, {"ABC", "BHN", "", "", ""}, t, loader, gain, prompts);
  ASSERT_TRUE(db);
  EXPECT_DOUBLE_EQ(*db, 3.0 * 2.0 / 8.0);
  EXPECT_EQ(gainAsked, 1);
  EXPECT_FALSE(AmplitudeByPoleZero(3.0, 2.0, {"ABC", "BHE", "", "", ""}, t, loader, gain, prompts));
  ASSERT_EQ(prompts.MessageTexts().size(), 1u);
  EXPECT_EQ(prompts.MessageTexts()[0],
            "Ошибка открытия таблицы калибровок для канала 'BHE' станции 'ABC'");

  // The FAP file of the channel.
  const auto file = AmplitudeByFapFile(3.0, 2.0, {"ABC", "BHZ", "", "", "abc.fap"}, homeDir, loader,
                                       gain, prompts);
  ASSERT_TRUE(file);
  EXPECT_DOUBLE_EQ(*file, 3.0 * 4.0 / 8.0);
  EXPECT_FALSE(AmplitudeByFapFile(3.0, 2.0, {"ABC", "BHZ", "", "", "none.fap"}, homeDir, loader,
                                  gain, prompts));
  ASSERT_EQ(prompts.MessageTexts().size(), 2u);
  EXPECT_EQ(prompts.MessageTexts()[1],
            "Не найден файл " + homeDir + "RESPONSE/none.fap с АЧХ для канала 'BHZ' станции 'ABC'");
}

TEST(SimulationMagnification, DividesOnlyByAPositiveMagnification) {
  EXPECT_EQ(RemoveSimulationMagnification(10.0, 1004, 0.8, false), 10.0);
  EXPECT_NEAR(RemoveSimulationMagnification(10.0, 1004, 1.0, true), 10.0 / 0.481325028, 1e-6);
  EXPECT_EQ(RemoveSimulationMagnification(10.0, 1000, 1.0, true), 10.0);
  EXPECT_EQ(RemoveSimulationMagnification(10.0, 1010, 1.0, true), 10.0);  // M = -1
}

NUV_DATABASE_TEST_SUITE(CalibrationTest);

}  // namespace
}  // namespace nuv
