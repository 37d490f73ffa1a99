#include "pages/page_fields.h"

#include <algorithm>

#include "common/latin1_text.h"

namespace qtk {
namespace {

std::string Quoted(const std::string& bytes) {
  return "\"" + Latin1ToUtf8(bytes) + "\"";
}

std::string Joined(const std::vector<std::string>& texts) {
  std::string out;
  for (const std::string& t : texts)
    out += (out.empty() ? "" : ", ") + Quoted(t);
  return out;
}

// What a value of the wrong kind is told.
std::string KindMismatch(FieldKind kind) {
  switch (kind) {
    case FieldKind::kText:
      return "the field takes a text";
    case FieldKind::kNumber:
      return "the field takes a whole number";
    case FieldKind::kChoice:
      return "the field takes the text of one of its choices";
    case FieldKind::kHex:
      return "the field takes hexadecimal digits as a text";
    case FieldKind::kList:
      return "the field takes a list of rows";
  }
  return "the field takes another kind of value";
}

bool KindFits(FieldKind kind, const FieldValue& value) {
  switch (kind) {
    case FieldKind::kText:
    case FieldKind::kChoice:
    case FieldKind::kHex:
      return std::holds_alternative<std::string>(value);
    case FieldKind::kNumber:
      return std::holds_alternative<long long>(value);
    case FieldKind::kList:
      return std::holds_alternative<FieldRows>(value);
  }
  return false;
}

// The limits the control itself puts on typing.
std::string ControlRefuses(const PageField& field, const FieldValue& value) {
  if (const auto* text = std::get_if<std::string>(&value)) {
    if (field.kind == FieldKind::kChoice) {
      const std::vector<std::string> choices =
          field.choices ? field.choices() : std::vector<std::string>{};
      if (std::find(choices.begin(), choices.end(), *text) == choices.end())
        return Quoted(*text) + " is not one of its choices: " + Joined(choices);
      return {};
    }
    if (field.max_length != 0 && text->size() > field.max_length)
      return "the field takes at most " + std::to_string(field.max_length) + " characters";
    for (char c : *text) {
      if (c == '\0' || (!field.allowed.empty() && field.allowed.find(c) == std::string::npos))
        return "the field does not take the character " + Quoted(std::string(1, c));
    }
    return {};
  }
  if (const auto* number = std::get_if<long long>(&value)) {
    if (*number < 0)
      return "the field takes no negative number";
    if (field.max_length != 0 && std::to_string(*number).size() > field.max_length)
      return "the field takes at most " + std::to_string(field.max_length) + " digits";
  }
  return {};
}

}  // namespace

std::string_view KindName(FieldKind kind) {
  switch (kind) {
    case FieldKind::kText:
      return "text";
    case FieldKind::kNumber:
      return "number";
    case FieldKind::kChoice:
      return "choice";
    case FieldKind::kHex:
      return "hexadecimal";
    case FieldKind::kList:
      return "list";
  }
  return "";
}

PageField PageField::ShownWhen(std::function<bool()> condition) && {
  shown = std::move(condition);
  return std::move(*this);
}

PageField PageField::EnabledWhen(std::function<bool()> condition) && {
  enabled = std::move(condition);
  return std::move(*this);
}

PageField PageField::DistinctColumns(std::vector<size_t> columns,
                                     std::vector<std::string> unused) && {
  distinct_columns.push_back(std::move(columns));
  unused_values.insert(unused_values.end(), unused.begin(), unused.end());
  return std::move(*this);
}

PageField PageField::DistinctIn(std::string group, std::vector<std::string> unused) && {
  distinct_group = std::move(group);
  unused_values.insert(unused_values.end(), unused.begin(), unused.end());
  return std::move(*this);
}

PageField PageField::DistinctRowsWhere(std::function<bool(size_t row)> condition) && {
  distinct_row = std::move(condition);
  return std::move(*this);
}

PageField TextField(std::string name, size_t max_length, std::string allowed,
                    std::function<std::string()> get, std::function<void(const std::string&)> set) {
  PageField field;
  field.name = std::move(name);
  field.kind = FieldKind::kText;
  field.max_length = max_length;
  field.allowed = std::move(allowed);
  field.get = [get = std::move(get)] { return FieldValue(get()); };
  field.set = [set = std::move(set)](const FieldValue& value) {
    set(std::get<std::string>(value));
    return std::string();
  };
  return field;
}

PageField HexField(std::string name, size_t digits, std::string allowed,
                   std::function<std::string()> get, std::function<void(const std::string&)> set) {
  PageField field =
      TextField(std::move(name), digits, std::move(allowed), std::move(get), std::move(set));
  field.kind = FieldKind::kHex;
  return field;
}

PageField NumberField(std::string name, size_t digits, std::function<long long()> get,
                      std::function<void(long long)> set) {
  PageField field;
  field.name = std::move(name);
  field.kind = FieldKind::kNumber;
  field.max_length = digits;
  field.get = [get = std::move(get)] { return FieldValue(get()); };
  field.set = [set = std::move(set)](const FieldValue& value) {
    set(std::get<long long>(value));
    return std::string();
  };
  return field;
}

PageField ChoiceField(std::string name, ComboState& combo, std::function<void(int)> select) {
  PageField field;
  field.name = std::move(name);
  field.kind = FieldKind::kChoice;
  field.choices = [&combo] { return combo.items; };
  field.enabled = [&combo] { return combo.enabled; };
  field.get = [&combo] { return FieldValue(combo.SelectedText()); };
  field.set = [&combo, select = std::move(select)](const FieldValue& value) {
    const int index = combo.Find(std::get<std::string>(value));
    if (select) {
      select(index);
    } else {
      combo.Select(index);
    }
    return std::string();
  };
  return field;
}

PageField ListField(std::string name, std::vector<std::string> headers,
                    std::function<FieldRows()> get,
                    std::function<std::string(const FieldRows&)> set) {
  PageField field;
  field.name = std::move(name);
  field.kind = FieldKind::kList;
  field.headers = std::move(headers);
  field.get = [get = std::move(get)] { return FieldValue(get()); };
  field.set = [set = std::move(set)](const FieldValue& value) {
    return set(std::get<FieldRows>(value));
  };
  return field;
}

std::string SetField(const PageField& field, const FieldValue& value) {
  if (!KindFits(field.kind, value))
    return KindMismatch(field.kind);
  if (field.get() == value)
    return {};
  if (!field.IsShown())
    return "the field is not shown for this firmware";
  if (!field.IsEnabled())
    return "the field is disabled";
  if (std::string reason = ControlRefuses(field, value); !reason.empty())
    return reason;
  if (std::string reason = field.set(value); !reason.empty())
    return reason;
  if (const FieldValue kept = field.get(); kept != value)
    return "the page makes " + DescribeValue(value) + " into " + DescribeValue(kept);
  return {};
}

std::string DescribeValue(const FieldValue& value) {
  if (const auto* text = std::get_if<std::string>(&value))
    return Quoted(*text);
  if (const auto* number = std::get_if<long long>(&value))
    return std::to_string(*number);
  std::string out;
  for (const auto& row : std::get<FieldRows>(value))
    out += (out.empty() ? "[" : ", [") + Joined(row) + "]";
  return out.empty() ? "no rows" : out;
}

}  // namespace qtk
