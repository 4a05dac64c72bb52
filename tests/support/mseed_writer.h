#pragma once
// miniSEED 2 records written by libmseed itself, for tests and benchmarks
// that need real input for the import.

#include <cstdint>
#include <string>
#include <vector>

namespace nuv::test {

struct MseedChannel {
  std::string network = "XX", station, location, channel;
  double start = 0;  // first sample, seconds since 1970
  double rate = 100;
  int encoding = 11;  // libmseed's DE_ codes: 3 int32, 4 float32, 5 float64, 10 Steim-1, 11 Steim-2
  int recordLength = 512;
  bool bigEndian = true;
};

// The records of the samples (integers for integer and Steim encodings).
std::string PackMseed(const MseedChannel& channel, const std::vector<int32_t>& samples);
// Float32 records of the samples.
std::string PackMseed(const MseedChannel& channel, const std::vector<float>& samples);
// Float64 records (encoding 5) of the samples.
std::string PackMseed(const MseedChannel& channel, const std::vector<double>& samples);

}  // namespace nuv::test
