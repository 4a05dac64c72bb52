// QuakeML and the standard IMS1.0 bulletin through the frame's phase-list
// menu, with only the file choosers and the event chooser answered.

#include <gtest/gtest.h>

#include <QMenu>
#include <QTableWidget>
#include <filesystem>

#include "bulletins/fixed_columns.h"
#include "bulletins/quakeml_reader.h"
#include "bulletins/ui/bulletin_commands.h"
#include "bulletins/ui/bulletin_dialogs.h"
#include "frame_fixture.h"
#include "screenshot.h"
#include "when_shown.h"

namespace nuv::test {
namespace {

TEST_F(FrameTest, QuakeMlAndStandardBulletinFromThePhaseListMenu) {
  ws->phaseTypes().LoadNames((dir.path() / "no-tables").string());
  CScreenFields station;
  station.code = "MJAR";
  station.channels[0].name = "Z";
  station.channels[1].name = "N-S";
  station.channels[1].component = 1;
  ws->stations().records().push_back(station);
  CMainFrame& f = frame();
  f.UpdateCommandStates();
  for (int id : {cmd::kReadQuakeMl, cmd::kWriteQuakeMl, cmd::kWriteIms1})
    EXPECT_TRUE(f.IsCommandEnabled(id)) << id;
  QMenu* phaseMenu = f.popups()[2];
  phaseMenu->popup(f.mapToGlobal(QPoint(200, 20)));
  ASSERT_TRUE(WaitFor([&] { return phaseMenu->isVisible(); }));
  SaveScreenshot(*phaseMenu, "phase_list_menu");
  phaseMenu->hide();

  // The second event of an FDSN document, chosen in "Выбор EVENT".
  prompts.paths = {std::string(NUV_TEST_DATA_DIR) + "/bulletins/fdsn_events.xml"};
  std::vector<std::string> rows;
  WhenShown<CSelectImsEventDlg>([&rows](CSelectImsEventDlg& dialog) {
    for (int row = 0; row < dialog.table()->rowCount(); ++row)
      for (int column : {0, 2, 4})
        rows.push_back(dialog.table()->item(row, column)->text().toStdString());
    dialog.table()->selectRow(1);
    SaveScreenshot(dialog, "quakeml_event_chooser");
    dialog.accept();
  });
  f.ExecuteCommand(cmd::kReadQuakeMl);
  EXPECT_EQ(rows, (std::vector<std::string>{"611820455", "42.700", "15/03/2024 06:19:00.25",
                                            "us7000m1a2", "-12.500", "15/03/2024 23:52:50.00"}));
  EXPECT_EQ(ws->event().eventId, PadEventId("us7000m1a2"));
  EXPECT_EQ(ws->event().originValid, 1);
  ASSERT_EQ(ws->phases().Count(), 1);
  EXPECT_EQ(ws->phases().GetAt(0)->channel, 0);
  EXPECT_TRUE(prompts.MessageTexts().empty());

  // A file that is not QuakeML: the reason, the event as it was.
  const std::string notXml = dir.WriteFile("bulletin.xml", "EVENT 1 X\n").string();
  prompts.paths = {notXml};
  f.ExecuteCommand(cmd::kReadQuakeMl);
  ASSERT_EQ(prompts.MessageTexts().size(), 1u);
  EXPECT_NE(prompts.MessageTexts()[0].find("QuakeML 1.2"), std::string::npos);
  EXPECT_EQ(ws->phases().Count(), 1);

  // Both exports of the event read back with the program's own readers.
  const std::string ims1 = (dir.path() / "event").string();
  prompts.paths = {ims1};
  f.ExecuteCommand(cmd::kWriteIms1);
  const auto text = ReadWholeFile(ims1 + ".txt");
  ASSERT_TRUE(text.has_value());
  EXPECT_EQ(text->rfind("BEGIN IMS1.0\n", 0), 0u);
  const auto events = ListImsEvents(*text);
  ASSERT_EQ(events.size(), 1u);
  const ImsEventText parsed = ParseBulletinEvent(*text, events[0].identifier, BulletinLayout::Ims);
  EXPECT_EQ(parsed.identifier, "us7000m1a2");
  EXPECT_EQ(parsed.arrivals.size(), 1u);
  prompts.paths = {(dir.path() / "event.xml").string()};
  f.ExecuteCommand(cmd::kWriteQuakeMl);
  const auto xml = ReadWholeFile((dir.path() / "event.xml").string());
  ASSERT_TRUE(xml.has_value());
  const QuakeMlDocument document = ParseQuakeMl(*xml);
  ASSERT_EQ(document.failure, "");
  ASSERT_EQ(document.events.size(), 1u);
  EXPECT_EQ(document.events[0].event.identifier, "us7000m1a2");
  EXPECT_EQ(document.events[0].event.arrivals.size(), 1u);
  EXPECT_EQ(prompts.MessageTexts().size(), 1u);
}

}  // namespace
}  // namespace nuv::test
