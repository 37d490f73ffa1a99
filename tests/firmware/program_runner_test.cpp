#include "firmware/program_runner.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string_view>

#include "common/utf8_path.h"
#include "firmware/program_location.h"
#include "testdata/console_output.h"
#include "testdata/image_builder.h"
#include "testdata/temp_dir.h"

namespace qtk {
namespace {

namespace fs = std::filesystem;
using testdata::ConsoleOutput;

std::string ReadText(const fs::path& path) {
  const auto bytes = testdata::ReadFile(path.string());
  return std::string(bytes.begin(), bytes.end());
}

// The probe program copied under `name` into `dir`, as a helper program ships.
fs::path InstallProbe(const fs::path& dir, const std::string& name) {
  fs::create_directories(dir);
  const fs::path program = dir / ExecutableFileName(name);
  fs::copy_file(QTK_RUNNER_PROBE_PATH, program);
  return program;
}

// Arguments that a command line must carry through unchanged: blanks, empty ones, quotes,
// backslashes before a quote and at the end, letters outside ASCII and any ANSI code page.
const std::vector<std::string> kAwkwardArguments = {
    "two words",           "",          "dir with blank\\", "quote \" inside",
    "back\\\\slashes\\\\", "tab\there", "Jürgen 固件"};

std::string Joined(const std::vector<std::string>& arguments) {
  std::string joined;
  for (const std::string& a : arguments)
    joined += a + "|";
  return joined;
}

TEST(ProgramRunner, StartsAProgramInADirectoryWithBlanksAndWaitsForIt) {
  testdata::TempDir temp;
  const auto dir = temp.path() / PathFromUtf8("app dir with blanks, Jürgen 固件");
  InstallProbe(dir, "writer");
  SystemProgramRunner runner(dir);
  const auto output = dir / "out file.txt";
  std::vector<std::string> arguments = {"args", output.string()};
  arguments.insert(arguments.end(), kAwkwardArguments.begin(), kAwkwardArguments.end());
  ASSERT_TRUE(runner.RunProgramAndWait("writer", arguments));
  EXPECT_EQ(ReadText(output), Joined(kAwkwardArguments));
}

TEST(ProgramRunner, AnInstalledProgramIsToldTheApplicationDirectory) {
  testdata::TempDir temp;
  // An application directory that ends with a separator (as a drive root such as C:\ does):
  // on a Windows command line its last backslash must not escape the closing quote.
  const fs::path application = temp.path() / "work folder" / "";
  const fs::path installed = temp.path() / "install prefix" / "bin";
  fs::create_directories(application);
  InstallProbe(installed, "builder");
  SystemProgramRunner runner(application, installed);
  ASSERT_TRUE(runner.RunProgramAndWait("builder", kAwkwardArguments));
  EXPECT_EQ(ReadText(application / "arguments.txt"), Joined(kAwkwardArguments));
  // Without the installed copy there is nothing to start.
  EXPECT_FALSE(SystemProgramRunner(application).RunProgramAndWait("builder", {}));
}

TEST(ProgramRunner, MissingProgramGivesFalseAtOnce) {
  testdata::TempDir temp;
  SystemProgramRunner runner(temp.path(), temp.path() / "bin");
  EXPECT_FALSE(runner.RunProgramAndWait("no_such_program", {}));
}

TEST(ProgramStreams, OutputErrorExitCodeAndWorkingDirectoryReachTheCaller) {
  testdata::TempDir temp;
  const fs::path program = InstallProbe(temp.path() / "bin dir", "probe");
  const fs::path work = temp.path() / "work dir";
  fs::create_directories(work);
  const ProgramStreams streams{work, temp.path() / "out.txt", temp.path() / "err.txt"};
  for (const int code : {0, 2, 77}) {
    EXPECT_EQ(RunProgramWithStreams({program, {"print", std::to_string(code)}}, streams,
                                    std::chrono::seconds(60)),
              code);
    // The first line names the working directory, however the system spells it.
    const std::string out = ReadText(streams.standard_output);
    const size_t end = out.find_first_of("\r\n");
    ASSERT_NE(end, std::string::npos) << out;
    EXPECT_TRUE(fs::equivalent(PathFromUtf8(out.substr(0, end)), work)) << out;
    EXPECT_EQ(out.substr(end), ConsoleOutput("\n"));
    EXPECT_EQ(ReadText(streams.standard_error), ConsoleOutput("to standard error\n"));
  }
}

TEST(ProgramStreams, AProgramWaitingForInputIsEndedAtTheTimeLimit) {
  testdata::TempDir temp;
  const fs::path program = InstallProbe(temp.path(), "probe");
  const ProgramStreams streams{temp.path(), temp.path() / "out.txt", temp.path() / "err.txt"};
  EXPECT_EQ(RunProgramWithStreams({program, {"wait"}}, streams, std::chrono::milliseconds(300)),
            std::nullopt);
  // The files were left to the caller, and the program no longer holds them.
  EXPECT_TRUE(fs::remove(streams.standard_output));
}

// A console, even a hidden one, would bring a console host process that can outlive the
// program and keep the caller's own streams open; a program whose streams are files needs none.
TEST(ProgramStreams, TheProgramGetsNoConsole) {
  testdata::TempDir temp;
  const fs::path program = InstallProbe(temp.path(), "probe");
  const ProgramStreams streams{temp.path(), temp.path() / "out.txt", temp.path() / "err.txt"};
  EXPECT_EQ(RunProgramWithStreams({program, {"console"}}, streams, std::chrono::seconds(60)), 0);
  EXPECT_EQ(ReadText(streams.standard_output), ConsoleOutput("none\n"));
  EXPECT_EQ(ReadText(streams.standard_error), "");
}

TEST(ProgramStreams, AProgramThatCannotStartGivesNothing) {
  testdata::TempDir temp;
  const ProgramStreams streams{temp.path(), temp.path() / "out.txt", temp.path() / "err.txt"};
  EXPECT_EQ(RunProgramWithStreams({temp.path() / ExecutableFileName("absent"), {}}, streams,
                                  std::chrono::seconds(60)),
            std::nullopt);
  const fs::path program = InstallProbe(temp.path(), "probe");
  EXPECT_EQ(RunProgramWithStreams(
                {program, {"print", "0"}},
                {temp.path() / "absent", streams.standard_output, streams.standard_error},
                std::chrono::seconds(60)),
            std::nullopt);
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

}  // namespace
}  // namespace qtk
