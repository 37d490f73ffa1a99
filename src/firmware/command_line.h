#pragma once

#include <string>
#include <string_view>

namespace qtk {

// One argument of a Windows command line, written so that the C runtime of the started
// program splits it off again unchanged: quoted when it is empty or holds blanks or quotes,
// with the backslashes before a quote (and before the closing quote) doubled. A directory
// given as "C:\work\" would otherwise reach the program as C:\work" and swallow the next
// argument.
std::wstring QuoteCommandLineArgument(std::wstring_view argument);

}  // namespace qtk
