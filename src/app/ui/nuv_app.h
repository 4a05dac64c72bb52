#pragma once
// The application object: brings the workstation up in its fixed order
// (refuse a second copy, command line, NUV.INI, home directory, tables,
// numeric convention, main frame, the channel list named for the start) and
// takes it down again.

#include <QLockFile>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/startup.h"
#include "app/ui/main_frame.h"
#include "app/ui/qt_prompts.h"

namespace nuv {

class Workstation;

// One running copy per user and settings folder: a lock file there, held
// while the program runs (a lock left by a dead process is taken over).
class SingleInstanceLock {
 public:
  explicit SingleInstanceLock(const std::filesystem::path& settingsDir);
  // False when another running copy holds the lock.
  bool Acquire();
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
  std::unique_ptr<QLockFile> lock_;
};

class CNuvApp {
 public:
  CNuvApp();
  ~CNuvApp();

  // The start-up sequence; false when the program is to end at once (a
  // second copy: no message). Needs the QApplication.
  // `prompts` replaces the Qt prompts (tests).
  bool InitInstance(const StartupOptions& options, FrameServices services = DefaultFrameServices(),
                    UserPrompts* prompts = nullptr);

  CMainFrame* mainFrame() const { return frame_.get(); }
  Workstation* workstation() const { return ws_.get(); }
  bool splashEnabled() const { return splashEnabled_; }

 private:
  // Loads a saved channel list into the waveform window; an unknown or
  // empty list is reported.
  void LoadStartChannelList(const std::string& name);

  std::unique_ptr<SingleInstanceLock> lock_;
  QtPrompts qtPrompts_;
  std::unique_ptr<Workstation> ws_;
  std::unique_ptr<CMainFrame> frame_;
  bool splashEnabled_ = true;
};

// The directory of the running program, ending in "/".
std::string ExecutableDir();

}  // namespace nuv
