#include "dbbuilder/database_writer.h"

#include <algorithm>
#include <array>
#include <ostream>
#include <span>

#include "dbbuilder/messages.h"

namespace qtk::dbbuilder {
namespace {

void AppendU16(std::vector<uint8_t>& out, uint16_t v) {
  out.push_back(static_cast<uint8_t>(v));
  out.push_back(static_cast<uint8_t>(v >> 8));
}

void AppendU32(std::vector<uint8_t>& out, uint32_t v) {
  for (int i = 0; i < 4; ++i)
    out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

void PatchU16(std::vector<uint8_t>& out, size_t at, uint16_t v) {
  out[at] = static_cast<uint8_t>(v);
  out[at + 1] = static_cast<uint8_t>(v >> 8);
}

template <size_t Size>
void AppendRecord(std::vector<uint8_t>& out, const Record<Size>& r) {
  out.insert(out.end(), r.bytes.begin(), r.bytes.end());
}

template <typename T>
void Offer(std::vector<T>& table, size_t limit, size_t& dropped, const T& record) {
  if (table.size() < limit) {
    table.push_back(record);
  } else {
    ++dropped;
  }
}

// Indices of the records owned by each satellite, in table order: a counting sort, so that
// every satellite's records are found without a pass over the whole table.
struct Buckets {
  std::vector<uint32_t> start;  // per satellite + 1
  std::vector<uint32_t> items;
  std::span<const uint32_t> Of(size_t s) const {
    return std::span<const uint32_t>(items).subspan(start[s], start[s + 1] - start[s]);
  }
};

Buckets BucketByOwner(std::span<const int16_t> owner, size_t satellites,
                      std::span<const uint8_t> keep) {
  Buckets b;
  b.start.assign(satellites + 1, 0);
  auto kept = [&](size_t i) {
    return owner[i] >= 0 && static_cast<size_t>(owner[i]) < satellites &&
           (keep.empty() || keep[i] != 0);
  };
  for (size_t i = 0; i < owner.size(); ++i) {
    if (kept(i))
      ++b.start[static_cast<size_t>(owner[i]) + 1];
  }
  for (size_t s = 0; s < satellites; ++s)
    b.start[s + 1] += b.start[s];
  b.items.resize(b.start[satellites]);
  std::vector<uint32_t> next(b.start.begin(), b.start.end() - 1);
  for (size_t i = 0; i < owner.size(); ++i) {
    if (kept(i))
      b.items[next[static_cast<size_t>(owner[i])]++] = static_cast<uint32_t>(i);
  }
  return b;
}

bool PassesDomesticFilter(const ProgramRecord& p, uint8_t load_domestic) {
  if (load_domestic == 0)
    return true;
  if (load_domestic == 1)
    return p.Get(prog::kRegionCode) == 0;
  return false;
}

ProgramRecord WithAudioOverride(ProgramRecord p, const WriterSettings& settings) {
  const uint8_t v =
      p.Get(prog::kCol12Flag) == 1 ? settings.tv_radio_audio_channel : settings.radio_audio_channel;
  if (v >= 1 && v <= 3)
    p.Set(prog::kAudioChannel, v - 1u);
  return p;
}

// One run of records followed by its table block; `base` is the file offset of the run.
template <size_t Size>
void AppendSection(std::vector<uint8_t>& out, const std::vector<Record<Size>>& records,
                   const char (&tag)[5]) {
  const size_t base = out.size();
  for (const auto& r : records)
    AppendRecord(out, r);
  out.insert(out.end(), std::begin(kBlockMarker), std::end(kBlockMarker));
  out.insert(out.end(), tag, tag + 4);
  out.push_back(0x01);
  out.push_back(0x01);
  out.push_back(static_cast<uint8_t>(Size));
  AppendU16(out, static_cast<uint16_t>(records.size()));
  for (size_t i = 0; i < records.size(); ++i) {
    AppendU32(out, static_cast<uint32_t>(base + Size * i));
  }
  AppendU32(out, kBlockEndMarker);
}

// 0xFF bytes up to the next multiple of 4.
void AlignWithFill(std::vector<uint8_t>& out) {
  while (out.size() % 4 != 0)
    out.push_back(0xFF);
}

}  // namespace

std::vector<uint8_t> WriteDefaultDatabase(const ProgramTables& tables,
                                          const WriterSettings& settings, UserTables& user) {
  user = UserTables{};
  const size_t satellites = tables.satellites.size();
  const Buckets tps = BucketByOwner(tables.tp_owner, satellites, tables.tp_used);
  const Buckets programs = BucketByOwner(tables.program_owner, satellites, {});

  std::vector<uint8_t> out;
  out.reserve(2 + satellites * (sat::kSize + 4) + tables.tps.size() * tp::kSize +
              tables.programs.size() * prog::kSize);
  AppendU16(out, static_cast<uint16_t>(satellites));
  for (size_t s = 0; s < satellites; ++s) {
    SatelliteRecord sat_rec = tables.satellites[s];
    sat_rec.Set(sat::kSatIndex, s);
    AppendRecord(out, sat_rec);
    Offer(user.satellites, tables.limits.user_satellites, user.dropped_satellites, sat_rec);

    const auto sat_tps = tps.Of(s);
    AppendU16(out, static_cast<uint16_t>(sat_tps.size()));
    for (uint32_t t : sat_tps) {
      AppendRecord(out, tables.tps[t]);
      Offer(user.tps, tables.limits.user_tps, user.dropped_tps, tables.tps[t]);
    }

    const size_t count_at = out.size();
    AppendU16(out, 0);
    if (settings.remove_program || tables.no_program_mark[s] != 0)
      continue;
    const auto sat_programs = programs.Of(s);
    for (uint32_t p : sat_programs) {
      const ProgramRecord& rec = tables.programs[p];
      AppendRecord(out, rec);
      if (PassesDomesticFilter(rec, settings.load_domestic)) {
        Offer(user.programs, tables.limits.user_programs, user.dropped_programs,
              WithAudioOverride(rec, settings));
      }
    }
    PatchU16(out, count_at, static_cast<uint16_t>(sat_programs.size()));
  }
  return out;
}

std::vector<uint8_t> WriteUserDatabase(const UserTables& user) {
  std::vector<uint8_t> out;
  AppendSection(out, user.satellites, "ST01");
  AlignWithFill(out);
  AppendSection(out, user.tps, "TT01");
  AlignWithFill(out);
  AppendSection(out, user.programs, "PT01");
  return out;
}

void ReportUserTableDrops(const UserTables& user, std::ostream& out) {
  if (user.dropped_satellites)
    out << msg::kUserSatellitesFull << user.dropped_satellites << '\n';
  if (user.dropped_tps)
    out << msg::kUserTpsFull << user.dropped_tps << '\n';
  if (user.dropped_programs)
    out << msg::kUserProgramsFull << user.dropped_programs << '\n';
}

}  // namespace qtk::dbbuilder
