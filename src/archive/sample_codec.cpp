#include "archive/sample_codec.h"

#include <bit>
#include <cmath>
#include <cstring>
#include <iterator>

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

namespace {

// One loader per encoding: sample i of the buffer at p as a float.
struct Int8Loader {
  static float At(const uint8_t* p, size_t i) {
    return static_cast<float>(static_cast<int8_t>(p[i]));
  }
};
struct Int16LELoader {
  static float At(const uint8_t* p, size_t i) {
    return static_cast<float>(static_cast<int16_t>(Load16LE(p + 2 * i)));
  }
};
struct UInt16LELoader {
  static float At(const uint8_t* p, size_t i) { return static_cast<float>(Load16LE(p + 2 * i)); }
};
struct Int16BELoader {
  static float At(const uint8_t* p, size_t i) {
    return static_cast<float>(static_cast<int16_t>(Load16BE(p + 2 * i)));
  }
};
struct Int32LELoader {
  static float At(const uint8_t* p, size_t i) {
    return static_cast<float>(static_cast<int32_t>(Load32LE(p + 4 * i)));
  }
};
struct Int32BELoader {
  static float At(const uint8_t* p, size_t i) {
    return static_cast<float>(static_cast<int32_t>(Load32BE(p + 4 * i)));
  }
};
struct Float32LELoader {
  static float At(const uint8_t* p, size_t i) { return std::bit_cast<float>(Load32LE(p + 4 * i)); }
};
struct Float32BELoader {
  static float At(const uint8_t* p, size_t i) { return std::bit_cast<float>(Load32BE(p + 4 * i)); }
};
// The three bytes go to the top of a 32-bit word; the arithmetic shift back
// down extends the sign (FF FF FE is -2). The fast form loads a whole 4-byte
// word (the first byte of the next sample is shifted out), so it must not be
// used for the last sample of a buffer; the exact form reads three bytes.
struct Int24BEWordLoader {
  static float At(const uint8_t* p, size_t i) {
    return static_cast<float>(static_cast<int32_t>(Load32BE(p + 3 * i)) >> 8);
  }
};
struct Int24BEExactLoader {
  static float At(const uint8_t* p, size_t i) {
    const uint8_t* s = p + 3 * i;
    const uint32_t word = (static_cast<uint32_t>(s[0]) << 24) |
                          (static_cast<uint32_t>(s[1]) << 16) | (static_cast<uint32_t>(s[2]) << 8);
    return static_cast<float>(static_cast<int32_t>(word) >> 8);
  }
};

// A random-access iterator over decoded samples, so that a vector can be
// built straight from the encoded bytes.
template <typename Loader>
class DecodingIterator {
 public:
  using iterator_category = std::random_access_iterator_tag;
  using value_type = float;
  using difference_type = std::ptrdiff_t;
  using pointer = const float*;
  using reference = float;

  DecodingIterator(const uint8_t* p, size_t i) : p_(p), i_(i) {}
  float operator*() const { return Loader::At(p_, i_); }
  float operator[](difference_type n) const { return Loader::At(p_, i_ + static_cast<size_t>(n)); }
  DecodingIterator& operator++() {
    ++i_;
    return *this;
  }
  DecodingIterator operator++(int) {
    DecodingIterator old = *this;
    ++i_;
    return old;
  }
  DecodingIterator& operator--() {
    --i_;
    return *this;
  }
  DecodingIterator operator--(int) {
    DecodingIterator old = *this;
    --i_;
    return old;
  }
  DecodingIterator& operator+=(difference_type n) {
    i_ += static_cast<size_t>(n);
    return *this;
  }
  DecodingIterator& operator-=(difference_type n) {
    i_ -= static_cast<size_t>(n);
    return *this;
  }
  DecodingIterator operator+(difference_type n) const { return {p_, i_ + static_cast<size_t>(n)}; }
  DecodingIterator operator-(difference_type n) const { return {p_, i_ - static_cast<size_t>(n)}; }
  difference_type operator-(const DecodingIterator& other) const {
    return static_cast<difference_type>(i_) - static_cast<difference_type>(other.i_);
  }
  bool operator==(const DecodingIterator& other) const { return i_ == other.i_; }
  auto operator<=>(const DecodingIterator& other) const { return i_ <=> other.i_; }

 private:
  const uint8_t* p_;
  size_t i_;
};

template <typename Loader>
void DecodeLoop(const uint8_t* p, size_t count, float* out) {
  for (size_t i = 0; i < count; ++i) out[i] = Loader::At(p, i);
}

template <typename Loader>
void AssignDecoded(const uint8_t* p, size_t count, std::vector<float>& out) {
  out.assign(DecodingIterator<Loader>(p, 0), DecodingIterator<Loader>(p, count));
}

}  // namespace

void DecodeSamples(SampleEncoding encoding, const void* bytes, size_t count, float* out) {
  const auto* p = static_cast<const uint8_t*>(bytes);
  switch (encoding) {
    case SampleEncoding::kInt8:
      return DecodeLoop<Int8Loader>(p, count, out);
    case SampleEncoding::kInt16LE:
      return DecodeLoop<Int16LELoader>(p, count, out);
    case SampleEncoding::kUInt16LE:
      return DecodeLoop<UInt16LELoader>(p, count, out);
    case SampleEncoding::kInt16BE:
      return DecodeLoop<Int16BELoader>(p, count, out);
    case SampleEncoding::kInt32LE:
      return DecodeLoop<Int32LELoader>(p, count, out);
    case SampleEncoding::kInt32BE:
      return DecodeLoop<Int32BELoader>(p, count, out);
    case SampleEncoding::kFloat32LE:
      if constexpr (std::endian::native == std::endian::little) {
        if (count > 0) std::memcpy(out, p, 4 * count);
        return;
      }
      return DecodeLoop<Float32LELoader>(p, count, out);
    case SampleEncoding::kFloat32BE:
      return DecodeLoop<Float32BELoader>(p, count, out);
    case SampleEncoding::kInt24BE:
      if (count == 0) return;
      DecodeLoop<Int24BEWordLoader>(p, count - 1, out);
      out[count - 1] = Int24BEExactLoader::At(p, count - 1);
      return;
    case SampleEncoding::kNone:
      return;
  }
}

void DecodeSamplesInto(SampleEncoding encoding, const void* bytes, size_t count,
                       std::vector<float>& out) {
  const auto* p = static_cast<const uint8_t*>(bytes);
  switch (encoding) {
    case SampleEncoding::kInt8:
      return AssignDecoded<Int8Loader>(p, count, out);
    case SampleEncoding::kInt16LE:
      return AssignDecoded<Int16LELoader>(p, count, out);
    case SampleEncoding::kUInt16LE:
      return AssignDecoded<UInt16LELoader>(p, count, out);
    case SampleEncoding::kInt16BE:
      return AssignDecoded<Int16BELoader>(p, count, out);
    case SampleEncoding::kInt32LE:
      return AssignDecoded<Int32LELoader>(p, count, out);
    case SampleEncoding::kInt32BE:
      return AssignDecoded<Int32BELoader>(p, count, out);
    case SampleEncoding::kFloat32LE:
      return AssignDecoded<Float32LELoader>(p, count, out);
    case SampleEncoding::kFloat32BE:
      return AssignDecoded<Float32BELoader>(p, count, out);
    case SampleEncoding::kInt24BE:
      out.clear();
      if (count == 0) return;
      out.reserve(count);
      AssignDecoded<Int24BEWordLoader>(p, count - 1, out);
      out.push_back(Int24BEExactLoader::At(p, count - 1));
      return;
    case SampleEncoding::kNone:
      out.assign(count, 0.0f);
      return;
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
