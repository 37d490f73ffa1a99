#include "dbbuilder/program_list.h"

#include <ostream>
#include <string>

#include "dbbuilder/line_reader.h"
#include "dbbuilder/messages.h"

namespace qtk::dbbuilder {
namespace {

bool IsCSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// The value of a plain numeric column by its rule, or nothing when it is not stored.
bool ColumnValue(const ColumnField& cf, const Columns& cols, int64_t* value) {
  std::string_view col = cols[cf.column];
  switch (cf.rule) {
    case ColumnRule::kAlways:
      *value = FieldValue(col);
      return true;
    case ColumnRule::kWhenSet:
      if (!IsSet(col))
        return false;
      *value = FieldValue(col);
      return true;
    case ColumnRule::kEmptyGivesNoPid:
      *value = col.empty() ? prog::kNoPid : FieldValue(col);
      return true;
  }
  return false;
}

template <size_t Size, size_t N>
void StoreColumns(Record<Size>& record, const std::array<ColumnField, N>& fields,
                  const Columns& cols) {
  for (const ColumnField& cf : fields) {
    int64_t value = 0;
    if (ColumnValue(cf, cols, &value))
      record.Set(cf.field, static_cast<uint64_t>(value));
  }
}

uint64_t TpKey(int owner, uint32_t frequency, uint32_t symbol_rate, uint32_t polarity) {
  return static_cast<uint64_t>(owner + 1) | (uint64_t{frequency} << 12) |
         (uint64_t{symbol_rate} << 29) | (uint64_t{polarity} << 47);
}

}  // namespace

void ProgramTables::Clear() {
  satellites.clear();
  no_program_mark.clear();
  tps.clear();
  tp_owner.clear();
  programs.clear();
  program_owner.clear();
  tp_used.clear();
}

Columns SplitColumns(std::string_view line) {
  Columns cols{};
  size_t start = 0;
  for (size_t n = 0; n < kColumnsRead && start <= line.size(); ++n) {
    size_t tab = line.find('\t', start);
    size_t end = tab == std::string_view::npos ? line.size() : tab;
    std::string_view col = line.substr(start, std::min(end - start, kMaxColumnLength));
    while (!col.empty() && col.back() == ' ')
      col.remove_suffix(1);
    cols[n] = col;
    if (tab == std::string_view::npos)
      break;
    start = tab + 1;
  }
  return cols;
}

int64_t FieldValue(std::string_view column) {
  if (column.size() == 1 && (column[0] == 'V' || column[0] == 'H'))
    return column[0] == 'V' ? 1 : 0;
  size_t i = 0;
  while (i < column.size() && IsCSpace(column[i]))
    ++i;
  bool negative = false;
  if (i < column.size() && (column[i] == '+' || column[i] == '-')) {
    negative = column[i] == '-';
    ++i;
  }
  uint64_t value = 0;
  for (; i < column.size() && IsDigit(column[i]); ++i) {
    value = value * 10 + static_cast<uint64_t>(column[i] - '0');
  }
  if (negative)
    value = 0 - value;
  return static_cast<int64_t>(value);
}

uint32_t AudioChannelCode(std::string_view column) {
  if (column.empty())
    return 3;
  switch (column.front()) {
    case 'L':
    case 'l':
      return 0;
    case 'R':
    case 'r':
      return 1;
    case 'S':
    case 's':
      return 2;
    default:
      return 3;
  }
}

uint32_t Col17Mask(int64_t value) {
  return value >= 1 && value <= 8 ? 1u << (value - 1) : 0u;
}

ProgramListParser::ProgramListParser(ProgramTables& tables, std::ostream& out)
    : tables_(tables), out_(out) {}

void ProgramListParser::ParseLine(std::string_view line) {
  if (line.empty())
    return;
  if (line.front() == '#' || line.front() == '*') {
    ParseSatelliteLine(line, line.front() == '#');
  } else {
    ParseProgramLine(line);
  }
}

void ProgramListParser::Drop(const char* warning, std::string_view line) {
  out_ << warning << line << '\n';
}

void ProgramListParser::ParseSatelliteLine(std::string_view line, bool no_program) {
  if (tables_.satellites.size() >= tables_.limits.satellites) {
    satellite_dropped_ = true;
    Drop(msg::kSatelliteTableFull, line);
    return;
  }
  const Columns cols = SplitColumns(line.substr(1));
  SatelliteRecord rec;
  SetName(rec, sat::kNameOffset, cols[0]);
  StoreColumns(rec, kSatelliteColumns, cols);
  if (IsSet(cols[8]))
    rec.Set(sat::kCol8Present, 1);
  const uint32_t col3 = static_cast<uint32_t>(FieldValue(cols[3])) & 15u;
  if (col3 != 0) {
    rec.Set(sat::kCol3Value, col3 - 1);
    rec.Set(sat::kCol3Mode, sat::kCol3ModeGiven);
  }
  tables_.satellites.push_back(rec);
  tables_.no_program_mark.push_back(no_program ? 1 : 0);
  current_satellite_ = static_cast<int>(tables_.satellites.size()) - 1;
  satellite_dropped_ = false;
}

void ProgramListParser::ParseProgramLine(std::string_view line) {
  if (satellite_dropped_) {
    Drop(msg::kSatelliteTableFull, line);
    return;
  }
  if (tables_.programs.size() >= tables_.limits.programs) {
    Drop(msg::kProgramTableFull, line);
    return;
  }
  const int s = current_satellite_;
  const auto s_bits = static_cast<uint64_t>(static_cast<int64_t>(s));  // -1: all ones
  const Columns cols = SplitColumns(line);
  ProgramRecord rec;
  SetName(rec, prog::kNameOffset, cols[0]);
  rec.Set(prog::kSatIndex, s_bits);
  StoreColumns(rec, kProgramColumns, cols);

  // Audio PIDs: each slot keeps its own column; a value of 0 or 8191 is not stored.
  static constexpr std::array<BitField, 3> kAudioSlots{prog::kAudioPid1, prog::kAudioPid2,
                                                       prog::kAudioPid3};
  uint32_t audio_count = 0;
  for (size_t i = 0; i < kAudioSlots.size(); ++i) {
    std::string_view col = cols[3 + i];
    const int64_t pid = col.empty() ? prog::kNoPid : FieldValue(col);
    if (pid != 0 && pid != prog::kNoPid) {
      rec.Set(kAudioSlots[i], static_cast<uint64_t>(pid));
      ++audio_count;
    }
  }
  rec.Set(prog::kAudioPidCount, audio_count);
  rec.Set(prog::kAudioChannel, AudioChannelCode(cols[13]));

  const int64_t pcr = cols[6].empty() ? prog::kNoPid : FieldValue(cols[6]);
  rec.Set(prog::kPcrPid, static_cast<uint64_t>(pcr));
  if (rec.Get(prog::kPcrPid) == prog::kNoPid)
    out_ << msg::kPcrWarning << line << '\n';

  // The TP: the first one with the same satellite, frequency, symbol rate and polarity.
  TpRecord tp;
  tp.Set(tp::kSatIndex, s_bits);
  tp.Set(tp::kFrequency, static_cast<uint64_t>(FieldValue(cols[7])));
  tp.Set(tp::kSymbolRate, static_cast<uint64_t>(FieldValue(cols[8])));
  tp.Set(tp::kPolarity, static_cast<uint64_t>(FieldValue(cols[9])));
  tp.Set(tp::kCol11Value, static_cast<uint64_t>(FieldValue(cols[11])));
  const uint64_t key =
      TpKey(s, tp.Get(tp::kFrequency), tp.Get(tp::kSymbolRate), tp.Get(tp::kPolarity));
  uint16_t tp_id = 0;
  if (auto it = tp_index_.find(key); it != tp_index_.end()) {
    tp_id = it->second;
  } else {
    if (tables_.tps.size() >= tables_.limits.tp_ids) {
      Drop(msg::kTpTableFull, line);
      return;
    }
    tp_id = static_cast<uint16_t>(tables_.tps.size());
    tp.Set(tp::kTpId, tp_id);
    tables_.tps.push_back(tp);
    tables_.tp_owner.push_back(static_cast<int16_t>(s));
    tp_index_.emplace(key, tp_id);
  }

  rec.Set(prog::kCol17Mask, Col17Mask(FieldValue(cols[17])));
  rec.Set(prog::kTpId, tp_id);
  tables_.programs.push_back(rec);
  tables_.program_owner.push_back(static_cast<int16_t>(s));
}

void ProgramListParser::Finish() {
  tables_.tp_used.assign(tables_.tps.size(), 0);
  for (const ProgramRecord& p : tables_.programs) {
    const uint32_t t = p.Get(prog::kTpId);
    if (t < tables_.tp_used.size())
      tables_.tp_used[t] = 1;
  }
}

void ParseProgramList(std::span<const uint8_t> text, ProgramTables& tables, std::ostream& out) {
  tables.Clear();
  ProgramListParser parser(tables, out);
  LineReader reader(text);
  std::string line;
  line.reserve(kMaxLineLength);
  while (reader.Next(line))
    parser.ParseLine(line);
  parser.Finish();
}

}  // namespace qtk::dbbuilder
