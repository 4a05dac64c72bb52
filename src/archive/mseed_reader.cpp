#include "archive/mseed_reader.h"

#include <libmseed.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <limits>
#include <mutex>
#include <tuple>

#include "archive/archive_error.h"
#include "platform/strformat.h"

namespace nuv {
namespace {

// libmseed prints its diagnostics on standard error; the reader reports
// failures through its own messages instead.
void Quiet(char*) {}

void SilenceLibrary() {
  static std::once_flag once;
  std::call_once(once, [] { ms_loginit(Quiet, nullptr, Quiet, nullptr); });
}

// The one record libmseed parses into, reused for every record.
struct RecordHolder {
  MSRecord* record = nullptr;
  RecordHolder() = default;
  RecordHolder(const RecordHolder&) = delete;
  RecordHolder& operator=(const RecordHolder&) = delete;
  ~RecordHolder() { msr_free(&record); }
};

// What the first pass learns of a record from its header alone.
struct RecordHead {
  std::string id;
  std::string network, station, location, channel;
  hptime_t start = 0;
  double rate = 0;
  size_t offset = 0;
};

// Parses the record at `offset` of `bytes` into `record`; returns its
// length, or 0 at the end when only blank padding is left. Throws ArchiveError
// for a damaged or truncated record.
int ParseRecordAt(std::vector<char>& bytes, size_t offset, MSRecord*& record, bool withData,
                  const std::string& name) {
  const size_t left = bytes.size() - offset;
  const int length = static_cast<int>(std::min<size_t>(left, INT_MAX));
  const int rc = msr_parse(bytes.data() + offset, length, &record, 0, withData ? 1 : 0, 0);
  if (rc == MS_NOERROR && record && record->reclen > 0) return record->reclen;
  const bool padding = std::all_of(bytes.begin() + static_cast<std::ptrdiff_t>(offset), bytes.end(),
                                   [](char c) { return c == 0 || c == ' '; });
  if (padding) return 0;
  const char* reason = rc > 0 ? "запись обрезана" : ms_errorstr(rc);
  throw ArchiveError(StrFormat("Ошибка чтения файла miniSEED %s: смещение %zu, %s", name.c_str(),
                               offset, reason ? reason : "неизвестная ошибка"));
}

// Bytes per sample of the encodings libmseed decodes: 0 for the Steim
// encodings, whose decoders stop at the end of the record; -1 for others.
int SampleSizeOf(int encoding) {
  switch (encoding) {
    case DE_STEIM1:
    case DE_STEIM2:
      return 0;
    case DE_INT16:
    case DE_GEOSCOPE163:
    case DE_GEOSCOPE164:
    case DE_CDSN:
    case DE_SRO:
    case DE_DWWSSN:
      return 2;
    case DE_GEOSCOPE24:
      return 3;
    case DE_INT32:
    case DE_FLOAT32:
      return 4;
    case DE_FLOAT64:
      return 8;
    default:
      return -1;
  }
}

// libmseed decodes uncompressed samples without comparing their count with
// the record's length, so a header that claims more samples than the record
// holds would be read past its end: such a record counts as damaged.
void CheckSamplesFit(const MSRecord& record, size_t offset, const std::string& name) {
  const int size = SampleSizeOf(record.encoding);
  const int dataOffset = record.fsdh ? record.fsdh->data_offset : 0;
  const long long room = static_cast<long long>(record.reclen) - dataOffset;
  const char* reason = nullptr;
  if (size < 0)
    reason = "неизвестная кодировка данных";
  else if (dataOffset < 48 || room <= 0 || record.samplecnt * size > room)
    reason = "число отсчётов не помещается в запись";
  if (reason)
    throw ArchiveError(StrFormat("Ошибка чтения файла miniSEED %s: смещение %zu, %s", name.c_str(),
                                 offset, reason));
}

// A 64-bit sample as a float; values beyond the float range become its
// largest value of that sign (a plain conversion would be undefined).
float ToFloat(double v) {
  constexpr double kMax = std::numeric_limits<float>::max();
  if (std::isfinite(v) && std::fabs(v) > kMax) return static_cast<float>(v > 0 ? kMax : -kMax);
  return static_cast<float>(v);
}

void AppendSamples(const MSRecord& record, std::vector<float>& out) {
  const auto n = static_cast<size_t>(std::max<int64_t>(record.numsamples, 0));
  const size_t at = out.size();
  out.resize(at + n);
  float* dst = out.data() + at;
  switch (record.sampletype) {
    case 'i': {
      const auto* src = static_cast<const int32_t*>(record.datasamples);
      for (size_t i = 0; i < n; ++i) dst[i] = static_cast<float>(src[i]);
      break;
    }
    case 'f':
      std::copy_n(static_cast<const float*>(record.datasamples), n, dst);
      break;
    case 'd': {
      const auto* src = static_cast<const double*>(record.datasamples);
      for (size_t i = 0; i < n; ++i) dst[i] = ToFloat(src[i]);
      break;
    }
    default:
      out.resize(at);  // text records carry no samples
  }
}

bool Joins(const MseedTrace& trace, const RecordHead& head) {
  if (trace.Id() != head.id || trace.samples.empty()) return false;
  if (!(std::fabs(1.0 - head.rate / trace.rate) < 0.0001)) return false;
  const double start = static_cast<double>(head.start) / HPTMODULUS;
  return std::fabs(start - trace.End()) <= 0.5 / trace.rate;
}

}  // namespace

std::string MseedTrace::Id() const {
  return network + "." + station + "." + location + "." + channel;
}

bool LooksLikeMseed(std::span<const uint8_t> bytes) {
  SilenceLibrary();
  if (bytes.size() < 48) return false;
  const int length = static_cast<int>(std::min<size_t>(bytes.size(), INT_MAX));
  return ms_detect(reinterpret_cast<const char*>(bytes.data()), length) >= 0;
}

MseedContents ReadMseed(std::span<const uint8_t> input, const std::string& name) {
  SilenceLibrary();
  std::vector<char> bytes(input.begin(), input.end());
  RecordHolder holder;
  MSRecord*& raw = holder.record;
  MseedContents contents;

  // First pass: headers only, to put the records of each channel in order.
  std::vector<RecordHead> heads;
  for (size_t offset = 0; offset < bytes.size();) {
    const int length = ParseRecordAt(bytes, offset, raw, false, name);
    if (length == 0) break;
    const double rate = msr_samprate(raw);
    if (raw->samplecnt > 0 && rate > 0 && std::isfinite(rate) && raw->encoding != DE_ASCII) {
      CheckSamplesFit(*raw, offset, name);
      RecordHead head{"",           raw->network,   raw->station, raw->location,
                      raw->channel, raw->starttime, rate,         offset};
      head.id = head.network + "." + head.station + "." + head.location + "." + head.channel;
      heads.push_back(std::move(head));
    } else {
      ++contents.skippedRecords;
    }
    offset += static_cast<size_t>(length);
  }
  std::stable_sort(heads.begin(), heads.end(), [](const RecordHead& a, const RecordHead& b) {
    return std::tie(a.id, a.start) < std::tie(b.id, b.start);
  });

  // Second pass: decode in that order, joining records that continue a run.
  for (const RecordHead& head : heads) {
    ParseRecordAt(bytes, head.offset, raw, true, name);
    if (contents.traces.empty() || !Joins(contents.traces.back(), head)) {
      MseedTrace trace{head.network,
                       head.station,
                       head.location,
                       head.channel,
                       static_cast<double>(head.start) / HPTMODULUS,
                       head.rate,
                       {}};
      contents.traces.push_back(std::move(trace));
    }
    AppendSamples(*raw, contents.traces.back().samples);
    ++contents.records;
  }
  // A run whose records all decoded to nothing (text) is no run.
  std::erase_if(contents.traces, [](const MseedTrace& t) { return t.samples.empty(); });
  return contents;
}

}  // namespace nuv
