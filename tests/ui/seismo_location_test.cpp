// The location commands on screen: start point, search with a progress
// dialog that can be cancelled, and the result dialog.

#include <QCheckBox>
#include <QListWidget>
#include <QProgressDialog>
#include <cmath>

#include "platform/strformat.h"
#include "screenshot.h"
#include "seismo/ui/location_dialogs.h"
#include "seismo_fixture.h"
#include "traveltime/dist_az.h"
#include "traveltime/travel_time.h"

namespace nuv::test {
namespace {

constexpr double kLat = 42.3, kLon = 77.1, kDepth = 20, kOrigin = kT0 + 30;

class SeismoLocationTest : public SeismoFixture {
 protected:
  // P and S at the three stations, defining, from the hypocentre above.
  void PickEvent() {
    for (int s = 0; s < 3; ++s) {
      const CScreenFields& st = ws->stations()[s];
      DistAzResult r;
      ASSERT_TRUE(DistAz(static_cast<float>(kLat), static_cast<float>(kLon), st.lat, st.lon, r));
      for (int type = 0; type < 2; ++type) {
        SEISMIC_PHASE* p = AddPhase(
            s, 0, type, kOrigin + TravelTime(ws->phaseTypes().Data(type), kDepth, r.distance));
        p->defining = 1;
        p->weight = 0;
      }
    }
  }

  void TypeStart(CStartPointDialog& d, double lat, double lon, double depth, bool grid) {
    d.latEdit()->setText(QString::number(lat));
    d.lonEdit()->setText(QString::number(lon));
    d.depthEdit()->setText(QString::number(depth));
    d.timeEdit()->setText(QString::fromStdString(StartTimeText(kOrigin - 10)));
    d.gridBox()->setChecked(grid);
  }
};

TEST_F(SeismoLocationTest, LocatesAndAcceptsTheResult) {
  PickEvent();
  ws->event().eventComment = "demo";
  // The dialog shows what the search finds from the typed start.
  CArrivalList list = BuildArrivalList(ws->phases(), ws->phaseTypes(), ws->stations());
  const LocationResult expected =
      LocateSearch(list, ws->phaseTypes(), {41.8, 77.8, 10, kOrigin - 10}, {});
  ASSERT_TRUE(expected.ok);
  bool resultShown = false;
  WhenShown<CStartPointDialog>([&](CStartPointDialog& d) {
    EXPECT_EQ(d.windowTitle().toStdString(), "Введите стартовую точку для расчета");
    SaveScreenshot(d, "seismo_start_point");
    TypeStart(d, 41.8, 77.8, 10, false);
    WhenShown<CHypocentreDialog>([&](CHypocentreDialog& r) {
      resultShown = true;
      EXPECT_EQ(r.windowTitle().toStdString(), "Параметры гипоцентра");
      EXPECT_EQ(Find(r, "lat")->text().toStdString(), StrFormat("%.4f", expected.lat));
      EXPECT_EQ(Find(r, "lon")->text().toStdString(), StrFormat("%.4f", expected.lon));
      EXPECT_EQ(Find(r, "time")->text().toStdString(), OriginTimeText(expected.t0));
      EXPECT_EQ(r.residualList()->count(), 6);
      EXPECT_EQ(r.commentEdit()->text().toStdString(), "demo");
      // The main method gives no ellipse.
      EXPECT_TRUE(Find(r, "major")->text().isEmpty());
      SaveScreenshot(r, "seismo_hypocentre");
      r.commentEdit()->setText(QString::fromUtf8("уточнено"));
      r.accept();
    });
    d.accept();
  });
  window->ExecuteCommand(32723);
  ASSERT_TRUE(resultShown);
  const CurrentEvent& e = ws->event();
  EXPECT_EQ(e.originValid, 1);
  EXPECT_FLOAT_EQ(e.originLat, static_cast<float>(expected.lat));
  EXPECT_DOUBLE_EQ(e.originTime, expected.t0);
  // Three stations leave the epicentre loosely fixed, but near the truth.
  EXPECT_NEAR(e.originLat, kLat, 0.3);
  EXPECT_EQ(e.eventComment, "уточнено");
  EXPECT_EQ(changes, 1);
  // Residuals and distances were recomputed for the accepted origin.
  for (const SEISMIC_PHASE& p : ws->phases()) {
    EXPECT_EQ(p.hasResidual, 1);
    EXPECT_LT(std::fabs(p.residual), 2.0);
    EXPECT_GT(p.distance, 0);
  }
}

TEST_F(SeismoLocationTest, LinearMethodFillsTheEllipseAndRefusesFewPhases) {
  PickEvent();
  WhenShown<CStartPointDialog>([&](CStartPointDialog& d) {
    TypeStart(d, 42, 77.5, 10, false);
    WhenShown<CHypocentreDialog>([&](CHypocentreDialog& r) {
      // Exact picks: no spread, but the ellipse fields are filled when formed.
      EXPECT_EQ(Find(r, "major")->text().isEmpty(), !ws->event().ellipse.valid());
      r.reject();
    });
    d.accept();
  });
  window->ExecuteCommand(33197);
  // Cancelled: the origin stays the typed start point.
  EXPECT_NEAR(ws->event().originLat, 42, 1e-5);
  EXPECT_EQ(changes, 0);

  ws->phases().RemoveAll();
  AddPhase(0, 0, 0, kOrigin + 20)->defining = 1;
  WhenShown<CStartPointDialog>([&](CStartPointDialog& d) { d.accept(); });
  window->ExecuteCommand(33197);
  EXPECT_EQ(prompts.MessageTexts().back(), "Количество фаз < 4");
}

TEST_F(SeismoLocationTest, BadStartFieldsAreRefusedAndCancelStopsTheGridSearch) {
  PickEvent();
  WhenShown<CStartPointDialog>([&](CStartPointDialog& d) {
    TypeStart(d, 95, 77, 10, true);
    d.accept();
    EXPECT_TRUE(d.isVisible());  // latitude beyond 90: refused
    d.latEdit()->setText("42");
    d.timeEdit()->setText("31.02.2024 x");
    d.accept();
    EXPECT_TRUE(d.isVisible());
    d.timeEdit()->setText(QString::fromStdString(StartTimeText(kOrigin)));
    WhenShown<QProgressDialog>([&](QProgressDialog& progress) {
      SaveScreenshot(progress, "seismo_grid_progress");
      progress.cancel();
    });
    d.accept();
  });
  window->ExecuteCommand(32723);
  int beeps = 0;
  for (const auto& r : prompts.records) beeps += r.kind == "beep";
  EXPECT_EQ(beeps, 2);
  // No result dialog: nothing was accepted beyond the start point.
  EXPECT_EQ(changes, 0);
  EXPECT_NEAR(ws->event().originLat, 42, 1e-5);
}

}  // namespace
}  // namespace nuv::test
