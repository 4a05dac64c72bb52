#include "waveview/ui/mseed_import_command.h"

#include "archive/mseed_import.h"
#include "platform/strformat.h"
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
  try {
    const ImportTarget target{ws.databases().main(), ws.stations(), ws.config().dataDir,
                              ws.config().useTend, prompts};
    ImportMseedFolder(target, *folder, spans, report);
  } catch (const std::exception& e) {
    // What was stored before the error is still reported and shown.
    prompts.ShowError(e.what());
  }
  prompts.Message(MseedImportSummary(report), kAppTitle, PromptIcon::Information,
                  PromptButtons::Ok);
  if (window) window->ShowSpans(spans);
}

}  // namespace

std::string MseedImportSummary(const MseedImportReport& report) {
  std::string text = StrFormat("Прочитано файлов miniSEED: %d\nЗаписано файлов архива: %d",
                               report.mseedFiles, static_cast<int>(report.wfdFiles.size()));
  if (!report.notMseed.empty())
    text += StrFormat("\nПропущено файлов без данных miniSEED: %d",
                      static_cast<int>(report.notMseed.size()));
  if (!report.unknown.empty()) {
    text += "\nКаналы, которых нет в списке станций (не импортированы):";
    for (const std::string& id : report.unknown) text += "\n  " + id;
  }
  return text;
}

void RegisterMseedImportCommand(CommandRegistry& commands, Workstation& ws, waveform* window) {
  commands.Add(cmd::kImportMseed, [&ws, window] { ImportMseedCommand(ws, window); });
}

}  // namespace nuv
