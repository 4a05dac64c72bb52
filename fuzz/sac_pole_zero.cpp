// Reads arbitrary text as a SAC pole-zero file and evaluates an accepted
// response at a few frequencies.

#include "fuzz_input.h"
#include "sigproc/response.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
  if (size > 1 << 15) return 0;
  nuv::PoleZeroResponse response;
  nuv::ResponseParseError error;
  if (!nuv::ParseSacPoleZero(nuv::fuzz::Text(bytes, size), response, &error)) return 0;
  for (double f : {0.0, 0.01, 1.0, 50.0}) response.Evaluate(f);
  return 0;
}
