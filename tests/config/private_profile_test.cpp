#include "config/ini/private_profile.h"
#include "common/utf8_path.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "testdata/temp_dir.h"

namespace qtk::ini {
namespace {

class PrivateProfileTest : public ::testing::Test {
 protected:
  void WriteText(const std::string& text) {
    std::ofstream(PathFromUtf8(path_), std::ios::binary) << text;
  }
  std::string ReadText() const {
    std::ifstream in(PathFromUtf8(path_), std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }
  int32_t Int(const char* section, const char* key, int32_t def = 0) const {
    return GetPrivateProfileInt(section, key, def, PathFromUtf8(path_));
  }
  std::string Str(const char* section, const char* key, const char* def = "") const {
    return GetPrivateProfileString(section, key, def, PathFromUtf8(path_));
  }

  testdata::TempDir dir_{"qtk_ini"};
  std::string path_ = dir_.File("test.ini");
};

TEST_F(PrivateProfileTest, NamesAreComparedWithoutCase) {
  WriteText("[CommonConfig]\r\nOtaConfigEnable=1\r\n[chunkid]\r\nITEM0=7\r\n");
  EXPECT_EQ(Int("commonconfig", "otaconfigenable"), 1);
  EXPECT_EQ(Int("COMMONCONFIG", "OTACONFIGENABLE"), 1);
  EXPECT_EQ(Int("ChunkId", "item0"), 7);
}

TEST_F(PrivateProfileTest, MissingFileSectionOrKeyGivesTheDefault) {
  EXPECT_EQ(Int("A", "b", 42), 42);
  EXPECT_EQ(Str("A", "b", "dflt"), "dflt");
  WriteText("[A]\nb=1\n[C]\nd=text\n");
  EXPECT_EQ(Int("A", "missing", -5), -5);
  EXPECT_EQ(Int("Missing", "b", 9), 9);
  EXPECT_EQ(Str("C", "missing"), "");
  // A key of another section is not found.
  EXPECT_EQ(Str("A", "d", "none"), "none");
}

TEST_F(PrivateProfileTest, CommentsBlanksQuotesAndFirstKeyWins) {
  WriteText(
      "; leading comment\n"
      "[S]\n"
      "  ; indented comment=5\n"
      "  key  =  spaced value  \n"
      "quoted=\"  kept  \"\n"
      "single='x'\n"
      "dup=first\n"
      "dup=second\n"
      "empty=\n");
  EXPECT_EQ(Str("S", "; indented comment", "none"), "none");
  EXPECT_EQ(Str("S", "key"), "spaced value");
  EXPECT_EQ(Str("S", "quoted"), "  kept  ");
  EXPECT_EQ(Str("S", "single"), "x");
  EXPECT_EQ(Str("S", "dup"), "first");
  EXPECT_EQ(Str("S", "empty", "dflt"), "");
  EXPECT_EQ(Int("S", "empty", 7), 0);  // present but not a number
}

TEST_F(PrivateProfileTest, IntegersDecimalHexNegativeAndLeadingNumber) {
  WriteText(
      "[N]\n"
      "dec=300\nneg=-1\nplus=+12\nhex=0x10EF0100\nHEX=0XFF\ntop=0xE3000010\n"
      "tail=15 units\nword=abc\nbig=99999999999\nsmall=-99999999999\nminus_hex=-0x10\n");
  EXPECT_EQ(Int("N", "dec"), 300);
  EXPECT_EQ(Int("N", "neg"), -1);
  EXPECT_EQ(Int("N", "plus"), 12);
  EXPECT_EQ(Int("N", "hex"), 0x10EF0100);
  EXPECT_EQ(static_cast<uint32_t>(Int("N", "top")), 0xE3000010u);  // keeps its bits
  EXPECT_EQ(Int("N", "tail"), 15);
  EXPECT_EQ(Int("N", "word", 3), 0);
  EXPECT_EQ(Int("N", "big"), INT32_MAX);
  EXPECT_EQ(Int("N", "small"), INT32_MIN);
  EXPECT_EQ(Int("N", "minus_hex"), -16);
}

TEST_F(PrivateProfileTest, ByteOrderMarkIsIgnored) {
  WriteText("\xEF\xBB\xBF[CommonConfig]\r\nConfigVersion=2\r\n");
  EXPECT_EQ(Int("CommonConfig", "ConfigVersion"), 2);
}

// Found by fuzzing: the writer dropped the mark, so a second mark behind it became the
// file's own and was skipped on the next read, turning "\xEF\xBB\xBF[a]" into a section.
TEST_F(PrivateProfileTest, WriteKeepsTheByteOrderMark) {
  WriteText("\xEF\xBB\xBF\xEF\xBB\xBF[a]\r\nk=1\r\n[b]\r\nx=2\r\n");
  EXPECT_EQ(Int("a", "k", -1), -1);
  ASSERT_TRUE(WritePrivateProfileString("b", "x", "3", PathFromUtf8(path_)));
  EXPECT_EQ(ReadText(), "\xEF\xBB\xBF\xEF\xBB\xBF[a]\r\nk=1\r\n[b]\r\nx=3\r\n");
  EXPECT_EQ(Int("a", "k", -1), -1);
  EXPECT_EQ(Int("b", "x"), 3);

  WriteText("\xEF\xBB\xBF[c]\r\n");
  ASSERT_TRUE(WritePrivateProfileString("c", "y", "4", PathFromUtf8(path_)));
  EXPECT_EQ(ReadText(), "\xEF\xBB\xBF[c]\r\ny=4\r\n");
}

TEST_F(PrivateProfileTest, WriteReplacesTheKeyAndKeepsEveryOtherLine) {
  WriteText(
      "; head\r\n[config]\r\nLoadDomestic=0\r\n; note\r\nOther=1\r\n\r\n[File0]\r\nFile=a\r\n");
  ASSERT_TRUE(WritePrivateProfileString("CONFIG", "loaddomestic", "1", PathFromUtf8(path_)));
  EXPECT_EQ(
      ReadText(),
      "; head\r\n[config]\r\nloaddomestic=1\r\n; note\r\nOther=1\r\n\r\n[File0]\r\nFile=a\r\n");
}

TEST_F(PrivateProfileTest, WriteAddsAMissingKeyAtTheEndOfItsSection) {
  WriteText("[A]\r\nx=1\r\n\r\n[B]\r\ny=2\r\n");
  ASSERT_TRUE(WritePrivateProfileString("A", "z", "3", PathFromUtf8(path_)));
  EXPECT_EQ(ReadText(), "[A]\r\nx=1\r\nz=3\r\n\r\n[B]\r\ny=2\r\n");
  EXPECT_EQ(Int("A", "z"), 3);
}

TEST_F(PrivateProfileTest, WriteAppendsAMissingSectionAndCreatesAMissingFile) {
  ASSERT_TRUE(WritePrivateProfileString("File0", "File", "list.txt", PathFromUtf8(path_)));
  EXPECT_EQ(ReadText(), "[File0]\r\nFile=list.txt\r\n");
  ASSERT_TRUE(WritePrivateProfileString("config", "LoadDomestic", "1", PathFromUtf8(path_)));
  EXPECT_EQ(ReadText(), "[File0]\r\nFile=list.txt\r\n[config]\r\nLoadDomestic=1\r\n");
}

TEST_F(PrivateProfileTest, WriteIntoAMissingDirectoryFails) {
  EXPECT_FALSE(
      WritePrivateProfileString("A", "b", "c", PathFromUtf8(dir_.File("no/such/dir.ini"))));
}

}  // namespace
}  // namespace qtk::ini
