#pragma once
// miniSEED 2 data read with libmseed into continuous runs of samples: the
// records of one channel are put in time order and joined while each starts
// where the previous one ends (within half a sample); a gap or an overlap
// starts a new run, so nothing is merged or dropped.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace nuv {

struct MseedTrace {
  std::string network, station, location, channel;
  double start = 0;  // first sample, seconds since 1970
  double rate = 0;   // samples per second
  std::vector<float> samples;

  // "NET.STA.LOC.CHAN"
  std::string Id() const;
  double End() const { return start + static_cast<double>(samples.size()) / rate; }
};

struct MseedContents {
  std::vector<MseedTrace> traces;  // by channel, then by start
  int records = 0;                 // data records joined into the traces
  int skippedRecords = 0;          // records without samples (logs, rate 0)
};

// Whether the bytes begin with a miniSEED 2 record.
bool LooksLikeMseed(std::span<const uint8_t> bytes);

// Decodes every record of the bytes (Steim-1, Steim-2, integer and float
// encodings, either byte order). `name` is used in messages. Throws
// ArchiveError when a record is damaged or cut short; nothing is returned
// then.
MseedContents ReadMseed(std::span<const uint8_t> bytes, const std::string& name);

}  // namespace nuv
