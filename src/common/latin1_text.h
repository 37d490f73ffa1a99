#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace qtk {

// The record keeps its texts (version, panel texts, password) as single bytes; the desktop
// program shows them as Latin-1 and the batch front end reads and writes UTF-8 (JSON, command
// lines). These convert between the two.

// Every byte becomes the character with that code.
std::string Latin1ToUtf8(std::string_view bytes);

// Nothing when the text is not valid UTF-8 or holds a character above U+00FF, which no single
// byte can carry.
std::optional<std::string> Utf8ToLatin1(std::string_view text);

}  // namespace qtk
