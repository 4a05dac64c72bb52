#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

#include "frame_fixture.h"
#include "screenshot.h"
#include "waveview/channel_list.h"
#include "waveview/channel_selection.h"
#include "waveview/ui/channel_dialogs.h"
#include "waveview_fixture.h"

namespace nuv::test {
namespace {

using ChannelDialogsTest = WaveviewFixture;

QTreeWidgetItem* ChannelItem(QTreeWidget* list, const QString& name) {
  for (int i = 0; i < list->topLevelItemCount(); ++i)
    if (list->topLevelItem(i)->text(0) == name) return list->topLevelItem(i);
  return nullptr;
}

TEST_F(ChannelDialogsTest, SelectionDialogTicksChannelsAndKeepsWindows) {
  ws->networks().push_back({"North", "OBN;ABC"});
  SelectionMatrix matrix;
  CSelectChannelsDlg dlg(*ws, matrix);
  // Roots: all stations, then the network.
  ASSERT_EQ(dlg.tree()->topLevelItemCount(), 2);
  EXPECT_EQ(dlg.tree()->topLevelItem(0)->text(0).toStdString(), "Сейсмические станции");
  EXPECT_EQ(dlg.tree()->topLevelItem(1)->child(0)->text(0), "OBN");

  dlg.SelectStation(1);
  EXPECT_EQ(dlg.findChild<QLabel*>("id54")->text(), "ABC");
  QTreeWidget* list = dlg.channelList();
  ASSERT_EQ(list->topLevelItemCount(), 3);
  EXPECT_EQ(list->topLevelItem(0)->text(1), "??");
  EXPECT_EQ(list->topLevelItem(0)->text(2), "10.000");
  ChannelItem(list, "BHN")->setCheckState(0, Qt::Checked);
  EXPECT_TRUE(matrix.Get(1, 1));
  SaveScreenshot(dlg, "select-channels");

  // Pattern "?HZ" ticks BHZ but not BHN/BHE; it never unticks.
  dlg.askPattern = [](const std::string&) { return std::optional<std::string>("?hz"); };
  dlg.CheckByPattern();
  EXPECT_TRUE(matrix.Get(0, 1));
  EXPECT_TRUE(matrix.Get(1, 1));
  EXPECT_FALSE(matrix.Get(2, 1));
  std::string offered;
  dlg.askPattern = [&](const std::string& last) {
    offered = last;
    return std::optional<std::string>("*");
  };
  dlg.CheckByPattern();
  EXPECT_EQ(offered, "?hz");
  EXPECT_EQ(matrix.Count(), 3);
  dlg.ClearCurrentStation();
  EXPECT_EQ(matrix.Count(), 0);

  // Fields go into the station when another node is selected.
  dlg.dateEdit()->setText("05/08/2009");
  dlg.timeEdit()->setText("17:56:41.500");
  dlg.lengthEdit()->setText("00:10:00");
  dlg.SelectStation(0);
  EXPECT_DOUBLE_EQ(ws->stations()[1].selection.StartEpoch(), 1249495001.5);
  EXPECT_DOUBLE_EQ(ws->stations()[1].selection.LengthSeconds(), 600);
  // A bad time is refused with the message; the station keeps its window.
  const double kept = ws->stations()[0].selection.StartEpoch();
  dlg.timeEdit()->setText("99:99:99.999");
  dlg.SelectStation(2);
  EXPECT_EQ(prompts.MessageTexts(), std::vector<std::string>{"Введено ошибочное время"});
  EXPECT_DOUBLE_EQ(ws->stations()[0].selection.StartEpoch(), kept);

  // 1063 gives every station the same window.
  dlg.timeEdit()->setText("01:02:03.000");
  dlg.lengthEdit()->setText("00:00:30");
  dlg.SetTimeForAll();
  for (const CScreenFields& s : ws->stations().records()) {
    EXPECT_EQ(s.selection.hour, 1);
    EXPECT_DOUBLE_EQ(s.selection.LengthSeconds(), 30);
  }
  // A station whose length is zero takes the window remembered for a channel.
  ws->stations()[1].selection.SetLengthSeconds(0);
  SaveTimeWindow(ws->store(), "ABC", "BHZ", 1249495001.0, 120);
  dlg.SelectStation(1);
  EXPECT_EQ(dlg.lengthEdit()->text(), "00:02:00");

  // "Ok" remembers the root and the station.
  dlg.findChild<QPushButton*>("idOK")->click();
  EXPECT_EQ(dlg.result(), QDialog::Accepted);
  const RememberedChoice choice = ReadRememberedChoice(ws->ini());
  EXPECT_EQ(choice.groupName, "Сейсмические станции");
  EXPECT_EQ(choice.stationName, "ABC");
  // The next dialog opens on it.
  SelectionMatrix again;
  CSelectChannelsDlg next(*ws, again);
  EXPECT_EQ(next.currentStation(), 1);
}

TEST_F(ChannelDialogsTest, StationChannelDialogNeedsAChannelNode) {
  CSelectStationChannelDlg dlg(*ws, std::nullopt);
  QTreeWidgetItem* abc = dlg.tree()->topLevelItem(0)->child(1);
  ASSERT_EQ(abc->childCount(), 3);
  EXPECT_EQ(abc->child(2)->text(0), "BHE ??");
  dlg.tree()->setCurrentItem(abc);
  dlg.TryAccept();
  EXPECT_EQ(prompts.records.back().kind, "beep");
  EXPECT_NE(dlg.result(), QDialog::Accepted);
  dlg.SelectChannel(1, 2);
  dlg.timeEdit()->setText("ab:cd");
  dlg.TryAccept();
  EXPECT_EQ(prompts.MessageTexts().back(), "Введено ошибочное время");
  dlg.dateEdit()->setText("05/08/2009");
  dlg.timeEdit()->setText("17:00:00.000");
  dlg.lengthEdit()->setText("01:00:00");
  dlg.TryAccept();
  EXPECT_EQ(dlg.result(), QDialog::Accepted);
  EXPECT_EQ(dlg.choice().station, 1);
  EXPECT_EQ(dlg.choice().channel, 2);
  EXPECT_DOUBLE_EQ(dlg.choice().start, kT0);
  EXPECT_DOUBLE_EQ(dlg.choice().length, 3600);

  // Preset when re-binding.
  CSelectStationChannelDlg preset(*ws, CSelectStationChannelDlg::Result{2, 0, kT0 + 1.25, 90});
  EXPECT_EQ(preset.tree()->currentItem()->text(0), "SHZ ??");
  EXPECT_EQ(preset.timeEdit()->text(), "17:00:01.250");
  EXPECT_EQ(preset.lengthEdit()->text(), "00:01:30");
}

TEST_F(ChannelDialogsTest, TheSessionRemembersTheLastAcceptedWindow) {
  std::optional<ArchiveSegment> session;
  // The first dialog of the session starts from its own default.
  {
    CSelectStationChannelDlg first(*ws, std::nullopt);
    first.OfferSessionWindow(session);
    EXPECT_EQ(first.dateEdit()->text(), "01/01/2000");
  }
  // The channel selection: the window accepted for one station becomes the
  // start of every station not shown in that dialog, and of "+D".
  SelectionMatrix matrix;
  {
    CSelectChannelsDlg select(*ws, matrix);
    select.sessionWindow = &session;
    select.SelectStation(2);
    select.timeEdit()->setText("17:05:00.000");
    select.lengthEdit()->setText("00:02:00");
    select.Finish();
    ASSERT_TRUE(session);
    EXPECT_DOUBLE_EQ(session->start, kT0 + 300);
    EXPECT_DOUBLE_EQ(session->duration, 120);
  }
  CSelectChannelsDlg again(*ws, matrix);
  again.SelectStation(1);
  EXPECT_EQ(again.dateEdit()->text(), "05/08/2009");
  EXPECT_EQ(again.timeEdit()->text(), "17:05:00.000");
  EXPECT_EQ(again.lengthEdit()->text(), "00:02:00");

  // "+D" then starts there; a preset (re-binding a pane) still wins.
  CSelectStationChannelDlg next(*ws, std::nullopt);
  next.OfferSessionWindow(session);
  EXPECT_EQ(next.timeEdit()->text(), "17:05:00.000");
  CSelectStationChannelDlg preset(*ws, CSelectStationChannelDlg::Result{2, 0, kT0 + 1.25, 90});
  preset.OfferSessionWindow(session);
  EXPECT_EQ(preset.timeEdit()->text(), "17:00:01.250");
}

TEST_F(ChannelDialogsTest, ChannelListDialogsListSaveAndDelete) {
  ChannelListEntry e;
  e.sta = "ABC";
  e.chan = "BHZ";
  SaveChannelList(ws->store(), "one", {e});
  SaveChannelList(ws->store(), "two", {e, e});
  CSaveChannelListDlg save(*ws);
  ASSERT_EQ(save.lists()->count(), 2);
  save.lists()->setCurrentRow(0);
  EXPECT_EQ(save.nameEdit()->text(), "one");
  save.DeleteSelected();
  EXPECT_EQ(ChannelListNames(ws->store()), std::vector<std::string>{"two"});
  save.nameEdit()->setText("a\\b");
  save.TryAccept();
  EXPECT_NE(save.result(), QDialog::Accepted);
  save.nameEdit()->setText("three");
  save.TryAccept();
  EXPECT_EQ(save.result(), QDialog::Accepted);
  EXPECT_EQ(save.name(), "three");

  CLoadChannelListDlg load(*ws);
  ASSERT_EQ(load.lists()->topLevelItemCount(), 1);
  EXPECT_EQ(load.lists()->topLevelItem(0)->text(1), "ABC BHZ, ABC BHZ");
  load.Choose();  // nothing selected
  EXPECT_NE(load.result(), QDialog::Accepted);
  load.lists()->setCurrentItem(load.lists()->topLevelItem(0));
  load.Choose();
  EXPECT_EQ(load.chosen(), "two");

  CScaleDlg scale(10, -10, 2, -2);
  EXPECT_DOUBLE_EQ(scale.value(1145), -10);
  scale.field(1146)->setText("3.5");
  EXPECT_DOUBLE_EQ(scale.value(1146), 3.5);
}

TEST_F(ChannelDialogsTest, ScaleDialogKeepsExactLimitsAndRefusesNonNumbers) {
  // "Ok" without an edit gives back exactly the limits it was opened with.
  const double values[4] = {1234567.891, -0.1, 2.0 / 3.0, -1e-7};
  CScaleDlg scale(values[0], values[1], values[2], values[3]);
  const int ids[4] = {1162, 1145, 1146, 1147};
  scale.accept();
  EXPECT_EQ(scale.result(), QDialog::Accepted);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(scale.value(ids[i]), values[i]) << ids[i];
  EXPECT_EQ(scale.field(1145)->text(), "-0.1");
  // A float limit shows as the float it is, not its widened binary tail.
  CScaleDlg widened(static_cast<float>(154.53), -1, 1, -1);
  EXPECT_EQ(widened.field(1162)->text(), "154.53");
  EXPECT_EQ(widened.value(1162), static_cast<double>(static_cast<float>(154.53)));

  // An empty or half-typed field keeps the dialog open instead of becoming 0.
  for (const char* text : {"", "-", "1e", "abc"}) {
    CScaleDlg bad(10, -10, 2, -2);
    bad.field(1147)->setText(text);
    bad.accept();
    EXPECT_NE(bad.result(), QDialog::Accepted) << text;
  }
  CScaleDlg spaced(10, -10, 2, -2);
  spaced.field(1162)->setText(" 25 ");
  spaced.accept();
  EXPECT_EQ(spaced.result(), QDialog::Accepted);
  EXPECT_DOUBLE_EQ(spaced.value(1162), 25);
}

TEST_F(ChannelDialogsTest, WindowForAllStationsFromAGroupNode) {
  SelectionMatrix matrix;
  CSelectChannelsDlg dlg(*ws, matrix);
  dlg.tree()->setCurrentItem(dlg.tree()->topLevelItem(0));
  ASSERT_EQ(dlg.currentStation(), -1);
  // A bad time is refused and no station changes.
  dlg.timeEdit()->setText("25:00:00.000");
  dlg.SetTimeForAll();
  EXPECT_EQ(prompts.MessageTexts().back(), "Введено ошибочное время");
  for (const CScreenFields& s : ws->stations().records()) EXPECT_EQ(s.selection.hour, 17);
  // The typed window goes to every station.
  dlg.dateEdit()->setText("06/08/2009");
  dlg.timeEdit()->setText("03:04:05.600");
  dlg.lengthEdit()->setText("00:02:30");
  dlg.SetTimeForAll();
  for (const CScreenFields& s : ws->stations().records()) {
    // The next day at 03:04:05.600.
    EXPECT_DOUBLE_EQ(s.selection.StartEpoch(), kT0 - 17 * 3600 + 86400 + 3 * 3600 + 4 * 60 + 5.6)
        << s.code;
    EXPECT_DOUBLE_EQ(s.selection.LengthSeconds(), 150) << s.code;
  }
}

TEST_F(ChannelDialogsTest, ASegmentFromTheArchiveFillsTheFields) {
  SelectionMatrix matrix;
  CSelectChannelsDlg dlg(*ws, matrix);
  dlg.SelectStation(1);
  ChannelItem(dlg.channelList(), "BHN")->setCheckState(0, Qt::Checked);
  int browsed = 0;
  std::vector<std::string> offeredChannels;
  std::optional<ArchiveSegment> offeredWindow;
  std::optional<ArchiveSegment> answer = ArchiveSegment{kT0 + 3723.25, 5405.9};
  dlg.browseSegments = [&](QWidget*, int station, const std::vector<std::string>& channels,
                           const std::optional<ArchiveSegment>& typed) {
    ++browsed;
    EXPECT_EQ(station, 1);
    offeredChannels = channels;
    offeredWindow = typed;
    return answer;
  };
  dlg.findChild<QPushButton*>("id56")->click();
  EXPECT_EQ(browsed, 1);
  // The browser gets the checked channels and the station's window.
  EXPECT_EQ(offeredChannels, std::vector<std::string>{"BHN"});
  ASSERT_TRUE(offeredWindow.has_value());
  EXPECT_DOUBLE_EQ(offeredWindow->start, kT0);
  EXPECT_DOUBLE_EQ(offeredWindow->duration, 600);
  // The chosen segment's start and whole-second length go into the fields.
  EXPECT_EQ(dlg.dateEdit()->text(), "05/08/2009");
  EXPECT_EQ(dlg.timeEdit()->text(), "18:02:03.250");
  EXPECT_EQ(dlg.lengthEdit()->text(), "01:30:05");

  // A cancelled browser leaves the fields; a bad time is not offered.
  answer.reset();
  dlg.timeEdit()->setText("99:00:00.000");
  dlg.findChild<QPushButton*>("id56")->click();
  EXPECT_FALSE(offeredWindow.has_value());
  EXPECT_EQ(dlg.timeEdit()->text(), "99:00:00.000");
}

// Shows a dialog, gives `widget` the focus and presses `key` there.
void PressIn(QDialog& dialog, QWidget* widget, int key) {
  dialog.show();
  QApplication::setActiveWindow(&dialog);
  widget->setFocus();
  QTest::keyClick(widget, static_cast<Qt::Key>(key));
}

TEST_F(ChannelDialogsTest, EnterFinishesAndEscapeLeavesTheDialogs) {
  // Enter in the time field finishes the selection with the typed window.
  SelectionMatrix matrix;
  CSelectChannelsDlg select(*ws, matrix);
  select.SelectStation(0);
  select.timeEdit()->setText("08:30:00.000");
  PressIn(select, select.timeEdit(), Qt::Key_Return);
  EXPECT_EQ(select.result(), QDialog::Accepted);
  EXPECT_EQ(ws->stations()[0].selection.hour, 8);
  EXPECT_EQ(ReadRememberedChoice(ws->ini()).stationName, "KUR");

  // Escape leaves it without touching the remembered choice.
  CSelectChannelsDlg again(*ws, matrix);
  again.SelectStation(2);
  PressIn(again, again.tree(), Qt::Key_Escape);
  EXPECT_EQ(again.result(), QDialog::Rejected);
  EXPECT_EQ(ReadRememberedChoice(ws->ini()).stationName, "KUR");

  // One channel: Enter in the length field is "OK".
  CSelectStationChannelDlg one(*ws, std::nullopt);
  one.SelectChannel(1, 0);
  one.lengthEdit()->setText("00:05:00");
  PressIn(one, one.lengthEdit(), Qt::Key_Enter);
  EXPECT_EQ(one.result(), QDialog::Accepted);
  EXPECT_DOUBLE_EQ(one.choice().length, 300);

  // Saving: the name field has the focus at the start and Enter saves.
  ChannelListEntry e;
  e.sta = "KUR";
  e.chan = "SHZ";
  SaveChannelList(ws->store(), "old", {e});
  CSaveChannelListDlg save(*ws);
  save.show();
  QApplication::setActiveWindow(&save);
  EXPECT_TRUE(WaitFor([&] { return save.nameEdit()->hasFocus(); }));
  QTest::keyClicks(save.nameEdit(), " evening ");
  QTest::keyClick(save.nameEdit(), Qt::Key_Return);
  EXPECT_EQ(save.result(), QDialog::Accepted);
  EXPECT_EQ(save.name(), "evening");
  EXPECT_EQ(ChannelListNames(ws->store()), std::vector<std::string>{"old"});

  // Loading: Enter on a list chooses it, Escape is "Выйти".
  CLoadChannelListDlg load(*ws);
  load.lists()->setCurrentItem(load.lists()->topLevelItem(0));
  PressIn(load, load.lists(), Qt::Key_Return);
  EXPECT_EQ(load.result(), QDialog::Accepted);
  EXPECT_EQ(load.chosen(), "old");
  CLoadChannelListDlg leave(*ws);
  PressIn(leave, leave.lists(), Qt::Key_Escape);
  EXPECT_EQ(leave.result(), QDialog::Rejected);
  EXPECT_TRUE(leave.chosen().empty());
}

}  // namespace
}  // namespace nuv::test
