// "Удаление файлов из дисковой петли" and "Список сетей": what they list,
// what their buttons delete and save, and the refusals.

#include <QCheckBox>
#include <QDateTimeEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTreeWidget>
#include <filesystem>

#include "admin/ui/disk_loop_dialog.h"
#include "admin/ui/networks_dialog.h"
#include "admin_fixture.h"
#include "archive/disk_loop.h"
#include "screenshot.h"

namespace nuv::test {
namespace {

namespace fs = std::filesystem;

// 2009-08-05 17:00:00 UTC.
constexpr long kT0 = 1249491600;

class DiskLoopDialogTest : public AdminDialogTest {
 protected:
  void AddFile(const char* sta, const char* ch, const std::string& cpath, double tbegin,
               const char* foff = "512") {
    db->Exec(StrFormat(
        "insert into FILELIST (STA, CH, CPATH, TBEGIN, TQTY, SPS, FOFF, CREATER) values ('%s', "
        "'%s', '%s', %.3f, 3600, 20, %s, 'NUVREC')",
        sta, ch, cpath.c_str(), tbegin, foff));
    db->dir().WriteFile("data/" + cpath, "x");
  }
  bool Exists(const std::string& cpath) { return fs::exists(db->dir().path() / "data" / cpath); }
};

TEST_F(DiskLoopDialogTest, ListsTheStationAndDeletesTheSelectedRows) {
  AddFile("ABC", "BHZ", "ABC/1.BHZ", kT0);
  AddFile("ABC", "BHN", "ABC/1.BHN", kT0);
  AddFile("ABC", "BHZ", "ABC/2.BHZ", kT0 + 3600.5);
  AddFile("ABC", "BHZ", "MULTI/all.dat", kT0 - 3600, "1024");
  CDiskLoopDlg dlg(workstation());
  EXPECT_EQ(dlg.windowTitle(), "Удаление файлов из дисковой петли");
  ASSERT_EQ(dlg.tree()->topLevelItemCount(), 2);
  EXPECT_EQ(dlg.tree()->topLevelItem(0)->text(0), "Сейсмические станции");
  EXPECT_EQ(dlg.tree()->topLevelItem(0)->childCount(), 3);
  EXPECT_EQ(dlg.tree()->topLevelItem(1)->text(0), "KNET");
  EXPECT_EQ(dlg.tree()->topLevelItem(1)->childCount(), 2);

  dlg.SelectStation(0);
  ASSERT_EQ(dlg.list()->topLevelItemCount(), 4);
  const QTreeWidgetItem* newest = dlg.list()->topLevelItem(0);
  EXPECT_EQ(newest->text(0), "05/08/2009 18:00:00");
  EXPECT_EQ(newest->text(1), "01:00:0.000");
  EXPECT_EQ(newest->text(2), "20.000");
  EXPECT_EQ(newest->text(3), "ABC/2.BHZ");
  EXPECT_EQ(newest->text(4), "NUVREC");
  EXPECT_EQ(dlg.list()->topLevelItem(1)->text(3), "ABC/1.BHZ");  // channels descending
  SaveScreenshot(dlg, "disk-loop");

  // "Удалить" without a selection beeps; the shared file's row is never taken.
  dlg.DeleteFiles();
  EXPECT_EQ(prompts.records.back().kind, "beep");
  dlg.SelectAll();
  dlg.list()->topLevelItem(0)->setSelected(false);
  dlg.DeleteFiles();
  EXPECT_FALSE(Exists("ABC/1.BHZ"));
  EXPECT_FALSE(Exists("ABC/1.BHN"));
  EXPECT_TRUE(Exists("ABC/2.BHZ"));
  EXPECT_TRUE(Exists("MULTI/all.dat"));
  // The list is read again after the deletion.
  ASSERT_EQ(dlg.list()->topLevelItemCount(), 2);
  EXPECT_EQ(dlg.list()->topLevelItem(1)->text(3), "MULTI/all.dat");
  dlg.ClearSelection();
  EXPECT_TRUE(dlg.list()->selectedItems().isEmpty());

  // Without a data directory nothing goes.
  workstation().config().dataDir = "/";
  dlg.list()->topLevelItem(0)->setSelected(true);
  dlg.DeleteFiles();
  EXPECT_EQ(prompts.MessageTexts().back(), kNoDataDirectory);
  EXPECT_TRUE(Exists("ABC/2.BHZ"));
}

TEST_F(DiskLoopDialogTest, TheIntervalDeletesWhatTheTreeItemCovers) {
  AddFile("ABC", "BHZ", "ABC/1.BHZ", kT0);
  AddFile("DEF", "BHZ", "DEF/1.BHZ", kT0);
  AddFile("GHI", "BHZ", "GHI/1.BHZ", kT0);
  AddFile("GHI", "BHZ", "GHI/2.BHZ", kT0 + 7200);  // after the interval
  CDiskLoopDlg dlg(workstation());
  dlg.SetInterval(kT0 - 60, kT0 + 3600);
  dlg.intervalCheck()->setChecked(true);
  EXPECT_FALSE(dlg.list()->isEnabled());
  EXPECT_TRUE(dlg.fromEdit()->isEnabled());

  dlg.tree()->setCurrentItem(dlg.tree()->topLevelItem(0));
  dlg.DeleteFiles();  // the root of every station
  EXPECT_EQ(prompts.records.back().kind, "beep");

  dlg.SelectNetwork(0);
  dlg.DeleteFiles();  // answered No
  EXPECT_EQ(prompts.MessageTexts().back(),
            "Удалить файлы с данными группы станций KNET в интервале 05/08/2009 16:59:00 - "
            "05/08/2009 18:00:00");
  EXPECT_TRUE(Exists("DEF/1.BHZ"));
  prompts.answers = {PromptAnswer::Yes};
  dlg.DeleteFiles();
  EXPECT_FALSE(Exists("DEF/1.BHZ"));
  EXPECT_FALSE(Exists("GHI/1.BHZ"));
  EXPECT_TRUE(Exists("GHI/2.BHZ"));
  EXPECT_TRUE(Exists("ABC/1.BHZ"));

  dlg.SelectStation(0);
  prompts.answers = {PromptAnswer::Yes};
  dlg.DeleteFiles();
  EXPECT_EQ(prompts.MessageTexts().back(),
            "Удалить файлы  с данными станции ABC в интервале 05/08/2009 16:59:00 - 05/08/2009 "
            "18:00:00");
  EXPECT_FALSE(Exists("ABC/1.BHZ"));
  EXPECT_EQ(Value("select count(*) from FILELIST"), "1");
}

TEST_F(AdminDialogTest, NetworksAreEditedInTheTreeAndSaved) {
  CNetworksDlg dlg(workstation());
  bool saved = false;
  dlg.onSaved = [&] { saved = true; };
  EXPECT_EQ(dlg.windowTitle(), "Список сетей");
  ASSERT_EQ(dlg.stationList()->count(), 3);
  ASSERT_EQ(dlg.tree()->topLevelItemCount(), 1);
  EXPECT_EQ(dlg.tree()->topLevelItem(0)->childCount(), 2);

  dlg.stationList()->setCurrentRow(0);
  dlg.SelectGroup(0);
  dlg.AddStation();
  EXPECT_EQ(dlg.tree()->topLevelItem(0)->child(2)->text(0), "ABC");
  dlg.AddStation();  // a member already
  EXPECT_EQ(prompts.records.back().kind, "beep");
  dlg.SelectGroup(0);
  dlg.RemoveStation();  // a group node is no member
  EXPECT_EQ(prompts.records.size(), 2u);
  dlg.SelectGroup(0, 0);
  dlg.RemoveStation();
  EXPECT_EQ(dlg.editor().groups()[0].members, (std::vector<std::string>{"GHI", "ABC"}));

  dlg.CreateGroup();
  ASSERT_EQ(dlg.tree()->topLevelItemCount(), 2);
  EXPECT_EQ(dlg.tree()->topLevelItem(1)->text(0), "Новая группа");
  // Names typed in the tree: a used one is refused and the old one comes back.
  dlg.tree()->topLevelItem(1)->setText(0, "KNET");
  ASSERT_TRUE(WaitFor([&] { return dlg.tree()->topLevelItem(1)->text(0) == "Новая группа"; }));
  EXPECT_EQ(prompts.records.back().kind, "beep");
  dlg.tree()->topLevelItem(1)->setText(0, " ПУСТАЯ ");
  ASSERT_TRUE(WaitFor([&] { return dlg.editor().FindGroup("ПУСТАЯ") == 1; }));
  SaveScreenshot(dlg, "networks");

  dlg.Save();
  EXPECT_TRUE(saved);
  EXPECT_EQ(dlg.result(), QDialog::Accepted);
  EXPECT_EQ(Value("select NETLIST from NETWORKS where NETNAME='KNET'"), "GHI;ABC;");
  EXPECT_EQ(Value("select NETLIST from NETWORKS where NETNAME='ПУСТАЯ'"), "");
  ASSERT_EQ(workstation().networks().size(), 2u);

  // A database that refuses keeps the dialog open and the list unchanged.
  CNetworksDlg again(workstation());
  again.onSaved = [&] { saved = false; };
  again.SelectGroup(1);
  again.DeleteGroup();
  db->Exec("drop table NETWORKS");
  again.Save();
  EXPECT_TRUE(saved);
  EXPECT_NE(again.result(), QDialog::Accepted);
  EXPECT_EQ(workstation().networks().size(), 2u);
  EXPECT_EQ(prompts.records.back().icon, PromptIcon::Error);
}

}  // namespace
}  // namespace nuv::test
