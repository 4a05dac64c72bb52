#include "support/mseed_writer.h"

#include <libmseed.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

namespace nuv::test {
namespace {

void Collect(char* record, int length, void* out) {
  static_cast<std::string*>(out)->append(record, static_cast<size_t>(length));
}

std::string Pack(const MseedChannel& channel, const void* samples, size_t count, char type,
                 size_t sampleSize) {
  MSTrace* trace = mst_init(nullptr);
  std::strncpy(trace->network, channel.network.c_str(), sizeof trace->network - 1);
  std::strncpy(trace->station, channel.station.c_str(), sizeof trace->station - 1);
  std::strncpy(trace->location, channel.location.c_str(), sizeof trace->location - 1);
  std::strncpy(trace->channel, channel.channel.c_str(), sizeof trace->channel - 1);
  trace->dataquality = 'D';
  trace->starttime = std::llround(channel.start * HPTMODULUS);
  trace->samprate = channel.rate;
  trace->sampletype = type;
  trace->numsamples = static_cast<int64_t>(count);
  trace->samplecnt = trace->numsamples;
  // mst_pack consumes the samples it packs, so they live in the trace's own
  // buffer, which mst_free releases.
  const size_t bytes = sampleSize * count;
  trace->datasamples = std::malloc(bytes > 0 ? bytes : 1);
  std::memcpy(trace->datasamples, samples, bytes);
  std::string out;
  int64_t packed = 0;
  const int records =
      mst_pack(trace, Collect, &out, channel.recordLength, static_cast<flag>(channel.encoding),
               channel.bigEndian ? 1 : 0, &packed, 1, 0, nullptr);
  mst_free(&trace);
  if (records < 0 || packed != static_cast<int64_t>(count))
    throw std::runtime_error("libmseed could not pack the samples");
  return out;
}

}  // namespace

std::string PackMseed(const MseedChannel& channel, const std::vector<int32_t>& samples) {
  return Pack(channel, samples.data(), samples.size(), 'i', 4);
}

std::string PackMseed(const MseedChannel& channel, const std::vector<float>& samples) {
  return Pack(channel, samples.data(), samples.size(), 'f', 4);
}

std::string PackMseed(const MseedChannel& channel, const std::vector<double>& samples) {
  return Pack(channel, samples.data(), samples.size(), 'd', 8);
}

}  // namespace nuv::test
