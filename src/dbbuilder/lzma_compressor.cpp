#include "dbbuilder/lzma_compressor.h"

#include <lzma.h>

#include <algorithm>
#include <atomic>
#include <limits>
#include <mutex>
#include <system_error>
#include <thread>
#include <utility>

namespace qtk::dbbuilder {
namespace {

// Input bytes between two looks at whether a candidate can still win.
constexpr size_t kSliceSize = 32 * 1024;

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

// One candidate's .lzma file, encoded slice by slice so that the bytes written so far can be
// looked at between slices. The file only grows, so its size at any moment is a lower bound
// of its final size.
class SliceEncoder {
 public:
  explicit SliceEncoder(const lzma_allocator* allocator = nullptr) { strm_.allocator = allocator; }
  SliceEncoder(const SliceEncoder&) = delete;
  SliceEncoder& operator=(const SliceEncoder&) = delete;
  ~SliceEncoder() { lzma_end(&strm_); }

  bool Start(uint64_t raw_size, const LzmaTuning& tuning) {
    lzma_options_lzma opt{};
    if (lzma_lzma_preset(&opt, tuning.preset | (tuning.extreme ? LZMA_PRESET_EXTREME : 0u)))
      return false;
    opt.dict_size = std::min(tuning.search_window, kLzmaDictionarySize);
    opt.lc = kLzmaLc;
    opt.lp = kLzmaLp;
    opt.pb = kLzmaPb;
    opt.mode = LZMA_MODE_NORMAL;
    opt.nice_len = tuning.nice_len;
    opt.mf = ToLiblzma(tuning.match_finder);
    opt.depth = tuning.depth;
    opt.ext_flags = 0;  // no end marker: the header carries the size
    lzma_set_ext_size(opt, raw_size);
    const lzma_filter filters[] = {{LZMA_FILTER_LZMA1EXT, &opt}, {LZMA_VLI_UNKNOWN, nullptr}};
    if (lzma_raw_encoder(&strm_, filters) != LZMA_OK)
      return false;

    out_.resize(kLzmaHeaderSize + raw_size + raw_size / 16 + 4096);
    out_[0] = kLzmaPropertiesByte;
    for (int i = 0; i < 4; ++i)
      out_[1 + i] = static_cast<uint8_t>(kLzmaDictionarySize >> (8 * i));
    for (int i = 0; i < 8; ++i)
      out_[5 + i] = static_cast<uint8_t>(raw_size >> (8 * i));
    written_ = kLzmaHeaderSize;
    return true;
  }

  // Encodes the next bytes; with `finish` they are the last ones and the stream is ended.
  bool Feed(std::span<const uint8_t> bytes, bool finish) {
    strm_.next_in = bytes.data();
    strm_.avail_in = bytes.size();
    const lzma_action action = finish ? LZMA_FINISH : LZMA_RUN;
    while (finish || strm_.avail_in > 0) {
      if (written_ == out_.size())
        out_.resize(out_.size() * 2);
      strm_.next_out = out_.data() + written_;
      strm_.avail_out = out_.size() - written_;
      const lzma_ret ret = lzma_code(&strm_, action);
      written_ = out_.size() - strm_.avail_out;
      if (ret == LZMA_STREAM_END && finish)
        return true;
      if (ret != LZMA_OK)
        return false;
    }
    return true;
  }

  size_t size() const { return written_; }

  std::vector<uint8_t> Take() {
    out_.resize(written_);
    return std::move(out_);
  }

 private:
  lzma_stream strm_ = LZMA_STREAM_INIT;
  std::vector<uint8_t> out_;
  size_t written_ = 0;
};

// The candidates' shared state: the smallest finished file so far, by size and then index.
class Search {
 public:
  Search(std::span<const uint8_t> raw, std::span<const LzmaTuning> candidates,
         const lzma_allocator* allocator)
      : raw_(raw), candidates_(candidates), allocator_(allocator) {
    result_.stopped.assign(candidates.size(), false);
  }

  // Takes candidates until none is left; every worker thread runs this.
  void Work() {
    for (size_t index = next_.fetch_add(1); index < candidates_.size();
         index = next_.fetch_add(1)) {
      // A candidate that runs out of memory fails alone; the others go on. Nothing may leave
      // a worker thread.
      try {
        Encode(index);
      } catch (...) {
      }
    }
  }

  LzmaSearchResult Finish() { return std::move(result_); }

 private:
  void Encode(size_t index) {
    SliceEncoder encoder(allocator_);
    if (!encoder.Start(raw_.size(), candidates_[index]))
      return;
    size_t position = 0;
    for (;;) {
      const size_t count = std::min(kSliceSize, raw_.size() - position);
      const bool last = position + count == raw_.size();
      if (!encoder.Feed(raw_.subspan(position, count), last))
        return;
      position += count;
      if (last)
        break;
      if (!CanStillWin(index, encoder.size())) {
        std::lock_guard lock(mutex_);
        result_.stopped[index] = true;
        return;
      }
    }
    std::lock_guard lock(mutex_);
    if (!result_.best || Beats(index, encoder.size())) {
      best_size_ = encoder.size();
      result_.winner = index;
      result_.best = encoder.Take();
    }
  }

  // Whether a file of `size` bytes from candidate `index` would be kept over the best one.
  bool Beats(size_t index, size_t size) const {
    return size < best_size_ || (size == best_size_ && index < result_.winner);
  }

  // The final file is at least `size_so_far` bytes long, so the candidate can still win only
  // if a file of that size would beat the best finished one.
  bool CanStillWin(size_t index, size_t size_so_far) {
    std::lock_guard lock(mutex_);
    return !result_.best || Beats(index, size_so_far);
  }

  std::span<const uint8_t> raw_;
  std::span<const LzmaTuning> candidates_;
  const lzma_allocator* allocator_;
  std::atomic<size_t> next_{0};
  std::mutex mutex_;
  size_t best_size_ = std::numeric_limits<size_t>::max();
  LzmaSearchResult result_;
};

}  // namespace

std::span<const LzmaTuning> LzmaCandidateTunings() {
  static constexpr LzmaTuning kCandidates[] = {
      {9, true, 128, LzmaMatchFinder::kBt2, 0},
      {9, true, 64, LzmaMatchFinder::kBt2, 256},
  };
  return kCandidates;
}

std::optional<std::vector<uint8_t>> CompressLzmaAlone(std::span<const uint8_t> raw,
                                                      const LzmaTuning& tuning) {
  try {
    SliceEncoder encoder;
    if (!encoder.Start(raw.size(), tuning) || !encoder.Feed(raw, true))
      return std::nullopt;
    return encoder.Take();
  } catch (...) {
    return std::nullopt;
  }
}

LzmaSearchResult SearchLzmaAlone(std::span<const uint8_t> raw,
                                 std::span<const LzmaTuning> candidates, unsigned workers,
                                 const lzma_allocator* allocator) {
  if (workers == 0)
    workers = std::max(1u, std::thread::hardware_concurrency());
  workers = static_cast<unsigned>(std::min<size_t>(workers, candidates.size()));
  Search search(raw, candidates, allocator);
  // The calling thread is one of the workers, so the search goes on with fewer threads
  // (at worst with none besides it) when the system refuses to start more.
  std::vector<std::thread> threads;
  for (unsigned i = 1; i < workers; ++i) {
    try {
      threads.emplace_back([&search] { search.Work(); });
    } catch (const std::system_error&) {
      break;
    }
  }
  search.Work();
  for (std::thread& thread : threads)
    thread.join();
  return search.Finish();
}

std::optional<std::vector<uint8_t>> CompressLzmaAlone(std::span<const uint8_t> raw) {
  return SearchLzmaAlone(raw, LzmaCandidateTunings()).best;
}

}  // namespace qtk::dbbuilder
