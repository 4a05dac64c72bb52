// Reads arbitrary text as the "phaselist" file of a travel-time folder: the
// phase-type table must always be built (file entries, then the
// pseudo-phases), never crash.

#include "fuzz_input.h"
#include "phases/phase_types.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
  if (size > 1 << 16) return 0;
  nuv::fuzz::WriteInput("phaselist", bytes, size);
  nuv::PhaseTypeTable table;
  table.LoadNames(nuv::fuzz::Folder());
  if (table.Count() < 12) __builtin_trap();
  for (int i = 0; i < table.Count(); ++i)
    if (table.IndexOf(table.Name(i)) < 0) __builtin_trap();
  return 0;
}
