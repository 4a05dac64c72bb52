// The frame started on a generated demo setup, the way run-demo.sh starts
// it, and closed again through its close question.

#include <QComboBox>
#include <cstdlib>

#include "app/ui/nuv_app.h"
#include "app/ui/nuv_status_bar.h"
#include "waveview/ui/waveform_window.h"
#include "frame_fixture.h"

namespace nuv::test {
namespace {

TEST(DemoFrame, StartsOnTheDemoAndClosesCleanly) {
  FrameTestApp();
  TempDir dir;
  const auto demo = dir.path() / "demo";
  const std::string command = std::string(NUV_BINARY_DIR) + "/tools/nuvdemo --out " +
                              demo.string() + " --stations 3 --minutes 2 > /dev/null";
  ASSERT_EQ(std::system(command.c_str()), 0);
  setenv("ODBCINI", (demo / "odbc.ini").c_str(), 1);

  ScriptedPrompts prompts;
  {
    CNuvApp app;
    StartupOptions options;
    options.args = {"nuv"};
    options.settingsDir = demo / "settings";
    options.executableDir = dir.path().string() + "/";
    FrameServices services = DefaultFrameServices();
    ASSERT_TRUE(app.InitInstance(options, services, &prompts));
    CMainFrame* frame = app.mainFrame();
    ASSERT_NE(frame, nullptr);
    Workstation& ws = *app.workstation();
    // Connected without a message, the inventory and the travel-time set loaded.
    EXPECT_TRUE(prompts.MessageTexts().empty());
    EXPECT_TRUE(ws.databases().mainOpen());
    EXPECT_EQ(ws.stations().size(), 3u);
    EXPECT_GT(ws.phaseTypes().Count(), 12);
    EXPECT_TRUE(ws.phaseTypes().HasTravelTimes(ws.phaseTypes().IndexOf("P")));
    ASSERT_EQ(frame->networkList()->count(), 1);
    EXPECT_EQ(frame->networkList()->itemText(0), "DEMO");
    EXPECT_TRUE(WaitFor([&] { return frame->isVisible(); }));

    // The waveform document is the real window, sharing the settings page's
    // switches and reporting on the frame's status line.
    auto* window = qobject_cast<waveform*>(frame->document(DocumentKind::Waveforms));
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(&window->settings(), &frame->waveformSettings());
    emit window->statusMessage("D0 BHZ");
    EXPECT_EQ(frame->nuvStatusBar()->currentMessage(), "D0 BHZ");

    // The close question answered No keeps it, Yes closes it.
    prompts.answers = {PromptAnswer::No};
    EXPECT_FALSE(frame->close());
    prompts.answers = {PromptAnswer::Yes};
    EXPECT_TRUE(frame->close());
    EXPECT_EQ(prompts.MessageTexts().size(), 2u);
  }
  // The lock is released with the program: a new start may run.
  SingleInstanceLock again(demo / "settings");
  EXPECT_TRUE(again.Acquire());
}

}  // namespace
}  // namespace nuv::test
