// The workspace inside the main frame: the menu "ПОС" and the workspace
// toolbar reach the window with their states, and the cursor readout goes to
// the frame's status text.

#include <gtest/gtest.h>

#include <QMdiSubWindow>

#include "app/ui/main_frame.h"
#include "frame_fixture.h"
#include "screenshot.h"
#include "widgets/ui/command_ids.h"
#include "workspace/ui/dsp_canvas.h"
#include "workspace/ui/dsp_wnd.h"

namespace nuv::test {
namespace {

using WorkspaceFrameTest = FrameTest;

TEST_F(WorkspaceFrameTest, MenuAndToolbarCommandsReachTheWorkspace) {
  CMainFrame& f = frame();
  auto* dsp = qobject_cast<CDSP*>(f.document(DocumentKind::Workspace));
  ASSERT_NE(dsp, nullptr);
  f.ExecuteCommand(cmd::kShowWorkspace);
  EXPECT_TRUE(f.IsCommandEnabled(33083));
  f.ExecuteCommand(33083);  // one window left: deletion is disabled
  EXPECT_EQ(dsp->workspace().WindowCount(), 1);
  f.UpdateCommandStates();
  EXPECT_FALSE(f.IsCommandEnabled(33083));
  f.ExecuteCommand(33082);
  f.ExecuteCommand(33082);
  EXPECT_EQ(dsp->workspace().WindowCount(), 3);
  EXPECT_EQ(f.IsCommandChecked(33108), false);
  f.ExecuteCommand(33108);
  EXPECT_EQ(f.IsCommandChecked(33108), true);
  dsp->SetFormula("gsin(400,0.01,3,0)*exp(gline(400,0.01,-0.5,0))");
  dsp->Activate(0);  // the fixed W2 does not take the text
  EXPECT_TRUE(dsp->workspace().window(2).formula.empty());
  dsp->SetFormula("gsin(400,0.01,3,0)*exp(gline(400,0.01,-0.5,0))");
  dsp->Enter();
  f.ExecuteCommand(33085);  // zoom in from the toolbar
  EXPECT_LT(dsp->workspace().window(0).last, 399);
  f.ExecuteCommand(33086);  // and back to the whole data set
  EXPECT_EQ(dsp->workspace().window(0).last, 399);
  dsp->statusText("Y=1.00000 X=0.500");
  EXPECT_EQ(f.messageText(), "Y=1.00000 X=0.500");
  SaveScreenshot(f, "workspace_in_frame");
}

}  // namespace
}  // namespace nuv::test
