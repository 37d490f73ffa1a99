#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "pages/combo_state.h"
#include "pages/page_base.h"

namespace qtk {

namespace key_map_messages {
inline constexpr const char* kKeyTooLong = "The key value is too long.";
inline constexpr const char* kDuplicate = "the scan codes of Key [%s] is duplicate with Key [%s]!";
inline constexpr const char* kIrEditLimit = "The IR keymap number can not over %d!";
inline constexpr const char* kPanelLimit = "the Panel only support %d keys";
inline constexpr const char* kIrLimit = "the IR only support %d keys";
inline constexpr const char* kPauseSame = "Pause window has set the same key!";
inline constexpr const char* kPreviewSame = "Preview window has set the same key!";
inline constexpr const char* kDViewSame = "DView window has set the same key!";
}  // namespace key_map_messages

// The characters the key cells take, and the characters the user code edits take: the 'h'
// a user may write after a hexadecimal number ends it.
inline constexpr const char* kKeyCellCharacters = "0123456789ABCDEFabcdef";
inline constexpr const char* kUserCodeCharacters = "0123456789aAbBcCdDeEfFh";
inline constexpr size_t kUserCodeLength = 4;
inline constexpr size_t kKeyCodeLength = 4;

// The value of a user code as typed: the hexadecimal digits before the first 'h' (an 'h'
// closes a hexadecimal number, as in "1fh"); an empty text is 0.
uint16_t UserCodeValue(const std::string& text);

// The Key map page: the three window keys, the IR user codes, and the panel and IR key
// tables as one list row per logical key with its scan codes in hexadecimal.
class KeyMapPage : public PageModel<PageId::kKeyMap> {
 public:
  enum class WindowKey { kPause, kPreview, kDView };

  struct PanelRow {
    std::string name;
    uint8_t key_code = 0;
    std::string key;  // "Key(in Hex)"
    bool operator==(const PanelRow&) const = default;
  };
  struct IrRow {
    std::string name;
    uint8_t key_code = 0;
    std::array<std::string, 2> keys;  // "Key1(in Hex)", "Key2(in Hex)"
    bool operator==(const IrRow&) const = default;
  };

  using PageModel::PageModel;

  void Load() override;
  bool Store() override;
  // Takes the IR key map and both user codes into the record; the window keys of the file
  // wait in the combos for the next store.
  void ImportSettings(const CustomerSettings::Bytes& file) override;
  std::vector<PageField> Fields() override;

  // The panel part of the record was replaced (a Panel setting file import): the panel list
  // is read again; the IR list, the user codes and the combos keep their edits.
  void PanelPartImported() override;

  ComboState pause_window;
  ComboState preview_window;
  ComboState dview_window;
  ComboState& Combo(WindowKey which);

  // A choice in one of the three combos: refused with a message when its text equals (in any
  // case) the text chosen in another combo, the combo then returns to the record's value;
  // otherwise the record takes the index at once.
  void SelectWindowKey(WindowKey which, int index);

  const std::string& user_code(int which) const { return user_codes_[static_cast<size_t>(which)]; }
  // A change of a user code edit (0 first, 1 second): a text with a character the edit does
  // not take, or longer than 4, is refused and the edit keeps its text. False when refused.
  bool SetUserCode(int which, const std::string& text);
  bool two_user_codes() const { return two_user_codes_; }

  const std::vector<PanelRow>& panel_rows() const { return panel_rows_; }
  const std::vector<IrRow>& ir_rows() const { return ir_rows_; }
  // The end of an in-place edit of a key cell: the rules run, and a refused text gives way to
  // the cell's earlier text (or to an empty cell when the IR keys are full).
  void EditPanelKey(int row, const std::string& text);
  void EditIrKey(int row, int column, const std::string& text);

 private:
  void LoadIrRows();
  void LoadPanelRows();
  uint8_t RecordIndex(WindowKey which) const;
  std::string SetPanelRows(const FieldRows& rows);
  std::string SetIrRows(const FieldRows& rows);

  std::array<std::string, 2> user_codes_;
  bool two_user_codes_ = false;
  std::vector<PanelRow> panel_rows_;
  std::vector<IrRow> ir_rows_;
};

}  // namespace qtk
