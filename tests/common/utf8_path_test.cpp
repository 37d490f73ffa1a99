// Paths held as UTF-8 text name the same files as the paths they came from, in folders whose
// names are outside ASCII and outside any ANSI code page.
#include "common/utf8_path.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "common/file_io.h"
#include "common/pending_file.h"
#include "testdata/image_builder.h"
#include "testdata/temp_dir.h"

namespace qtk {
namespace {

namespace fs = std::filesystem;

const char* const kNames[] = {"Jürgen", "固件", "Ærø ñ €", "𝄞 outside the basic plane"};

TEST(Utf8Path, TextAndPathGiveEachOtherBack) {
  for (const char* name : kNames) {
    const fs::path path = PathFromUtf8(name);
    EXPECT_EQ(Utf8FromPath(path), name);
    // (Compared as a whole: GoogleTest as built for Windows prints no char8_t text.)
    EXPECT_TRUE(path.u8string() == std::u8string(reinterpret_cast<const char8_t*>(name))) << name;
  }
  EXPECT_EQ(PathFromUtf8(""), fs::path());
  EXPECT_EQ(Utf8FromPath(fs::path()), "");
  // The folder separators of the system survive both ways.
  const fs::path nested = PathFromUtf8("Jürgen") / PathFromUtf8("固件.bin");
  EXPECT_EQ(PathFromUtf8(Utf8FromPath(nested)), nested);
  EXPECT_EQ(nested.filename(), PathFromUtf8("固件.bin"));
}

TEST(Utf8Path, FilesInNonAsciiFoldersAreWrittenAndReadByTheirText) {
  testdata::TempDir dir{"qtk_utf8"};
  for (const char* name : kNames) {
    const fs::path folder = dir.path() / PathFromUtf8(name);
    ASSERT_TRUE(fs::create_directories(folder)) << name;
    const std::string file = Utf8FromPath(folder / PathFromUtf8(std::string(name) + ".bin"));
    PendingFile pending(PathFromUtf8(file));
    ASSERT_TRUE(pending.Write(testdata::PatternBytes(9)) && pending.Commit()) << name;
    EXPECT_EQ(ReadWholeFile(PathFromUtf8(file)), testdata::PatternBytes(9)) << name;
    EXPECT_EQ(testdata::ReadFile(file), testdata::PatternBytes(9)) << name;
    EXPECT_TRUE(SameFile(PathFromUtf8(file), folder / PathFromUtf8(std::string(name) + ".bin")));
    // The directory listing gives the same text back.
    EXPECT_EQ(Utf8FromPath(fs::directory_iterator(folder)->path().filename()),
              std::string(name) + ".bin");
  }
}

#ifdef _WIN32
TEST(Utf8Path, TextThatIsNoUtf8IsReadInTheAnsiCodePage) {
  // "caf" and a byte that no UTF-8 sequence starts with: an INI file written in the ANSI code
  // page, as older Windows programs write them, still names a file.
  const fs::path path = PathFromUtf8("caf\xE9.txt");
  EXPECT_EQ(path.native().size(), 8u);
  EXPECT_EQ(path.native().substr(0, 3), L"caf");
}
#endif

}  // namespace
}  // namespace qtk
