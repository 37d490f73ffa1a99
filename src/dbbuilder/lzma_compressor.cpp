#include "dbbuilder/lzma_compressor.h"

#include <lzma.h>

#include <algorithm>
#include <utility>

namespace qtk::dbbuilder {
namespace {

lzma_match_finder ToLiblzma(LzmaMatchFinder mf) {
  switch (mf) {
    case LzmaMatchFinder::kHc3:
      return LZMA_MF_HC3;
    case LzmaMatchFinder::kHc4:
      return LZMA_MF_HC4;
    case LzmaMatchFinder::kBt2:
      return LZMA_MF_BT2;
    case LzmaMatchFinder::kBt3:
      return LZMA_MF_BT3;
    case LzmaMatchFinder::kBt4:
      return LZMA_MF_BT4;
  }
  return LZMA_MF_BT4;
}

// Ends the stream whatever way the function is left.
struct StreamGuard {
  lzma_stream* strm;
  ~StreamGuard() { lzma_end(strm); }
};

}  // namespace

std::span<const LzmaTuning> LzmaCandidateTunings() {
  static constexpr LzmaTuning kCandidates[] = {
      {9, true, 273, LzmaMatchFinder::kBt2, 0},  {9, true, 128, LzmaMatchFinder::kBt2, 0},
      {9, true, 32, LzmaMatchFinder::kBt2, 512}, {9, true, 32, LzmaMatchFinder::kBt4, 512},
      {9, true, 273, LzmaMatchFinder::kBt4, 0},
  };
  return kCandidates;
}

std::optional<std::vector<uint8_t>> CompressLzmaAlone(std::span<const uint8_t> raw) {
  std::optional<std::vector<uint8_t>> best;
  for (const LzmaTuning& tuning : LzmaCandidateTunings()) {
    std::optional<std::vector<uint8_t>> out = CompressLzmaAlone(raw, tuning);
    if (out && (!best || out->size() < best->size()))
      best = std::move(out);
  }
  return best;
}

std::optional<std::vector<uint8_t>> CompressLzmaAlone(std::span<const uint8_t> raw,
                                                      const LzmaTuning& tuning) {
  lzma_options_lzma opt{};
  if (lzma_lzma_preset(&opt, tuning.preset | (tuning.extreme ? LZMA_PRESET_EXTREME : 0u))) {
    return std::nullopt;
  }
  opt.dict_size = kLzmaDictionarySize;
  opt.lc = kLzmaLc;
  opt.lp = kLzmaLp;
  opt.pb = kLzmaPb;
  opt.mode = LZMA_MODE_NORMAL;
  opt.nice_len = tuning.nice_len;
  opt.mf = ToLiblzma(tuning.match_finder);
  opt.depth = tuning.depth;
  opt.ext_flags = 0;  // no end marker: the header carries the size
  const uint64_t size = raw.size();
  lzma_set_ext_size(opt, size);

  const lzma_filter filters[] = {{LZMA_FILTER_LZMA1EXT, &opt}, {LZMA_VLI_UNKNOWN, nullptr}};
  lzma_stream strm = LZMA_STREAM_INIT;
  if (lzma_raw_encoder(&strm, filters) != LZMA_OK) {
    lzma_end(&strm);
    return std::nullopt;
  }
  StreamGuard guard{&strm};

  std::vector<uint8_t> out(kLzmaHeaderSize + raw.size() + raw.size() / 16 + 4096);
  out[0] = kLzmaPropertiesByte;
  for (int i = 0; i < 4; ++i)
    out[1 + i] = static_cast<uint8_t>(kLzmaDictionarySize >> (8 * i));
  for (int i = 0; i < 8; ++i)
    out[5 + i] = static_cast<uint8_t>(size >> (8 * i));

  strm.next_in = raw.data();
  strm.avail_in = raw.size();
  size_t written = kLzmaHeaderSize;
  for (;;) {
    if (written == out.size())
      out.resize(out.size() * 2);
    strm.next_out = out.data() + written;
    strm.avail_out = out.size() - written;
    const lzma_ret ret = lzma_code(&strm, LZMA_FINISH);
    written = out.size() - strm.avail_out;
    if (ret == LZMA_STREAM_END)
      break;
    if (ret != LZMA_OK)
      return std::nullopt;
  }
  out.resize(written);
  return out;
}

}  // namespace qtk::dbbuilder
