#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace qtk {

// A drop-down list as a page model holds it: the entries in list order and the 0-based
// selection, -1 for none. The record stores the selection in one byte.
struct ComboState {
  std::vector<std::string> items;
  int selection = -1;
  bool enabled = true;

  // Fills the list and selects the stored value; a value outside the list selects nothing.
  void Fill(std::vector<std::string> entries, int stored_value) {
    items = std::move(entries);
    Select(stored_value);
  }
  void Select(int value) { selection = value >= 0 && value < Count() ? value : -1; }
  void Clear() {
    items.clear();
    selection = -1;
  }
  int Count() const { return static_cast<int>(items.size()); }
  bool HasSelection() const { return selection >= 0; }
  // The selection as the record byte: no selection is stored as 0xFF.
  uint8_t StoredByte() const { return static_cast<uint8_t>(selection); }
  const std::string& SelectedText() const {
    static const std::string kNone;
    return HasSelection() ? items[static_cast<size_t>(selection)] : kNone;
  }
  // Position of the first entry with this text, -1 when absent.
  int Find(const std::string& text) const {
    for (size_t i = 0; i < items.size(); ++i) {
      if (items[i] == text)
        return static_cast<int>(i);
    }
    return -1;
  }
  bool operator==(const ComboState&) const = default;
};

}  // namespace qtk
