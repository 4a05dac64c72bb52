// Reads arbitrary text as NUV.INI: the start-up settings and the directory
// map are read from it, then a key is written and read back.

#include "fuzz_input.h"
#include "platform/config.h"
#include "platform/profile_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
  if (size > 1 << 15) return 0;
  const std::string path = nuv::fuzz::WriteInput("NUV.INI", bytes, size);
  nuv::ProfileFile ini(path);
  nuv::Config config;
  nuv::LoadStartupSettings(ini, nuv::fuzz::Folder(), config);
  nuv::LoadDirectoryMap(ini, config);
  if (ini.WriteString("FUZZ", "KEY", "value") && ini.GetString("FUZZ", "KEY", "", 256) != "value")
    __builtin_trap();
  return 0;
}
