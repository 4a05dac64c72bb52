#pragma once
// The frame command that imports a folder of miniSEED files into the
// archive, reports what it stored and what the station table does not know,
// and shows the imported channels in the waveform window.

#include <string>

namespace nuv {

class CommandRegistry;
class Workstation;
class waveform;
struct MseedImportReport;

// The summary shown after an import.
std::string MseedImportSummary(const MseedImportReport& report);

// Adds the command (cmd::kImportMseed) to the frame's registry. `window`
// may be null (no waveform window: nothing is shown after the import).
void RegisterMseedImportCommand(CommandRegistry& commands, Workstation& ws, waveform* window);

}  // namespace nuv
