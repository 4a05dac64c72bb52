// The settings sheet "Установки": every page fills from the configuration
// and NUV.INI and writes exactly its keys when the sheet is accepted.

#include "app/ui/settings_sheet.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QKeySequenceEdit>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <filesystem>

#include "app/ui/pick_keys_page.h"
#include "frame_fixture.h"
#include "screenshot.h"

namespace nuv::test {
namespace {

class SettingsSheetTest : public FrameTest {
 protected:
  std::string IniText() const override {
    return "[GODOGRAPH]\nTotal#=2\nN#=0\nNAME0=IASP91\nDIR0=/tt/iasp91\nNAME1=Local\nDIR1=/tt/"
           "local\n"
           "[DATA]\nDIR=/data/in\n[OUT]\nDIR=/data/out\n[DIR]\nCSSDATAPATH=/css\nIMSREBPATH=/ims\n"
           "[DATABASE]\nUSE_TEND=1\n[AMPLITUDE]\nDEFAULT=1\n"
           "[PRESELECTED PHASES]\nSelection=Regional\nRegional=Pn;Sn;\n"
           "[FKEXT]\nMODULE=/opt/fk\nWFD=/tmp/fk\n";
  }
  std::string Ini(const char* section, const char* key) {
    return ws->ini().Find(section, key).value_or("<missing>");
  }
  SettingsContext context;
  WaveformDisplaySettings waveform;
  int reloads = 0;

  void SetUp() override {
    FrameTest::SetUp();
    context.mainConnectionString = "DSN=NUV;UID=nuv;PWD=nuv;";
    context.waveform = &waveform;
    context.reloadTravelTimes = [this] { ++reloads; };
  }
};

TEST_F(SettingsSheetTest, SevenPagesInOrder) {
  CSettingsSheet sheet(*ws, context);
  EXPECT_EQ(sheet.windowTitle(), "Установки");
  QStringList titles;
  for (int i = 0; i < sheet.tabs()->count(); ++i) titles << sheet.tabs()->tabText(i);
  EXPECT_EQ(titles, QStringList({"Установки", "Параметры сохранения данных в формате CSS 3.0",
                                 "Расчет амплитуды по умолчанию", "Наборы фаз",
                                 "Установки окна \"Волновые формы\"", "Клавиши отметки фаз",
                                 "Настройка параметров внешней программы F-K анализа"}));
  // Every tab is in sight at the sheet's size: no scroll arrows.
  sheet.show();
  const QTabBar* bar = sheet.tabs()->tabBar();
  for (int i = 0; i < sheet.tabs()->count(); ++i) {
    EXPECT_LE(bar->tabRect(i).right(), bar->width()) << i;
    EXPECT_EQ(sheet.tabs()->tabToolTip(i), titles[i]);
  }
  for (int i = 0; i < sheet.tabs()->count(); ++i) {
    sheet.tabs()->setCurrentIndex(i);
    SaveScreenshot(sheet, "settings-page-" + std::to_string(i + 1));
  }
  CSettingsSheet single(*ws, context, true);
  ASSERT_EQ(single.tabs()->count(), 1);
  EXPECT_EQ(single.tabs()->tabText(0), "Установки окна \"Волновые формы\"");
}

TEST_F(SettingsSheetTest, WorkingParametersWriteTheirKeys) {
  CSettingsSheet sheet(*ws, context);
  auto* page = sheet.page<CWorkParamsPage>();
  ASSERT_NE(page, nullptr);
  EXPECT_EQ(page->dataDirEdit->text(), "/data/in");
  EXPECT_EQ(page->travelTimeSets->count(), 2);
  EXPECT_EQ(page->travelTimeSets->currentText(), "IASP91");
  EXPECT_EQ(page->mainDbEdit->text(), "DSN=NUV;UID=nuv;PWD=nuv;");
  EXPECT_TRUE(page->cssDbEdit->text().isEmpty());
  // Without a CSS connection its choices are closed.
  EXPECT_FALSE(page->fromCssDb->isEnabled());
  EXPECT_FALSE(page->saveToCssDb->isEnabled());
  EXPECT_TRUE(page->fromMainDb->isChecked());
  EXPECT_TRUE(page->useTend->isChecked());

  page->dataDirEdit->setText("/elsewhere");
  // The "..." button of the output directory asks for a folder.
  prompts.paths = {"/chosen/out"};
  page->outDirEdit->parentWidget()->findChild<QPushButton*>()->click();
  EXPECT_EQ(page->outDirEdit->text(), "/chosen/out");
  page->travelTimeSets->setCurrentIndex(1);
  page->useTend->setChecked(false);
  page->cssDataPathEdit->setText("/css2");
  page->imsRebPathEdit->setText("C:\\ims2");
  sheet.accept();

  // The data directory is there at the next start too.
  EXPECT_EQ(ws->config().dataDir, "/elsewhere");
  EXPECT_EQ(Ini("DATA", "DIR"), "/elsewhere");
  EXPECT_EQ(Ini("OUT", "DIR"), "/chosen/out");
  EXPECT_EQ(ws->config().outDir, "/chosen/out");
  EXPECT_EQ(Ini("GODOGRAPH", "N#"), "1");
  EXPECT_EQ(ws->config().travelTimeSet, 1);
  EXPECT_EQ(ws->config().travelTimeDir, "/tt/local");
  EXPECT_EQ(reloads, 1);
  EXPECT_EQ(Ini("DATABASE", "WFD"), "0");
  EXPECT_EQ(Ini("DATABASE", "USE_TEND"), "0");
  EXPECT_EQ(Ini("DATABASE", "SAVETOCSSDB"), "1");
  EXPECT_EQ(Ini("DIR", "CSSDATAPATH"), "/css2");
  EXPECT_EQ(Ini("DIR", "IMSREBPATH"), "C:\\ims2");
  EXPECT_EQ(ws->config().imsRebPath, "C:/ims2");
}

TEST_F(SettingsSheetTest, WhatTheSheetShowsIsWhatTheNextStartReads) {
  const std::string cyrillicDir = "/данные/" + std::string(60, 'x') + "/сейсмограммы/архив";
  {
    CSettingsSheet sheet(*ws, context);
    auto* page = sheet.page<CWorkParamsPage>();
    page->dataDirEdit->setText("/archive/new");
    page->outDirEdit->setText("/результаты");
    sheet.page<CCss30OutputPage>()->dirEdit->setText("/css/вывод");
    sheet.accept();
    EXPECT_EQ(sheet.result(), QDialog::Accepted);
  }
  StartupOptions options;
  options.settingsDir = dir / "settings";
  options.executableDir = dir.path().string() + "/";
  ScriptedPrompts quiet;
  std::unique_ptr<Workstation> next = CreateWorkstation(options, quiet);
  EXPECT_EQ(next->config().dataDir, "/archive/new");
  EXPECT_EQ(next->config().outDir, "/результаты");
  EXPECT_EQ(next->config().cssOutDir, "/css/вывод");

  // A directory NUV.INI would give back cut (99 bytes of [DATA] DIR) is
  // refused with its field named; nothing is written, the sheet stays open.
  ASSERT_GT(cyrillicDir.size(), 99u);
  ASSERT_LE(cyrillicDir.size(), 99u * 2);
  CSettingsSheet sheet(*ws, context);
  sheet.show();
  auto* page = sheet.page<CWorkParamsPage>();
  sheet.tabs()->setCurrentIndex(2);
  page->dataDirEdit->setText(QString::fromStdString(cyrillicDir));
  ASSERT_EQ(page->dataDirEdit->text().toStdString(), cyrillicDir);
  prompts.records.clear();
  sheet.accept();
  EXPECT_TRUE(sheet.isVisible());
  EXPECT_EQ(sheet.tabs()->currentWidget(), page);
  ASSERT_EQ(prompts.MessageTexts().size(), 1u);
  EXPECT_EQ(prompts.MessageTexts()[0],
            "Текст поля \"Каталог с данными\" длиннее 99 байт: в NUV.INI он сохранится не "
            "полностью. Сократите его.");
  EXPECT_EQ(Ini("DATA", "DIR"), "/archive/new");
  SaveScreenshot(sheet, "settings-too-long");

  // A directory given with DATA= for one run is not written unless changed.
  options.args = {"nuv", "DATA=/just/this/run"};
  std::unique_ptr<Workstation> once = CreateWorkstation(options, quiet);
  CSettingsSheet onceSheet(*once, context);
  onceSheet.accept();
  EXPECT_EQ(Ini("DATA", "DIR"), "/archive/new");
}

TEST_F(SettingsSheetTest, CssChoicesFollowTheConnectionAndThePhaseList) {
  context.cssConnected = true;
  context.cssConnectionString = "DSN=CSS;UID=u;PWD=p;";
  context.phaseCount = 2;
  CSettingsSheet sheet(*ws, context);
  auto* page = sheet.page<CWorkParamsPage>();
  EXPECT_EQ(page->cssDbEdit->text(), "DSN=CSS;UID=u;PWD=p;");
  // Phases in the list: another travel-time set may not be chosen.
  EXPECT_FALSE(page->travelTimeSets->isEnabled());
  ASSERT_TRUE(page->fromCssDb->isEnabled());
  page->fromCssDb->click();
  // TEND belongs to the main database's index.
  EXPECT_FALSE(page->useTend->isEnabled());
  page->saveToCssDb->setChecked(false);
  sheet.accept();
  EXPECT_EQ(Ini("DATABASE", "WFD"), "1");
  EXPECT_TRUE(ws->config().wfd);
  EXPECT_EQ(Ini("DATABASE", "SAVETOCSSDB"), "0");
  EXPECT_EQ(Ini("GODOGRAPH", "N#"), "0");
  EXPECT_EQ(reloads, 0);
}

TEST_F(SettingsSheetTest, PickKeysAreWrittenAndATwiceUsedKeyRefused) {
  CSettingsSheet sheet(*ws, context);
  auto* keys = sheet.page<CPickKeysPage>();
  ASSERT_TRUE(keys);
  EXPECT_EQ(keys->edit(0)->keySequence().toString(), "1");
  keys->edit(1)->setKeySequence(QKeySequence("F5"));
  keys->edit(2)->clear();
  sheet.accept();
  EXPECT_EQ(Ini("PICK KEYS", "S"), "F5");
  EXPECT_EQ(Ini("PICK KEYS", "Pn"), "");
  EXPECT_EQ(PhaseForKey(ReadPickKeys(ws->ini()), "F5"), "S");
  // P and Pg on one key: refused, the keys written before stay.
  CSettingsSheet again(*ws, context);
  auto* page = again.page<CPickKeysPage>();
  page->edit(3)->setKeySequence(QKeySequence("1"));
  again.accept();
  EXPECT_EQ(prompts.MessageTexts().back(), "Клавиша 1 назначена двум фазам");
  EXPECT_EQ(Ini("PICK KEYS", "Pg"), "4");
}

TEST_F(SettingsSheetTest, OtherPagesWriteTheirKeys) {
  CSettingsSheet sheet(*ws, context);
  auto* css = sheet.page<CCss30OutputPage>();
  auto* amplitude = sheet.page<SetupCalpAmpOptions>();
  auto* sets = sheet.page<CPhaseSetPage>();
  auto* wave = sheet.page<CWaveformSetupPage>();
  auto* fk = sheet.page<CExtProgFKSetup>();
  ASSERT_TRUE(css && amplitude && sets && wave && fk);

  EXPECT_EQ(amplitude->mode->checkedId(), 1);
  EXPECT_EQ(amplitude->mode->button(2)->text(), "по АЧХ из БД (нули/полюса или FAP)");
  EXPECT_EQ(sets->active->checkedId(), 1);
  EXPECT_EQ(sets->setEdits[1]->text(), "Pn;Sn;");
  EXPECT_EQ(fk->programEdit->text(), "/opt/fk");

  css->dirEdit->setText("/out/css");
  css->format->button(2)->click();
  amplitude->mode->button(2)->click();
  sets->setEdits[0]->setText(" P, PcP ;;PKP");
  sets->active->button(0)->click();
  wave->drawWaveforms->setChecked(false);
  wave->autoScale->setChecked(true);
  prompts.paths = {"/usr/local/bin/fkprog"};
  fk->programEdit->parentWidget()->findChild<QPushButton*>()->click();
  ASSERT_EQ(prompts.records.back().kind, "open");
  fk->exchangeDirEdit->setText("/tmp/fk2");
  sheet.accept();

  EXPECT_EQ(Ini("CSS30DATAOUTPUT", "DIR"), "/out/css");
  EXPECT_EQ(Ini("CSS30DATAOUTPUT", "FORMAT"), "2");
  EXPECT_EQ(Ini("AMPLITUDE", "DEFAULT"), "2");
  EXPECT_EQ(ws->config().amplitudeDefault, 2);
  EXPECT_EQ(Ini("PRESELECTED PHASES", "Teleseismic"), "P;PcP;PKP;");
  EXPECT_EQ(Ini("PRESELECTED PHASES", "Selection"), "Teleseismic");
  EXPECT_EQ(ws->config().preselectedPhases, 0);
  EXPECT_FALSE(waveform.drawWaveforms);
  EXPECT_TRUE(waveform.timeGrid);
  EXPECT_TRUE(waveform.autoScale);
  EXPECT_EQ(Ini("FKEXT", "MODULE"), "/usr/local/bin/fkprog");
  EXPECT_EQ(Ini("FKEXT", "WFD"), "/tmp/fk2");
}

TEST_F(SettingsSheetTest, AFailedWriteIsShownAndNothingLooksSaved) {
  CSettingsSheet sheet(*ws, context);
  // The temporary name of NUV.INI taken by a folder: every write fails, for root too.
  const std::filesystem::path blocker = ws->ini().path().string() + ".tmp";
  std::filesystem::create_directories(blocker);
  sheet.page<CPhaseSetPage>()->setEdits[0]->setText("P, PKP");
  EXPECT_FALSE(sheet.page<CPhaseSetPage>()->Apply());
  EXPECT_FALSE(sheet.page<CWorkParamsPage>()->Apply());
  EXPECT_FALSE(sheet.page<CCss30OutputPage>()->Apply());
  EXPECT_FALSE(sheet.page<SetupCalpAmpOptions>()->Apply());
  EXPECT_FALSE(sheet.page<CExtProgFKSetup>()->Apply());
  EXPECT_TRUE(sheet.page<CWaveformSetupPage>()->Apply());  // nothing to write
  EXPECT_TRUE(prompts.records.empty());
  sheet.accept();
  ASSERT_EQ(prompts.records.size(), 1u);
  EXPECT_EQ(prompts.records[0].text, SettingsNotSavedMessage(ws->ini().path()));
  EXPECT_EQ(prompts.records[0].icon, PromptIcon::Error);
  EXPECT_EQ(Ini("PRESELECTED PHASES", "Teleseismic"), "<missing>");

  // Once the file can be written again, OK saves silently.
  std::filesystem::remove(blocker);
  prompts.records.clear();
  CSettingsSheet again(*ws, context);
  again.page<CPhaseSetPage>()->setEdits[0]->setText("P, PKP");
  again.accept();
  EXPECT_TRUE(prompts.records.empty());
  EXPECT_EQ(Ini("PRESELECTED PHASES", "Teleseismic"), "P;PKP;");
}

TEST_F(SettingsSheetTest, CancelWritesNothing) {
  const std::string before = TempDir::ReadFile(ws->config().IniPath());
  {
    CSettingsSheet sheet(*ws, context);
    sheet.page<SetupCalpAmpOptions>()->mode->button(0)->click();
    sheet.reject();
  }
  EXPECT_EQ(TempDir::ReadFile(ws->config().IniPath()), before);
}

// The widgets Tab visits from `start`, up to `count` of them.
std::vector<QWidget*> TabWalk(QWidget& window, QWidget* start, int count) {
  window.show();
  QApplication::setActiveWindow(&window);
  start->setFocus(Qt::TabFocusReason);
  std::vector<QWidget*> visited;
  for (int i = 0; i < count; ++i) {
    QWidget* focus = QApplication::focusWidget();
    if (!focus) break;
    visited.push_back(focus);
    QTest::keyClick(focus, Qt::Key_Tab);
  }
  return visited;
}

QPushButton* BrowseOf(QLineEdit* edit) {
  return edit->parentWidget()->findChild<QPushButton*>();
}

TEST_F(SettingsSheetTest, TabFollowsThePageAndEveryBrowseButtonFollowsItsEdit) {
  CSettingsSheet sheet(*ws, context);
  auto* work = sheet.page<CWorkParamsPage>();
  // Without a CSS connection its choices are disabled and skipped.
  const std::vector<QWidget*> expected = {work->dataDirEdit,
                                          BrowseOf(work->dataDirEdit),
                                          work->outDirEdit,
                                          BrowseOf(work->outDirEdit),
                                          work->travelTimeSets,
                                          work->fromMainDb,
                                          work->useTend,
                                          work->imsRebPathEdit,
                                          BrowseOf(work->imsRebPathEdit),
                                          work->cssDataPathEdit,
                                          BrowseOf(work->cssDataPathEdit),
                                          work->mainDbEdit,
                                          work->cssDbEdit};
  EXPECT_EQ(TabWalk(sheet, work->dataDirEdit, static_cast<int>(expected.size())), expected);

  // Every field starts at the same column.
  EXPECT_EQ(work->dataDirEdit->mapTo(work, QPoint()).x(),
            work->imsRebPathEdit->parentWidget()->mapTo(work, QPoint()).x());

  sheet.tabs()->setCurrentIndex(1);
  auto* css = sheet.page<CCss30OutputPage>();
  const auto cssWalk = TabWalk(sheet, css->dirEdit, 3);
  ASSERT_EQ(cssWalk.size(), 3u);
  EXPECT_EQ(cssWalk[1], BrowseOf(css->dirEdit));
  EXPECT_EQ(cssWalk[2], css->format->checkedButton());

  auto* fk = sheet.page<CExtProgFKSetup>();
  sheet.tabs()->setCurrentIndex(sheet.tabs()->indexOf(fk));
  EXPECT_EQ(TabWalk(sheet, fk->programEdit, 4),
            (std::vector<QWidget*>{fk->programEdit, BrowseOf(fk->programEdit), fk->exchangeDirEdit,
                                   BrowseOf(fk->exchangeDirEdit)}));
}

TEST(PhaseSetText, NamesEachFollowedBySemicolon) {
  EXPECT_EQ(NormalizePhaseSet("P; S,,Pn;"), "P;S;Pn;");
  EXPECT_EQ(NormalizePhaseSet(""), "");
  EXPECT_EQ(NormalizePhaseSet(" ; , "), "");
}

}  // namespace
}  // namespace nuv::test
