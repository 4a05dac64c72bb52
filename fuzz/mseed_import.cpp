// Reads arbitrary bytes as a miniSEED file and cuts the runs into archive
// files as the import does: every input must give runs or a message, never
// a crash or a sanitizer report.

#include "archive/mseed_import.h"

#include "archive/archive_error.h"
#include "fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
  if (size > 1 << 16) return 0;
  const std::span<const uint8_t> input(bytes, size);
  if (!nuv::LooksLikeMseed(input)) return 0;
  try {
    const nuv::MseedContents contents = nuv::ReadMseed(input, "fuzz");
    for (const nuv::MseedTrace& trace : contents.traces) {
      size_t covered = 0;
      for (const auto& [first, last] : nuv::SplitIntoPieces(trace)) {
        if (first != covered || last <= first) __builtin_trap();
        covered = last;
      }
      if (covered != trace.samples.size()) __builtin_trap();
    }
  } catch (const nuv::ArchiveError&) {
  }
  return 0;
}
