#pragma once
// The core part of the start-up sequence, in its fixed order: command line,
// home directory and NUV.INI keys, phase-type and travel-time tables,
// directory map; then (what the main frame's construction does) both
// connections, the network list, the station table and the controlled
// regions. Also the reconnect command and the closing of the connections.

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace nuv {

class UserPrompts;
class Workstation;

struct StartupOptions {
  std::vector<std::string> args;      // command-line arguments (keys such as ODBC=, CHKDB)
  std::filesystem::path settingsDir;  // the folder that holds NUV.INI
  std::string executableDir;          // the home directory when [NUV] DIR is empty
  // Loads the phase-type and travel-time tables into the workstation; the
  // seismology code supplies it. Left empty, no tables are loaded.
  std::function<void(Workstation&)> loadTravelTimes;
};

// Steps up to the directory map: applies the command line, fixes the home
// directory, reads the start-up keys of NUV.INI, loads the travel-time
// tables through the hook and reads the directory map. Opens nothing.
std::unique_ptr<Workstation> CreateWorkstation(const StartupOptions& options, UserPrompts& prompts);

// Opens the main and then the CSS connection. A main connection that does not
// open is reported with "Ошибка инициализации интерфейса к базе данных NUV",
// a CSS one with "... CSS" (after the opening's own message). Returns false
// when either failed; start-up goes on in every case.
bool StartConnections(Workstation& workstation);

// Loads the network list, the station table and the controlled regions from
// the main database (each empty without a main connection).
void LoadReferenceData(Workstation& workstation);

// StartConnections followed by LoadReferenceData: the database part of the
// main frame's construction.
bool ConnectWorkstation(Workstation& workstation);

// The reconnect command: asks "Переподключиться к БД?"; on Yes closes both
// connections (reporting driver errors) and opens them again with the
// messages of the start; while that fails, asks whether to repeat. Returns
// true when both configured connections are open at the end. The station
// table and the lists are not reloaded.
bool ReconnectDatabases(Workstation& workstation);

// Closes both connections (shut-down).
void CloseDatabases(Workstation& workstation);

}  // namespace nuv
