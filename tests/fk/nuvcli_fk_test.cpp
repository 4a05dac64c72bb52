// nuvcli fk over sample files of a synthetic array whose offsets are in SITE.

#include <gtest/gtest.h>

#include "fk/fk_array.h"
#include "platform/strformat.h"
#include "sigproc/sample_file.h"
#include "support/nuvcli_run.h"

namespace nuv {
namespace {

using test::CliRun;
using test::DatabaseTest;

class NuvcliFkTest : public DatabaseTest {
 protected:
  void SetUp() override {
    DatabaseTest::SetUp();
    if (IsSkipped()) return;
    const auto xy = test::SquareArray();
    for (size_t i = 0; i < xy.size(); ++i)
      db().Exec(StrFormat(
          "insert into SITE (STA, NGROUPS, ELEV, LAT, LON, DNORTH, DEAST) values ('AR%zu', 1, 0, "
          "50, 70, %.3f, %.3f)",
          i, xy[i].second, xy[i].first));
    db().Exec("insert into SITE (STA, NGROUPS, ELEV, LAT, LON) values ('FAR', 1, 0, 50, 70)");
  }
  // The wave's traces as sample files starting at 0 s; "AR0=FILE ...".
  std::string WriteArray(const test::PlaneWave& wave) {
    std::string words;
    const auto panes = test::PlaneWaveArray(test::SquareArray(), wave, 50, 60);
    for (size_t i = 0; i < panes.size(); ++i) {
      const auto path = db().dir() / StrFormat("ar%zu.txt", i);
      EXPECT_TRUE(WriteSampleFile(
          path, std::vector<double>(panes[i].samples.begin(), panes[i].samples.end())));
      words += StrFormat(" AR%zu='%s'", i, path.c_str());
    }
    return words;
  }
  CliRun Run(const std::string& arguments) {
    return test::Nuvcli(db(), test::Keys(db()) + "fk " + arguments);
  }
};

TEST_P(NuvcliFkTest, PlaneWaveDirectionAndSlowness) {
  const std::string files = WriteArray({225, 0.15, 30});
  CliRun run = Run("--rate 50 --from 24 --to 36" + files);
  ASSERT_EQ(run.status, 0) << test::ErrorText(run);
  const nlohmann::json j = test::Json(run);
  EXPECT_NEAR(j["azimuth"].get<double>(), 225, 8);
  EXPECT_NEAR(j["slowness"].get<double>(), 0.15, 0.015);
  EXPECT_NEAR(j["velocity"].get<double>(), 1 / j["slowness"].get<double>(), 1e-9);
  EXPECT_GT(j["power"].get<double>(), 0);
  EXPECT_EQ(j["reference"], "AR0");
  EXPECT_EQ(j["stations"].size(), 9u);
  // A coarser, wider grid finds the same direction.
  run = Run("--rate 50 --from 24 --to 36 --min -1 --max 1 --intervals 100" + files);
  ASSERT_EQ(run.status, 0) << test::ErrorText(run);
  EXPECT_NEAR(test::Json(run)["azimuth"].get<double>(), 225, 10);
}

TEST_P(NuvcliFkTest, BadInputIsRefusedWithTheMessage) {
  const std::string files = WriteArray({90, 0.1, 30});
  struct Case {
    std::string arguments, message;
  } cases[] = {
      {"--rate 50 --from 24" + files, "usage: fk"},
      {"--rate 50 --from 24 --to 36", "usage: fk"},
      {"--rate 0 --from 24 --to 36" + files, "sampling rate"},
      {"--rate 50 --from 36 --to 24" + files, "--from < --to"},
      {"--rate 50 --from 24 --to 36 --intervals 1" + files, "Введите целое число от 2 до 1000."},
      {"--rate 50 --from 24 --to 36 --max 30" + files, "Введите число от -20 до 20."},
      {"--rate 50 --from 24 --to 36 --min 0.5" + files, "Минимум Px и Py должен быть меньше"},
      {"--rate 50 --from 24 --to 90" + files, "вне пределов данных станции 'AR0'"},
      {"--rate 50 --from 24 --to 36 NOSUCH=x.txt", "Станция NOSUCH отсутствует в списке станций"},
      {"--rate 50 --from 24 --to 36 AR0=/nonexistent/f.txt", "Ошибка открытия файла"},
      {"--rate 50 --from 24 --to 36 AR0", "STA=FILE expected"},
      // One station, or stations without offsets, are no array.
      {"--rate 50 --from 24 --to 36 AR0='" + (db().dir() / "ar0.txt").string() + "'",
       "нужны по крайней мере две станции"},
      {"--rate 50 --from 24 --to 36 FAR='" + (db().dir() / "ar1.txt").string() + "' AR4='" +
           (db().dir() / "ar4.txt").string() + "'",
       "нужны по крайней мере две станции"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.arguments);
    const CliRun run = Run(c.arguments);
    EXPECT_NE(run.status, 0);
    EXPECT_NE(test::ErrorText(run).find(c.message), std::string::npos) << test::ErrorText(run);
  }
}

NUV_DATABASE_TEST_SUITE(NuvcliFkTest);

}  // namespace
}  // namespace nuv
