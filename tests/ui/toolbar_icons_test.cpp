// The toolbars' icon set and layout: every button shows a real picture that
// stays sharp when drawn larger, keeps its command's tool tip, and at 1600
// pixels no bar hides buttons behind its overflow arrow; the bars can be
// shown and hidden from their Russian context menu.

#include <QImage>
#include <QMenu>
#include <QSvgRenderer>
#include <QToolButton>
#include <set>

#include "app/ui/nuv_toolbar.h"
#include "frame_fixture.h"
#include "screenshot.h"

namespace nuv::test {
namespace {

// Every command of the four bars and of the status-bar and child-window buttons.
std::set<int> AllIconCommands() {
  std::set<int> ids = {32705, 32708, 33105, 32707, 57650, 57651, 57652};
  for (const char* bar : {"WAVEFORMS", "MAP", "PHASELIST", "DSP"})
    for (int id : ToolbarResourceButtons(bar))
      if (id != kToolbarSeparator) ids.insert(id);
  return ids;
}

int OpaquePixels(const QImage& image) {
  int count = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) count += qAlpha(image.pixel(x, y)) > 0 ? 1 : 0;
  return count;
}

TEST(CommandIcons, EveryCommandHasItsOwnValidPicture) {
  FrameTestApp();
  std::map<QByteArray, int> seen;
  for (int id : AllIconCommands()) {
    SCOPED_TRACE(id);
    const QByteArray svg = CommandIconSvg(id);
    ASSERT_FALSE(svg.isEmpty());
    QSvgRenderer renderer(svg);
    EXPECT_TRUE(renderer.isValid());
    EXPECT_EQ(renderer.viewBox(), QRect(0, 0, 24, 24));
    // Commands that do the same thing in two windows may share a picture;
    // count how often each picture is used.
    ++seen[svg];
  }
  // Shared pictures are the exception (zoom, stretch and shift of the
  // workspace repeat the waveform window's): most commands have their own.
  EXPECT_GT(seen.size(), AllIconCommands().size() * 3 / 4);
  EXPECT_TRUE(CommandIconSvg(-1).isEmpty());
  EXPECT_FALSE(CommandIcon(-1).isNull());
}

TEST(CommandIcons, RenderSharpAtAnySizeAndGreyWhenDisabled) {
  FrameTestApp();
  const QIcon icon = CommandIcon(33017);  // shift left: a long arrow
  const QImage small = icon.pixmap(QSize(24, 24)).toImage();
  const QImage large = icon.pixmap(QSize(96, 96)).toImage();
  ASSERT_EQ(large.size(), QSize(96, 96));
  // Drawn afresh, not scaled up: four times the size covers about sixteen
  // times the pixels, and the line is not wider than a few pixels.
  const int smallPixels = OpaquePixels(small);
  const int largePixels = OpaquePixels(large);
  ASSERT_GT(smallPixels, 0);
  EXPECT_GT(largePixels, smallPixels * 6);
  EXPECT_LT(largePixels, smallPixels * 20);
  // Across the arrow's shaft (row 12 of the grid, 48 at this size): a line
  // 1.8 units wide is about 7 pixels with crisp edges, where a picture
  // scaled up from 24 pixels would smear each edge over several pixels.
  int solid = 0, partial = 0;
  for (int y = 30; y < 66; ++y) {
    const int alpha = qAlpha(large.pixel(60, y));
    solid += alpha > 128 ? 1 : 0;
    partial += alpha > 0 && alpha < 255 ? 1 : 0;
  }
  EXPECT_GE(solid, 5);
  EXPECT_LE(solid, 10);
  EXPECT_LE(partial, 4);

  const QImage disabled = icon.pixmap(QSize(24, 24), QIcon::Disabled).toImage();
  bool coloured = false;
  for (int y = 0; y < 24; ++y)
    for (int x = 0; x < 24; ++x) {
      const QRgb p = disabled.pixel(x, y);
      coloured = coloured || qRed(p) != qGreen(p) || qGreen(p) != qBlue(p);
    }
  EXPECT_FALSE(coloured);
  EXPECT_EQ(OpaquePixels(disabled), smallPixels);
}

TEST_F(FrameTest, EveryToolbarButtonHasAnIconAndItsToolTipAndFitsAt1600Pixels) {
  CMainFrame& f = frame();
  for (CNUVToolbar* bar : f.toolbars()) bar->show();
  f.resize(1600, 1000);
  f.show();
  ASSERT_TRUE(WaitFor([&] { return f.isVisible() && f.width() == 1600; }));
  QCoreApplication::processEvents();
  SaveScreenshot(f, "toolbars_1600");

  for (CNUVToolbar* bar : f.toolbars()) {
    SCOPED_TRACE(bar->name());
    SaveScreenshot(*bar, "toolbar_" + bar->name());
    std::vector<int> shown;
    for (QAction* action : bar->actions()) {
      if (action->isSeparator()) {
        shown.push_back(kToolbarSeparator);
        continue;
      }
      auto* button = qobject_cast<QToolButton*>(bar->widgetForAction(action));
      if (!button) continue;  // the network list
      const int id = action->data().toInt();
      shown.push_back(id);
      SCOPED_TRACE(id);
      EXPECT_FALSE(button->icon().isNull());
      EXPECT_FALSE(button->icon().pixmap(24, 24).isNull());
      EXPECT_EQ(action->toolTip(), QString::fromStdString(ToolbarCommandText(id)).trimmed());
      // A button that does not fit is hidden and moved to the extension menu.
      EXPECT_TRUE(button->isVisible());
      EXPECT_GT(button->width(), 0);
    }
    // Commands and order are those the bar was loaded with.
    EXPECT_EQ(shown, ToolbarResourceButtons(bar->name()));
    auto* extension = bar->findChild<QToolButton*>("qt_toolbar_ext_button");
    EXPECT_TRUE(!extension || !extension->isVisible());
  }

  // The frame's context menu lists every bar by its Russian title with a
  // check mark that follows the bar.
  std::unique_ptr<QMenu> menu(f.createPopupMenu());
  ASSERT_TRUE(menu);
  std::vector<QString> titles;
  for (QAction* action : menu->actions())
    if (action->isCheckable()) titles.push_back(action->text());
  EXPECT_EQ(titles, (std::vector<QString>{"Волновые формы", "Карта", "Список фаз", "ПОС"}));
  CNUVToolbar* dsp = f.toolbar("DSP");
  dsp->toggleViewAction()->trigger();
  EXPECT_FALSE(dsp->isVisible());
  dsp->toggleViewAction()->trigger();
  EXPECT_TRUE(dsp->isVisible());
}

}  // namespace
}  // namespace nuv::test
