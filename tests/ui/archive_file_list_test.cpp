// "Список файлов волновых форм": the index rows of one station in the
// dialog's order and filters, the choice handed back, the keyboard and the
// database's own error text.

#include <QCheckBox>
#include <QDateTimeEdit>
#include <QHeaderView>
#include <QRadioButton>
#include <QTest>
#include <QTreeWidget>

#include "frame_fixture.h"
#include "platform/strformat.h"
#include "platform/time_base.h"
#include "screenshot.h"
#include "support/test_database.h"
#include "waveview/ui/archive_file_list_dialog.h"

namespace nuv::test {
namespace {

// 2009-08-05 17:00:00 UTC.
constexpr double kT0 = 1249491600.0;

class ArchiveFileListTest : public ::testing::Test {
 protected:
  void SetUp() override {
    FrameTestApp();
    db = std::make_unique<TestDatabase>(DbBackend::Sqlite, TestDatabaseOptions{.css = true});
    ws = db->MakeWorkstation(prompts);
    CScreenFields abc;
    abc.code = "ABC";
    ws->stations().records().push_back(abc);
  }
  void AddRow(const char* sta, const char* ch, const char* cpath, double tbegin, double tqty) {
    db->Exec(StrFormat(
        "insert into FILELIST (STA, CH, CPATH, TBEGIN, TQTY, SPS, FOFF, CREATER) values ('%s', "
        "'%s', '%s', %.3f, %.3f, 20, 512, 'NUVREC')",
        sta, ch, cpath, tbegin, tqty));
  }
  static std::vector<QString> Column(const QTreeWidget* list, int column) {
    std::vector<QString> texts;
    for (int i = 0; i < list->topLevelItemCount(); ++i)
      texts.push_back(list->topLevelItem(i)->text(column));
    return texts;
  }

  ScriptedPrompts prompts;
  std::unique_ptr<TestDatabase> db;
  std::unique_ptr<Workstation> ws;
};

TEST_F(ArchiveFileListTest, ListsTheStationNewestFirstAndHandsBackTheChosenRow) {
  AddRow("ABC", "BHZ", "ABC/1.BHZ", kT0, 3600);
  AddRow("ABC", "BHN", "ABC/1.BHN", kT0, 3600);
  AddRow("ABC", "BHZ", "ABC/2.BHZ", kT0 + 3600.5, 5400.25);
  AddRow("DEF", "BHZ", "DEF/1.BHZ", kT0 + 7200, 3600);

  // No channel chosen for the station: every row of it, newest first.
  CArchiveFileListDlg dlg(*ws, 0, {});
  EXPECT_EQ(dlg.windowTitle(), "Список файлов волновых форм");
  EXPECT_FALSE(dlg.onlyChosenChannels()->isChecked());
  EXPECT_TRUE(dlg.allFiles()->isChecked());
  EXPECT_FALSE(dlg.fromEdit()->isEnabled());
  ASSERT_EQ(dlg.list()->topLevelItemCount(), 3);
  EXPECT_EQ(Column(dlg.list(), 3), (std::vector<QString>{"ABC/2.BHZ", "ABC/1.BHZ", "ABC/1.BHN"}));
  EXPECT_EQ(dlg.list()->topLevelItem(0)->text(0), "05/08/2009 18:00:0.500");
  EXPECT_EQ(dlg.list()->topLevelItem(0)->text(1), "01:30:0.2500");
  EXPECT_EQ(dlg.list()->topLevelItem(0)->text(2), " 20");
  EXPECT_EQ(dlg.list()->topLevelItem(0)->text(4), "NUVREC");
  SaveScreenshot(dlg, "archive-file-list");

  // OK without a row beeps and stays; Enter on a row takes it.
  dlg.show();
  QApplication::setActiveWindow(&dlg);
  dlg.list()->setFocus();
  dlg.TryAccept();
  ASSERT_FALSE(prompts.records.empty());
  EXPECT_EQ(prompts.records.back().kind, "beep");
  EXPECT_TRUE(dlg.isVisible());
  dlg.list()->setCurrentItem(dlg.list()->topLevelItem(0));
  dlg.list()->setFocus();
  QTest::keyClick(dlg.list(), Qt::Key_Return);
  EXPECT_EQ(dlg.result(), QDialog::Accepted);
  EXPECT_DOUBLE_EQ(dlg.start(), kT0 + 3600.5);
  EXPECT_DOUBLE_EQ(dlg.duration(), 5400.25);
}

TEST_F(ArchiveFileListTest, ChosenChannelsAndAnIntervalNarrowTheList) {
  AddRow("ABC", "BHZ", "ABC/1.BHZ", kT0, 3600);
  AddRow("ABC", "BHN", "ABC/1.BHN", kT0, 3600);
  AddRow("ABC", "BHN", "ABC/2.BHN", kT0 + 86400, 3600);

  // A channel chosen for the station ticks the box: only its rows.
  CArchiveFileListDlg dlg(*ws, 0, {"BHN"});
  EXPECT_TRUE(dlg.onlyChosenChannels()->isChecked());
  EXPECT_EQ(Column(dlg.list(), 3), (std::vector<QString>{"ABC/2.BHN", "ABC/1.BHN"}));
  dlg.onlyChosenChannels()->setChecked(false);
  EXPECT_EQ(dlg.list()->topLevelItemCount(), 3);
  dlg.onlyChosenChannels()->setChecked(true);

  // Files beginning between two times (whole seconds around the given ones);
  // Enter in a time field lists them and leaves the dialog open.
  dlg.betweenTimes()->setChecked(true);
  EXPECT_TRUE(dlg.fromEdit()->isEnabled());
  dlg.SetTimes(kT0 - 0.5, kT0 + 59.2);
  EXPECT_EQ(dlg.Filter(), StrFormat("STA='ABC' and (TBEGIN between %ld and %ld) and (  1=0  or "
                                    "CH='BHN'   ) ",
                                    static_cast<long>(kT0) - 1, static_cast<long>(kT0) + 60));
  dlg.show();
  QApplication::setActiveWindow(&dlg);
  dlg.toEdit()->setFocus();
  QTest::keyClick(dlg.toEdit(), Qt::Key_Return);
  EXPECT_TRUE(dlg.isVisible());
  EXPECT_NE(dlg.result(), QDialog::Accepted);
  EXPECT_EQ(Column(dlg.list(), 3), std::vector<QString>{"ABC/1.BHN"});

  // With WFD on the CSS database's wfdisc is listed (channels in lower case).
  db->ExecCss(
      "insert into wfdisc (sta, chan, time, nsamp, samprate, dir, dfile) values ('ABC', 'bhn', "
      "1249491600, 400, 40, '/css', 'a.w')");
  ws->config().wfd = true;
  dlg.Refresh();
  ASSERT_EQ(dlg.list()->topLevelItemCount(), 1);
  EXPECT_EQ(dlg.list()->topLevelItem(0)->text(3), "/css/a.w");
  EXPECT_EQ(dlg.list()->topLevelItem(0)->text(1), "00:00:10.0000");
}

TEST_F(ArchiveFileListTest, ADatabaseErrorShowsTheDriversText) {
  AddRow("ABC", "BHZ", "ABC/1.BHZ", kT0, 3600);
  CArchiveFileListDlg dlg(*ws, 0, {});
  ASSERT_EQ(dlg.list()->topLevelItemCount(), 1);
  db->Exec("drop table FILELIST");
  dlg.Refresh();
  EXPECT_EQ(dlg.list()->topLevelItemCount(), 0);
  ASSERT_FALSE(prompts.records.empty());
  EXPECT_EQ(prompts.records.back().icon, PromptIcon::Error);
  EXPECT_NE(prompts.records.back().text.find("FILELIST"), std::string::npos);
  // The rows of the former list are gone: OK only beeps.
  dlg.TryAccept();
  EXPECT_EQ(prompts.records.back().kind, "beep");
  // The empty list still shows every column title whole.
  const QFontMetrics fm(dlg.list()->header()->font());
  for (int column = 0; column + 1 < dlg.list()->columnCount(); ++column)
    EXPECT_GE(dlg.list()->header()->sectionSize(column),
              fm.horizontalAdvance(dlg.list()->headerItem()->text(column)))
        << column;
}

}  // namespace
}  // namespace nuv::test
