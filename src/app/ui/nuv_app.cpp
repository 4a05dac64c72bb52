#include "app/ui/nuv_app.h"

#include <QApplication>
#include <QTimer>
#include <clocale>
#include <system_error>

#include "app/startup.h"
#include "platform/config.h"
#include "platform/profile_file.h"
#include "platform/strformat.h"
#include "waveview/channel_list.h"
#include "waveview/ui/waveform_window.h"
#include "workstation/workstation.h"

namespace nuv {

SingleInstanceLock::SingleInstanceLock(const std::filesystem::path& settingsDir)
    : path_(settingsDir / "nuv.lock") {}

bool SingleInstanceLock::Acquire() {
  std::error_code ec;
  std::filesystem::create_directories(path_.parent_path(), ec);
  lock_ = std::make_unique<QLockFile>(QString::fromStdString(path_.string()));
  // A lock is only stale when its process is gone, never by its age.
  lock_->setStaleLockTime(0);
  if (lock_->tryLock(0)) return true;
  // A folder we may not write cannot hold a lock: the program runs anyway.
  return lock_->error() != QLockFile::LockFailedError;
}

std::string ExecutableDir() {
  std::string dir = QCoreApplication::applicationDirPath().toStdString();
  if (dir.empty() || dir.back() != '/') dir.push_back('/');
  return dir;
}

CNuvApp::CNuvApp() = default;

CNuvApp::~CNuvApp() {
  // The frame goes first: it closes the connections.
  frame_.reset();
  ws_.reset();
}

bool CNuvApp::InitInstance(const StartupOptions& options, FrameServices services,
                           UserPrompts* prompts) {
  // Numbers are written and read with the decimal point before any file is
  // read, whatever the user's locale.
  std::setlocale(LC_NUMERIC, "C");

  // 1. A second copy for the same user ends silently.
  lock_ = std::make_unique<SingleInstanceLock>(options.settingsDir);
  if (!lock_->Acquire()) return false;

  // 2. The splash is shown unless the program was started for embedding or automation.
  for (const std::string& arg : options.args) {
    const std::string upper = ToUpperAscii(arg);
    if (upper == "-EMBEDDING" || upper == "/EMBEDDING" || upper == "-AUTOMATION" ||
        upper == "/AUTOMATION")
      splashEnabled_ = false;
  }

  // 3-7. Command-line keys, home directory, the start-up keys of NUV.INI,
  // the phase-type and travel-time tables and the directory map.
  StartupOptions core = options;
  if (!core.loadTravelTimes) core.loadTravelTimes = services.reloadTravelTimes;
  ws_ = CreateWorkstation(core, prompts ? *prompts : qtPrompts_);

  // 9-10. The main frame: connections, inventory, windows; shown maximised.
  frame_ = std::make_unique<CMainFrame>(*ws_, std::move(services), splashEnabled_);
  qtPrompts_.SetParent(frame_.get());
  frame_->showMaximized();

  // The channel list named for the start is loaded once the frame is laid
  // out, so that its panes share the window's full height.
  if (const std::optional<std::string>& list = ws_->config().startChannelList;
      list && !list->empty())
    QTimer::singleShot(0, frame_.get(), [this, name = *list] { LoadStartChannelList(name); });
  return true;
}

void CNuvApp::LoadStartChannelList(const std::string& name) {
  auto* window = qobject_cast<waveform*>(frame_->document(DocumentKind::Waveforms));
  if (!window) return;
  if (LoadChannelList(ws_->store(), name).empty()) {
    ws_->prompts().ShowError("Список каналов \"" + name + "\" не найден");
    return;
  }
  window->LoadChannelList(name);
}

}  // namespace nuv
