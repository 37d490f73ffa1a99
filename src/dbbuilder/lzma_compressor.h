#pragma once

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
};

// The settings the builder tries, in order. The smaller output counts, since the chunk's
// room limits the user's channel list. Measured on generated lists of 800 to 20000
// programs (bench/dbbuilder_bench.cpp): no single setting was smallest on all of them, and
// the 2-byte match finder, which suits the 12- and 36-byte records, usually won; the best
// of these five was about 1.7% smaller than preset 9e alone.
std::span<const LzmaTuning> LzmaCandidateTunings();

// Compresses `raw` into the format above with liblzma in-process, with one tuning. Nothing
// on failure.
std::optional<std::vector<uint8_t>> CompressLzmaAlone(std::span<const uint8_t> raw,
                                                      const LzmaTuning& tuning);

// The smallest output over LzmaCandidateTunings() (the first one on a tie). Nothing when
// every attempt fails.
std::optional<std::vector<uint8_t>> CompressLzmaAlone(std::span<const uint8_t> raw);

}  // namespace qtk::dbbuilder
