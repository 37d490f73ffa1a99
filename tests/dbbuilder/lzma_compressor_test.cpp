#include "dbbuilder/lzma_compressor.h"

#include <gtest/gtest.h>
#include <lzma.h>

#include <atomic>
#include <cstdint>
#include <cstdlib>
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

// A short search window changes the matches, never the header or what the stream unpacks to.
TEST(LzmaCompressor, AShortSearchWindowKeepsTheHeaderAndDecodesTheSame) {
  const Bytes raw = SampleDatabase(4000);  // 144000 bytes, beyond the shortest windows
  for (uint32_t window : {4096u, 1u << 16, 1u << 23}) {
    LzmaTuning tuning{0, false, 8, LzmaMatchFinder::kHc3, 4};
    tuning.search_window = window;
    std::optional<Bytes> packed = CompressLzmaAlone(raw, tuning);
    ASSERT_TRUE(packed) << window;
    EXPECT_EQ(Bytes(packed->begin() + 1, packed->begin() + 5), (Bytes{0x00, 0x00, 0x80, 0x00}))
        << window;
    EXPECT_EQ(DecodeAlone(*packed, raw.size()), raw) << window;
    EXPECT_EQ(DecodeWithoutEndMarker(*packed, raw.size()), raw) << window;
  }
}

// Strong on these records; weak: the 3-byte hash chain looking at one position only, about
// 40 % larger here.
constexpr LzmaTuning kStrong{9, true, 128, LzmaMatchFinder::kBt2, 0};
constexpr LzmaTuning kWeak{9, true, 2, LzmaMatchFinder::kHc3, 1};
// liblzma refuses a nice_len below 2.
constexpr LzmaTuning kRefused{9, true, 1, LzmaMatchFinder::kBt4, 0};

// The search keeps exactly what compressing with every candidate and keeping the smallest
// (the first on a tie) gives, whatever the number of threads.
TEST(LzmaSearch, EqualsTheSmallestSingleEncodingForAnyNumberOfWorkers) {
  const std::vector<LzmaTuning> candidates = {kWeak, kStrong, LzmaCandidateTunings()[1], kStrong};
  for (size_t records : {0u, 3u, 1000u, 3000u}) {
    const Bytes raw = SampleDatabase(records);
    std::optional<Bytes> smallest;
    size_t smallest_index = 0;
    for (size_t i = 0; i < candidates.size(); ++i) {
      std::optional<Bytes> one = CompressLzmaAlone(raw, candidates[i]);
      ASSERT_TRUE(one);
      if (!smallest || one->size() < smallest->size()) {
        smallest = one;
        smallest_index = i;
      }
    }
    for (unsigned workers : {1u, 2u, 5u}) {
      const LzmaSearchResult result = SearchLzmaAlone(raw, candidates, workers);
      ASSERT_TRUE(result.best) << records << " " << workers;
      EXPECT_EQ(*result.best, *smallest) << records << " " << workers;
      EXPECT_EQ(result.winner, smallest_index) << records << " " << workers;
      EXPECT_EQ(DecodeAlone(*result.best, raw.size()), raw);
    }
  }
}

// With one worker the candidates run in order, so the weak one after the strong one is
// abandoned once its partial output passes the strong one's whole file; in the other order
// nothing is abandoned, since each candidate finished so far is beaten by the next.
TEST(LzmaSearch, AbandonsACandidateOnlyWhenItCanNoLongerWin) {
  const Bytes raw = SampleDatabase(10000);
  const std::vector<LzmaTuning> strong_first = {kStrong, kWeak};
  LzmaSearchResult result = SearchLzmaAlone(raw, strong_first, 1);
  ASSERT_TRUE(result.best);
  EXPECT_EQ(result.winner, 0u);
  EXPECT_EQ(result.stopped, (std::vector<bool>{false, true}));
  EXPECT_EQ(*result.best, *CompressLzmaAlone(raw, kStrong));

  const std::vector<LzmaTuning> weak_first = {kWeak, kStrong};
  result = SearchLzmaAlone(raw, weak_first, 1);
  ASSERT_TRUE(result.best);
  EXPECT_EQ(result.winner, 1u);
  EXPECT_EQ(result.stopped, (std::vector<bool>{false, false}));
  EXPECT_EQ(*result.best, *CompressLzmaAlone(raw, kStrong));
}

TEST(LzmaSearch, ARefusedCandidateLeavesTheOthersAndNoCandidateGivesNothing) {
  const Bytes raw = SampleDatabase(500);
  EXPECT_FALSE(CompressLzmaAlone(raw, kRefused));
  const std::vector<LzmaTuning> with_refused = {kRefused, kStrong};
  for (unsigned workers : {1u, 2u}) {
    const LzmaSearchResult result = SearchLzmaAlone(raw, with_refused, workers);
    ASSERT_TRUE(result.best);
    EXPECT_EQ(result.winner, 1u);
    EXPECT_EQ(DecodeAlone(*result.best, raw.size()), raw);
  }
  const std::vector<LzmaTuning> only_refused = {kRefused, kRefused};
  EXPECT_FALSE(SearchLzmaAlone(raw, only_refused, 2).best);
  EXPECT_FALSE(SearchLzmaAlone(raw, {}, 2).best);
}

// An allocator that counts its blocks and refuses every one after the first `allowed`; the
// search's worker threads call it side by side.
struct CountingAllocator {
  static void* Alloc(void* opaque, size_t count, size_t size) {
    auto* self = static_cast<CountingAllocator*>(opaque);
    if (self->taken.fetch_add(1) >= self->allowed)
      return nullptr;
    ++self->live;
    return std::malloc(count * size);
  }
  static void Free(void* opaque, void* block) {
    if (block == nullptr)
      return;
    --static_cast<CountingAllocator*>(opaque)->live;
    std::free(block);
  }
  size_t allowed = SIZE_MAX;
  std::atomic<size_t> taken{0};
  std::atomic<long> live{0};
  lzma_allocator allocator{&Alloc, &Free, this};
};

// The encoders' memory can come from the caller; the output is the same, every block goes
// back, and an allocator that runs dry fails the search cleanly at any point.
TEST(LzmaSearch, TakesItsMemoryFromTheCallersAllocator) {
  const Bytes raw = SampleDatabase(2000);
  const std::vector<LzmaTuning> candidates = {kWeak, kStrong};
  const LzmaSearchResult plain = SearchLzmaAlone(raw, candidates, 2);
  ASSERT_TRUE(plain.best);
  CountingAllocator counting;
  const LzmaSearchResult pooled = SearchLzmaAlone(raw, candidates, 2, &counting.allocator);
  ASSERT_TRUE(pooled.best);
  EXPECT_EQ(*pooled.best, *plain.best);
  EXPECT_GT(counting.taken, 0u);
  EXPECT_EQ(counting.live, 0);

  const std::vector<LzmaTuning> one = {kStrong};
  CountingAllocator enough;
  ASSERT_TRUE(SearchLzmaAlone(raw, one, 1, &enough.allocator).best);
  for (size_t allowed = 0; allowed < enough.taken; ++allowed) {
    CountingAllocator dry;
    dry.allowed = allowed;
    EXPECT_FALSE(SearchLzmaAlone(raw, one, 1, &dry.allocator).best) << allowed;
    EXPECT_EQ(dry.live, 0) << allowed;
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
