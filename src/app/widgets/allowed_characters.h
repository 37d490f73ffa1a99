#pragma once

#include <QString>

namespace qtk {

// True when every character of `text` is in `allowed`; an empty `allowed` accepts any text.
// Typed characters and pasted text of hexadecimal and decimal fields are checked with it.
bool TextIsAllowed(const QString& allowed, const QString& text);

}  // namespace qtk
