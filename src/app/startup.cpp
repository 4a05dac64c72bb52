#include "app/startup.h"

#include "platform/config.h"
#include "platform/profile_file.h"
#include "platform/user_prompts.h"
#include "workstation/workstation.h"

namespace nuv {
namespace {

constexpr const char* kInitFailure = "Ошибка инициализации интерфейса к базе данных";

}  // namespace

std::unique_ptr<Workstation> CreateWorkstation(const StartupOptions& options,
                                               UserPrompts& prompts) {
  Config config;
  config.settingsDir = options.settingsDir;
  ApplyCommandLine(options.args, config);
  const ProfileFile ini(config.IniPath());
  LoadStartupSettings(ini, options.executableDir, config);
  auto workstation = std::make_unique<Workstation>(std::move(config), prompts);
  if (options.loadTravelTimes) options.loadTravelTimes(*workstation);
  LoadDirectoryMap(workstation->ini(), workstation->config());
  return workstation;
}

bool StartConnections(Workstation& workstation) {
  Databases& databases = workstation.databases();
  UserPrompts& prompts = workstation.prompts();
  const bool mainOk = databases.OpenMain(workstation.config(), workstation.ini(), prompts);
  if (!mainOk) prompts.ShowError(std::string(kInitFailure) + " NUV");
  const bool cssOk = databases.OpenCss(workstation.config(), workstation.ini(), prompts);
  if (!cssOk) prompts.ShowError(std::string(kInitFailure) + " CSS");
  return mainOk && cssOk;
}

void LoadReferenceData(Workstation& workstation) {
  odbc::Connection& main = workstation.databases().main();
  workstation.networks() = LoadNetworks(main);
  LoadStationTable(main, workstation.stations());
  workstation.regions() = LoadControlledRegions(main);
}

bool ConnectWorkstation(Workstation& workstation) {
  const bool ok = StartConnections(workstation);
  LoadReferenceData(workstation);
  return ok;
}

bool ReconnectDatabases(Workstation& workstation) {
  UserPrompts& prompts = workstation.prompts();
  if (!prompts.AskYesNo("Переподключиться к БД?", "Внимание!", PromptIcon::Warning)) return false;
  for (;;) {
    workstation.databases().CloseAll(&prompts);
    if (StartConnections(workstation)) return true;
    if (!prompts.AskYesNo("Произошла ошибка подключеня к БД.\n Повторить?", "Внимание!",
                          PromptIcon::Warning))
      return false;
  }
}

void CloseDatabases(Workstation& workstation) {
  workstation.databases().CloseAll();
}

}  // namespace nuv
