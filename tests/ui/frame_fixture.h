#pragma once
// Shared pieces of the frame's widget tests: the application object, a
// workstation on a temporary settings folder with scripted prompts, and a
// wait for a condition while events are processed.

#include <gtest/gtest.h>

#include <QApplication>
#include <functional>
#include <memory>
#include <string>

#include "app/startup.h"
#include "app/ui/main_frame.h"
#include "platform/scripted_prompts.h"
#include "support/temp_dir.h"
#include "workstation/workstation.h"

namespace nuv::test {

// The one QApplication of the test program.
QApplication& FrameTestApp();

// Processes events until `condition` holds; false when it did not within
// `timeoutMs` (a bound on the wait, never a delay).
bool WaitFor(const std::function<bool()>& condition, int timeoutMs = 5000);

// Services without databases or dialogs: the frame alone.
FrameServices OfflineServices();

class FrameTest : public ::testing::Test {
 protected:
  void SetUp() override;
  // NUV.INI text written before the workstation is built.
  virtual std::string IniText() const { return ""; }
  // A frame on the workstation (built on first use).
  CMainFrame& frame();

  TempDir dir;
  ScriptedPrompts prompts;
  std::unique_ptr<Workstation> ws;
  FrameServices services = OfflineServices();
  std::unique_ptr<CMainFrame> frame_;
};

}  // namespace nuv::test
