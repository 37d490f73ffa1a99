#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "pages/combo_state.h"

namespace qtk {

// A page's fields by name, so that a batch front end reads and sets them through the same
// models, setters, rules and messages as the desktop program. Each page model lists its
// fields in one table (SettingsPage::Fields) in the order the page's controls depend on each
// other: a field whose choices or values follow another one comes after it.

enum class FieldKind {
  kText,    // an edit box: the text as the record keeps it, one byte per character
  kNumber,  // a number edit (or slider): decimal digits
  kChoice,  // a drop-down list: the text of the chosen entry, empty for none
  kHex,     // a hexadecimal edit: the digits as shown, without the 0x of the label
  kList,    // a list control: its rows, each a list of cell texts
};
std::string_view KindName(FieldKind kind);

using FieldRows = std::vector<std::vector<std::string>>;
// A value as the field's control shows it: text (text, choice, hex), number, or list rows.
using FieldValue = std::variant<std::string, long long, FieldRows>;

struct PageField {
  std::string name;  // the control's label as the page shows it
  FieldKind kind = FieldKind::kText;
  std::vector<std::string> headers;  // list: the column captions
  size_t max_length = 0;             // text, hex: most characters; number: most digits; 0: none
  std::string allowed;               // characters the control takes; empty: any
  std::function<std::vector<std::string>()> choices;  // choice: the entries as they are now
  std::function<bool()> shown;                        // empty: always shown
  std::function<bool()> enabled;                      // empty: always enabled
  std::function<FieldValue()> get;
  // What the user's action on the control does in the model: the setter, and the rule that
  // runs when the control is left. Returns why the model refused, empty when it took the value.
  std::function<std::string(const FieldValue&)> set;

  // Values that the box needs to be different from each other, for the soundness check of an
  // image (a key code used for two keys, a GPIO number given two uses). A list: for each set
  // of column indexes, no two rows may hold the same cells in those columns. Other fields:
  // the fields of a page with the same group name may not hold the same value. Texts are
  // compared without regard to case; a row or field whose cells are all empty or one of
  // `unused_values` takes no part.
  std::vector<std::vector<size_t>> distinct_columns;
  // The rows of a list that take part in its distinct columns; all rows when empty.
  std::function<bool(size_t row)> distinct_row;
  std::string distinct_group;
  std::vector<std::string> unused_values;

  bool IsShown() const { return !shown || shown(); }
  bool IsEnabled() const { return !enabled || enabled(); }

  PageField ShownWhen(std::function<bool()> condition) &&;
  PageField EnabledWhen(std::function<bool()> condition) &&;
  PageField DistinctColumns(std::vector<size_t> columns, std::vector<std::string> unused = {}) &&;
  PageField DistinctIn(std::string group, std::vector<std::string> unused = {}) &&;
  PageField DistinctRowsWhere(std::function<bool(size_t row)> condition) &&;
};

// The usual shapes, so that a page's table stays one entry per control.
PageField TextField(std::string name, size_t max_length, std::string allowed,
                    std::function<std::string()> get, std::function<void(const std::string&)> set);
PageField HexField(std::string name, size_t digits, std::string allowed,
                   std::function<std::string()> get, std::function<void(const std::string&)> set);
PageField NumberField(std::string name, size_t digits, std::function<long long()> get,
                      std::function<void(long long)> set);
// A drop-down over a ComboState; `select` is the page's handler of the user's choice (the
// combo's own selection when empty).
PageField ChoiceField(std::string name, ComboState& combo, std::function<void(int)> select = {});
PageField ListField(std::string name, std::vector<std::string> headers,
                    std::function<FieldRows()> get,
                    std::function<std::string(const FieldRows&)> set);

// Sets a field as the user would set its control: the value must be of the field's kind, fit
// the control (length, characters, choices), the control must be shown and enabled, and the
// model must keep the value (a rule that changes it, such as a range check, refuses it). A
// value equal to the current one is no change and always accepted. Returns the reason of a
// refusal, empty on success. A value refused by the model's own rule has gone through that
// rule, as the user's typing would have; the caller abandons its work rather than go on.
std::string SetField(const PageField& field, const FieldValue& value);

// A value as a message shows it: texts in quotes, numbers in digits.
std::string DescribeValue(const FieldValue& value);

}  // namespace qtk
