// The windows of the event lists and the report over real databases: the
// processed-events window, the origin choosers of the secondary database,
// the report with its PDF, the detection import and the channel mask.

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QLineEdit>
#include <QRadioButton>
#include <QTableWidget>
#include <QTextBrowser>
#include <filesystem>

#include "catalogue/catalogue_fixture.h"
#include "catalogue/ui/event_list_windows.h"
#include "catalogue/ui/report_dialogs.h"
#include "screenshot.h"
#include "waveview_fixture.h"
#include "widgets/ui/channel_mask_dialog.h"

namespace nuv::test {
namespace {

constexpr double kT0 = 1.7e9;  // 2023-11-14 22:13:20 UTC

class CatalogueWindowsTest : public CatalogueTest {
 protected:
  void SetUp() override {
    EnsureApp();
    CatalogueTest::SetUp();
  }
  std::string Cell(QTableWidget* table, int row, int column) {
    QTableWidgetItem* item = table->item(row, column);
    return item ? item->text().toStdString() : "<none>";
  }
};

TEST_P(CatalogueWindowsTest, ProcessedEventsWindowListsLoadsAndRemembers) {
  Workstation& ws = Prepared();
  MainEvent("E1", "Первое", "NULL", kT0, kT0 + 30);
  MainEvent("E3", "Третье", "42.5", kT0 + 100, kT0 + 130);
  ws.event().eventId = PadEventId("e1");
  std::vector<std::string> loaded;
  CShowOrigins window(
      ws,
      [&](const std::string& id) {
        loaded.push_back(id);
        return id == "E3";
      },
      [] { return kT0 + 200; });
  window.FillLastDay();
  ASSERT_EQ(window.table()->rowCount(), 2);
  EXPECT_EQ(Cell(window.table(), 0, 0), "E3");
  EXPECT_EQ(Cell(window.table(), 1, 3), "");  // no latitude
  EXPECT_EQ(Cell(window.table(), 1, 4), "74.250");
  EXPECT_EQ(window.table()->currentRow(), 1);  // the current event
  SaveScreenshot(window, "processed_events");

  prompts.answers = {PromptAnswer::No, PromptAnswer::Yes, PromptAnswer::Yes};
  window.LoadRow(0);  // "No": nothing loaded
  EXPECT_TRUE(loaded.empty());
  window.LoadRow(1);  // the load fails: the identity stays
  EXPECT_EQ(ws.event().eventId, PadEventId("e1"));
  window.LoadRow(0);
  EXPECT_EQ(loaded.back(), "E3");
  EXPECT_EQ(ws.event().eventId, PadEventId("E3"));
  EXPECT_EQ(ws.event().eventComment, "Третье");
  EXPECT_EQ(prompts.records[0].text, "Загрузить список фаз 'E3' ?");
  window.LoadRow(7);  // outside the list: nothing asked
  EXPECT_EQ(prompts.records.size(), 3u);

  window.ShowWindow();
  EXPECT_EQ(ws.ini().GetString("SHOWORIGINS", "SHOWWINDOW", "", 8), "1");
  window.reject();
  EXPECT_FALSE(window.isVisible());
  EXPECT_EQ(ws.ini().GetString("SHOWORIGINS", "SHOWWINDOW", "", 8), "0");

  // Hidden, the window does not follow the main pane (no query, no error).
  db().Exec("drop table ARRIVAL");
  const size_t before = prompts.records.size();
  window.FollowWindow(kT0, 1000);
  EXPECT_EQ(prompts.records.size(), before);
  EXPECT_EQ(window.table()->rowCount(), 2);
  window.ShowWindow();
  window.FollowWindow(kT0, 1000);
  EXPECT_EQ(window.table()->rowCount(), 0);
  ASSERT_EQ(prompts.records.size(), before + 1);
  EXPECT_EQ(prompts.records.back().icon, PromptIcon::Error);
}

TEST_P(CatalogueWindowsTest, OriginChoosersFollowTheirSettingsAndRefuseBadInput) {
  Workstation& ws = Prepared();
  for (long orid = 1; orid <= 5; ++orid)
    CssOrigin("origin", orid, "3", "4.5", kT0 + static_cast<double>(orid));
  ws.ini().WriteString("SelectOridGroup", "SELECT ALL", "0");
  ws.ini().WriteString("SelectOridGroup", "MaxEvents", "2");
  ws.ini().WriteString("Columns Width", "InitialIndexList1", "55,-1,0,90");
  COriginChooser chooser(ws, COriginChooser::Source::Css);
  EXPECT_EQ(chooser.windowTitle(), "Выберите индекс землетрясения из вторичной БД");
  EXPECT_EQ(chooser.table()->rowCount(), 2);
  EXPECT_EQ(chooser.table()->columnWidth(0), 55);
  EXPECT_EQ(chooser.table()->columnWidth(3), 90);
  EXPECT_TRUE(chooser.countEdit()->isEnabled());
  SaveScreenshot(chooser, "css_origin_chooser");

  chooser.allButton()->click();
  EXPECT_EQ(chooser.table()->rowCount(), 5);
  EXPECT_FALSE(chooser.countEdit()->isEnabled());
  chooser.lastButton()->click();
  chooser.countEdit()->setText("0");  // outside 1..1000: an empty list
  chooser.Refill();
  EXPECT_EQ(chooser.table()->rowCount(), 0);
  chooser.countEdit()->setText("3");
  chooser.Refill();
  ASSERT_EQ(chooser.table()->rowCount(), 3);
  chooser.accept();  // nothing selected: stays open
  EXPECT_EQ(chooser.result(), QDialog::Rejected);
  EXPECT_TRUE(chooser.orid().empty());
  chooser.table()->selectRow(1);
  chooser.accept();
  EXPECT_EQ(chooser.result(), QDialog::Accepted);
  EXPECT_EQ(chooser.orid(), "4");
  EXPECT_EQ(ws.ini().GetString("SelectOridGroup", "MaxEvents", "", 8), "3");
  EXPECT_EQ(ws.ini().GetString("Columns Width", "InitialIndexList1", "", 64).rfind("55,", 0), 0u);

  CssOrigin("origin_alert", 11, "4", "4.25", kT0);
  COriginChooser alerts(ws, COriginChooser::Source::Alert);
  EXPECT_EQ(alerts.windowTitle(), "Выберите событие для загрузки");
  ASSERT_EQ(alerts.table()->rowCount(), 1);
  EXPECT_EQ(Cell(alerts.table(), 0, 6), "4.2");
  SaveScreenshot(alerts, "alert_origin_chooser");

  // A broken secondary database: the driver's text for ORIGIN, an empty
  // list without a message for ORIGIN_ALERT.
  db().ExecCss("drop table origin");
  db().ExecCss("drop table origin_alert");
  const size_t before = prompts.records.size();
  COriginChooser broken(ws, COriginChooser::Source::Css);
  EXPECT_EQ(broken.table()->rowCount(), 0);
  ASSERT_EQ(prompts.records.size(), before + 1);
  EXPECT_EQ(prompts.records.back().icon, PromptIcon::Error);
  COriginChooser brokenAlerts(ws, COriginChooser::Source::Alert);
  EXPECT_EQ(brokenAlerts.table()->rowCount(), 0);
  EXPECT_EQ(prompts.records.size(), before + 1);
}

TEST_P(CatalogueWindowsTest, ReportShowsPrintsToPdfAndRefusesBadPeriods) {
  Workstation& ws = Prepared();
  MainEvent("E1", "Первое <событие>", "42", kT0, kT0 + 30);
  CEventReport report(ws, kT0 + 86400);
  EXPECT_EQ(report.fromEdit()->dateTime().toSecsSinceEpoch(), 1698796800);  // 01/11/2023
  report.phasesBox()->setChecked(true);
  ASSERT_TRUE(report.Show());
  const QString text = report.browser()->toPlainText();
  EXPECT_TRUE(text.contains("Первое <событие>"));
  EXPECT_TRUE(text.contains("KUR"));
  ASSERT_FALSE(report.reportFile().empty());
  EXPECT_TRUE(std::filesystem::exists(report.reportFile()));
  const double size = report.browser()->font().pointSizeF();
  report.fontCombo()->setCurrentIndex(4);
  EXPECT_GT(report.browser()->font().pointSizeF(), size);
  SaveScreenshot(report, "event_report");

  const std::string pdf = (db().dir().path() / "report.pdf").string();
  ASSERT_TRUE(report.SaveAsPdf(pdf));
  EXPECT_EQ(TempDir::ReadFile(pdf).substr(0, 4), "%PDF");
  EXPECT_FALSE(report.SaveAsPdf("/nonexistent-folder/report.pdf"));
  EXPECT_EQ(prompts.MessageTexts().back(),
            "Ошибка открытия файла  '/nonexistent-folder/report.pdf'");

  report.toEdit()->setDateTime(report.fromEdit()->dateTime().addSecs(-1));
  EXPECT_FALSE(report.Show());
  EXPECT_EQ(prompts.MessageTexts().back(), "Введено ошибочное время");
  report.toEdit()->setDateTime(QDateTime::fromSecsSinceEpoch(kT0 + 100, Qt::UTC));
  db().Exec("drop table ORIGIN");
  const QString shown = report.browser()->toPlainText();
  EXPECT_FALSE(report.Show());
  EXPECT_EQ(prompts.records.back().icon, PromptIcon::Error);
  EXPECT_EQ(report.browser()->toPlainText(), shown);  // the last report stays
}

TEST_P(CatalogueWindowsTest, ImportDialogChecksFittingRowsAndAddsThem) {
  Workstation& ws = Prepared();
  db().ExecCss(
      "create table ALERT (NET varchar(8), STA varchar(6), TIME float, PHASE varchar(8), AMP "
      "float, PER float)");
  db().ExecCss(StrFormat("insert into ALERT values ('KZ', 'KUR', %.3f, 'N', 0, 0)", kT0 + 154));
  db().ExecCss(StrFormat("insert into ALERT values ('KZ', 'ARU', %.3f, 'P', 0, 0)", kT0 + 900));
  Origin(ws, kT0);
  int refreshed = 0;
  CGetArrivalsDlg dialog(ws, CGetArrivalsDlg::Source::Alert, kT0 + 5000, [&] { ++refreshed; });
  EXPECT_EQ(dialog.fromEdit()->dateTime().toSecsSinceEpoch(), static_cast<qint64>(kT0));
  ASSERT_EQ(dialog.table()->rowCount(), 2);
  EXPECT_EQ(Cell(dialog.table(), 1, 1), "P");
  EXPECT_EQ(Cell(dialog.table(), 1, 3), "4.000");
  EXPECT_EQ(Cell(dialog.table(), 1, 2), "14.11.2023 22:15:54");
  EXPECT_EQ(Cell(dialog.table(), 0, 3), "");  // 600 s late: not shown
  EXPECT_EQ(dialog.table()->item(1, 0)->checkState(), Qt::Checked);
  SaveScreenshot(dialog, "get_arrivals");
  dialog.SortBy(0);
  EXPECT_EQ(Cell(dialog.table(), 0, 0), "ARU");
  // Unchecking by hand keeps the row out.
  dialog.table()->item(1, 0)->setCheckState(Qt::Unchecked);
  EXPECT_EQ(dialog.AddPhases(), 0);
  dialog.table()->item(1, 0)->setCheckState(Qt::Checked);
  EXPECT_EQ(dialog.AddPhases(), 1);
  EXPECT_EQ(ws.phases().Count(), 1);
  EXPECT_EQ(refreshed, 2);

  db().ExecCss("drop table ALERT");
  dialog.Reload();
  EXPECT_EQ(dialog.table()->rowCount(), 0);
  EXPECT_EQ(prompts.records.back().icon, PromptIcon::Error);
}

NUV_DATABASE_TEST_SUITE(CatalogueWindowsTest);

TEST(ChannelMaskDialog, KeepsFourCharactersAndThePreviousMask) {
  EnsureApp();
  ChannelMaskDialog dialog("s?z");
  EXPECT_EQ(dialog.windowTitle(), "Выбрать каналы");
  EXPECT_EQ(dialog.mask(), "s?z");
  dialog.edit()->clear();
  QTest::keyClicks(dialog.edit(), "[bs]hzxx");
  EXPECT_EQ(dialog.mask(), "[bs]");
  SaveScreenshot(dialog, "channel_mask");
  ChannelMaskDialog longPrevious("abcdefgh");
  EXPECT_EQ(longPrevious.mask(), "abcd");
}

}  // namespace
}  // namespace nuv::test
