// Runs the real dfv_k7720x, copied into a temporary builder directory, from another
// directory, the way the desktop program starts it: nobody at the console, standard input
// open but never written.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "common/utf8_path.h"
#include "dbbuilder/builder_arguments.h"
#include "firmware/image/chunk_ids.h"
#include "firmware/program_location.h"
#include "firmware/program_runner.h"
#include "test_support.h"
#include "testdata/console_output.h"
#include "testdata/image_builder.h"

namespace qtk::dbbuilder {
namespace {

namespace fs = std::filesystem;
using test::ReadBytes;
using test::ReadText;
using test::TempDir;
using test::WriteText;
using testdata::ConsoleOutput;

struct Result {
  bool finished = false;
  int exit_code = -1;
  std::string out;
  std::string err;
};

// Starts `exe` with `arguments` in `cwd` with standard output and standard error to files and
// standard input a pipe that stays open; gives up (and ends the child) after 60 seconds.
Result RunProgram(const fs::path& exe, const fs::path& cwd,
                  const std::vector<std::string>& arguments = {}) {
  Result r;
  const ProgramStreams streams{cwd, cwd / "stdout.txt", cwd / "stderr.txt"};
  const std::optional<int> code =
      RunProgramWithStreams({exe, arguments}, streams, std::chrono::seconds(60));
  if (!code)
    return r;
  r.finished = true;
  r.exit_code = *code;
  r.out = ReadText(streams.standard_output);
  r.err = ReadText(streams.standard_error);
  fs::remove(streams.standard_output);
  fs::remove(streams.standard_error);
  return r;
}

struct Installed {
  TempDir builder;
  TempDir current;
  fs::path exe;
  Installed() {
    exe = builder / ExecutableFileName("dfv_k7720x");
    fs::copy_file(QTK_DFV_K7720X_PATH, exe);
  }
  Result Run(const std::vector<std::string>& arguments = {}) {
    return RunProgram(exe, current.path(), arguments);
  }
};

testdata::ChunkSpec Chunk(uint32_t id, uint32_t region) {
  testdata::ChunkSpec c;
  c.id = id;
  c.region_size = region;
  return c;
}

const std::string kList = "*Sat\r\nProg\t\t100\t101\t\t\t102\t11000\t27500\tV\r\n";

TEST(BuilderExecutable, UsesItsOwnDirectoryAndTheCurrentOneAndEndsWithZero) {
  Installed b;
  WriteText(b.builder / "program_list.txt", kList);
  WriteText(b.current / "program_list.txt", "not this one");
  testdata::WriteFile(
      (b.builder / "fw.bin").string(),
      testdata::BuildImage({Chunk(kBootloaderChunkId, 256), Chunk(kDefaultDatabaseChunkId, 4096),
                            Chunk(kUserDatabaseChunkId, 0)}));
  WriteText(b.builder / "dfv_k7720x.ini", "[File1]\r\nFile=fw.bin\r\n");
  const Result r = b.Run();
  ASSERT_TRUE(r.finished);
  EXPECT_EQ(r.exit_code, 0);
  EXPECT_EQ(
      r.out,
      ConsoleOutput("Start of searching Chinese Ch...\nEnd of searching Chinese Ch...\n"
                    "Start of building default value...\nEnd of building default value...\n"
                    "Start of update binary code...\nEnd of update binary code...\nFinished!\n"));
  for (const char* name : {"m_6615_df.bin", "unzipped_m_6615_df.bin", "user_db.bin"}) {
    EXPECT_TRUE(fs::is_regular_file(b.builder / name)) << name;
    EXPECT_FALSE(fs::exists(b.current / name)) << name;
  }
  EXPECT_TRUE(fs::is_regular_file(b.current / "OUT.bin"));
  EXPECT_TRUE(fs::is_regular_file(b.current / "chout.txt"));
  EXPECT_FALSE(fs::exists(b.builder / "OUT.bin"));
}

TEST(BuilderExecutable, ErrorEndsDoNotWaitForInput) {
  Installed b;
  WriteText(b.builder / "dfv_k7720x.ini", "[File0]\r\nFile=absent.txt\r\n");
  Result r = b.Run();
  ASSERT_TRUE(r.finished);
  EXPECT_EQ(r.exit_code, 0);
  EXPECT_EQ(r.out,
            ConsoleOutput("Can't open txt file: " + (b.builder / "absent.txt").string() + "\n"));

  WriteText(b.builder / "dfv_k7720x.ini", "[File0]\r\nFile=\r\n");
  r = b.Run();
  ASSERT_TRUE(r.finished);
  EXPECT_EQ(r.exit_code, 0);
  EXPECT_EQ(r.out, ConsoleOutput("no txt file!\n"));

  WriteText(b.builder / "dfv_k7720x.ini", "[File1]\r\nFile=fw.bin\r\n");
  WriteText(b.builder / "program_list.txt", kList);
  testdata::WriteFile((b.builder / "fw.bin").string(),
                      testdata::BuildImage({Chunk(kBootloaderChunkId, 0)}));
  r = b.Run();
  ASSERT_TRUE(r.finished);
  EXPECT_EQ(r.exit_code, 0);
  EXPECT_TRUE(r.out.ends_with(
      ConsoleOutput("Start of update binary code...\nUpdate binary code failed!\n")));
}

TEST(BuilderExecutable, RunsWithoutAnIniFile) {
  Installed b;
  WriteText(b.builder / "program_list.txt", kList);
  const Result r = b.Run();
  ASSERT_TRUE(r.finished);
  EXPECT_EQ(r.exit_code, 0);
  EXPECT_TRUE(
      r.out.ends_with(ConsoleOutput("End of building default value...\nno binary file!\n")));
  EXPECT_EQ(ReadText(b.builder / "unzipped_m_6615_df.bin").size(), 2u + 28 + 2 + 12 + 2 + 36);
}

// Every file of a run replaces the one an earlier run left, also where the new file is shorter:
// a second run leaves the same bytes as a first run on the same list. (A file copy that
// refuses to replace its target, as one C++ runtime on Windows does, would keep the first
// run's raw database beside the second run's compressed one.)
TEST(BuilderExecutable, ASecondRunLeavesWhatAFirstRunOfItsListLeaves) {
  const std::string longer = kList + "Far\t\t100\t101\t\t\t103\t12000\t27500\tH\r\n" +
                             "Farther\t\t200\t201\t\t\t203\t12100\t27500\tH\r\n";
  Installed again;
  Installed fresh;
  for (Installed* b : {&again, &fresh}) {
    testdata::WriteFile(
        (b->builder / "fw.bin").string(),
        testdata::BuildImage({Chunk(kBootloaderChunkId, 256), Chunk(kDefaultDatabaseChunkId, 4096),
                              Chunk(kUserDatabaseChunkId, 0)}));
    WriteText(b->builder / "dfv_k7720x.ini", "[File1]\r\nFile=fw.bin\r\n");
  }
  WriteText(again.builder / "program_list.txt", longer);
  ASSERT_TRUE(again.Run().finished);
  const size_t first_size = ReadBytes(again.builder / "unzipped_m_6615_df.bin").size();
  WriteText(again.builder / "program_list.txt", kList);
  WriteText(fresh.builder / "program_list.txt", kList);
  ASSERT_TRUE(again.Run().finished);
  ASSERT_TRUE(fresh.Run().finished);
  EXPECT_LT(ReadBytes(fresh.builder / "unzipped_m_6615_df.bin").size(), first_size);
  for (const char* name : {"m_6615_df.bin", "unzipped_m_6615_df.bin", "user_db.bin"})
    EXPECT_EQ(ReadBytes(again.builder / name), ReadBytes(fresh.builder / name)) << name;
  for (const char* name : {"chout.txt", "OUT.bin"})
    EXPECT_EQ(ReadBytes(again.current / name), ReadBytes(fresh.current / name)) << name;
}

TEST(BuilderExecutable, DirectoryOptionMovesSettingsListAndDatabasesThere) {
  Installed b;
  TempDir files;
  const fs::path work = files / "work folder";
  fs::create_directories(work);
  WriteText(work / "dfv_k7720x.ini", "[File0]\r\nFile=channels.txt\r\n");
  WriteText(work / "channels.txt", kList);
  // A list beside the executable would be read without the option.
  WriteText(b.builder / "program_list.txt", "*Other\r\n");
  for (const std::vector<std::string>& arguments :
       {std::vector<std::string>{"--directory", work.string()},
        std::vector<std::string>{"--directory=" + work.string()}}) {
    const Result r = b.Run(arguments);
    ASSERT_TRUE(r.finished);
    EXPECT_EQ(r.exit_code, 0);
    EXPECT_TRUE(
        r.out.ends_with(ConsoleOutput("End of building default value...\nno binary file!\n")))
        << r.out;
    EXPECT_EQ(r.err, "");
    for (const char* name : {"m_6615_df.bin", "unzipped_m_6615_df.bin", "user_db.bin"}) {
      EXPECT_TRUE(fs::is_regular_file(work / name)) << name;
      EXPECT_FALSE(fs::exists(b.builder / name)) << name;
      fs::remove(work / name);
    }
    // The character list still goes into the current directory.
    EXPECT_TRUE(fs::is_regular_file(b.current / "chout.txt"));
  }
  // Messages name the full paths in that directory.
  WriteText(work / "dfv_k7720x.ini", "[File0]\r\nFile=absent.txt\r\n");
  const Result r = b.Run({"--directory", work.string()});
  EXPECT_EQ(r.out, ConsoleOutput("Can't open txt file: " + (work / "absent.txt").string() + "\n"));
}

// Folders and a list named outside ASCII and outside any ANSI code page: the builder takes
// its own folder, the --directory argument and the list file name from its INI file (UTF-8)
// as they are, and names the full path in its message as UTF-8.
TEST(BuilderExecutable, FoldersAndFilesNamedOutsideAsciiWork) {
  TempDir root;
  const fs::path builder = root / "固件 builder";
  const fs::path work = root / "Jürgen work";
  fs::create_directories(builder);
  fs::create_directories(work);
  const fs::path exe = builder / ExecutableFileName("dfv_k7720x");
  fs::copy_file(QTK_DFV_K7720X_PATH, exe);
  WriteText(work / "dfv_k7720x.ini", "[File0]\r\nFile=频道 Jürgen.txt\r\n");
  WriteText(work / PathFromUtf8("频道 Jürgen.txt"), kList);
  Result r = RunProgram(exe, work, {"--directory", Utf8FromPath(work)});
  ASSERT_TRUE(r.finished);
  EXPECT_EQ(r.exit_code, 0);
  EXPECT_TRUE(
      r.out.ends_with(ConsoleOutput("End of building default value...\nno binary file!\n")))
      << r.out;
  for (const char* name : {"m_6615_df.bin", "unzipped_m_6615_df.bin", "user_db.bin"})
    EXPECT_TRUE(fs::is_regular_file(work / name)) << name;

  // Without the option the builder's own folder is the one it reads.
  WriteText(builder / "dfv_k7720x.ini", "[File0]\r\nFile=频道.txt\r\n");
  r = RunProgram(exe, work);
  ASSERT_TRUE(r.finished);
  EXPECT_EQ(r.out, ConsoleOutput("Can't open txt file: " + Utf8FromPath(builder / PathFromUtf8("频道.txt")) + "\n"));
}

TEST(BuilderExecutable, ArgumentsItCannotUseEndItWithUsageAndCodeTwo) {
  Installed b;
  WriteText(b.builder / "program_list.txt", kList);
  for (const auto& [arguments, message] :
       std::vector<std::pair<std::vector<std::string>, std::string>>{
           {{"--directory"}, "--directory needs a directory"},
           {{"--directory="}, "--directory needs a directory"},
           {{"--directory", (b.current / "absent").string()},
            "no such directory: " + (b.current / "absent").string()},
           {{"--directory", b.current.path().string(), "--directory", b.current.path().string()},
            "--directory given twice"},
           {{"program_list.txt"}, "unknown argument: program_list.txt"}}) {
    const Result r = b.Run(arguments);
    ASSERT_TRUE(r.finished);
    EXPECT_EQ(r.exit_code, 2);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, ConsoleOutput("dfv_k7720x: " + message + "\n" + kUsage));
  }
  EXPECT_FALSE(fs::exists(b.builder / "m_6615_df.bin"));
  EXPECT_FALSE(fs::exists(b.current / "chout.txt"));

  Result r = b.Run({"--help"});
  EXPECT_EQ(r.exit_code, 0);
  EXPECT_EQ(r.out, ConsoleOutput(kUsage));
  r = b.Run({"--version"});
  EXPECT_EQ(r.exit_code, 0);
  EXPECT_EQ(r.out, ConsoleOutput(std::string("dfv_k7720x ") + QTK_VERSION + "\n"));
  EXPECT_FALSE(fs::exists(b.builder / "m_6615_df.bin"));
}

TEST(BuilderArguments, RelativeDirectoriesBecomeAbsolute) {
  TempDir files;
  fs::create_directories(files / "sub");
  struct CurrentDirectory {
    fs::path saved = fs::current_path();
    ~CurrentDirectory() { fs::current_path(saved); }
  } restore;
  fs::current_path(files.path());
  const BuilderArguments parsed = ParseBuilderArguments({"--directory", "sub/../sub"});
  ASSERT_EQ(parsed.error, "");
  EXPECT_EQ(parsed.directory, (files / "sub").lexically_normal());
  EXPECT_TRUE(parsed.directory->is_absolute());
  EXPECT_FALSE(ParseBuilderArguments({}).directory);
  EXPECT_TRUE(ParseBuilderArguments({"-h"}).help);
}

}  // namespace
}  // namespace qtk::dbbuilder
