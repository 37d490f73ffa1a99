#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "pages/combo_state.h"
#include "settings/customer_settings.h"

namespace qtk {

// How the pages read and write the record's fields. Every page stores texts, bit groups and
// hexadecimal values the same way; these are the one copy of those rules.

// A text field: the bytes up to the first zero, at most `size` of them.
std::string ReadTextField(const CustomerSettings& settings, size_t offset, size_t size);
// Writes the text and fills the rest of the field with zeros, so no stale characters follow a
// shorter text; a longer text is cut at the field's end and never reaches the next field.
void WriteTextField(CustomerSettings& settings, size_t offset, size_t size, std::string_view text);
// The text padded at the end with spaces up to `width` characters; a longer text is kept.
std::string PadWithSpaces(std::string text, size_t width);

// A group of `width` bits starting at bit `shift`.
int GetBits(uint8_t byte, int shift, int width);
uint8_t WithBits(uint8_t byte, int shift, int width, int value);
// Writes the combo's selection into its bits; a combo without a selection has no value to
// write, so the bits keep theirs.
void PutSelectionBits(uint8_t& byte, int shift, int width, const ComboState& combo);

// A hexadecimal field as the page shows it: lower-case digits, zero-padded to `digits`.
std::string HexText(unsigned value, int digits);
// The value of a hexadecimal field as typed; an empty or malformed text, or one above `max`,
// gives 0.
unsigned HexFieldValue(const std::string& text, unsigned max);

}  // namespace qtk
