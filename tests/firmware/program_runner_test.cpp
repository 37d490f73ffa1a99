#include "firmware/program_runner.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "firmware/program_location.h"
#include "testdata/image_builder.h"
#include "testdata/temp_dir.h"

namespace qtk {
namespace {

namespace fs = std::filesystem;

std::string ReadText(const fs::path& path) {
  const auto bytes = testdata::ReadFile(path.string());
  return std::string(bytes.begin(), bytes.end());
}

#ifndef _WIN32

// A shell script standing in for a helper program.
void WriteScript(const fs::path& path, const std::string& body,
                 fs::perms perms = fs::perms::owner_all) {
  fs::create_directories(path.parent_path());
  {
    std::ofstream out(path);
    out << "#!/bin/sh\n" << body;
  }
  fs::permissions(path, perms);
}

// An application folder and an installation folder side by side, both with blanks.
struct Folders {
  testdata::TempDir temp;
  fs::path application = temp.path() / "work folder";
  fs::path installed = temp.path() / "install prefix" / "bin";
  Folders() {
    fs::create_directories(application);
    fs::create_directories(installed);
  }
};

TEST(ProgramRunner, StartsAProgramInADirectoryWithBlanksAndWaitsForIt) {
  testdata::TempDir temp;
  const auto dir = temp.path() / "app dir with blanks";
  WriteScript(dir / "writer", "sleep 0.2\nprintf '%s' \"$1\" > \"$2\"\n");
  SystemProgramRunner runner(dir);
  const auto output = dir / "out file.txt";
  ASSERT_TRUE(runner.RunProgramAndWait("writer", {"two words", output.string()}));
  EXPECT_EQ(ReadText(output), "two words");
}

TEST(ProgramLocation, TheApplicationDirectoryCopyComesFirstAndGetsTheArgumentsAsTheyAre) {
  Folders f;
  WriteScript(f.application / "builder", "");
  WriteScript(f.installed / "builder", "");
  const auto start = LocateProgram("builder", {"a b"}, f.application, f.installed);
  ASSERT_TRUE(start);
  EXPECT_EQ(start->executable, f.application / "builder");
  EXPECT_EQ(start->arguments, std::vector<std::string>{"a b"});
}

TEST(ProgramLocation, TheInstalledCopyIsToldWhereTheApplicationDirectoryIs) {
  Folders f;
  WriteScript(f.installed / "builder", "");
  const auto start = LocateProgram("builder", {"x"}, f.application, f.installed);
  ASSERT_TRUE(start);
  EXPECT_EQ(start->executable, f.installed / "builder");
  EXPECT_EQ(start->arguments,
            (std::vector<std::string>{"--directory", f.application.string(), "x"}));
}

TEST(ProgramLocation, OnlyExecutableFilesCount) {
  Folders f;
  // Copied without the execute bit, or a folder of that name: the installed one is used.
  WriteScript(f.application / "builder", "", fs::perms::owner_read | fs::perms::owner_write);
  fs::create_directories(f.application / "other");
  WriteScript(f.installed / "builder", "");
  WriteScript(f.installed / "other", "");
  EXPECT_EQ(LocateProgram("builder", {}, f.application, f.installed)->executable,
            f.installed / "builder");
  EXPECT_EQ(LocateProgram("other", {}, f.application, f.installed)->executable,
            f.installed / "other");
  // Neither usable, or no installation directory known: nothing to start.
  WriteScript(f.installed / "builder", "", fs::perms::owner_read);
  EXPECT_FALSE(LocateProgram("builder", {}, f.application, f.installed));
  EXPECT_FALSE(LocateProgram("absent", {}, f.application, f.installed));
  EXPECT_FALSE(LocateProgram("other", {}, f.application, fs::path()));
}

TEST(ProgramRunner, AnInstalledProgramWorksOnTheApplicationDirectoryFiles) {
  Folders f;
  // Like the builder: reads its input from the named directory and writes its output there.
  WriteScript(f.installed / "builder",
              "[ \"$1\" = --directory ] || exit 3\n"
              "cp \"$2/input.txt\" \"$2/output.txt\"\n"
              "printf '%s|' \"$@\" > \"$2/arguments.txt\"\n");
  testdata::WriteFile((f.application / "input.txt").string(), {'o', 'k'});
  SystemProgramRunner runner(f.application, f.installed);
  ASSERT_TRUE(runner.RunProgramAndWait("builder", {}));
  EXPECT_EQ(ReadText(f.application / "output.txt"), "ok");
  EXPECT_EQ(ReadText(f.application / "arguments.txt"),
            "--directory|" + f.application.string() + "|");
  EXPECT_FALSE(fs::exists(f.installed / "output.txt"));

  // A copy in the application directory is preferred and started without the directory.
  WriteScript(f.application / "builder", "printf '%s' \"$#\" > \"$0.count\"\n");
  ASSERT_TRUE(runner.RunProgramAndWait("builder", {}));
  EXPECT_EQ(ReadText(f.application / "builder.count"), "0");
}

#endif

TEST(ProgramRunner, MissingProgramGivesFalseAtOnce) {
  testdata::TempDir temp;
  SystemProgramRunner runner(temp.path(), temp.path() / "bin");
  EXPECT_FALSE(runner.RunProgramAndWait("no_such_program", {}));
}

}  // namespace
}  // namespace qtk
