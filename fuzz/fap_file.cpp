// Reads arbitrary text as an amplitude-table (FAP) file and as the FAP text
// of the database, and interpolates an accepted table.

#include "fuzz_input.h"
#include "sigproc/response.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
  if (size > 1 << 15) return 0;
  const std::string_view text = nuv::fuzz::Text(bytes, size);
  for (bool database : {false, true}) {
    nuv::CAPResponse response;
    nuv::ResponseParseError error;
    const bool ok = database ? nuv::ParseFapDatabaseText(text, response, &error)
                             : nuv::ParseFapFileText(text, response, &error);
    if (!ok) continue;
    if (response.empty()) __builtin_trap();
    for (double f : {-1.0, 0.0, 0.5, 10.0, 1e9}) response.Amplitude(f);
  }
  return 0;
}
