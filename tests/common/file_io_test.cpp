#include "common/utf8_path.h"
#include "common/file_io.h"
#include "common/byte_buffer.h"
#include "common/pending_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "testdata/image_builder.h"
#include "testdata/special_files.h"
#include "testdata/temp_dir.h"

namespace qtk {
namespace {

namespace fs = std::filesystem;
using testdata::PatternBytes;
using testdata::ReadFile;
using testdata::WriteFile;

class FileIoTest : public ::testing::Test {
 protected:
  // Every file of the folder, to see that nothing else was left behind.
  std::set<std::string> Names() const {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir.path()))
      names.insert(entry.path().filename().string());
    return names;
  }
  testdata::TempDir dir{"qtk_file_io"};
};

TEST_F(FileIoTest, ReadsARegularFileUpToItsLimit) {
  const std::string path = dir.File("a.bin");
  const auto bytes = PatternBytes(1000, 7);
  WriteFile(path, bytes);
  FileContents exact = ReadRegularFile(PathFromUtf8(path), 1000);
  EXPECT_EQ(exact.status, FileReadStatus::kRead);
  EXPECT_EQ(exact.bytes, bytes);
  FileContents over = ReadRegularFile(PathFromUtf8(path), 999);
  EXPECT_EQ(over.status, FileReadStatus::kTooBig);
  EXPECT_TRUE(over.bytes.empty());
  EXPECT_EQ(ReadWholeFile(PathFromUtf8(path)), bytes);
  EXPECT_EQ(ReadWholeFile(PathFromUtf8(path), 999), std::nullopt);

  WriteFile(path, {});
  EXPECT_EQ(ReadRegularFile(PathFromUtf8(path), 0).status, FileReadStatus::kRead);
}

TEST_F(FileIoTest, OnlyRegularFilesAreOpened) {
  EXPECT_EQ(ReadRegularFile(PathFromUtf8(dir.File("missing")), kNoSizeLimit).status, FileReadStatus::kCannotOpen);
  EXPECT_EQ(ReadRegularFile(dir.path(), kNoSizeLimit).status, FileReadStatus::kCannotOpen);
  EXPECT_EQ(ReadFileHead(dir.path(), 4), std::nullopt);
  EXPECT_FALSE(IsRegularFile(dir.path()));

  // Opening a FIFO would wait for a writer forever; a device would never end.
  const std::string fifo = dir.File("pipe");
  if (testdata::MakeFifo(fifo)) {
    EXPECT_FALSE(IsRegularFile(PathFromUtf8(fifo)));
    EXPECT_EQ(ReadRegularFile(PathFromUtf8(fifo), kNoSizeLimit).status, FileReadStatus::kCannotOpen);
    EXPECT_EQ(ReadFileHead(PathFromUtf8(fifo), 4), std::nullopt);
  }
  const std::string device = testdata::EndlessDevice();
  if (!device.empty()) {
    EXPECT_EQ(ReadRegularFile(PathFromUtf8(device), kNoSizeLimit).status, FileReadStatus::kCannotOpen);
    EXPECT_EQ(ReadFileHead(PathFromUtf8(device), 4), std::nullopt);
  }
}

TEST_F(FileIoTest, ALinkToARegularFileIsFollowed) {
  if (const char* why = testdata::NoSymbolicLinks())
    GTEST_SKIP() << why;
  const std::string target = dir.File("t.bin");
  WriteFile(target, PatternBytes(5));
  fs::create_symlink(PathFromUtf8(target), PathFromUtf8(dir.File("link.bin")));
  EXPECT_EQ(ReadWholeFile(PathFromUtf8(dir.File("link.bin"))), PatternBytes(5));
}

TEST_F(FileIoTest, AHugeFileIsMeasuredNotRead) {
  const std::string path = dir.File("huge.set");
  ASSERT_TRUE(testdata::MakeSparseFile(path, uint64_t{3} << 30));
  EXPECT_EQ(ReadRegularFile(PathFromUtf8(path), 1 << 20).status, FileReadStatus::kTooBig);
  auto head = ReadFileHead(PathFromUtf8(path), 1452);
  ASSERT_TRUE(head);
  EXPECT_EQ(head->size, uint64_t{3} << 30);
  EXPECT_EQ(head->first_bytes, std::vector<uint8_t>(1452, 0));

  const std::string small = dir.File("small.bin");
  WriteFile(small, PatternBytes(3, 1));
  head = ReadFileHead(PathFromUtf8(small), 4);
  ASSERT_TRUE(head);
  EXPECT_EQ(head->size, 3u);
  EXPECT_EQ(head->first_bytes, PatternBytes(3, 1));
}

// Around the size from which a buffer is mapped on large pages, and well beyond it: every byte
// can be written and read back, a copy is equal, a move leaves the source empty.
TEST(ByteBuffer, EverySizeHoldsItsBytesAcrossCopyAndMove) {
  constexpr size_t kLarge = size_t{2} << 20;
  for (size_t size :
       {size_t{0}, size_t{1}, size_t{4097}, kLarge - 1, kLarge, kLarge + 1, 5 * kLarge + 12345}) {
    ByteBuffer buffer(size);
    ASSERT_EQ(buffer.size(), size);
    EXPECT_EQ(buffer.empty(), size == 0);
    const std::vector<uint8_t> pattern = PatternBytes(size, static_cast<uint8_t>(size));
    std::copy(pattern.begin(), pattern.end(), buffer.data());
    EXPECT_EQ(buffer.ToVector(), pattern) << size;

    ByteBuffer copy = ByteBuffer::CopyOf(buffer);
    EXPECT_EQ(copy.ToVector(), pattern) << size;
    if (size > 0) {
      copy[size - 1] ^= 0xFF;  // the copy is a block of its own
      EXPECT_EQ(buffer[size - 1], pattern.back());
    }
    ByteBuffer moved = std::move(buffer);
    EXPECT_EQ(moved.ToVector(), pattern) << size;
    EXPECT_TRUE(buffer.empty());  // NOLINT(bugprone-use-after-move): a move leaves it empty
    EXPECT_EQ(buffer.span().size(), 0u);
    moved = std::move(copy);
    EXPECT_EQ(moved.size(), size);
  }
}

// The firmware read into a buffer answers exactly as the read into a vector, on small files
// and on files large enough for a mapping of large pages.
TEST_F(FileIoTest, BufferReadAnswersAsTheVectorRead) {
  for (size_t size : {size_t{0}, size_t{1}, size_t{4096}, size_t{(3u << 20) + 5}}) {
    const std::string path = dir.File("image.bin");
    const auto bytes = PatternBytes(size, 3);
    WriteFile(path, bytes);
    FileBuffer exact = ReadFileBuffer(PathFromUtf8(path), size);
    EXPECT_EQ(exact.status, FileReadStatus::kRead) << size;
    EXPECT_EQ(exact.bytes.ToVector(), bytes) << size;
    EXPECT_EQ(ReadFileBuffer(PathFromUtf8(path), kNoSizeLimit).bytes.ToVector(), bytes) << size;
    if (size > 0) {
      FileBuffer over = ReadFileBuffer(PathFromUtf8(path), size - 1);
      EXPECT_EQ(over.status, FileReadStatus::kTooBig) << size;
      EXPECT_TRUE(over.bytes.empty()) << size;
    }
  }
  EXPECT_EQ(ReadFileBuffer(PathFromUtf8(dir.File("missing")), kNoSizeLimit).status, FileReadStatus::kCannotOpen);
  EXPECT_EQ(ReadFileBuffer(dir.path(), kNoSizeLimit).status, FileReadStatus::kCannotOpen);
  const std::string fifo = dir.File("pipe");
  if (testdata::MakeFifo(fifo)) {
    EXPECT_EQ(ReadFileBuffer(PathFromUtf8(fifo), kNoSizeLimit).status, FileReadStatus::kCannotOpen);
  }
  const std::string device = testdata::EndlessDevice();
  if (!device.empty()) {
    EXPECT_EQ(ReadFileBuffer(PathFromUtf8(device), kNoSizeLimit).status, FileReadStatus::kCannotOpen);
  }
  // Measured, refused, never allocated.
  const std::string huge = dir.File("huge.bin");
  ASSERT_TRUE(testdata::MakeSparseFile(huge, uint64_t{3} << 30));
  EXPECT_EQ(ReadFileBuffer(PathFromUtf8(huge), 0xFFFFFFFFu - (1u << 30)).status, FileReadStatus::kTooBig);
}

TEST_F(FileIoTest, PendingFileAppearsOnlyOnCommitAndNeverTouchesAnotherFile) {
  const std::string target = dir.File("fw.bin");
  // Names that a fixed temporary suffix would have taken over.
  WriteFile(target + ".part", PatternBytes(10, 1));
  WriteFile(target + ".tmp", PatternBytes(10, 2));
  WriteFile(target, PatternBytes(10, 3));
  {
    PendingFile file(PathFromUtf8(target));
    ASSERT_TRUE(file.Write(PatternBytes(20, 4)));
    EXPECT_EQ(file.temporary().parent_path(), dir.path());
    EXPECT_TRUE(fs::exists(file.temporary()));
    EXPECT_EQ(ReadFile(target), PatternBytes(10, 3));  // untouched until the commit
    ASSERT_TRUE(file.Commit());
  }
  EXPECT_EQ(ReadFile(target), PatternBytes(20, 4));
  EXPECT_EQ(ReadFile(target + ".part"), PatternBytes(10, 1));
  EXPECT_EQ(ReadFile(target + ".tmp"), PatternBytes(10, 2));
  EXPECT_EQ(Names(), (std::set<std::string>{"fw.bin", "fw.bin.part", "fw.bin.tmp"}));
}

TEST_F(FileIoTest, PendingFileWithoutCommitLeavesNothing) {
  {
    PendingFile file(PathFromUtf8(dir.File("out.bin")));
    ASSERT_TRUE(file.Write(PatternBytes(5)));
  }
  EXPECT_TRUE(Names().empty());
}

TEST_F(FileIoTest, PendingFilesOfOneFolderGetTheirOwnTemporaryNames) {
  PendingFile a(PathFromUtf8(dir.File("a.bin")));
  PendingFile b(PathFromUtf8(dir.File("a.bin")));
  ASSERT_TRUE(a.Write(PatternBytes(1)));
  ASSERT_TRUE(b.Write(PatternBytes(2)));
  EXPECT_NE(a.temporary(), b.temporary());
  ASSERT_TRUE(a.Finish());
  EXPECT_EQ(ReadFile(a.temporary().string()), PatternBytes(1));
}

TEST_F(FileIoTest, ALongestLegalNameStillGetsItsTemporaryFile) {
  // A name of 252 characters is legal; with a suffix such as ".part" the temporary name would
  // pass the file system's limit of 255.
  const std::string name(252, 'n');
  PendingFile file(PathFromUtf8(dir.File(name)));
  ASSERT_TRUE(file.Write(PatternBytes(8)));
  ASSERT_TRUE(file.Commit());
  EXPECT_EQ(ReadFile(dir.File(name)), PatternBytes(8));
}

TEST_F(FileIoTest, PendingFileInAMissingFolderFails) {
  PendingFile file(PathFromUtf8(dir.File("no/such/out.bin")));
  EXPECT_FALSE(file.Write(PatternBytes(4)));
  EXPECT_FALSE(file.Commit());
}

TEST_F(FileIoTest, SameFileSeesThroughSpellingsAndHardLinks) {
  const std::string a = dir.File("a.bin");
  WriteFile(a, PatternBytes(4));
  WriteFile(dir.File("b.bin"), PatternBytes(4));
  fs::create_hard_link(PathFromUtf8(a), PathFromUtf8(dir.File("hard.bin")));
  EXPECT_TRUE(SameFile(PathFromUtf8(a), (dir.path() / "." / "a.bin")));
  EXPECT_TRUE(SameFile(PathFromUtf8(a), PathFromUtf8(dir.File("hard.bin"))));
  EXPECT_FALSE(SameFile(PathFromUtf8(a), PathFromUtf8(dir.File("b.bin"))));
  EXPECT_FALSE(SameFile(PathFromUtf8(a), PathFromUtf8(dir.File("missing.bin"))));
  EXPECT_FALSE(SameFile(PathFromUtf8(dir.File("missing.bin")), PathFromUtf8(dir.File("missing.bin"))));
}

TEST_F(FileIoTest, SameFileSeesThroughASymbolicLink) {
  if (const char* why = testdata::NoSymbolicLinks())
    GTEST_SKIP() << why;
  const std::string a = dir.File("a.bin");
  WriteFile(a, PatternBytes(4));
  fs::create_symlink(PathFromUtf8(a), PathFromUtf8(dir.File("soft.bin")));
  EXPECT_TRUE(SameFile(PathFromUtf8(a), PathFromUtf8(dir.File("soft.bin"))));
  EXPECT_TRUE(SameFile(PathFromUtf8(dir.File("soft.bin")), PathFromUtf8(a)));
}

}  // namespace
}  // namespace qtk
