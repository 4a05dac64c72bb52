// Every dialog of the program speaks Russian: no English stock text of Qt
// ("Cancel", "Yes", "Open", ...) on a button, label or title, Qt's own
// message boxes and choosers included.

#include <QAbstractButton>
#include <QFileDialog>
#include <QFontDialog>
#include <QInputDialog>
#include <QLabel>
#include <QMessageBox>
#include <QTimer>
#include <set>

#include "app/ui/about_dialog.h"
#include "app/ui/qt_prompts.h"
#include "app/ui/settings_sheet.h"
#include "frame_fixture.h"
#include "waveview/ui/archive_file_list_dialog.h"
#include "waveview/ui/channel_dialogs.h"

namespace nuv::test {
namespace {

const std::set<QString>& EnglishStockTexts() {
  static const std::set<QString> texts = {"Cancel",
                                          "Yes",
                                          "No",
                                          "Yes to All",
                                          "No to All",
                                          "Apply",
                                          "Close",
                                          "Open",
                                          "Save",
                                          "Help",
                                          "Reset",
                                          "Discard",
                                          "Abort",
                                          "Retry",
                                          "Ignore",
                                          "Look in:",
                                          "File name:",
                                          "Files of type:",
                                          "Font",
                                          "Font style",
                                          "Size",
                                          "Effects",
                                          "Sample",
                                          "Strikeout",
                                          "Underline",
                                          "Writing System",
                                          "Choose",
                                          "&Open",
                                          "&Save",
                                          "&Cancel",
                                          "&Yes",
                                          "&No",
                                          "Back",
                                          "Forward",
                                          "Parent Directory",
                                          "Create New Folder",
                                          "Detail View",
                                          "List View",
                                          "Show hidden files",
                                          "Save As",
                                          "Select Font",
                                          "Writing system"};
  return texts;
}

// The English stock texts shown by `widget` and its children.
std::vector<std::string> EnglishTexts(const QWidget& widget) {
  std::vector<std::string> found;
  auto check = [&](QString text) {
    text.remove('&');
    for (const QString& stock : EnglishStockTexts()) {
      QString plain = stock;
      plain.remove('&');
      if (text.trimmed() == plain) found.push_back(text.toStdString());
    }
  };
  check(widget.windowTitle());
  for (const QAbstractButton* button : widget.findChildren<QAbstractButton*>())
    check(button->text());
  for (const QLabel* label : widget.findChildren<QLabel*>()) check(label->text());
  return found;
}

class RussianTexts : public FrameTest {};

TEST_F(RussianTexts, ProgramDialogsHaveNoEnglishStockTexts) {
  std::vector<std::unique_ptr<QWidget>> dialogs;
  dialogs.emplace_back(new CAboutDlg());
  dialogs.emplace_back(new CSelectStationChannelDlg(*ws, std::nullopt));
  dialogs.emplace_back(new CSaveChannelListDlg(*ws));
  dialogs.emplace_back(new CLoadChannelListDlg(*ws));
  dialogs.emplace_back(new CScaleDlg(1, -1, 2, -2));
  dialogs.emplace_back(new CArchiveFileListDlg(*ws, 0, {}));
  SettingsContext context;
  dialogs.emplace_back(new CSettingsSheet(*ws, context));
  for (const auto& dialog : dialogs)
    EXPECT_EQ(EnglishTexts(*dialog), std::vector<std::string>{})
        << dialog->metaObject()->className();
}

TEST_F(RussianTexts, QtChoosersAndBoxesAreTranslated) {
  // The pattern dialog, the font dialog and the file choosers are Qt's own.
  QInputDialog input;
  input.setOption(QInputDialog::NoButtons, false);
  EXPECT_EQ(EnglishTexts(input), std::vector<std::string>{});
  QFontDialog font;
  font.setOption(QFontDialog::DontUseNativeDialog);
  EXPECT_EQ(EnglishTexts(font), std::vector<std::string>{});
  QFileDialog files;
  files.setOption(QFileDialog::DontUseNativeDialog);
  EXPECT_EQ(EnglishTexts(files), std::vector<std::string>{});
  files.setAcceptMode(QFileDialog::AcceptSave);
  EXPECT_EQ(EnglishTexts(files), std::vector<std::string>{});

  // A question through the program's prompts: its box is inspected while it
  // is shown, then answered.
  QtPrompts prompts;
  std::vector<std::string> english;
  bool seen = false;
  QTimer::singleShot(0, [&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box) return;
    seen = true;
    english = EnglishTexts(*box);
    box->reject();
  });
  prompts.Message("Сохранить?", "", PromptIcon::Question, PromptButtons::YesNoCancel);
  EXPECT_TRUE(seen);
  EXPECT_EQ(english, std::vector<std::string>{});
}

}  // namespace
}  // namespace nuv::test
