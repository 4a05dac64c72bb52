// The bulletin and event-list commands as the frame offers them: enabled
// only when they can work, the processed-events window remembered between
// sessions, and the secondary-database commands refused without it.

#include <gtest/gtest.h>

#include "catalogue/ui/event_list_windows.h"
#include "frame_fixture.h"

namespace nuv::test {
namespace {

TEST_F(FrameTest, BulletinCommandsAreWiredAndGuarded) {
  CMainFrame& f = frame();
  f.UpdateCommandStates();
  for (int id : {33218, 33194, 33223, 32719, 32729, 33153, 33191, 33200, 33224, 33150, 33226})
    EXPECT_TRUE(f.IsCommandEnabled(id)) << id;
  // Nothing to write without phases, no period export or report without
  // the main database.
  for (int id : {32715, 33055, 33161, 33125, 33181, 33111})
    EXPECT_FALSE(f.IsCommandEnabled(id)) << id;

  for (int id : {33200, 33224, 33150}) {
    f.ExecuteCommand(id);
    EXPECT_EQ(prompts.MessageTexts().back(), "Не подключена вторичная БД (CSS) !!!") << id;
  }

  auto* origins = f.findChild<CShowOrigins*>();
  ASSERT_NE(origins, nullptr);
  EXPECT_FALSE(origins->isVisible());
  f.ExecuteCommand(33191);
  EXPECT_TRUE(origins->isVisible());
  EXPECT_EQ(ws->ini().GetString("SHOWORIGINS", "SHOWWINDOW", "", 8), "1");
  origins->close();
  EXPECT_FALSE(origins->isVisible());
  EXPECT_EQ(ws->ini().GetString("SHOWORIGINS", "SHOWWINDOW", "", 8), "0");
}

class ShownOriginsFrameTest : public FrameTest {
 protected:
  std::string IniText() const override { return "[SHOWORIGINS]\nSHOWWINDOW=1\n"; }
};

TEST_F(ShownOriginsFrameTest, WindowShownLastTimeComesBack) {
  auto* origins = frame().findChild<CShowOrigins*>();
  ASSERT_NE(origins, nullptr);
  EXPECT_TRUE(origins->isVisible());
}

}  // namespace
}  // namespace nuv::test
