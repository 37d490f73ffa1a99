#pragma once

#include <nlohmann/json.hpp>
#include <string>

#include "pages/page_fields.h"

namespace qtk::cli {

// Page field values in JSON, the form `qtkcli show --json` writes and `qtkcli apply --set`
// reads: texts as strings (the record's single bytes as Latin-1 characters in UTF-8), numbers
// as numbers, list rows as arrays of strings.
nlohmann::ordered_json FieldValueJson(const FieldValue& value);

// The value a JSON value gives a field; false, with the reason, for a JSON value that is no
// field value at all or a text with a character that no single byte can carry. Whether the
// value fits the field is the field's own check (SetField).
bool FieldValueFromJson(const nlohmann::ordered_json& json, FieldValue& value, std::string& reason);

}  // namespace qtk::cli
