// The bulletin commands of the phase-list menu with scripted file choosers
// and dialogs: writing and reading back, damaged and missing files, files
// that cannot be created, the CSS exports and the dialogs themselves.

#include "bulletins/ui/bulletin_commands.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QDateTimeEdit>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <filesystem>

#include "bulletins/ui/bulletin_dialogs.h"
#include "catalogue/catalogue_fixture.h"
#include "screenshot.h"
#include "waveview_fixture.h"
#include "widgets/ui/command_registry.h"

namespace nuv::test {
namespace {

constexpr double kT0 = 1.7e9;

class FakeBulletinDialogs : public BulletinDialogs {
 public:
  std::optional<CssTarget> target;
  std::vector<CssTarget> previous;
  std::optional<CssPeriod> period;
  std::optional<ChosenBulletinEvent> chosen;
  std::vector<std::string> listed;
  std::optional<CssTarget> AskCssTarget(QWidget*, const CssTarget& last) override {
    previous.push_back(last);
    return target;
  }
  std::optional<CssPeriod> AskCssPeriod(QWidget*, const std::string&, double) override {
    return period;
  }
  std::optional<ChosenBulletinEvent> ChooseEvent(QWidget*,
                                                 const std::vector<ImsEventEntry>& e) override {
    for (const ImsEventEntry& entry : e) listed.push_back(entry.identifier);
    return chosen;
  }
};

class BulletinCommandsTest : public CatalogueTest {
 protected:
  void SetUp() override {
    EnsureApp();
    CatalogueTest::SetUp();
    if (IsSkipped()) return;  // no PostgreSQL data source
    Workstation& ws = Prepared();
    dialogs_ = std::make_shared<FakeBulletinDialogs>();
    RegisterBulletinCommands(commands_, ws, nullptr, dialogs_,
                             {[this] { ++refreshed_; }, [] { return kT0 + 7200; }});
  }
  void AddEvent() {
    Workstation& ws = workstation();
    Origin(ws, kT0);
    ws.event().eventId = PadEventId("EV1");
    ws.event().orid = 5;
    SEISMIC_PHASE p;
    p.phaseType = 0;
    p.SetTime(kT0 + 150.25);
    p.defining = 1;
    p.onset = 1;
    ws.phases().Add(p);
    p.phaseType = 2;
    p.SetTime(kT0 + 270.5);
    ws.phases().Add(p);
  }
  std::string File(const std::string& name) { return (db().dir().path() / name).string(); }
  std::vector<std::string> Messages() { return prompts.MessageTexts(); }

  CommandRegistry commands_;
  std::shared_ptr<FakeBulletinDialogs> dialogs_;
  int refreshed_ = 0;
};

TEST_P(BulletinCommandsTest, ArrFileWritesAndReadsBackAndRefusesDamagedInput) {
  Workstation& ws = workstation();
  EXPECT_FALSE(commands_.IsEnabled(cmd::kWriteArr));  // nothing to write
  AddEvent();
  prompts.paths = {File("event")};
  ASSERT_TRUE(commands_.Run(cmd::kWriteArr));
  ASSERT_TRUE(std::filesystem::exists(File("event.arr")));  // default extension
  ws.phases().RemoveAll();
  prompts.paths = {File("event.arr")};
  commands_.Run(cmd::kReadArrReplace);
  EXPECT_EQ(ws.phases().Count(), 2);
  prompts.paths = {File("event.arr")};
  commands_.Run(cmd::kReadArrAdd);  // the same phases replace themselves
  EXPECT_EQ(ws.phases().Count(), 2);
  EXPECT_EQ(refreshed_, 2);
  EXPECT_TRUE(Messages().empty());

  // A damaged file: the system's message, the list as it was.
  std::string text = TempDir::ReadFile(File("event.arr"));
  text.replace(7, 17, "     not-a-time  ");
  db().dir().WriteFile("bad.arr", text);
  prompts.paths = {File("bad.arr")};
  commands_.Run(cmd::kReadArrReplace);
  EXPECT_EQ(ws.phases().Count(), 2);
  ASSERT_EQ(Messages().size(), 1u);
  EXPECT_EQ(prompts.records.back().icon, PromptIcon::Error);
  EXPECT_EQ(refreshed_, 2);

  // A file that cannot be created.
  prompts.paths = {"/nonexistent-folder/x.arr"};
  commands_.Run(cmd::kWriteArr);
  EXPECT_EQ(Messages().back(), "Ошибка открытия файла  '/nonexistent-folder/x.arr'");
  // Cancelled choosers do nothing.
  commands_.Run(cmd::kWriteArr);
  commands_.Run(cmd::kReadArrAdd);
  EXPECT_EQ(Messages().size(), 2u);
}

TEST_P(BulletinCommandsTest, ImsBulletinRoundTripAndFailures) {
  Workstation& ws = workstation();
  AddEvent();
  prompts.paths = {File("event")};
  commands_.Run(cmd::kWriteReb);
  ASSERT_TRUE(std::filesystem::exists(File("event.txt")));
  ws.phases().RemoveAll();
  ws.event() = CurrentEvent{};

  // The chooser cancelled: nothing read.
  prompts.paths = {File("event.txt")};
  commands_.Run(cmd::kReadIms);
  EXPECT_EQ(dialogs_->listed, std::vector<std::string>{"EV1"});
  EXPECT_EQ(ws.phases().Count(), 0);
  EXPECT_EQ(refreshed_, 0);

  dialogs_->chosen = ChosenBulletinEvent{"EV1", false};
  prompts.paths = {File("event.txt")};
  commands_.Run(cmd::kReadIms);
  // Both come back; the S, for want of a horizontal channel, on the
  // vertical one, which the message notes with its line number.
  ASSERT_EQ(ws.phases().Count(), 2);
  EXPECT_NEAR(ws.phases().GetAt(0)->time, kT0 + 150.25, 0.006);
  EXPECT_EQ(ws.phases().GetAt(1)->channel, ws.phases().GetAt(0)->channel);
  EXPECT_EQ(ws.event().originValid, 1);
  EXPECT_EQ(ws.event().orid, 5);
  EXPECT_EQ(refreshed_, 1);
  ASSERT_EQ(Messages().size(), 1u);
  EXPECT_NE(Messages()[0].find("Замечания:"), std::string::npos) << Messages()[0];
  EXPECT_NE(Messages()[0].find("фаза помещена на канал"), std::string::npos);

  // An event missing from the file, and a missing file: messages, nothing changed.
  dialogs_->chosen = ChosenBulletinEvent{"NOPE", false};
  prompts.paths = {File("event.txt")};
  commands_.Run(cmd::kReadTrezon);
  EXPECT_EQ(ws.phases().Count(), 2);
  EXPECT_EQ(prompts.records.back().icon, PromptIcon::Error);
  prompts.paths = {File("absent.txt")};
  commands_.Run(cmd::kReadIms);
  EXPECT_EQ(Messages().back(), "Ошибка открытия файла: " + File("absent.txt"));
  EXPECT_EQ(ws.phases().Count(), 2);
}

TEST_P(BulletinCommandsTest, OtherWritersReportFilesTheyCannotCreate) {
  AddEvent();
  const int ids[] = {cmd::kWriteHypo71, cmd::kWriteKedro, cmd::kWriteOdr2};
  for (int id : ids) {
    prompts.paths = {File("out" + std::to_string(id) + ".dat")};
    commands_.Run(id);
    EXPECT_GT(std::filesystem::file_size(File("out" + std::to_string(id) + ".dat")), 0u) << id;
    prompts.paths = {"/nonexistent-folder/out.dat"};
    commands_.Run(id);
    EXPECT_EQ(Messages().back(), "Ошибка открытия файла  '/nonexistent-folder/out.dat'") << id;
  }
  EXPECT_EQ(Messages().size(), 3u);
}

TEST_P(BulletinCommandsTest, CssExportsRememberTheirFieldsAndReportFailures) {
  Workstation& ws = workstation();
  AddEvent();
  ws.event().orid = -1;
  ws.config().cssOutDir = File("");
  dialogs_->target = CssTarget{File(""), 0};
  commands_.Run(cmd::kWriteCssEvent);
  ASSERT_EQ(dialogs_->previous.size(), 1u);
  EXPECT_EQ(dialogs_->previous[0].orid, 1);                // a negative orid starts at 1
  EXPECT_TRUE(std::filesystem::exists(File("1.Origin")));  // below 1 written as 1
  EXPECT_TRUE(std::filesystem::exists(File("1.Arrival")));
  dialogs_->target = CssTarget{"/nonexistent-folder", 9};
  commands_.Run(cmd::kWriteCssEvent);
  EXPECT_EQ(dialogs_->previous[1].dir, File(""));  // the last use
  EXPECT_EQ(prompts.records.back().icon, PromptIcon::Error);
  EXPECT_EQ(dialogs_->previous.size(), 2u);

  MainEvent("E1", "Первое", "42", kT0, kT0 + 30);
  dialogs_->period = CssPeriod{File(""), kT0 - 10, kT0 + 1000};
  commands_.Run(cmd::kWriteCssPeriod);
  EXPECT_EQ(Messages().back(), "Файлы успешно сохранены");
  db().Exec("drop table ARRIVAL");
  const size_t before = Messages().size();
  commands_.Run(cmd::kWriteCssPeriod);
  ASSERT_EQ(Messages().size(), before + 1);
  EXPECT_EQ(prompts.records.back().icon, PromptIcon::Error);
}

NUV_DATABASE_TEST_SUITE(BulletinCommandsTest);

TEST(BulletinDialogs, ChooserNeedsARowAndTheFieldsRefuseBadInput) {
  EnsureApp();
  ScriptedPrompts prompts;
  CSelectImsEventDlg chooser(prompts, {{"EV1", "Регион 1", 1, 0}, {"LONGID12", "", 9, 100}});
  EXPECT_EQ(chooser.table()->rowCount(), 2);
  chooser.accept();
  EXPECT_EQ(chooser.result(), QDialog::Rejected);
  ASSERT_EQ(prompts.records.size(), 1u);
  EXPECT_EQ(prompts.records[0].kind, "beep");
  SaveScreenshot(chooser, "ims_event_chooser");
  chooser.table()->selectRow(1);
  chooser.phasesOnlyBox()->setChecked(true);
  chooser.accept();
  EXPECT_EQ(chooser.result(), QDialog::Accepted);
  EXPECT_EQ(chooser.identifier(), "LONGID12");
  EXPECT_TRUE(chooser.phasesOnly());

  CSelectOridAndDirDlg params(prompts, "/tmp", 5);
  SaveScreenshot(params, "css_event_parameters");
  params.oridEdit()->setText("пять");
  params.accept();
  EXPECT_EQ(params.result(), QDialog::Rejected);
  EXPECT_EQ(prompts.records.back().icon, PromptIcon::Error);
  params.oridEdit()->setText("-5");
  EXPECT_EQ(params.orid(), 1);
  prompts.paths = {"/data/out"};
  params.findChild<QPushButton*>("browse")->click();
  EXPECT_EQ(params.directory(), "/data/out");
  EXPECT_EQ(prompts.records.back().text, "Выбрать каталог");
  params.accept();
  EXPECT_EQ(params.result(), QDialog::Accepted);

  const double now = 1710496800;  // 15/03/2024 10:00:00
  CCssPeriodDlg period(prompts, "/tmp", now);
  EXPECT_EQ(period.from(), 1709251200);  // 01/03/2024 00:00:00
  EXPECT_EQ(period.to(), now);
  SaveScreenshot(period, "css_period");
  period.toEdit()->setDateTime(period.fromEdit()->dateTime().addSecs(-60));
  period.accept();
  EXPECT_EQ(period.result(), QDialog::Rejected);
  EXPECT_EQ(prompts.MessageTexts().back(), "Введено ошибочное время");
  period.dirEdit()->clear();
  period.toEdit()->setDateTime(period.fromEdit()->dateTime().addSecs(60));
  period.accept();  // no directory: refused with a beep
  EXPECT_EQ(period.result(), QDialog::Rejected);
  EXPECT_EQ(prompts.records.back().kind, "beep");
}

}  // namespace
}  // namespace nuv::test
