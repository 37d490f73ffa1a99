// qtkdemo and qtkcli started as programs, with folder and file names outside ASCII and outside
// any ANSI code page as their arguments: the programs receive the names as typed, and do what
// the same command does in-process.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "cli/command_line.h"
#include "common/utf8_path.h"
#include "firmware/program_runner.h"
#include "testdata/console_output.h"
#include "testdata/image_builder.h"
#include "testdata/temp_dir.h"

namespace qtk::cli {
namespace {

namespace fs = std::filesystem;
using testdata::ConsoleOutput;

struct Output {
  int exit_code = -1;
  std::string out;
  std::string err;
};

Output RunExecutable(const char* exe, const fs::path& cwd, const std::vector<std::string>& args) {
  const ProgramStreams streams{cwd, cwd / "stdout.txt", cwd / "stderr.txt"};
  const std::optional<int> code =
      RunProgramWithStreams({PathFromUtf8(exe), args}, streams, std::chrono::seconds(120));
  Output r;
  if (!code)
    return r;
  r.exit_code = *code;
  const auto text = [](const fs::path& file) {
    const std::vector<uint8_t> bytes = testdata::ReadFile(Utf8FromPath(file));
    return std::string(bytes.begin(), bytes.end());
  };
  r.out = text(streams.standard_output);
  r.err = text(streams.standard_error);
  return r;
}

Output RunInProcess(std::vector<std::string> args) {
  args.insert(args.begin(), "qtkcli");
  std::vector<const char*> argv;
  for (const std::string& a : args)
    argv.push_back(a.c_str());
  std::ostringstream out, err;
  Output r;
  r.exit_code = RunCommandLine(static_cast<int>(argv.size()), argv.data(), {out, err}, "qtkcli");
  r.out = out.str();
  r.err = err.str();
  return r;
}

TEST(CliExecutables, DemoFolderAndCommandsWithNamesOutsideAscii) {
  testdata::TempDir dir{"qtk_cli_exe"};
  const std::string demo = Utf8FromPath(dir.path() / PathFromUtf8("Jürgen 固件 𝄞"));
  Output r = RunExecutable(QTK_QTKDEMO_PATH, dir.path(), {demo});
  ASSERT_EQ(r.exit_code, 0) << r.err;
  EXPECT_EQ(r.out, ConsoleOutput("Demo set written to " + demo + "\n"));
  EXPECT_EQ(r.err, "");

  const std::string image = Utf8FromPath(PathFromUtf8(demo) / "demo_k7720x.bin");
  const std::string config = Utf8FromPath(PathFromUtf8(demo) / "QTK_K7720X.ini");
  r = RunExecutable(QTK_QTKCLI_PATH, dir.path(), {"chunks", image});
  ASSERT_EQ(r.exit_code, 0) << r.err;
  const Output expected = RunInProcess({"chunks", image});
  ASSERT_EQ(expected.exit_code, 0);
  EXPECT_EQ(r.out, ConsoleOutput(expected.out));

  // The demo box is set up as a product engineer would leave it: nothing for check to name
  // (the generated record's zero tuner ranges are typed over in the demo).
  r = RunExecutable(QTK_QTKCLI_PATH, dir.path(),
                    {"check", image, "--config", config, "--password", "1234"});
  EXPECT_EQ(r.exit_code, 0) << r.out << r.err;
  EXPECT_EQ(r.out, "");

  // The summary names the description by the path as given.
  r = RunExecutable(QTK_QTKCLI_PATH, dir.path(), {"config", config});
  ASSERT_EQ(r.exit_code, 0) << r.err;
  const Output summary = RunInProcess({"config", config});
  EXPECT_NE(summary.out.find("Configuration description: " + config + "\n"), std::string::npos);
  EXPECT_EQ(r.out, ConsoleOutput(summary.out));

  // A setting file written under a name outside ASCII holds what the same command writes
  // in-process under a plain name.
  const std::string settings = Utf8FromPath(dir.path() / PathFromUtf8("设置 Ærø.set"));
  const std::vector<std::string> export_args = {"export-settings", image,  "--config", config,
                                                "--password",      "1234", "-o"};
  std::vector<std::string> args = export_args;
  args.push_back(settings);
  r = RunExecutable(QTK_QTKCLI_PATH, dir.path(), args);
  ASSERT_EQ(r.exit_code, 0) << r.err;
  args = export_args;
  args.push_back(dir.File("plain.set"));
  ASSERT_EQ(RunInProcess(args).exit_code, 0);
  EXPECT_EQ(testdata::ReadFile(settings), testdata::ReadFile(dir.File("plain.set")));
  EXPECT_FALSE(testdata::ReadFile(settings).empty());
}

TEST(CliExecutables, MissingFilesNamedOutsideAsciiFailAsInProcess) {
  testdata::TempDir dir{"qtk_cli_exe"};
  const std::string absent = dir.File("不在 Jürgen.bin");
  Output r = RunExecutable(QTK_QTKCLI_PATH, dir.path(), {"chunks", absent});
  EXPECT_EQ(r.exit_code, 1);
  EXPECT_EQ(r.err, ConsoleOutput("Can not open firmware file.\n"));
  EXPECT_EQ(r.out, "");

  r = RunExecutable(QTK_QTKCLI_PATH, dir.path(), {"config", absent});
  const Output expected = RunInProcess({"config", absent});
  EXPECT_NE(expected.err.find(absent), std::string::npos) << expected.err;
  EXPECT_EQ(r.exit_code, expected.exit_code);
  EXPECT_EQ(r.err, ConsoleOutput(expected.err));
}

}  // namespace
}  // namespace qtk::cli
