#include "dbbuilder/lzma_compressor.h"

#include <gtest/gtest.h>
#include <lzma.h>

#include <random>
#include <vector>

namespace qtk::dbbuilder {
namespace {

using Bytes = std::vector<uint8_t>;

// Decodes with a decoder configured by the caller; nothing when it refuses the stream.
std::optional<Bytes> Decode(lzma_stream& strm, std::span<const uint8_t> in, size_t expected) {
  Bytes out(expected + 64);
  strm.next_in = in.data();
  strm.avail_in = in.size();
  strm.next_out = out.data();
  strm.avail_out = out.size();
  lzma_ret ret = lzma_code(&strm, LZMA_FINISH);
  const size_t produced = out.size() - strm.avail_out;
  lzma_end(&strm);
  if (ret != LZMA_STREAM_END)
    return std::nullopt;
  out.resize(produced);
  return out;
}

// The .lzma file as any LZMA-alone reader sees it.
std::optional<Bytes> DecodeAlone(std::span<const uint8_t> file, size_t expected) {
  lzma_stream strm = LZMA_STREAM_INIT;
  if (lzma_alone_decoder(&strm, UINT64_MAX) != LZMA_OK)
    return std::nullopt;
  return Decode(strm, file, expected);
}

// The stream behind the header with a strict decoder that refuses an end marker.
std::optional<Bytes> DecodeWithoutEndMarker(std::span<const uint8_t> file, size_t size) {
  lzma_options_lzma opt{};
  lzma_lzma_preset(&opt, 0);
  opt.dict_size = 1u << 23;
  opt.lc = 0;
  opt.lp = 2;
  opt.pb = 2;
  opt.ext_flags = 0;
  lzma_set_ext_size(opt, size);
  const lzma_filter filters[] = {{LZMA_FILTER_LZMA1EXT, &opt}, {LZMA_VLI_UNKNOWN, nullptr}};
  lzma_stream strm = LZMA_STREAM_INIT;
  if (lzma_raw_decoder(&strm, filters) != LZMA_OK)
    return std::nullopt;
  return Decode(strm, file.subspan(13), size);
}

Bytes SampleDatabase(size_t records) {
  std::mt19937 rng(7);
  Bytes raw;
  for (size_t i = 0; i < records; ++i) {
    for (int b = 0; b < 36; ++b)
      raw.push_back(b < 8 ? static_cast<uint8_t>(rng() % 4) : b);
  }
  return raw;
}

TEST(LzmaCompressor, HeaderIsThatOfTheReferenceEncoderForLc0Lp2) {
  const Bytes raw = SampleDatabase(300);
  std::optional<Bytes> packed = CompressLzmaAlone(raw);
  ASSERT_TRUE(packed);
  ASSERT_GE(packed->size(), 13u);
  const uint64_t n = raw.size();
  const Bytes header = {
      0x6C, 0x00, 0x00, 0x80, 0x00, static_cast<uint8_t>(n), static_cast<uint8_t>(n >> 8), 0,
      0,    0,    0,    0,    0};
  EXPECT_EQ(Bytes(packed->begin(), packed->begin() + 13), header);
  EXPECT_LT(packed->size(), raw.size() / 2);
}

TEST(LzmaCompressor, AnyLzmaAloneDecoderRestoresTheInputAndThereIsNoEndMarker) {
  for (size_t records : {0u, 1u, 40u, 2000u}) {
    Bytes raw = SampleDatabase(records);
    raw.push_back(0x02);  // odd sizes too
    std::optional<Bytes> packed = CompressLzmaAlone(raw);
    ASSERT_TRUE(packed);
    EXPECT_EQ(DecodeAlone(*packed, raw.size()), raw) << records;
    EXPECT_EQ(DecodeWithoutEndMarker(*packed, raw.size()), raw) << records;
  }
}

TEST(LzmaCompressor, KeepsTheSmallestCandidate) {
  const Bytes raw = SampleDatabase(1500);
  std::optional<Bytes> best = CompressLzmaAlone(raw);
  ASSERT_TRUE(best);
  for (const LzmaTuning& tuning : LzmaCandidateTunings()) {
    std::optional<Bytes> one = CompressLzmaAlone(raw, tuning);
    ASSERT_TRUE(one);
    EXPECT_LE(best->size(), one->size());
    EXPECT_EQ(DecodeAlone(*one, raw.size()), raw);
  }
}

}  // namespace
}  // namespace qtk::dbbuilder
