// The CSS 3.0 rows written by every save: one set after repeated saves,
// the values of the rows, the timestamps with their time of day, and the
// failures that leave the main save in place.

#include <gtest/gtest.h>

#include "event_fixture.h"
#include "phases/css_result_save.h"
#include "phases/current_event.h"
#include "phases/event_store.h"
#include "phases/nuv_phases.h"

namespace nuv::test {
namespace {

class CssResultTest : public CssEventTest {
 protected:
  void SetUp() override {
    EventTest::SetUp();
    if (IsSkipped()) return;
    Ready();
    workstation().event().eventId = PadEventId("EV-CSS");
    workstation().event().originValid = 1;
    workstation().event().originLat = 42.7f;
    workstation().event().originLon = 74.6f;
    workstation().event().originDepth = 15;
    workstation().event().originTime = 1710483540.0;
    workstation().event().eventMb = 4.4f;
  }
};

TEST_P(CssResultTest, TwoSavesLeaveOneSetOfRows) {
  ASSERT_TRUE(workstation().databases().cssOpen());
  AddRichAndBarePhases();
  EventContext context = Context();
  for (int save = 0; save < 2; ++save) {
    const SaveOutcome outcome = SaveEvent(context);
    ASSERT_TRUE(outcome.saved) << outcome.error;
    ASSERT_EQ(outcome.css, SaveOutcome::Css::Saved) << prompts.MessageTexts().back();
  }
  EXPECT_EQ(prompts.MessageTexts().back(), kCssSaved);
  EXPECT_EQ(CountCss("select count(*) from origin"), 1);
  EXPECT_EQ(CountCss("select count(*) from arrival"), 2);
  EXPECT_EQ(CountCss("select count(*) from assoc"), 2);
  EXPECT_EQ(CountCss("select count(*) from amplitude"), 1);
  EXPECT_EQ(CountCss("select count(*) from stamag"), 2);  // mb and Ms of the rich phase
  EXPECT_EQ(CountCss("select count(*) from remark"), 1);
  // Magnitude rows get identifiers of their own and point at their amplitude.
  EXPECT_EQ(CountCss("select count(distinct magid) from stamag"), 2);
  EXPECT_EQ(CountCss("select count(*) from stamag s, amplitude a where s.ampid=a.ampid"), 2);
  const int orid = workstation().event().orid;
  EXPECT_EQ(CountCss("select count(*) from assoc where orid=" + std::to_string(orid)), 2);
  EXPECT_EQ(CountCss("select nass from origin"), 2);
  EXPECT_EQ(CountCss("select ndef from origin"), 1);

  const SEISMIC_PHASE& rich = *workstation().phases().Find(0, 0, 0);
  const std::string where = " from arrival where arid=" + std::to_string(rich.arid);
  EXPECT_EQ(db().QueryCssValue("select chan" + where), "bhz");
  EXPECT_EQ(db().QueryCssValue("select fm" + where), "d.");
  EXPECT_EQ(db().QueryCssValue("select qual" + where), "i");
  EXPECT_DOUBLE_EQ(std::stod(*db().QueryCssValue("select amp" + where)), 12500.0);
  EXPECT_EQ(db().QueryCssValue("select remark from remark"), "checked twice");
  // The bare phase carries the null amplitude values.
  EXPECT_EQ(CountCss("select count(*) from arrival where amp=-1 and per=-1 and logat=-999"), 1);
  // Timestamps keep the time of day (a TO_DATE or a date literal would not).
  const std::string stamp = db().QueryCssValue("select lddate from assoc").value_or("");
  ASSERT_GE(stamp.size(), 19u) << stamp;
  const std::string stored = db().QueryCssValue("select lddate from origin").value_or("");
  EXPECT_EQ(stored.substr(0, 16), stamp.substr(0, 16));
  EXPECT_NE(stamp.substr(11, 8), "00:00:00");
}

TEST_P(CssResultTest, CssFailureLeavesTheMainSaveAndOldCssRows) {
  AddRichAndBarePhases();
  EventContext context = Context();
  ASSERT_EQ(SaveEvent(context).css, SaveOutcome::Css::Saved);
  db().ExecCss("drop table stamag");
  const SaveOutcome outcome = SaveEvent(context);
  EXPECT_TRUE(outcome.saved);
  EXPECT_EQ(outcome.css, SaveOutcome::Css::Failed);
  EXPECT_EQ(prompts.MessageTexts().back(), kCssSaveFailed);
  // The second transaction was rolled back whole: the first save's rows stay.
  EXPECT_EQ(CountCss("select count(*) from arrival"), 2);
  EXPECT_EQ(CountCss("select count(*) from assoc"), 2);
  EXPECT_EQ(Count("select count(*) from ARRIVAL"), 2);
}

TEST_P(CssResultTest, NoIdentifierNoSave) {
  // Identifiers from the CSS LASTID, whose counter row is gone.
  db().ExecCss("delete from lastid where keyname='orid'");
  workstation().phases().Add(Phase(0, 0, 0, 100));
  EventContext context = Context();
  const SaveOutcome outcome = SaveEvent(context);
  EXPECT_TRUE(outcome.saved);
  EXPECT_EQ(outcome.css, SaveOutcome::Css::Failed);
  const std::vector<std::string> texts = prompts.MessageTexts();
  ASSERT_GE(texts.size(), 2u);
  EXPECT_EQ(texts[texts.size() - 2], kNoNewOrid);
  EXPECT_EQ(CountCss("select count(*) from origin"), 0);
}

NUV_DATABASE_TEST_SUITE(CssResultTest);

}  // namespace
}  // namespace nuv::test
