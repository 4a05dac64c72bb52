#include <filesystem>

#include "support/temp_dir.h"
#include "waveview/waveform_commands.h"
#include "waveview_fixture.h"

namespace nuv::test {
namespace {

using WaveformCssTest = WaveviewFixture;

TEST_F(WaveformCssTest, SavesTheActivePanesAsAWfdiscSet) {
  AddChannels({{0, 0}, {1, 0}, {1, 1}});
  Mouse(Pane(1), QEvent::MouseButtonPress, QPoint(100, 8), Qt::LeftButton, Qt::LeftButton);
  TempDir out;
  prompts.paths.push_back((out / "set").string());
  window->ExecuteCommand(kCmdSaveCss);
  // Two active panes with one block each: two lines and two data files.
  const std::string wfdisc = TempDir::ReadFile(out / "set.wfdisc");
  EXPECT_EQ(wfdisc.size(), 2u * 284);
  EXPECT_EQ(wfdisc.substr(0, 6), "KUR   ");
  int files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(out.path()))
    files += entry.path().extension() == ".w" ? 1 : 0;
  EXPECT_EQ(files, 2);
  // A folder that cannot hold the file gives the write error.
  prompts.paths.push_back((out / "missing" / "x.wfdisc").string());
  window->ExecuteCommand(kCmdSaveCss);
  EXPECT_EQ(prompts.MessageTexts().back(), "Ошибка записи файла wfdisc");
  // Cancelled choosers do nothing.
  window->ExecuteCommand(kCmdLoadCss);
  EXPECT_EQ(window->panes().size(), 3u);
}

TEST_F(WaveformCssTest, SavingWithoutAnActivePaneAsksForNoFile) {
  AddChannels({{0, 0}});
  window->ExecuteCommand(kCmdDeactivateAll);
  TempDir out;
  prompts.paths.push_back((out / "set").string());
  window->ExecuteCommand(kCmdSaveCss);
  ASSERT_EQ(prompts.records.size(), 1u);
  EXPECT_EQ(prompts.records[0].text, "Не выбрано главное окно");
  EXPECT_EQ(prompts.records[0].icon, PromptIcon::Error);
  EXPECT_FALSE(std::filesystem::exists(out / "set.wfdisc"));
}

}  // namespace
}  // namespace nuv::test
