#include "dbbuilder/decode/rebuild_check.h"

#include <algorithm>
#include <cstdio>
#include <sstream>

#include "dbbuilder/database_writer.h"
#include "dbbuilder/program_list.h"
#include "firmware/image/byte_order.h"

namespace qtk::dbbuilder {
namespace {

std::string Where(const char* pattern, size_t a, size_t b = 0) {
  char text[96];
  std::snprintf(text, sizeof text, pattern, a, b);
  return text;
}

template <typename T>
void AppendRecords(std::vector<uint8_t>& out, const std::vector<T>& records) {
  for (const T& r : records)
    out.insert(out.end(), r.bytes.begin(), r.bytes.end());
}

void AppendCount(std::vector<uint8_t>& out, size_t count) {
  uint8_t bytes[2];
  PutU16LittleEndian(bytes, static_cast<uint16_t>(count));
  out.insert(out.end(), bytes, bytes + 2);
}

// The first record that differs in two runs, by position; a run of another length differs
// in its count.
template <typename T>
bool FirstDifference(const std::vector<T>& a, const std::vector<T>& b, size_t* index) {
  const size_t n = std::min(a.size(), b.size());
  for (size_t i = 0; i < n; ++i) {
    if (!(a[i] == b[i])) {
      *index = i;
      return true;
    }
  }
  *index = n;
  return a.size() != b.size();
}

}  // namespace

RebuiltDatabases BuildDatabases(std::string_view list_text, uint8_t load_domestic) {
  ProgramTables tables;
  std::ostringstream warnings;  // the PCR and table warnings are no concern here
  ParseProgramList({reinterpret_cast<const uint8_t*>(list_text.data()), list_text.size()}, tables,
                   warnings);
  WriterSettings settings;
  settings.load_domestic = load_domestic;
  UserTables user;
  RebuiltDatabases out;
  out.raw_default = WriteDefaultDatabase(tables, settings, user);
  out.user = WriteUserDatabase(user);
  return out;
}

std::vector<uint8_t> WriteDecodedDefaultDatabase(const DefaultDatabase& db) {
  std::vector<uint8_t> out;
  AppendCount(out, db.satellites.size());
  for (const DefaultDatabaseSatellite& s : db.satellites) {
    out.insert(out.end(), s.record.bytes.begin(), s.record.bytes.end());
    AppendCount(out, s.tps.size());
    AppendRecords(out, s.tps);
    AppendCount(out, s.programs.size());
    AppendRecords(out, s.programs);
  }
  return out;
}

std::string DefaultDatabaseDifference(const DefaultDatabase& decoded,
                                      std::span<const uint8_t> rebuilt) {
  const std::vector<uint8_t> original = WriteDecodedDefaultDatabase(decoded);
  if (std::equal(original.begin(), original.end(), rebuilt.begin(), rebuilt.end()))
    return {};
  const Decoded<DefaultDatabase> again = ReadDefaultDatabase(rebuilt);
  if (!again)
    return "the file";
  const auto& a = decoded.satellites;
  const auto& b = again->satellites;
  for (size_t s = 0; s < std::min(a.size(), b.size()); ++s) {
    size_t i = 0;
    if (!(a[s].record == b[s].record))
      return Where("satellite %zu", s + 1);
    if (FirstDifference(a[s].tps, b[s].tps, &i)) {
      return i < std::min(a[s].tps.size(), b[s].tps.size())
                 ? Where("TP %zu of satellite %zu", i + 1, s + 1)
                 : Where("the number of TPs of satellite %zu", s + 1);
    }
    if (FirstDifference(a[s].programs, b[s].programs, &i)) {
      return i < std::min(a[s].programs.size(), b[s].programs.size())
                 ? Where("program %zu of satellite %zu", i + 1, s + 1)
                 : Where("the number of programs of satellite %zu", s + 1);
    }
  }
  return "the number of satellites";
}

std::string UserDatabaseDifference(const UserDatabase& decoded, std::span<const uint8_t> original,
                                   std::span<const uint8_t> rebuilt) {
  if (std::equal(original.begin(), original.end(), rebuilt.begin(), rebuilt.end()))
    return {};
  const Decoded<UserDatabase> again = ReadUserDatabase(rebuilt);
  if (!again)
    return "the file";
  size_t i = 0;
  auto where = [&](const auto& a, const auto& b, const char* one, const char* count) {
    FirstDifference(a, b, &i);
    return i < std::min(a.size(), b.size()) ? Where(one, i + 1) : std::string(count);
  };
  if (FirstDifference(decoded.satellites, again->satellites, &i))
    return where(decoded.satellites, again->satellites, "satellite %zu",
                 "the number of satellites");
  if (FirstDifference(decoded.tps, again->tps, &i))
    return where(decoded.tps, again->tps, "TP %zu", "the number of TPs");
  if (FirstDifference(decoded.programs, again->programs, &i))
    return where(decoded.programs, again->programs, "program %zu", "the number of programs");
  // The same records: the offsets or the filler between the sections differ.
  return "the table blocks";
}

}  // namespace qtk::dbbuilder
