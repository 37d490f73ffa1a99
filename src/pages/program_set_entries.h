#pragma once

#include <optional>
#include <string>
#include <vector>

#include "settings/customer_settings.h"

namespace qtk {

// The two tables of the Program set page: the extra transponders the box's automatic scan
// visits, and the forbidden programs or whole transponders. Both keep a frequency in the upper
// 15 bits of their first word and its polarity in bit 0; a first word below 2 (frequency 0)
// marks an empty slot.

// Polarity as the dialogs and rows name it; "H/V" (both) exists only for forbidden entries.
enum TpPolarity : int { kPolarityH = 0, kPolarityV = 1, kPolarityBoth = 2 };

struct AutoscanTp {
  int polarity = kPolarityH;  // H or V
  int frequency = 0;          // MHz
  int symbol_rate = 0;        // Kbits/s
  bool operator==(const AutoscanTp&) const = default;
};

// A forbidden entry as its row shows it: a whole TP shows no PIDs and stores them as 0, so a
// whole-TP entry here always has both PIDs 0.
struct ForbiddenEntry {
  int polarity = kPolarityH;  // H, V or H/V
  int frequency = 0;
  int symbol_rate = 0;
  int video_pid = 0;
  int audio_pid = 0;
  bool whole_tp = false;
  bool operator==(const ForbiddenEntry&) const = default;
};

namespace program_set {
inline constexpr int kPidBits = 0x3FFF;
inline constexpr int kWholeTpBit = 0x4000;
inline constexpr int kBothPolaritiesBit = 0x8000;
}  // namespace program_set

// Slot `index` of each table; nothing for an empty slot.
std::optional<AutoscanTp> ReadAutoscanTp(const CustomerSettings& settings, size_t index);
std::optional<ForbiddenEntry> ReadForbiddenEntry(const CustomerSettings& settings, size_t index);
void WriteAutoscanTp(CustomerSettings& settings, size_t index, const AutoscanTp& tp);
void WriteForbiddenEntry(CustomerSettings& settings, size_t index, const ForbiddenEntry& entry);

// The cells of a row: polarity, frequency and symbol rate as five digits, PIDs as four digits
// or "****" for a whole TP.
std::vector<std::string> RowCells(const AutoscanTp& tp);
std::vector<std::string> RowCells(const ForbiddenEntry& entry);

// A row typed as cells (the batch front end): the texts the row itself shows, the polarity in
// any case and the numbers with or without leading zeros, each within the digits its dialog
// edit takes. Empty `why` on success.
std::optional<AutoscanTp> ParseAutoscanRow(const std::vector<std::string>& cells, std::string& why);
std::optional<ForbiddenEntry> ParseForbiddenRow(const std::vector<std::string>& cells,
                                                std::string& why);

}  // namespace qtk
