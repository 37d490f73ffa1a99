#pragma once

#include <lzma.h>

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace qtk::dbbuilder {

// The .lzma ("LZMA alone") file the reference encoder writes for "-lc0 -lp2": a 13-byte
// header (properties byte, dictionary size as 4 little-endian bytes, uncompressed size as 8
// little-endian bytes) and the LZMA stream without an end marker.
inline constexpr uint8_t kLzmaLc = 0;
inline constexpr uint8_t kLzmaLp = 2;
inline constexpr uint8_t kLzmaPb = 2;
inline constexpr uint8_t kLzmaPropertiesByte = (kLzmaPb * 5 + kLzmaLp) * 9 + kLzmaLc;  // 0x6C
inline constexpr uint32_t kLzmaDictionarySize = 1u << 23;                              // 8 MiB
inline constexpr size_t kLzmaHeaderSize = 13;

enum class LzmaMatchFinder : uint8_t { kHc3, kHc4, kBt2, kBt3, kBt4 };

// Encoder effort. lc, lp, pb and the dictionary size are fixed by the format above; these
// only choose how hard the encoder looks for matches.
struct LzmaTuning {
  uint32_t preset = 9;
  bool extreme = true;
  uint32_t nice_len = 273;
  LzmaMatchFinder match_finder = LzmaMatchFinder::kBt4;
  uint32_t depth = 0;  // 0: liblzma's default for the match finder and nice_len
  // How far back the encoder looks for matches (at least 4096). The header always announces
  // kLzmaDictionarySize, which tells a decoder how much to buffer, so a stream encoded with a
  // smaller window decodes to the same bytes; only the search is cheaper and its matches
  // fewer. The builder keeps the full size.
  uint32_t search_window = kLzmaDictionarySize;
};

// The settings the builder tries, in order; the smaller output counts, since the chunk's
// room limits the user's channel list. Chosen by measurement (bench/dbbuilder_bench.cpp
// --tunings) on six list shapes, from the maximal synthetic list to realistic lists with
// GB2312 names: the 2-byte match finder, which suits the 12- and 36-byte records, was
// smallest on all of them; nice_len 128 wins on regular lists by up to 7 %, nice_len 64
// with a deep search on varied ones by a few tenths of a percent. No other setting was
// smallest on any shape by more than 0.4 %, and each costs one more encoder run.
std::span<const LzmaTuning> LzmaCandidateTunings();

// Compresses `raw` into the format above with liblzma in-process, with one tuning. Nothing
// on failure.
std::optional<std::vector<uint8_t>> CompressLzmaAlone(std::span<const uint8_t> raw,
                                                      const LzmaTuning& tuning);

// What a search over several tunings found.
struct LzmaSearchResult {
  std::optional<std::vector<uint8_t>> best;  // nothing when every candidate failed
  size_t winner = 0;                         // index of the candidate `best` came from
  // Per candidate: abandoned before its end because its output so far already ruled it out.
  std::vector<bool> stopped;
};

// The smallest output over `candidates` (the first one on a tie), exactly what compressing
// with each of them and keeping the smallest gives. The candidates are encoded by `workers`
// threads side by side (0: one per processor); a candidate is abandoned as soon as the bytes
// it has written already reach the size of a finished smaller one, since it can then no
// longer win. The result does not depend on the number of workers or on their timing.
// `allocator` (nothing: liblzma's own) serves every encoder's memory; it must be safe to call
// from several threads at once.
LzmaSearchResult SearchLzmaAlone(std::span<const uint8_t> raw,
                                 std::span<const LzmaTuning> candidates, unsigned workers = 0,
                                 const lzma_allocator* allocator = nullptr);

// SearchLzmaAlone over LzmaCandidateTunings() with one worker per processor.
std::optional<std::vector<uint8_t>> CompressLzmaAlone(std::span<const uint8_t> raw);

}  // namespace qtk::dbbuilder
