// The file choosers of the desktop prompts: classic filters in Qt's form and
// the save dialog's default extension, which must be added before the
// dialog's overwrite question.

#include "app/ui/qt_prompts.h"

#include <QFileDialog>

#include "frame_fixture.h"
#include "support/temp_dir.h"

namespace nuv::test {
namespace {

TEST(QtPromptsFilters, ClassicFiltersBecomeQtFilters) {
  EXPECT_EQ(QtFileFilter("wfdisc files|*.wfdisc||"), "wfdisc files (*.wfdisc)");
  EXPECT_EQ(QtFileFilter("Программы (*.exe)|*.exe|Все файлы (*.*)|*.*||"),
            "Программы (*.exe);;Все файлы (*.*)");
  EXPECT_EQ(QtFileFilter("Data|*.dat;*.txt||"), "Data (*.dat *.txt)");
  EXPECT_EQ(QtFileFilter(""), "");

  EXPECT_EQ(DefaultSuffix("wfdisc files|*.wfdisc||"), "wfdisc");
  EXPECT_EQ(DefaultSuffix("Data|*.dat;*.txt||"), "dat");
  EXPECT_EQ(DefaultSuffix("Все файлы (*.*)|*.*||"), "");
  EXPECT_EQ(DefaultSuffix("Any|*||"), "");
  EXPECT_EQ(DefaultSuffix("broken"), "");
}

TEST(QtPromptsFilters, SaveDialogAddsTheExtensionBeforeAskingToOverwrite) {
  FrameTestApp();
  TempDir dir;
  dir.WriteFile("set.wfdisc", "old");
  QFileDialog dialog(nullptr, "Select .wfdisc file name", QString::fromStdString(dir.path()));
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  PrepareSaveDialog(dialog, "wfdisc files|*.wfdisc||");
  EXPECT_EQ(dialog.acceptMode(), QFileDialog::AcceptSave);
  EXPECT_FALSE(dialog.testOption(QFileDialog::DontConfirmOverwrite));
  EXPECT_EQ(dialog.nameFilters(), QStringList{"wfdisc files (*.wfdisc)"});
  // "set" typed: the dialog checks and returns the existing "set.wfdisc".
  dialog.selectFile("set");
  ASSERT_EQ(dialog.selectedFiles().size(), 1);
  EXPECT_EQ(dialog.selectedFiles().front().toStdString(), (dir / "set.wfdisc").string());
  dialog.selectFile("other.wfdisc");
  EXPECT_EQ(dialog.selectedFiles().front().toStdString(), (dir / "other.wfdisc").string());
}

}  // namespace
}  // namespace nuv::test
