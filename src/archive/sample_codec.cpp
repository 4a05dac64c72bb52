#include "archive/sample_codec.h"

#include <bit>
#include <cmath>
#include <cstring>

namespace nuv {
namespace {

// Loads of unaligned integers in either byte order. memcpy of a constant size
// compiles to a single load, and the loops around them vectorise.
inline uint16_t Load16(const uint8_t* p) {
  uint16_t v;
  std::memcpy(&v, p, 2);
  return v;
}
inline uint32_t Load32(const uint8_t* p) {
  uint32_t v;
  std::memcpy(&v, p, 4);
  return v;
}
inline uint16_t Swap16(uint16_t v) {
  return static_cast<uint16_t>((v >> 8) | (v << 8));
}

inline uint16_t Load16LE(const uint8_t* p) {
  return std::endian::native == std::endian::little ? Load16(p) : Swap16(Load16(p));
}
inline uint16_t Load16BE(const uint8_t* p) {
  return std::endian::native == std::endian::big ? Load16(p) : Swap16(Load16(p));
}
inline uint32_t Load32LE(const uint8_t* p) {
  return std::endian::native == std::endian::little ? Load32(p) : __builtin_bswap32(Load32(p));
}
inline uint32_t Load32BE(const uint8_t* p) {
  return std::endian::native == std::endian::big ? Load32(p) : __builtin_bswap32(Load32(p));
}
inline void Store32LE(uint8_t* p, uint32_t v) {
  if (std::endian::native != std::endian::little) v = __builtin_bswap32(v);
  std::memcpy(p, &v, 4);
}
inline void Store32BE(uint8_t* p, uint32_t v) {
  if (std::endian::native != std::endian::big) v = __builtin_bswap32(v);
  std::memcpy(p, &v, 4);
}

}  // namespace

int BytesPerSample(SampleEncoding encoding) {
  switch (encoding) {
    case SampleEncoding::kInt8:
      return 1;
    case SampleEncoding::kInt16LE:
    case SampleEncoding::kUInt16LE:
    case SampleEncoding::kInt16BE:
      return 2;
    case SampleEncoding::kInt24BE:
      return 3;
    default:
      return 4;
  }
}

SampleEncoding EncodingOfCode(int code) {
  switch (code) {
    case 0:
      return SampleEncoding::kInt8;
    case 1:
      return SampleEncoding::kInt16LE;
    case 2:
      return SampleEncoding::kInt32LE;
    case 3:
      return SampleEncoding::kFloat32LE;
    case 5:
      return SampleEncoding::kUInt16LE;
    case 6:
      return SampleEncoding::kInt32BE;
    case 7:
      return SampleEncoding::kInt24BE;
    default:
      return SampleEncoding::kNone;
  }
}

std::optional<int> CodeOfWfdiscDatatype(std::string_view datatype) {
  if (datatype == "i4") return 2;
  if (datatype == "s4") return 6;
  if (datatype == "s3") return 7;
  return std::nullopt;
}

std::optional<SampleEncoding> ImportEncodingOfDatatype(std::string_view datatype) {
  if (datatype == "t4") return SampleEncoding::kFloat32BE;
  if (datatype == "s4") return SampleEncoding::kInt32BE;
  if (datatype == "s2") return SampleEncoding::kInt16BE;
  if (datatype == "f4") return SampleEncoding::kFloat32LE;
  if (datatype == "i4") return SampleEncoding::kInt32LE;
  if (datatype == "i2") return SampleEncoding::kInt16LE;
  return std::nullopt;
}

void DecodeSamples(SampleEncoding encoding, const void* bytes, size_t count, float* out) {
  const auto* p = static_cast<const uint8_t*>(bytes);
  switch (encoding) {
    case SampleEncoding::kInt8:
      for (size_t i = 0; i < count; ++i) out[i] = static_cast<float>(static_cast<int8_t>(p[i]));
      break;
    case SampleEncoding::kInt16LE:
      for (size_t i = 0; i < count; ++i)
        out[i] = static_cast<float>(static_cast<int16_t>(Load16LE(p + 2 * i)));
      break;
    case SampleEncoding::kUInt16LE:
      for (size_t i = 0; i < count; ++i) out[i] = static_cast<float>(Load16LE(p + 2 * i));
      break;
    case SampleEncoding::kInt16BE:
      for (size_t i = 0; i < count; ++i)
        out[i] = static_cast<float>(static_cast<int16_t>(Load16BE(p + 2 * i)));
      break;
    case SampleEncoding::kInt32LE:
      for (size_t i = 0; i < count; ++i)
        out[i] = static_cast<float>(static_cast<int32_t>(Load32LE(p + 4 * i)));
      break;
    case SampleEncoding::kInt32BE:
      for (size_t i = 0; i < count; ++i)
        out[i] = static_cast<float>(static_cast<int32_t>(Load32BE(p + 4 * i)));
      break;
    case SampleEncoding::kFloat32LE:
      if constexpr (std::endian::native == std::endian::little) {
        std::memcpy(out, p, 4 * count);
      } else {
        for (size_t i = 0; i < count; ++i) out[i] = std::bit_cast<float>(Load32LE(p + 4 * i));
      }
      break;
    case SampleEncoding::kFloat32BE:
      for (size_t i = 0; i < count; ++i) out[i] = std::bit_cast<float>(Load32BE(p + 4 * i));
      break;
    case SampleEncoding::kInt24BE:
      // The three bytes go to the top of a 32-bit word; the arithmetic shift
      // back down extends the sign (FF FF FE is -2).
      for (size_t i = 0; i < count; ++i) {
        const uint8_t* s = p + 3 * i;
        const uint32_t word = (static_cast<uint32_t>(s[0]) << 24) |
                              (static_cast<uint32_t>(s[1]) << 16) |
                              (static_cast<uint32_t>(s[2]) << 8);
        out[i] = static_cast<float>(static_cast<int32_t>(word) >> 8);
      }
      break;
    case SampleEncoding::kNone:
      break;
  }
}

const char* DatatypeOfOutputFormat(WfdiscOutputFormat format) {
  switch (format) {
    case WfdiscOutputFormat::kF4:
      return "f4";
    case WfdiscOutputFormat::kS4:
      return "s4";
    default:
      return "i4";
  }
}

int32_t TruncateToInt32(float value) {
  if (std::isnan(value)) return 0;
  if (value >= 2147483648.0f) return INT32_MAX;
  if (value <= -2147483648.0f) return INT32_MIN;
  return static_cast<int32_t>(value);
}

void EncodeSamples(WfdiscOutputFormat format, const float* samples, size_t count, uint8_t* out) {
  switch (format) {
    case WfdiscOutputFormat::kF4:
      for (size_t i = 0; i < count; ++i)
        Store32LE(out + 4 * i, std::bit_cast<uint32_t>(samples[i]));
      break;
    case WfdiscOutputFormat::kS4:
      for (size_t i = 0; i < count; ++i)
        Store32BE(out + 4 * i, static_cast<uint32_t>(TruncateToInt32(samples[i])));
      break;
    default:
      for (size_t i = 0; i < count; ++i)
        Store32LE(out + 4 * i, static_cast<uint32_t>(TruncateToInt32(samples[i])));
      break;
  }
}

}  // namespace nuv
