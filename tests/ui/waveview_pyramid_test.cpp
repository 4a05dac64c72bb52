// Panes keep min/max pyramids of their samples: built for every added pane
// with progress in the status line, rebuilt after every reload so that a
// picture never comes from the previous window's samples.

#include <QSignalSpy>

#include "waveview/waveform_commands.h"
#include "waveview_fixture.h"

namespace nuv::test {
namespace {

using WaveformPyramidTest = WaveviewFixture;

TEST_F(WaveformPyramidTest, AddedPanesGetPyramidsWithProgressAndKeepThemAcrossReloads) {
  QSignalSpy status(window.get(), &waveform::statusMessage);
  AddChannels({{0, 0}, {1, 0}, {1, 1}});
  ASSERT_EQ(window->panes().size(), 3u);
  std::vector<QString> progress;
  for (const QList<QVariant>& args : status)
    if (args[0].toString().startsWith("Строятся")) progress.push_back(args[0].toString());
  EXPECT_EQ(progress,
            (std::vector<QString>{"Строятся обзоры трасс: 1 из 3", "Строятся обзоры трасс: 2 из 3",
                                  "Строятся обзоры трасс: 3 из 3"}));
  for (CZoomWindow* view : window->panes()) {
    const TracePane& pane = view->pane();
    ASSERT_EQ(pane.blocks.size(), 1);
    const MinMaxPyramid* pyramid = pane.PyramidOf(0);
    ASSERT_NE(pyramid, nullptr);
    // 6000 samples of a sine of amplitude 100.
    const MinMaxPyramid::Extremes e = pyramid->Range(0, pane.blocks[0].count - 1);
    EXPECT_NEAR(e.hi, 100, 0.1);
    EXPECT_NEAR(e.lo, -100, 0.1);
  }

  // A zoom in keeps the samples and their pyramid; the window takes half of them.
  const float* before = Pane(0)->pane().blocks[0].samples.data();
  const MinMaxPyramid* old = Pane(0)->pane().PyramidOf(0);
  window->ExecuteCommand(kCmdStretchHorizontal);
  const TracePane& pane = Pane(0)->pane();
  ASSERT_EQ(pane.blocks.size(), 1);
  EXPECT_EQ(pane.blocks[0].samples.data(), before);
  EXPECT_EQ(pane.PyramidOf(0), old);
  ASSERT_EQ(pane.WindowSpans().size(), 1u);
  EXPECT_EQ(pane.WindowSpans()[0].count, 3000);
  // Shifts beyond them read the missing end: its block gets a pyramid of its own.
  window->ExecuteCommand(kCmdShiftRight);
  window->ExecuteCommand(kCmdShiftRight);
  ASSERT_EQ(pane.blocks.size(), 2);
  const MinMaxPyramid* added = pane.PyramidOf(1);
  ASSERT_NE(added, nullptr);
  EXPECT_TRUE(added->Covers(pane.blocks[1].samples.data(), pane.blocks[1].count));
  EXPECT_FALSE(added->Covers(before, 6000));
}

}  // namespace
}  // namespace nuv::test
