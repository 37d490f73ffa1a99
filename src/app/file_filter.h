#pragma once

#include <string>

namespace qtk {

// Converts a file dialog filter written as "Text(*.ext)|*.ext|All Files (*.*)|*.*||" into
// the "Text(*.ext);;All Files (*.*)" form Qt's file dialogs take. Each description is kept
// as written; a description that names no pattern in parentheses gets its pattern appended,
// because Qt reads the patterns from the parentheses.
std::string ConvertFileFilter(const std::string& filter);

}  // namespace qtk
