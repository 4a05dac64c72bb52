// "Редактирование списка контролируемых регионов", "Cписок отображений
// каталогов" with their editors, and the frame's commands that open the
// administration dialogs.

#include <QComboBox>
#include <QLineEdit>
#include <QTimer>
#include <QTreeWidget>

#include "admin/region_list.h"
#include "admin/ui/admin_commands.h"
#include "admin/ui/dirs_map_dialog.h"
#include "admin/ui/regions_dialog.h"
#include "admin_fixture.h"
#include "screenshot.h"
#include "widgets/ui/command_ids.h"

namespace nuv::test {
namespace {

std::vector<QString> Row(const QTreeWidget* list, int row) {
  std::vector<QString> texts;
  for (int c = 0; c < list->columnCount(); ++c) texts.push_back(list->topLevelItem(row)->text(c));
  return texts;
}

TEST_F(AdminDialogTest, RegionsAreShownNormalisedAndChangedAtOnce) {
  db->Exec(
      "insert into CONTREG (NAME, LAT1, LON1, LAT2, LON2) values ('Кавказ', 44.5, 48, 40, "
      "38.25)");
  CRegionsDlg dlg(workstation());
  EXPECT_EQ(dlg.windowTitle(), "Редактирование списка контролируемых регионов");
  ASSERT_EQ(dlg.list()->topLevelItemCount(), 1);
  EXPECT_EQ(Row(dlg.list(), 0),
            (std::vector<QString>{"Кавказ", "40.000", "38.250", "44.500", "48.000"}));
  EXPECT_EQ(dlg.list()->headerItem()->text(3), "Широта 2");

  std::optional<ControlledRegion> answer = ControlledRegion{"Алтай", 52, 90, 48, 82};
  dlg.editRegion = [&](std::optional<size_t>, const ControlledRegion&) { return answer; };
  dlg.Add();
  EXPECT_EQ(Row(dlg.list(), 1),
            (std::vector<QString>{"Алтай", "52.000", "90.000", "48.000", "82.000"}));
  EXPECT_EQ(Value("select count(*) from CONTREG where NAME='Алтай' and LAT1=52"), "1");
  SaveScreenshot(dlg, "regions");

  dlg.list()->setCurrentItem(dlg.list()->topLevelItem(0));
  answer = ControlledRegion{"Кавказ-2", 1, 2, 3, 4};
  dlg.Edit();
  EXPECT_EQ(Value("select count(*) from CONTREG where NAME='Кавказ-2' and LON2=4"), "1");
  EXPECT_EQ(workstation().regions()[0].name, "Кавказ-2");
  dlg.Delete();
  EXPECT_EQ(Value("select count(*) from CONTREG"), "1");
  ASSERT_EQ(dlg.list()->topLevelItemCount(), 1);

  // A failed insert keeps the row until the dialog closes, but not in memory.
  db->Exec("drop table CONTREG");
  answer = ControlledRegion{"Памир", 1, 2, 3, 4};
  dlg.Add();
  EXPECT_EQ(dlg.list()->topLevelItemCount(), 2);
  EXPECT_EQ(workstation().regions().size(), 1u);
  EXPECT_EQ(prompts.MessageTexts().back(), kRegionWriteFailed);
  dlg.Edit();  // the row of the failed insert
  EXPECT_EQ(prompts.records.back().kind, "beep");
  dlg.list()->setCurrentItem(dlg.list()->topLevelItem(0));
  dlg.Delete();
  EXPECT_EQ(workstation().regions().size(), 1u);
  EXPECT_EQ(dlg.list()->topLevelItemCount(), 2);
}

TEST_F(AdminDialogTest, RegionEditorRefusesUsedNamesAndNonNumbers) {
  const std::vector<ControlledRegion> regions = {{"A", 1, 2, 3, 4}, {"B", 5, 6, 7, 8}};
  CRegionEditDlg dlg(regions, size_t{0}, regions[0], prompts);
  EXPECT_EQ(dlg.windowTitle(), "Редактировать параметры региона");
  EXPECT_EQ(dlg.field(3)->text(), "3.000");
  dlg.show();
  SaveScreenshot(dlg, "region-edit");
  dlg.field(0)->setText("B");
  dlg.accept();
  EXPECT_EQ(prompts.MessageTexts().back(), kRegionExists);
  EXPECT_TRUE(dlg.isVisible());
  EXPECT_TRUE(WaitFor([&] { return dlg.field(0)->hasFocus(); }));
  dlg.field(0)->setText("A");
  dlg.field(2)->setText("восток");
  dlg.accept();
  EXPECT_EQ(prompts.records.back().kind, "beep");
  EXPECT_TRUE(dlg.isVisible());
  dlg.field(2)->setText("-70.5");
  dlg.accept();
  EXPECT_EQ(dlg.result(), QDialog::Accepted);
  EXPECT_EQ(dlg.region().lon1, -70.5);
  EXPECT_EQ(dlg.region().name, "A");
}

TEST_F(AdminDialogTest, DirectoryMapPairsAreReplacedAndWrittenBack) {
  CDirsMapDlg dlg(workstation());
  EXPECT_EQ(dlg.windowTitle(), "Cписок отображений каталогов");
  EXPECT_EQ(dlg.list()->headerItem()->text(0), "Имя каталога в базе данных");
  std::optional<std::pair<std::string, std::string>> answer{{"ARC1", "/data/one"}};
  bool lastExisting = false;
  dlg.editPair = [&](const std::string&, const std::string&, bool existing) {
    lastExisting = existing;
    return answer;
  };
  dlg.Add();
  answer = {{"ARC2", "/data/two"}};
  dlg.Add();
  answer = {{"ARC1", "/data/three"}};  // the same name replaces the directory
  dlg.Add();
  ASSERT_EQ(dlg.list()->topLevelItemCount(), 2);
  EXPECT_EQ(Row(dlg.list(), 0), (std::vector<QString>{"ARC1", "/data/three"}));
  EXPECT_EQ(db->Ini().GetInt("DIRSMAP", "#", -1), 2);
  EXPECT_EQ(db->Ini().GetString("DIRSMAP", "DIR0", "", 100), "/data/three");
  SaveScreenshot(dlg, "dirs-map");

  dlg.list()->setCurrentItem(dlg.list()->topLevelItem(1));
  answer = {{"IGNORED", "/data/four"}};
  dlg.Change();  // the catalogue name of an existing pair stays
  EXPECT_TRUE(lastExisting);
  EXPECT_EQ(Row(dlg.list(), 1), (std::vector<QString>{"ARC2", "/data/four"}));
  dlg.list()->setCurrentItem(dlg.list()->topLevelItem(0));
  dlg.Delete();
  EXPECT_EQ(db->Ini().GetInt("DIRSMAP", "#", -1), 1);
  EXPECT_EQ(db->Ini().GetString("DIRSMAP", "NAME0", "", 100), "ARC2");
  EXPECT_EQ(workstation().config().dirsMap.size(), 1u);
  dlg.list()->setCurrentItem(nullptr);
  dlg.Change();
  EXPECT_EQ(prompts.records.back().kind, "beep");
}

TEST_F(AdminDialogTest, DirectoryMapEditorOffersTheCssCataloguesAndNeedsAName) {
  CDirsMapEditDlg dlg({"D1", "D2"}, "", "", false, prompts);
  EXPECT_EQ(dlg.windowTitle(), "Редактирование отображения каталогов");
  EXPECT_EQ(dlg.nameBox()->count(), 2);
  EXPECT_TRUE(dlg.nameBox()->isEnabled());
  dlg.show();
  SaveScreenshot(dlg, "dirs-map-edit");
  dlg.nameBox()->setCurrentText("");
  dlg.accept();
  EXPECT_EQ(prompts.records.back().kind, "beep");
  EXPECT_TRUE(dlg.isVisible());
  prompts.paths = {"/mnt/archive"};
  dlg.Browse();
  EXPECT_EQ(prompts.records.back().text, "Просмотр каталогов");
  EXPECT_EQ(dlg.dir(), "/mnt/archive");
  dlg.nameBox()->setCurrentIndex(1);
  dlg.accept();
  EXPECT_EQ(dlg.result(), QDialog::Accepted);
  EXPECT_EQ(dlg.name(), "D2");

  CDirsMapEditDlg existing({}, "ARC", "/x", true, prompts);
  EXPECT_FALSE(existing.nameBox()->isEnabled());
  EXPECT_EQ(existing.name(), "ARC");
}

TEST_F(FrameTest, TheAdministrationCommandsOpenTheirDialogs) {
  CMainFrame& f = frame();
  const std::pair<int, QString> commands[] = {
      {kDiskLoopCommand, "Удаление файлов из дисковой петли"},
      {cmd::kEditNetworks, "Список сетей"},
      {cmd::kEditControlledRegions, "Редактирование списка контролируемых регионов"},
      {cmd::kEditDirsMap, "Cписок отображений каталогов"}};
  for (const auto& [id, title] : commands) {
    EXPECT_TRUE(f.IsCommandEnabled(id)) << id;
    QString shown;
    QTimer::singleShot(0, [&] {
      if (QWidget* modal = QApplication::activeModalWidget()) {
        shown = modal->windowTitle();
        modal->close();
      }
    });
    f.ExecuteCommand(id);
    EXPECT_EQ(shown, title);
  }
}

}  // namespace
}  // namespace nuv::test
