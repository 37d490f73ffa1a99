#include "dbbuilder/decode/database_reader.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>

#include "common/message_format.h"
#include "dbbuilder/database_writer.h"
#include "dbbuilder/decode/decode_messages.h"
#include "firmware/image/byte_order.h"

namespace qtk::dbbuilder {
namespace {

template <size_t Size>
std::optional<Record<Size>> ReadRecord(std::span<const uint8_t> bytes, size_t offset) {
  if (offset > bytes.size() || bytes.size() - offset < Size)
    return std::nullopt;
  Record<Size> record;
  std::copy_n(bytes.begin() + static_cast<std::ptrdiff_t>(offset), Size, record.bytes.begin());
  return record;
}

// Reads `count` records from `pos` on, or nothing when they do not all fit.
template <size_t Size>
bool ReadRun(std::span<const uint8_t> bytes, size_t& pos, size_t count,
             std::vector<Record<Size>>& out) {
  if (pos > bytes.size() || (bytes.size() - pos) / Size < count)
    return false;
  out.reserve(count);
  for (size_t i = 0; i < count; ++i, pos += Size)
    out.push_back(*ReadRecord<Size>(bytes, pos));
  return true;
}

std::string Numbered(const char* pattern, size_t number) {
  char text[160];
  std::snprintf(text, sizeof text, pattern, number);
  return text;
}

Decoded<DefaultDatabase> DefaultDamaged(const std::string& detail) {
  return Decoded<DefaultDatabase>::Failure(FormatMessage(decode_msg::kDefaultDamaged, detail));
}

// One section of the user database: a run of records and the table block behind it.
struct Section {
  const char* tag;
  size_t record_size;
  const char* noun;  // "satellite", "TP", "program"
};
constexpr Section kSatelliteSection{"ST01", sat::kSize, "satellite"};
constexpr Section kTpSection{"TT01", tp::kSize, "TP"};
constexpr Section kProgramSection{"PT01", prog::kSize, "program"};

constexpr uint8_t kBlockFixedBytes[2] = {0x01, 0x01};

bool HasMarkerAndTag(std::span<const uint8_t> bytes, size_t at, const Section& section) {
  if (at > bytes.size() || bytes.size() - at < kBlockHeaderSize)
    return false;
  return std::memcmp(bytes.data() + at, kBlockMarker, 4) == 0 &&
         std::memcmp(bytes.data() + at + 4, section.tag, 4) == 0;
}

bool IsBlockHeader(std::span<const uint8_t> bytes, size_t at, const Section& section,
                   size_t count) {
  return HasMarkerAndTag(bytes, at, section) && bytes[at + 8] == kBlockFixedBytes[0] &&
         bytes[at + 9] == kBlockFixedBytes[1] && bytes[at + 10] == section.record_size &&
         ReadU16LittleEndian(bytes, at + 11) == count;
}

// The number of records before the section's table block: the first whole number of
// records followed by a block header that counts exactly them.
std::optional<size_t> FindBlock(std::span<const uint8_t> bytes, size_t base,
                                const Section& section) {
  for (size_t n = 0; base <= bytes.size() && (bytes.size() - base) / section.record_size >= n;
       ++n) {
    if (IsBlockHeader(bytes, base + n * section.record_size, section, n))
      return n;
  }
  return std::nullopt;
}

// Why no block header fits: the first block with the section's tag says what is wrong with
// it.
std::string MissingBlockDetail(std::span<const uint8_t> bytes, size_t base,
                               const Section& section) {
  char text[200];
  for (size_t n = 0; base <= bytes.size() && (bytes.size() - base) / section.record_size >= n;
       ++n) {
    const size_t at = base + n * section.record_size;
    if (!HasMarkerAndTag(bytes, at, section))
      continue;
    if (bytes[at + 8] != kBlockFixedBytes[0] || bytes[at + 9] != kBlockFixedBytes[1]) {
      std::snprintf(text, sizeof text, "the %s table block has %02X %02X where 01 01 belong",
                    section.tag, unsigned{bytes[at + 8]}, unsigned{bytes[at + 9]});
    } else if (bytes[at + 10] != section.record_size) {
      std::snprintf(text, sizeof text, "the %s table block gives record size %u instead of %zu",
                    section.tag, unsigned{bytes[at + 10]}, section.record_size);
    } else {
      std::snprintf(text, sizeof text,
                    "the %s table block counts %u records but %zu stand before it", section.tag,
                    static_cast<unsigned>(*ReadU16LittleEndian(bytes, at + 11)), n);
    }
    return text;
  }
  std::snprintf(text, sizeof text, "no %s table block follows the %s records", section.tag,
                section.noun);
  return text;
}

// Reads one section from `pos` (the start of its records); leaves `pos` behind the block's
// end marker. Returns an empty text on success, else the detail of the damage.
template <size_t Size>
std::string ReadSection(std::span<const uint8_t> bytes, size_t& pos, const Section& section,
                        std::vector<Record<Size>>& out) {
  const std::optional<size_t> count = FindBlock(bytes, pos, section);
  if (!count)
    return MissingBlockDetail(bytes, pos, section);
  const size_t run_end = pos + *count * Size;
  const size_t offsets_at = run_end + kBlockHeaderSize;
  const size_t marker_at = offsets_at + 4 * *count;
  char text[200];
  if (marker_at > bytes.size() || bytes.size() - marker_at < 4) {
    std::snprintf(text, sizeof text, "the %s table block runs past the end", section.tag);
    return text;
  }
  if (ReadU32LittleEndian(bytes, marker_at) != kBlockEndMarker) {
    std::snprintf(text, sizeof text, "the %s table block has no end marker", section.tag);
    return text;
  }
  out.reserve(*count);
  for (size_t i = 0; i < *count; ++i) {
    const uint32_t offset = *ReadU32LittleEndian(bytes, offsets_at + 4 * i);
    if (offset < pos || offset > run_end || run_end - offset < Size) {
      std::snprintf(text, sizeof text, "offset %u of %s %zu points outside the %s records", offset,
                    section.noun, i + 1, section.noun);
      return text;
    }
    out.push_back(*ReadRecord<Size>(bytes, offset));
  }
  pos = marker_at + 4;
  return {};
}

size_t AlignUp4(size_t pos) {
  return (pos + 3) & ~size_t{3};
}

}  // namespace

size_t DefaultDatabase::TpCount() const {
  size_t n = 0;
  for (const auto& s : satellites)
    n += s.tps.size();
  return n;
}

size_t DefaultDatabase::ProgramCount() const {
  size_t n = 0;
  for (const auto& s : satellites)
    n += s.programs.size();
  return n;
}

Decoded<DefaultDatabase> ReadDefaultDatabase(std::span<const uint8_t> raw, TrailingBytes trailing) {
  const std::optional<uint16_t> satellites = ReadU16LittleEndian(raw, 0);
  if (!satellites)
    return DefaultDamaged("it ends before its satellite count");
  DefaultDatabase db;
  // Each satellite takes at least its record and two counts.
  if ((raw.size() - 2) / (sat::kSize + 4) < *satellites) {
    return DefaultDamaged(
        Numbered("it counts %zu satellites, more than its bytes can hold", *satellites));
  }
  db.satellites.resize(*satellites);
  size_t pos = 2;
  for (size_t s = 0; s < db.satellites.size(); ++s) {
    DefaultDatabaseSatellite& sat = db.satellites[s];
    const std::optional<SatelliteRecord> record = ReadRecord<sat::kSize>(raw, pos);
    const std::optional<uint16_t> tps = ReadU16LittleEndian(raw, pos + sat::kSize);
    if (!record || !tps)
      return DefaultDamaged(Numbered("satellite %zu runs past the end", s + 1));
    sat.record = *record;
    pos += sat::kSize + 2;
    if (!ReadRun(raw, pos, *tps, sat.tps))
      return DefaultDamaged(Numbered("the TPs of satellite %zu run past the end", s + 1));
    const std::optional<uint16_t> programs = ReadU16LittleEndian(raw, pos);
    pos += 2;
    if (!programs || !ReadRun(raw, pos, *programs, sat.programs))
      return DefaultDamaged(Numbered("the programs of satellite %zu run past the end", s + 1));
  }
  const auto rest = raw.subspan(pos);
  const bool only_fill = std::all_of(rest.begin(), rest.end(), [](uint8_t b) { return b == 0xFF; });
  if (!rest.empty() && (trailing == TrailingBytes::kRefused || !only_fill))
    return DefaultDamaged(Numbered("%zu bytes follow its last satellite", rest.size()));
  return db;
}

bool LooksLikeUserDatabase(std::span<const uint8_t> bytes) {
  for (size_t at = 0; at <= bytes.size() && bytes.size() - at >= kBlockHeaderSize;
       at += sat::kSize) {
    if (HasMarkerAndTag(bytes, at, kSatelliteSection))
      return true;
  }
  return false;
}

Decoded<UserDatabase> ReadUserDatabase(std::span<const uint8_t> bytes) {
  UserDatabase db;
  size_t pos = 0;
  std::string detail = ReadSection(bytes, pos, kSatelliteSection, db.satellites);
  if (detail.empty()) {
    pos = AlignUp4(pos);
    detail = ReadSection(bytes, pos, kTpSection, db.tps);
  }
  if (detail.empty()) {
    pos = AlignUp4(pos);
    detail = ReadSection(bytes, pos, kProgramSection, db.programs);
  }
  if (!detail.empty())
    return Decoded<UserDatabase>::Failure(FormatMessage(decode_msg::kUserDamaged, detail));
  db.size = pos;
  return db;
}

}  // namespace qtk::dbbuilder
