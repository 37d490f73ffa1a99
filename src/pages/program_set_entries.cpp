#include "pages/program_set_entries.h"

#include <cstdio>

#include "settings/record_layout.h"

namespace qtk {
namespace {

using namespace program_set;

constexpr size_t kAutoscanSize = 4;
constexpr size_t kForbiddenSize = 8;
constexpr const char* kWholeTpPid = "****";

size_t AutoscanAt(size_t index) {
  return record::kAutoscanTps + index * kAutoscanSize;
}
size_t ForbiddenAt(size_t index) {
  return record::kForbiddenEntries + index * kForbiddenSize;
}

uint16_t FirstWord(int frequency, int polarity) {
  return static_cast<uint16_t>(((frequency & 0x7FFF) << 1) | (polarity == kPolarityV ? 1 : 0));
}

std::string Digits(int value, int width) {
  char text[16];
  std::snprintf(text, sizeof text, "%.*d", width, value);
  return text;
}

std::string Upper(std::string text) {
  for (char& c : text) {
    if (c >= 'a' && c <= 'z')
      c = static_cast<char>(c - 'a' + 'A');
  }
  return text;
}

// A number cell: decimal digits only, at most as many as the dialog's edit takes.
bool ParseNumber(const std::string& cell, size_t digits, const char* column, int& value,
                 std::string& why) {
  if (cell.empty() || cell.size() > digits ||
      cell.find_first_not_of("0123456789") != std::string::npos) {
    why = std::string("\"") + column + "\" takes 1 to " + std::to_string(digits) +
          " digits, not \"" + cell + "\"";
    return false;
  }
  value = std::stoi(cell);
  return true;
}

bool CellCount(const std::vector<std::string>& cells, size_t count, std::string& why) {
  if (cells.size() == count)
    return true;
  why = "a row has " + std::to_string(count) + " cells, not " + std::to_string(cells.size());
  return false;
}

}  // namespace

std::optional<AutoscanTp> ReadAutoscanTp(const CustomerSettings& settings, size_t index) {
  const uint16_t word0 = settings.U16(AutoscanAt(index));
  if (word0 < 2)
    return std::nullopt;
  return AutoscanTp{word0 & 1, word0 >> 1, settings.U16(AutoscanAt(index) + 2)};
}

std::optional<ForbiddenEntry> ReadForbiddenEntry(const CustomerSettings& settings, size_t index) {
  const size_t at = ForbiddenAt(index);
  const uint16_t word0 = settings.U16(at);
  if (word0 < 2)
    return std::nullopt;
  const uint16_t word2 = settings.U16(at + 4);
  ForbiddenEntry entry;
  entry.polarity = (word2 & kBothPolaritiesBit) != 0 ? kPolarityBoth : (word0 & 1);
  entry.frequency = word0 >> 1;
  entry.symbol_rate = settings.U16(at + 2);
  entry.whole_tp = (word2 & kWholeTpBit) != 0;
  if (!entry.whole_tp) {
    entry.video_pid = word2 & kPidBits;
    entry.audio_pid = settings.U16(at + 6) & kPidBits;
  }
  return entry;
}

void WriteAutoscanTp(CustomerSettings& settings, size_t index, const AutoscanTp& tp) {
  settings.SetU16(AutoscanAt(index), FirstWord(tp.frequency, tp.polarity));
  settings.SetU16(AutoscanAt(index) + 2, static_cast<uint16_t>(tp.symbol_rate));
}

void WriteForbiddenEntry(CustomerSettings& settings, size_t index, const ForbiddenEntry& entry) {
  const size_t at = ForbiddenAt(index);
  int word2 = entry.whole_tp ? kWholeTpBit : (entry.video_pid & kPidBits);
  if (entry.polarity == kPolarityBoth)
    word2 |= kBothPolaritiesBit;
  settings.SetU16(at, FirstWord(entry.frequency, entry.polarity));
  settings.SetU16(at + 2, static_cast<uint16_t>(entry.symbol_rate));
  settings.SetU16(at + 4, static_cast<uint16_t>(word2));
  settings.SetU16(at + 6, static_cast<uint16_t>(entry.whole_tp ? 0 : entry.audio_pid & kPidBits));
}

std::vector<std::string> RowCells(const AutoscanTp& tp) {
  return {tp.polarity == kPolarityV ? "V" : "H", Digits(tp.frequency, 5),
          Digits(tp.symbol_rate, 5)};
}

std::vector<std::string> RowCells(const ForbiddenEntry& entry) {
  static const char* const kPolarities[] = {"H", "V", "H/V"};
  return {kPolarities[entry.polarity], Digits(entry.frequency, 5), Digits(entry.symbol_rate, 5),
          entry.whole_tp ? kWholeTpPid : Digits(entry.video_pid, 4),
          entry.whole_tp ? kWholeTpPid : Digits(entry.audio_pid, 4)};
}

std::optional<AutoscanTp> ParseAutoscanRow(const std::vector<std::string>& cells,
                                           std::string& why) {
  if (!CellCount(cells, 3, why))
    return std::nullopt;
  AutoscanTp tp;
  const std::string polarity = Upper(cells[0]);
  if (polarity != "H" && polarity != "V") {
    why = "\"Polarity\" is \"H\" or \"V\", not \"" + cells[0] + "\"";
    return std::nullopt;
  }
  tp.polarity = polarity == "V" ? kPolarityV : kPolarityH;
  if (!ParseNumber(cells[1], 5, "Frequency", tp.frequency, why) ||
      !ParseNumber(cells[2], 5, "Symbol rate", tp.symbol_rate, why)) {
    return std::nullopt;
  }
  return tp;
}

std::optional<ForbiddenEntry> ParseForbiddenRow(const std::vector<std::string>& cells,
                                                std::string& why) {
  if (!CellCount(cells, 5, why))
    return std::nullopt;
  ForbiddenEntry entry;
  const std::string polarity = Upper(cells[0]);
  if (polarity == "H") {
    entry.polarity = kPolarityH;
  } else if (polarity == "V") {
    entry.polarity = kPolarityV;
  } else if (polarity == "H/V") {
    entry.polarity = kPolarityBoth;
  } else {
    why = "\"Polarity\" is \"H\", \"V\" or \"H/V\", not \"" + cells[0] + "\"";
    return std::nullopt;
  }
  if (!ParseNumber(cells[1], 5, "Frequency", entry.frequency, why) ||
      !ParseNumber(cells[2], 5, "Symbol rate", entry.symbol_rate, why)) {
    return std::nullopt;
  }
  if (cells[3] == kWholeTpPid || cells[4] == kWholeTpPid) {
    if (cells[3] != cells[4]) {
      why = "a whole TP shows \"****\" in both PID cells";
      return std::nullopt;
    }
    entry.whole_tp = true;
    return entry;
  }
  if (!ParseNumber(cells[3], 4, "Video PID", entry.video_pid, why) ||
      !ParseNumber(cells[4], 4, "Audio PID", entry.audio_pid, why)) {
    return std::nullopt;
  }
  return entry;
}

}  // namespace qtk
