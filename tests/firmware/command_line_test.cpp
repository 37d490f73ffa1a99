#include "firmware/command_line.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace qtk {
namespace {

TEST(CommandLine, ArgumentsAreQuotedOnlyWhereTheRuntimeWouldSplitOrStripThem) {
  const std::vector<std::pair<std::wstring, std::wstring>> cases = {
      {L"plain", L"plain"},
      {L"C:\\work\\", L"C:\\work\\"},  // nothing to quote: its backslashes stay as they are
      {L"", L"\"\""},
      {L"two words", L"\"two words\""},
      {L"tab\there", L"\"tab\there\""},
      {L"line\nend", L"\"line\nend\""},
      {L"vertical\vtab", L"\"vertical\vtab\""},
      // A directory with blanks and a trailing backslash must not escape the closing quote.
      {L"C:\\work dir\\", L"\"C:\\work dir\\\\\""},
      {L"C:\\work dir\\\\", L"\"C:\\work dir\\\\\\\\\""},
      // Backslashes are doubled only before a quote; the quote gets its own.
      {L"say \"hi\"", L"\"say \\\"hi\\\"\""},
      {L"a\\\"b", L"\"a\\\\\\\"b\""},
      {L"a\\\\b c", L"\"a\\\\b c\""},
      {L"\"", L"\"\\\"\""},
  };
  for (const auto& [argument, quoted] : cases)
    EXPECT_EQ(QuoteCommandLineArgument(argument), quoted);
}

}  // namespace
}  // namespace qtk
