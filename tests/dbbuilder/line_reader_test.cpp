#include "dbbuilder/line_reader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "test_support.h"

namespace qtk::dbbuilder {
namespace {

using test::Bytes;

std::vector<std::string> Lines(std::string_view text) {
  LineReader reader(Bytes(text));
  std::vector<std::string> lines;
  std::string line;
  while (reader.Next(line))
    lines.push_back(line);
  return lines;
}

using L = std::vector<std::string>;

TEST(LineReader, CrLfEndsALineAndTheLastLineNeedsNoEnd) {
  EXPECT_EQ(Lines("a\r\nb\r\nc"), (L{"a", "b", "c"}));
  // After a final line end the file still yields one empty line, which the driver skips.
  EXPECT_EQ(Lines("a\r\n"), (L{"a", ""}));
  EXPECT_EQ(Lines(""), (L{""}));
  EXPECT_EQ(Lines("a\r\n\r\nb"), (L{"a", "", "b"}));
}

TEST(LineReader, LoneLfAndLoneCrEndLinesToo) {
  // Read literally, an LF-only list would be one line and the byte after a lone CR lost.
  EXPECT_EQ(Lines("*S\nP1\nP2\n"), (L{"*S", "P1", "P2", ""}));
  EXPECT_EQ(Lines("*S\rP1\rP2"), (L{"*S", "P1", "P2"}));
  EXPECT_EQ(Lines("a\n\rb"), (L{"a", "", "b"}));
  EXPECT_EQ(Lines("a\r\r\nb"), (L{"a", "", "b"}));
  EXPECT_EQ(Lines("a\rX"), (L{"a", "X"}));
}

TEST(LineReader, SemicolonStartsACommentUpToTheLineEnd) {
  EXPECT_EQ(Lines("Prog\t1;note\t2\r\nnext;\n;only\r\n"), (L{"Prog\t1", "next", "", ""}));
  EXPECT_EQ(Lines("a;b\rc"), (L{"a", "c"}));
}

TEST(LineReader, TabsAreTrimmedAtBothEndsSpacesAreKept) {
  EXPECT_EQ(Lines("\t\tProg\t1\t\t\r\n"), (L{"Prog\t1", ""}));
  EXPECT_EQ(Lines(" \tProg \t \r\n\t\t\t"), (L{" \tProg \t ", ""}));
  EXPECT_EQ(Lines("Prog\t;comment\r\n"), (L{"Prog", ""}));
}

TEST(LineReader, LongLinesAreCutAt4095Bytes) {
  std::string text(5000, 'x');
  text += "\r\nnext";
  L lines = Lines(text);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0], std::string(kMaxLineLength, 'x'));
  EXPECT_EQ(lines[1], "next");
  // Comment bytes are not stored, so they do not count.
  std::string commented = ";" + std::string(5000, 'c') + "\n" + std::string(4095, 'y') + "z";
  EXPECT_EQ(Lines(commented), (L{"", std::string(4095, 'y')}));
}

}  // namespace
}  // namespace qtk::dbbuilder
