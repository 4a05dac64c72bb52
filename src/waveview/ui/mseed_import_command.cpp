#include "waveview/ui/mseed_import_command.h"

#include "archive/mseed_import.h"
#include "platform/user_prompts.h"
#include "waveview/ui/waveform_window.h"
#include "widgets/ui/command_ids.h"
#include "widgets/ui/command_registry.h"
#include "workstation/workstation.h"

namespace nuv {
namespace {

void ImportMseedCommand(Workstation& ws, waveform* window) {
  UserPrompts& prompts = ws.prompts();
  if (!ws.databases().mainOpen()) {
    prompts.ShowError("Нет соединения с основной базой данных");
    return;
  }
  const std::optional<std::string> folder =
      prompts.ChooseFolder("Выбрать каталог с файлами miniSEED", ws.config().cssDataPath);
  if (!folder) return;
  CXChanArray spans;
  MseedImportReport report;
  std::string stopped;
  try {
    const ImportTarget target{ws.databases().main(), ws.stations(), ws.config().dataDir,
                              ws.config().useTend,   prompts,       ws.databases().dialect()};
    ImportMseedFolder(target, *folder, spans, report);
  } catch (const std::exception& e) {
    stopped = e.what();
  }
  // What was stored before an error is still reported and shown; an import
  // that stored nothing has failed and leaves the window as it was.
  std::string text = MseedImportSummary(report);
  if (!stopped.empty()) text = stopped + "\n\n" + text;
  const bool failed = report.NothingImported();
  prompts.Message(text, kAppTitle, failed ? PromptIcon::Error : PromptIcon::Information,
                  PromptButtons::Ok);
  if (window && !failed) window->ShowSpans(spans);
}

}  // namespace

void RegisterMseedImportCommand(CommandRegistry& commands, Workstation& ws, waveform* window) {
  commands.Add(cmd::kImportMseed, [&ws, window] { ImportMseedCommand(ws, window); });
}

}  // namespace nuv
