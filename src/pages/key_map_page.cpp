#include "pages/key_map_page.h"

#include <algorithm>

#include "common/text_compare.h"
#include "config/text_helpers.h"
#include "pages/page_messages.h"
#include "pages/record_fields.h"
#include "settings/setting_file.h"

namespace qtk {
namespace {

namespace msg = key_map_messages;

// A key table entry: scan code, the logical key's code, and a mark (1 panel, 0 IR).
struct KeyEntry {
  uint16_t scan_code = 0;
  uint8_t key_code = kUnusedKey;
  uint8_t mark = 0;
  static constexpr uint8_t kUnusedKey = 0xFF;
};
// With two IR user codes each key column of the IR table ends with this key code.
constexpr uint8_t kSeparatorKey = 0xFE;
constexpr size_t kEntrySize = 4;

KeyEntry ReadEntry(const CustomerSettings& s, size_t table, size_t index) {
  const size_t at = table + index * kEntrySize;
  return {s.U16(at), s.U8(at + 2), s.U8(at + 3)};
}

template <size_t N>
void WriteTable(CustomerSettings& s, size_t table, const std::array<KeyEntry, N>& entries) {
  for (size_t i = 0; i < N; ++i) {
    const size_t at = table + i * kEntrySize;
    s.SetU16(at, entries[i].scan_code);
    s.SetU8(at + 2, entries[i].key_code);
    s.SetU8(at + 3, entries[i].mark);
  }
}

std::string TrimSpaces(const std::string& text) {
  return Trim(text, TrimMode::kBoth, " ");
}

// The value of a key cell; a cell that is not a hexadecimal number reads as 0.
unsigned CellValue(const std::string& text) {
  return HexFieldValue(TrimSpaces(text), 0xFFFF);
}

std::string ScanCodeText(uint16_t code) {
  return HexText(code, 4);
}

}  // namespace

uint16_t UserCodeValue(const std::string& text) {
  unsigned value = 0;
  for (char c : text.substr(0, text.find('h'))) {
    const std::string digit(1, c);
    if (!IsHex(digit, false))
      return 0;
    value = (value << 4) | HexValue(digit, false).value_or(0);
  }
  return static_cast<uint16_t>(value);
}

ComboState& KeyMapPage::Combo(WindowKey which) {
  switch (which) {
    case WindowKey::kPause:
      return pause_window;
    case WindowKey::kPreview:
      return preview_window;
    case WindowKey::kDView:
      break;
  }
  return dview_window;
}

uint8_t KeyMapPage::RecordIndex(WindowKey which) const {
  switch (which) {
    case WindowKey::kPause:
      return settings().U8(record::kPauseWindowKey);
    case WindowKey::kPreview:
      return settings().U8(record::kPreviewWindowKey);
    case WindowKey::kDView:
      break;
  }
  return settings().U8(record::kDViewWindowKey);
}

void KeyMapPage::Load() {
  const CustomerSettings& s = settings();
  pause_window.Fill(config().GetPauseKeyWindow(), s.U8(record::kPauseWindowKey));
  preview_window.Fill(config().GetPreviewKeyWindow(), s.U8(record::kPreviewWindowKey));
  dview_window.Fill(config().GetDViewKeyWindow(), s.U8(record::kDViewWindowKey));
  user_codes_[0] = ScanCodeText(s.U16(record::kIrUserCode));
  user_codes_[1] = ScanCodeText(s.U16(record::kSecondIrUserCode));
  two_user_codes_ = s.U16(record::kSecondIrUserCode) != 0;
  LoadIrRows();
  LoadPanelRows();
}

void KeyMapPage::LoadIrRows() {
  const CustomerSettings& s = settings();
  const NamedValueList keys = config().GetIRKey();
  std::array<KeyEntry, record::kIrKeyEntries> entries;
  for (size_t i = 0; i < entries.size(); ++i)
    entries[i] = ReadEntry(s, record::kIrKeyMap, i);

  ir_rows_.clear();
  for (size_t r = 0; r < keys.names.size(); ++r)
    ir_rows_.push_back({keys.names[r], static_cast<uint8_t>(keys.values[r]), {}});

  if (two_user_codes_) {
    // The first column ends at its separator; every code after it belongs to the second.
    size_t split = entries.size();
    for (size_t i = 0; i < entries.size(); ++i) {
      if (entries[i].key_code == kSeparatorKey) {
        split = i + 1;
        break;
      }
    }
    for (IrRow& row : ir_rows_) {
      for (size_t i = 0; i < entries.size(); ++i) {
        if (entries[i].key_code == row.key_code)
          row.keys[i < split ? 0 : 1] = ScanCodeText(entries[i].scan_code);
      }
    }
    return;
  }
  std::array<bool, record::kIrKeyEntries> used{};
  for (IrRow& row : ir_rows_) {
    size_t column = 0;
    for (size_t i = 0; i < entries.size() && column < row.keys.size(); ++i) {
      if (used[i] || entries[i].key_code != row.key_code)
        continue;
      used[i] = true;
      row.keys[column++] = ScanCodeText(entries[i].scan_code);
    }
  }
}

void KeyMapPage::LoadPanelRows() {
  const CustomerSettings& s = settings();
  const NamedValueList keys = config().GetPanelKey();
  panel_rows_.clear();
  for (size_t r = 0; r < keys.names.size(); ++r) {
    PanelRow row{keys.names[r], static_cast<uint8_t>(keys.values[r]), {}};
    for (size_t i = 0; i < record::kPanelKeyEntries; ++i) {
      const KeyEntry entry = ReadEntry(s, record::kPanelKeyMap, i);
      if (entry.key_code == row.key_code) {
        row.key = ScanCodeText(entry.scan_code);
        break;
      }
    }
    panel_rows_.push_back(std::move(row));
  }
}

void KeyMapPage::PanelPartImported() {
  LoadPanelRows();
}

void KeyMapPage::SelectWindowKey(WindowKey which, int index) {
  ComboState& combo = Combo(which);
  if (index < 0 || index >= combo.Count())
    return;
  struct Other {
    WindowKey key;
    const char* message;
  };
  std::array<Other, 2> others{};
  switch (which) {
    case WindowKey::kPause:
      others = {{{WindowKey::kPreview, msg::kPreviewSame}, {WindowKey::kDView, msg::kDViewSame}}};
      break;
    case WindowKey::kPreview:
      others = {{{WindowKey::kPause, msg::kPauseSame}, {WindowKey::kDView, msg::kDViewSame}}};
      break;
    case WindowKey::kDView:
      others = {{{WindowKey::kPause, msg::kPauseSame}, {WindowKey::kPreview, msg::kPreviewSame}}};
      break;
  }
  const std::string& text = combo.items[static_cast<size_t>(index)];
  for (const Other& other : others) {
    const ComboState& o = Combo(other.key);
    if (o.HasSelection() && EqualsIgnoringCase(o.SelectedText(), text)) {
      dialogs().ShowMessage(other.message, MessageIcon::Error);
      combo.Select(RecordIndex(which));
      return;
    }
  }
  combo.Select(index);
  const size_t offset = which == WindowKey::kPause     ? record::kPauseWindowKey
                        : which == WindowKey::kPreview ? record::kPreviewWindowKey
                                                       : record::kDViewWindowKey;
  settings().SetU8(offset, static_cast<uint8_t>(index));
}

bool KeyMapPage::SetUserCode(int which, const std::string& text) {
  if (which < 0 || which > 1 || text.size() > kUserCodeLength ||
      text.find_first_not_of(kUserCodeCharacters) != std::string::npos) {
    return false;
  }
  user_codes_[static_cast<size_t>(which)] = text;
  if (which == 1)
    two_user_codes_ = UserCodeValue(text) != 0;
  return true;
}

void KeyMapPage::EditPanelKey(int row, const std::string& text) {
  if (row < 0 || row >= static_cast<int>(panel_rows_.size()))
    return;
  PanelRow& edited = panel_rows_[static_cast<size_t>(row)];
  const std::string trimmed = TrimSpaces(text);
  if (trimmed.size() > kKeyCodeLength) {
    dialogs().ShowMessage(msg::kKeyTooLong);
    return;
  }
  if (!trimmed.empty() && !IsHex(trimmed, false))
    return;
  const unsigned value = CellValue(trimmed);
  if (value != 0) {
    for (const PanelRow& other : panel_rows_) {
      if (&other != &edited && CellValue(other.key) == value) {
        dialogs().ShowMessage(FormatPairMessage(msg::kDuplicate, edited.name, other.name));
        return;
      }
    }
  }
  edited.key = trimmed;
}

void KeyMapPage::EditIrKey(int row, int column, const std::string& text) {
  if (row < 0 || row >= static_cast<int>(ir_rows_.size()) || column < 0 || column > 1)
    return;
  IrRow& edited = ir_rows_[static_cast<size_t>(row)];
  std::string& cell = edited.keys[static_cast<size_t>(column)];
  const std::string trimmed = TrimSpaces(text);
  if (trimmed.size() > kKeyCodeLength) {
    dialogs().ShowMessage(msg::kKeyTooLong);
    return;
  }
  if (!trimmed.empty() && !IsHex(trimmed, false))
    return;
  const unsigned value = CellValue(trimmed);
  if (value == 0) {
    cell = trimmed;
    return;
  }
  // With two user codes each column is a key map of its own: a code is compared only with
  // the codes of its column. Both columns and their separators share the 96 entries.
  int count = two_user_codes_ ? 2 : 0;
  for (const IrRow& r : ir_rows_) {
    for (size_t c = 0; c < r.keys.size(); ++c) {
      if (&r == &edited && c == static_cast<size_t>(column))
        continue;
      const unsigned other = CellValue(r.keys[c]);
      const bool compared = !two_user_codes_ || c == static_cast<size_t>(column);
      if (compared && other == value) {
        dialogs().ShowMessage(FormatPairMessage(msg::kDuplicate, edited.name, r.name));
        return;
      }
      if (other != 0)
        ++count;
    }
  }
  if (count >= static_cast<int>(record::kIrKeyEntries)) {
    dialogs().ShowMessage(FormatCountMessage(msg::kIrEditLimit, record::kIrKeyEntries));
    cell.clear();
    return;
  }
  cell = trimmed;
}

bool KeyMapPage::Store() {
  CustomerSettings& s = settings();
  if (pause_window.HasSelection())
    s.SetU8(record::kPauseWindowKey, pause_window.StoredByte());
  if (preview_window.HasSelection())
    s.SetU8(record::kPreviewWindowKey, preview_window.StoredByte());
  if (dview_window.HasSelection())
    s.SetU8(record::kDViewWindowKey, dview_window.StoredByte());
  s.SetU16(record::kIrUserCode, UserCodeValue(user_codes_[0]));
  s.SetU16(record::kSecondIrUserCode, UserCodeValue(user_codes_[1]));
  two_user_codes_ = s.U16(record::kSecondIrUserCode) != 0;

  std::array<KeyEntry, record::kPanelKeyEntries> panel;
  size_t taken = 0;
  for (const PanelRow& row : panel_rows_) {
    const std::string text = TrimSpaces(row.key);
    if (text.empty())
      continue;
    if (taken == panel.size()) {
      dialogs().ShowMessage(FormatCountMessage(msg::kPanelLimit, static_cast<int>(taken)));
      return false;
    }
    panel[taken++] = {static_cast<uint16_t>(CellValue(text)), row.key_code, 1};
  }
  for (size_t i = taken; i < panel.size(); ++i)
    panel[i] = {0, KeyEntry::kUnusedKey, 1};

  std::array<KeyEntry, record::kIrKeyEntries> ir;
  taken = 0;
  auto add = [&](KeyEntry entry) {
    if (taken == ir.size()) {
      dialogs().ShowMessage(FormatCountMessage(msg::kIrLimit, static_cast<int>(taken)));
      return false;
    }
    ir[taken++] = entry;
    return true;
  };
  for (size_t column = 0; column < 2; ++column) {
    for (const IrRow& row : ir_rows_) {
      const std::string text = TrimSpaces(row.keys[column]);
      if (!text.empty() && !add({static_cast<uint16_t>(CellValue(text)), row.key_code, 0}))
        return false;
    }
    if (two_user_codes_ && !add({0, kSeparatorKey, 0}))
      return false;
  }
  for (size_t i = taken; i < ir.size(); ++i)
    ir[i] = {0, KeyEntry::kUnusedKey, 0};

  WriteTable(s, record::kPanelKeyMap, panel);
  WriteTable(s, record::kIrKeyMap, ir);
  return true;
}

void KeyMapPage::ImportSettings(const CustomerSettings::Bytes& file) {
  const WindowKeys keys = ImportKeyMapSettings(settings(), file);
  pause_window.Select(keys.pause);
  preview_window.Select(keys.preview);
  dview_window.Select(keys.dview);
  user_codes_[0] = ScanCodeText(settings().U16(record::kIrUserCode));
  user_codes_[1] = ScanCodeText(settings().U16(record::kSecondIrUserCode));
  two_user_codes_ = settings().U16(record::kSecondIrUserCode) != 0;
  LoadIrRows();
}

std::string KeyMapPage::SetPanelRows(const FieldRows& rows) {
  if (rows.size() != panel_rows_.size())
    return "the list has " + std::to_string(panel_rows_.size()) + " rows, not " +
           std::to_string(rows.size());
  for (size_t i = 0; i < rows.size(); ++i) {
    if (rows[i].size() != 2 || rows[i][0] != panel_rows_[i].name)
      return "row " + std::to_string(i + 1) + " must be " + DescribeValue(panel_rows_[i].name) +
             " and its key";
  }
  for (size_t i = 0; i < rows.size(); ++i) {
    if (rows[i][1] == panel_rows_[i].key)
      continue;
    EditPanelKey(static_cast<int>(i), rows[i][1]);
    if (panel_rows_[i].key != rows[i][1])
      return "row " + std::to_string(i + 1) + " keeps " + DescribeValue(panel_rows_[i].key);
  }
  return {};
}

std::string KeyMapPage::SetIrRows(const FieldRows& rows) {
  if (rows.size() != ir_rows_.size())
    return "the list has " + std::to_string(ir_rows_.size()) + " rows, not " +
           std::to_string(rows.size());
  for (size_t i = 0; i < rows.size(); ++i) {
    if (rows[i].size() != 3 || rows[i][0] != ir_rows_[i].name)
      return "row " + std::to_string(i + 1) + " must be " + DescribeValue(ir_rows_[i].name) +
             " and its two keys";
  }
  for (size_t i = 0; i < rows.size(); ++i) {
    for (size_t c = 0; c < 2; ++c) {
      if (rows[i][c + 1] == ir_rows_[i].keys[c])
        continue;
      EditIrKey(static_cast<int>(i), static_cast<int>(c), rows[i][c + 1]);
      if (ir_rows_[i].keys[c] != rows[i][c + 1])
        return "row " + std::to_string(i + 1) + " keeps " + DescribeValue(ir_rows_[i].keys[c]);
    }
  }
  return {};
}

// A key code of zero leaves the key without a code; such cells may repeat.
const std::vector<std::string> kNoKey = {"0", "00", "000", "0000"};

std::vector<PageField> KeyMapPage::Fields() {
  auto code_field = [this](const char* name, int which) {
    return HexField(
        name, kUserCodeLength, kUserCodeCharacters,
        [this, which] { return user_codes_[static_cast<size_t>(which)]; },
        [this, which](const std::string& text) { SetUserCode(which, text); });
  };
  return {
      ChoiceField("Pause window", pause_window,
                  [this](int index) { SelectWindowKey(WindowKey::kPause, index); })
          .DistinctIn("window key"),
      ChoiceField("Preview window", preview_window,
                  [this](int index) { SelectWindowKey(WindowKey::kPreview, index); })
          .DistinctIn("window key"),
      ChoiceField("DView window", dview_window,
                  [this](int index) { SelectWindowKey(WindowKey::kDView, index); })
          .DistinctIn("window key"),
      code_field("IR user code 1", 0),
      code_field("IR user code 2", 1),
      ListField(
          "Panel Key Usage", {"Panel Key Usage", "Key(in Hex)"},
          [this] {
            FieldRows out;
            for (const PanelRow& r : panel_rows_)
              out.push_back({r.name, r.key});
            return out;
          },
          [this](const FieldRows& rows) { return SetPanelRows(rows); })
          .DistinctColumns({1}, kNoKey),
      ListField(
          "IR Key Usage", {"IR Key Usage", "Key1(in Hex)", "Key2(in Hex)"},
          [this] {
            FieldRows out;
            for (const IrRow& r : ir_rows_)
              out.push_back({r.name, r.keys[0], r.keys[1]});
            return out;
          },
          [this](const FieldRows& rows) { return SetIrRows(rows); })
          .DistinctColumns({1}, kNoKey)
          .DistinctColumns({2}),
  };
}

}  // namespace qtk
