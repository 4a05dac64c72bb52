#pragma once
// Sample encodings of the archive's data files and of CSS 3.0 data files, and
// the tight loops that turn a buffer of encoded samples into 32-bit floats (and
// floats back into the CSS 3.0 output types). The encoding is chosen once per
// buffer; the loops themselves have no calls and no allocations.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace nuv {

enum class SampleEncoding {
  kInt8,       // code 0
  kInt16LE,    // code 1; CSS "i2"
  kInt32LE,    // code 2; CSS "i4"
  kFloat32LE,  // code 3; CSS "f4"
  kUInt16LE,   // code 5
  kInt32BE,    // code 6; CSS "s4"
  kInt24BE,    // code 7; CSS "s3"
  kInt16BE,    // CSS "s2"
  kFloat32BE,  // CSS "t4"
  kNone,       // unknown code: 4 bytes per sample, nothing converted
};

// Bytes one sample occupies in the file (4 for kNone).
int BytesPerSample(SampleEncoding encoding);

// The encoding of a FILELIST.DATATYPE code; kNone for codes outside 0-3, 5-7.
SampleEncoding EncodingOfCode(int code);
inline int BytesPerSampleOfCode(int code) {
  return BytesPerSample(EncodingOfCode(code));
}

// The FILELIST code that a wfdisc table's datatype stands for when the table
// serves as the archive index: "i4" 2, "s4" 6, "s3" 7; nothing otherwise.
std::optional<int> CodeOfWfdiscDatatype(std::string_view datatype);

// The encodings a wfdisc file set can be imported from: "t4", "s4", "s2",
// "f4", "i4", "i2"; nothing for any other datatype.
std::optional<SampleEncoding> ImportEncodingOfDatatype(std::string_view datatype);

// Converts `count` encoded samples at `bytes` into `out`. kNone leaves `out`
// untouched. `bytes` and `out` must not overlap.
void DecodeSamples(SampleEncoding encoding, const void* bytes, size_t count, float* out);

// Replaces the contents of `out` by the `count` decoded samples, without a
// pass that first fills the samples with zeros. kNone gives `count` zeros.
void DecodeSamplesInto(SampleEncoding encoding, const void* bytes, size_t count,
                       std::vector<float>& out);

// The three CSS 3.0 output formats of a save ([CSS30DATAOUTPUT] FORMAT).
enum class WfdiscOutputFormat { kI4 = 0, kF4 = 1, kS4 = 2 };

// "i4", "f4" or "s4".
const char* DatatypeOfOutputFormat(WfdiscOutputFormat format);

// A float truncated toward zero to a 32-bit integer. Values beyond the
// integer range saturate and NaN gives 0, so no sample turns into garbage.
int32_t TruncateToInt32(float value);

// Writes `count` samples in the output format; `out` holds 4 * count bytes.
void EncodeSamples(WfdiscOutputFormat format, const float* samples, size_t count, uint8_t* out);

}  // namespace nuv
