// Feeds arbitrary text to the wfdisc reader and names and heads a WFD file
// for every record it accepts, as the import does: every input must give
// records or none, never a crash or a sanitizer report.

#include <stdexcept>

#include "archive/wfd_file.h"
#include "archive/wfdisc_format.h"
#include "fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
  if (size > 1 << 16) return 0;
  for (const nuv::WfdiscRecord& r : nuv::ParseWfdiscText(nuv::fuzz::Text(bytes, size))) {
    if (r.nsamp <= 0 || !(r.samprate > 0)) continue;
    const double duration = static_cast<double>(r.nsamp) / r.samprate;
    if (nuv::BuildWfdHeader(r.sta, r.chan, r.time, duration, r.samprate).size() != 512)
      __builtin_trap();
    nuv::WfdFileName(r.sta, r.chan, r.time);
    // A value wider than its column is refused by the writer, as it should be.
    try {
      nuv::FormatWfdiscLine(r);
    } catch (const std::length_error&) {
    }
  }
  return 0;
}
