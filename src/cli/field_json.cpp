#include "cli/field_json.h"

#include "common/latin1_text.h"

namespace qtk::cli {
namespace {

std::optional<std::string> Bytes(const nlohmann::ordered_json& json, std::string& reason) {
  std::optional<std::string> bytes = Utf8ToLatin1(json.get<std::string>());
  if (!bytes)
    reason = "the text " + json.dump() + " has a character that no single byte can carry";
  return bytes;
}

}  // namespace

nlohmann::ordered_json FieldValueJson(const FieldValue& value) {
  if (const auto* text = std::get_if<std::string>(&value))
    return Latin1ToUtf8(*text);
  if (const auto* number = std::get_if<long long>(&value))
    return *number;
  nlohmann::ordered_json rows = nlohmann::ordered_json::array();
  for (const auto& row : std::get<FieldRows>(value)) {
    nlohmann::ordered_json cells = nlohmann::ordered_json::array();
    for (const std::string& cell : row)
      cells.push_back(Latin1ToUtf8(cell));
    rows.push_back(std::move(cells));
  }
  return rows;
}

bool FieldValueFromJson(const nlohmann::ordered_json& json, FieldValue& value,
                        std::string& reason) {
  if (json.is_string()) {
    std::optional<std::string> bytes = Bytes(json, reason);
    if (bytes)
      value = std::move(*bytes);
    return bytes.has_value();
  }
  if (json.is_number_integer()) {
    value = json.get<long long>();
    return true;
  }
  if (json.is_array()) {
    FieldRows rows;
    for (const auto& row : json) {
      if (!row.is_array()) {
        reason = "list rows are arrays of texts, not " + row.dump();
        return false;
      }
      std::vector<std::string> cells;
      for (const auto& cell : row) {
        if (!cell.is_string()) {
          reason = "list cells are texts, not " + cell.dump();
          return false;
        }
        std::optional<std::string> bytes = Bytes(cell, reason);
        if (!bytes)
          return false;
        cells.push_back(std::move(*bytes));
      }
      rows.push_back(std::move(cells));
    }
    value = std::move(rows);
    return true;
  }
  reason = "a field takes a text, a whole number or a list of rows, not " + json.dump();
  return false;
}

}  // namespace qtk::cli
