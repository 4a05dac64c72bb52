#pragma once
// The frame command that imports a folder of miniSEED files into the
// archive, reports what it stored and what it refused (and why), and shows
// the imported channels in the waveform window.

namespace nuv {

class CommandRegistry;
class Workstation;
class waveform;

// Adds the command (cmd::kImportMseed) to the frame's registry. `window`
// may be null (no waveform window: nothing is shown after the import).
void RegisterMseedImportCommand(CommandRegistry& commands, Workstation& ws, waveform* window);

}  // namespace nuv
