#include "archive/block_reader.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <bit>
#include <climits>
#include <cmath>
#include <memory>
#include <new>
#include <vector>

#include "archive/sample_codec.h"
#include "platform/file_read.h"
#include "platform/strformat.h"

namespace nuv {
namespace {

// A span in seconds as a whole number of samples, truncated toward zero. The
// span is the difference of two epoch times near 1e9 s, each rounded to its
// double (about 2e-7 s there): a file of 4 samples at 40 SPS starting at
// .25 s gives 0.0999999 s, not 0.1. Counts within that rounding of the next
// whole sample are taken as whole, so the last sample of a file is not lost.
double WholeSamples(double seconds, double sps, double magnitude) {
  const double ulp = std::nextafter(magnitude, INFINITY) - magnitude;
  const double slack = 4 * ulp * sps;
  return std::trunc(seconds * sps + slack);
}

class FileHandle {
 public:
  explicit FileHandle(const std::string& name) : fd_(open(name.c_str(), O_RDONLY | O_CLOEXEC)) {}
  ~FileHandle() {
    if (fd_ >= 0) close(fd_);
  }
  FileHandle(const FileHandle&) = delete;
  FileHandle& operator=(const FileHandle&) = delete;
  int fd() const { return fd_; }

 private:
  int fd_;
};

// The block of `file` inside [t1, t2] with its place, rate and count set
// and no samples yet; `skip` receives the bytes before its first sample.
std::optional<NUVDataBlock> PlaceBlock(const BlockFile& file, double t1, double t2,
                                       long long& skip) {
  const double sps = file.rate;
  if (!(sps > 0) || !std::isfinite(sps)) return std::nullopt;  // no spacing, no samples
  const SampleRange range = RangeInInterval(file.begin, file.begin + file.duration, sps, t1, t2);
  if (!(range.count > 0)) return std::nullopt;
  if (range.count > INT_MAX) throw std::bad_alloc();
  skip = static_cast<long long>(range.first) * BytesPerSample(EncodingOfCode(file.code));
  NUVDataBlock block;
  block.start = range.start;
  block.rate = sps;
  block.count = static_cast<int>(range.count);
  return block;
}

}  // namespace

SampleRange RangeInInterval(double begin, double end, double sps, double t1, double t2) {
  const double magnitude =
      std::max({std::fabs(begin), std::fabs(end), std::fabs(t1), std::fabs(t2)});
  SampleRange r;
  r.start = begin;
  if (begin >= t1 && begin <= t2) {
    // The run starts inside the interval.
    r.count = WholeSamples(std::min(end, t2) - begin, sps, magnitude);
  } else if (t1 > begin && t1 < end) {
    // The interval starts inside the run.
    r.first = WholeSamples(t1 - begin, sps, magnitude);
    r.start = begin + r.first / sps;
    r.count = WholeSamples(std::min(end, t2) - r.start, sps, magnitude);
  }
  return r;
}

std::optional<NUVDataBlock> ReadBlock(const BlockFile& file, double t1, double t2) {
  const SampleEncoding encoding = EncodingOfCode(file.code);
  const long long s = BytesPerSample(encoding);
  long long skip = 0;
  std::optional<NUVDataBlock> placed = PlaceBlock(file, t1, t2, skip);
  if (!placed) return std::nullopt;
  NUVDataBlock block = std::move(*placed);
  const size_t count = static_cast<size_t>(block.count);
  if (encoding == SampleEncoding::kNone) {
    block.samples.assign(count, 0.0f);  // an unknown code converts nothing
    return block;
  }
  FileHandle handle(file.fileName);
  if (handle.fd() < 0) {
    block.samples.assign(count, 0.0f);  // an unreadable file still gives its zeros
    return block;
  }
  const long long position = file.offset + skip;
  if (encoding == SampleEncoding::kFloat32LE && std::endian::native == std::endian::little) {
    // The file's bytes are the samples: read them straight into the block.
    block.samples.assign(count, 0.0f);
    const size_t got =
        ReadFileAt(handle.fd(), file.fileName, block.samples.data(), count * 4, position);
    // Bytes of a last partial sample are not a sample.
    const size_t whole = got / 4;
    if (whole < count)
      std::fill(block.samples.begin() + static_cast<std::ptrdiff_t>(whole), block.samples.end(),
                0.0f);
    return block;
  }
  // The encoded bytes pass through one buffer that lives as long as the
  // thread, so repeated assemblies do not fault fresh pages in every time;
  // the samples are built straight from it (no zero pass), and only the
  // samples past the end of a short file are filled with zeros.
  thread_local std::vector<uint8_t> buffer;
  const size_t size = count * static_cast<size_t>(s);
  if (buffer.size() < size) buffer.resize(size);
  const size_t got = ReadFileAt(handle.fd(), file.fileName, buffer.data(), size, position);
  block.samples.reserve(count);
  DecodeSamplesInto(encoding, buffer.data(), got / static_cast<size_t>(s), block.samples);
  block.samples.resize(count, 0.0f);
  // A very long block does not keep its buffer for the rest of the run.
  constexpr size_t kKeptBuffer = size_t{64} << 20;
  if (buffer.size() > kKeptBuffer) std::vector<uint8_t>().swap(buffer);
  return block;
}

std::optional<NUVDataBlock> ReadBlockOrZeros(const BlockFile& file, double t1, double t2,
                                             std::string& problem) {
  std::string why;
  if (Trim(file.fileName).empty()) {
    why = "не задан путь к файлу";
  } else {
    try {
      return ReadBlock(file, t1, t2);
    } catch (const FileReadError& error) {
      why = error.what();
    }
  }
  long long skip = 0;
  std::optional<NUVDataBlock> block = PlaceBlock(file, t1, t2, skip);
  if (!block) return std::nullopt;  // nothing of the file was wanted: nothing to say
  block->samples.assign(static_cast<size_t>(block->count), 0.0f);
  problem = why;
  return block;
}

}  // namespace nuv
