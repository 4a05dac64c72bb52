#include "archive/sample_codec.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

namespace nuv {
namespace {

std::vector<float> Decode(SampleEncoding encoding, std::vector<uint8_t> bytes) {
  const size_t count = bytes.size() / static_cast<size_t>(BytesPerSample(encoding));
  std::vector<float> out(count, 12345.0f);
  DecodeSamples(encoding, bytes.data(), count, out.data());
  return out;
}

TEST(SampleCodec, CodesMapToTheirSizesAndUnknownCodesToFourBytesOfNothing) {
  const int sizes[8] = {1, 2, 4, 4, 4, 2, 4, 3};
  for (int code = 0; code < 8; ++code) EXPECT_EQ(BytesPerSampleOfCode(code), sizes[code]) << code;
  for (int code : {4, 8, -1, 1000}) {
    EXPECT_EQ(EncodingOfCode(code), SampleEncoding::kNone);
    EXPECT_EQ(BytesPerSampleOfCode(code), 4);
  }
  // Code 4 and other unknown codes leave the output as it was.
  EXPECT_EQ(Decode(SampleEncoding::kNone, {1, 2, 3, 4}), std::vector<float>{12345.0f});
}

TEST(SampleCodec, IntegerCodesDecodeSignAndByteOrder) {
  EXPECT_EQ(Decode(EncodingOfCode(0), {0x7F, 0x80, 0xFF}), (std::vector<float>{127, -128, -1}));
  EXPECT_EQ(Decode(EncodingOfCode(1), {0x01, 0x02, 0xFF, 0xFF, 0x00, 0x80}),
            (std::vector<float>{513, -1, -32768}));
  EXPECT_EQ(Decode(EncodingOfCode(5), {0xFF, 0xFF, 0x00, 0x80}),
            (std::vector<float>{65535, 32768}));
  EXPECT_EQ(Decode(EncodingOfCode(2), {0x01, 0x02, 0x03, 0x00, 0xFE, 0xFF, 0xFF, 0xFF}),
            (std::vector<float>{197121, -2}));
  EXPECT_EQ(Decode(EncodingOfCode(6), {0x00, 0x03, 0x02, 0x01, 0xFF, 0xFF, 0xFF, 0xFE}),
            (std::vector<float>{197121, -2}));
}

TEST(SampleCodec, TwentyFourBitBigEndianExtendsTheSign) {
  EXPECT_EQ(Decode(EncodingOfCode(7), {0xFF, 0xFF, 0xFE, 0x00, 0x01, 0x00, 0x7F, 0xFF, 0xFF, 0x80,
                                       0x00, 0x00, 0x00, 0x00, 0x00}),
            (std::vector<float>{-2, 256, 8388607, -8388608, 0}));
}

TEST(SampleCodec, FloatsInBothByteOrders) {
  // 1.5f is 3F C0 00 00; -2.25f is C0 10 00 00.
  EXPECT_EQ(Decode(EncodingOfCode(3), {0x00, 0x00, 0xC0, 0x3F, 0x00, 0x00, 0x10, 0xC0}),
            (std::vector<float>{1.5f, -2.25f}));
  EXPECT_EQ(Decode(SampleEncoding::kFloat32BE, {0x3F, 0xC0, 0x00, 0x00}), std::vector<float>{1.5f});
  EXPECT_EQ(Decode(SampleEncoding::kInt16BE, {0xFF, 0xFE, 0x01, 0x00}),
            (std::vector<float>{-2, 256}));
}

TEST(SampleCodec, BuildingAVectorDecodesLikeTheBufferLoop) {
  std::vector<uint8_t> bytes(61);
  for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<uint8_t>(i * 37 + 200);
  for (SampleEncoding encoding :
       {SampleEncoding::kInt8, SampleEncoding::kInt16LE, SampleEncoding::kInt32LE,
        SampleEncoding::kFloat32LE, SampleEncoding::kUInt16LE, SampleEncoding::kInt32BE,
        SampleEncoding::kInt24BE, SampleEncoding::kInt16BE, SampleEncoding::kFloat32BE}) {
    // The count uses the buffer to its last byte, where a wide load would overrun.
    const size_t count = bytes.size() / static_cast<size_t>(BytesPerSample(encoding));
    std::vector<float> expected(count);
    DecodeSamples(encoding, bytes.data(), count, expected.data());
    std::vector<float> built = {1, 2, 3};
    DecodeSamplesInto(encoding, bytes.data() + bytes.size() - count * BytesPerSample(encoding),
                      count, built);
    std::vector<float> tail(count);
    DecodeSamples(encoding, bytes.data() + bytes.size() - count * BytesPerSample(encoding), count,
                  tail.data());
    ASSERT_EQ(built.size(), count);
    for (size_t i = 0; i < count; ++i) {
      if (std::isnan(tail[i])) {
        EXPECT_TRUE(std::isnan(built[i]));
      } else {
        EXPECT_EQ(built[i], tail[i]) << static_cast<int>(encoding) << " " << i;
      }
    }
  }
  std::vector<float> zeros = {5};
  DecodeSamplesInto(SampleEncoding::kNone, bytes.data(), 4, zeros);
  EXPECT_EQ(zeros, std::vector<float>(4, 0.0f));
}

TEST(SampleCodec, DatatypeNamesOfBothDirections) {
  EXPECT_EQ(CodeOfWfdiscDatatype("i4"), 2);
  EXPECT_EQ(CodeOfWfdiscDatatype("s4"), 6);
  EXPECT_EQ(CodeOfWfdiscDatatype("s3"), 7);
  EXPECT_FALSE(CodeOfWfdiscDatatype("t4"));
  EXPECT_FALSE(CodeOfWfdiscDatatype("f4"));
  EXPECT_EQ(ImportEncodingOfDatatype("t4"), SampleEncoding::kFloat32BE);
  EXPECT_EQ(ImportEncodingOfDatatype("s4"), SampleEncoding::kInt32BE);
  EXPECT_EQ(ImportEncodingOfDatatype("s2"), SampleEncoding::kInt16BE);
  EXPECT_EQ(ImportEncodingOfDatatype("f4"), SampleEncoding::kFloat32LE);
  EXPECT_EQ(ImportEncodingOfDatatype("i4"), SampleEncoding::kInt32LE);
  EXPECT_EQ(ImportEncodingOfDatatype("i2"), SampleEncoding::kInt16LE);
  for (const char* refused : {"a0", "b0", "c0", "t8", "f8", "g2", "s3", "", "I4"})
    EXPECT_FALSE(ImportEncodingOfDatatype(refused)) << refused;
}

TEST(SampleCodec, OutputFormatsTruncateTowardZeroAndKeepByteOrder) {
  const std::vector<float> samples = {-1.9f, 2.9f, 1.5f};
  std::vector<uint8_t> bytes(12);
  EncodeSamples(WfdiscOutputFormat::kI4, samples.data(), 3, bytes.data());
  EXPECT_EQ(bytes, (std::vector<uint8_t>{0xFF, 0xFF, 0xFF, 0xFF, 2, 0, 0, 0, 1, 0, 0, 0}));
  EncodeSamples(WfdiscOutputFormat::kS4, samples.data(), 3, bytes.data());
  EXPECT_EQ(bytes, (std::vector<uint8_t>{0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 2, 0, 0, 0, 1}));
  EncodeSamples(WfdiscOutputFormat::kF4, samples.data() + 2, 1, bytes.data());
  EXPECT_EQ(std::vector<uint8_t>(bytes.begin(), bytes.begin() + 4),
            (std::vector<uint8_t>{0x00, 0x00, 0xC0, 0x3F}));
  EXPECT_STREQ(DatatypeOfOutputFormat(WfdiscOutputFormat::kI4), "i4");
  EXPECT_STREQ(DatatypeOfOutputFormat(WfdiscOutputFormat::kF4), "f4");
  EXPECT_STREQ(DatatypeOfOutputFormat(WfdiscOutputFormat::kS4), "s4");
}

TEST(SampleCodec, TruncationSaturatesInsteadOfOverflowing) {
  EXPECT_EQ(TruncateToInt32(-1.9f), -1);
  EXPECT_EQ(TruncateToInt32(3e9f), std::numeric_limits<int32_t>::max());
  EXPECT_EQ(TruncateToInt32(-3e9f), std::numeric_limits<int32_t>::min());
  EXPECT_EQ(TruncateToInt32(std::numeric_limits<float>::infinity()),
            std::numeric_limits<int32_t>::max());
  EXPECT_EQ(TruncateToInt32(std::nanf("")), 0);
}

}  // namespace
}  // namespace nuv
