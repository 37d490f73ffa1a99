#pragma once

// The three record layouts of the default and user databases, written
// down once as data. A record is a run of little-endian 32-bit words followed, for
// satellites and programs, by a 16-byte name area; it is held in memory exactly as it is
// written to the files, so the writer copies its bytes unchanged.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace qtk::dbbuilder {

// One bit field inside a record: `bits` bits from bit `shift` of little-endian word `word`.
struct BitField {
  uint8_t word;
  uint8_t shift;
  uint8_t bits;
  constexpr uint32_t Mask() const { return bits >= 32 ? 0xFFFFFFFFu : (1u << bits) - 1u; }
};

// A fixed-size record of `Size` bytes. Every record starts zeroed.
template <size_t Size>
struct Record {
  static constexpr size_t kSize = Size;
  std::array<uint8_t, Size> bytes{};

  uint32_t Word(size_t w) const {
    const uint8_t* p = bytes.data() + 4 * w;
    return uint32_t{p[0]} | (uint32_t{p[1]} << 8) | (uint32_t{p[2]} << 16) | (uint32_t{p[3]} << 24);
  }
  void SetWord(size_t w, uint32_t value) {
    uint8_t* p = bytes.data() + 4 * w;
    p[0] = static_cast<uint8_t>(value);
    p[1] = static_cast<uint8_t>(value >> 8);
    p[2] = static_cast<uint8_t>(value >> 16);
    p[3] = static_cast<uint8_t>(value >> 24);
  }
  // Stores the low `field.bits` bits of value (two's complement bits for negative values).
  void Set(BitField field, uint64_t value) {
    const uint32_t mask = field.Mask() << field.shift;
    const uint32_t bits = (static_cast<uint32_t>(value) & field.Mask()) << field.shift;
    SetWord(field.word, (Word(field.word) & ~mask) | bits);
  }
  uint32_t Get(BitField field) const { return (Word(field.word) >> field.shift) & field.Mask(); }

  bool operator==(const Record&) const = default;
};

// The name area: 16 bytes holding at most 15 bytes of text and a zero byte; the rest zero.
inline constexpr size_t kNameAreaSize = 16;
inline constexpr size_t kMaxNameLength = kNameAreaSize - 1;

template <size_t Size>
void SetName(Record<Size>& record, size_t offset, std::string_view text) {
  for (size_t i = 0; i < kNameAreaSize; ++i) {
    record.bytes[offset + i] =
        i < text.size() && i < kMaxNameLength ? static_cast<uint8_t>(text[i]) : uint8_t{0};
  }
}

template <size_t Size>
std::string_view GetName(const Record<Size>& record, size_t offset) {
  const char* p = reinterpret_cast<const char*>(record.bytes.data() + offset);
  size_t n = 0;
  while (n < kMaxNameLength && p[n] != '\0')
    ++n;
  return std::string_view(p, n);
}

// Satellite record, 28 bytes.
namespace sat {
inline constexpr size_t kSize = 28;
inline constexpr size_t kNameOffset = 12;
inline constexpr BitField kSatIndex{0, 0, 16};
inline constexpr BitField kCol1Bit{0, 16, 1};
inline constexpr BitField kCol3Mode{0, 17, 3};
inline constexpr BitField kCol3Value{0, 20, 4};
inline constexpr BitField kCol7Bit{0, 24, 1};
inline constexpr BitField kCol6Value{0, 25, 7};
inline constexpr BitField kCol5Value{1, 0, 16};
inline constexpr BitField kCol4Value{1, 16, 16};
inline constexpr BitField kCol8Value{2, 0, 8};
inline constexpr BitField kCol8Present{2, 8, 1};
// col3_mode when column 3 gave a value.
inline constexpr uint32_t kCol3ModeGiven = 2;
}  // namespace sat

// TP record, 12 bytes.
namespace tp {
inline constexpr size_t kSize = 12;
inline constexpr BitField kTpId{0, 0, 13};
inline constexpr BitField kFrequency{0, 13, 17};
inline constexpr BitField kPolarity{0, 30, 2};
inline constexpr BitField kSatIndex{1, 0, 11};
inline constexpr BitField kSymbolRate{1, 11, 18};
inline constexpr BitField kCol11Value{1, 29, 2};
}  // namespace tp

// Program record, 36 bytes.
namespace prog {
inline constexpr size_t kSize = 36;
inline constexpr size_t kNameOffset = 20;
inline constexpr BitField kTpId{0, 0, 16};
inline constexpr BitField kVideoPid{0, 16, 13};
inline constexpr BitField kCol12Flag{0, 29, 1};
inline constexpr BitField kRegionCode{0, 30, 2};
inline constexpr BitField kCol15Value{1, 0, 16};
inline constexpr BitField kCol14Value{1, 16, 13};
inline constexpr BitField kCol16Bit{1, 31, 1};
inline constexpr BitField kCol17Mask{2, 0, 8};
inline constexpr BitField kPcrPid{2, 16, 13};
inline constexpr BitField kAudioChannel{2, 29, 2};
inline constexpr BitField kSatIndex{3, 0, 12};
inline constexpr BitField kAudioPid1{3, 19, 13};
inline constexpr BitField kAudioPid2{4, 0, 13};
inline constexpr BitField kAudioPid3{4, 13, 13};
inline constexpr BitField kCol11Value{4, 26, 2};
inline constexpr BitField kAudioPidCount{4, 28, 2};
// The value a PID column takes when it is empty, and that marks "no PID".
inline constexpr int64_t kNoPid = 8191;
}  // namespace prog

using SatelliteRecord = Record<sat::kSize>;
using TpRecord = Record<tp::kSize>;
using ProgramRecord = Record<prog::kSize>;

// How a plain numeric column goes into its field.
enum class ColumnRule : uint8_t {
  kAlways,           // the field value rule, cut to the field
  kWhenSet,          // only when the column is set (not empty, not starting with '0')
  kEmptyGivesNoPid,  // like kAlways, but an empty column gives 8191
};

struct ColumnField {
  uint8_t column;
  BitField field;
  ColumnRule rule;
};

// The plain numeric columns of a satellite line (column 0 after the '#' or '*'). Column 3
// (col3_mode/col3_value) and the col8_present flag are handled beside this table.
inline constexpr std::array<ColumnField, 6> kSatelliteColumns{{
    {1, sat::kCol1Bit, ColumnRule::kAlways},
    {7, sat::kCol7Bit, ColumnRule::kAlways},
    {6, sat::kCol6Value, ColumnRule::kAlways},
    {4, sat::kCol4Value, ColumnRule::kAlways},
    {5, sat::kCol5Value, ColumnRule::kAlways},
    {8, sat::kCol8Value, ColumnRule::kWhenSet},
}};

// The plain numeric columns of a program line. The audio PIDs (3-5), the audio channel
// (13), the PCR PID (6, with its warning), the TP columns (7-9, 11) and the column-17 mask
// are handled beside this table.
inline constexpr std::array<ColumnField, 7> kProgramColumns{{
    {2, prog::kVideoPid, ColumnRule::kEmptyGivesNoPid},
    {14, prog::kCol14Value, ColumnRule::kWhenSet},
    {15, prog::kCol15Value, ColumnRule::kWhenSet},
    {16, prog::kCol16Bit, ColumnRule::kWhenSet},
    {12, prog::kCol12Flag, ColumnRule::kAlways},
    {10, prog::kRegionCode, ColumnRule::kAlways},
    {11, prog::kCol11Value, ColumnRule::kAlways},
}};

}  // namespace qtk::dbbuilder
