#include "common/utf8_path.h"
#include "cli/command_line.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "testdata/config_writer.h"
#include "testdata/firmware_fixture.h"
#include "testdata/special_files.h"
#include "testdata/temp_dir.h"

namespace qtk::cli {
namespace {

class CommandLineTest : public ::testing::Test {
 protected:
  CommandLineTest() {
    testdata::RealisticDescription().Write(PathFromUtf8(dir.File("QTK_K7720X.ini")));
    testdata::WriteFile(dir.File("fw.bin"), testdata::BuildStandardFirmware({}, "1234"));
  }
  int Run(std::vector<std::string> args) {
    args.insert(args.begin(), "qtkcli");
    std::vector<const char*> argv;
    for (const std::string& a : args)
      argv.push_back(a.c_str());
    out.str("");
    err.str("");
    return RunCommandLine(static_cast<int>(argv.size()), argv.data(), {out, err}, "qtkcli 9.8.7");
  }
  testdata::TempDir dir{"qtk_cmdline"};
  std::ostringstream out, err;
};

TEST_F(CommandLineTest, UsageErrorsExitTwo) {
  EXPECT_EQ(Run({}), 2);
  EXPECT_NE(err.str(), "");
  EXPECT_EQ(Run({"unknown"}), 2);
  EXPECT_EQ(Run({"load", dir.File("fw.bin"), "--config", dir.File("QTK_K7720X.ini")}), 2);
  EXPECT_NE(err.str().find("--password"), std::string::npos);
  EXPECT_EQ(Run({"chunks", dir.File("fw.bin"), "--no-such-option"}), 2);
  EXPECT_EQ(Run({"channels", dir.File("fw.bin")}), 2);  // no list to write
  EXPECT_EQ(Run({"save", dir.File("fw.bin"), "--config", dir.File("QTK_K7720X.ini"), "--password",
                 "1234", "-o", dir.File("out.bin"), "--replace", "0x10EF0100=x"}),
            2);
  EXPECT_EQ(err.str(),
            "qtkcli: the common data chunk 0x10EF0100 is written from the settings record; use "
            "--settings instead of --replace\n");
}

TEST_F(CommandLineTest, HelpSucceedsFailuresExitOneSuccessZero) {
  EXPECT_EQ(Run({"--help"}), 0);
  EXPECT_NE(out.str().find("chunks"), std::string::npos);
  EXPECT_NE(out.str().find("channels"), std::string::npos);
  EXPECT_EQ(Run({"--version"}), 0);
  EXPECT_EQ(out.str(), "qtkcli 9.8.7\n");
  EXPECT_EQ(Run({"chunks", dir.File("missing.bin")}), 1);
  EXPECT_EQ(err.str(), "Can not open firmware file.\n");
  EXPECT_EQ(Run({"chunks", dir.File("fw.bin")}), 0);
  EXPECT_EQ(Run({"load", dir.File("fw.bin"), "--config", dir.File("QTK_K7720X.ini"), "--password",
                 "4321"}),
            1);
  EXPECT_EQ(err.str(), "The password is wrong, please try again!\n");
}

TEST_F(CommandLineTest, SpecialFilesAreRefusedWithoutWaiting) {
  const std::string fifo = dir.File("pipe.bin");
  if (testdata::MakeFifo(fifo)) {
    EXPECT_EQ(Run({"chunks", fifo}), 1);
    EXPECT_EQ(err.str(), "Can not open firmware file.\n");
    EXPECT_EQ(Run({"config", fifo}), 1);
    EXPECT_EQ(err.str(), "Error: " + fifo + ":\r\nCan not open config file.\n");
    EXPECT_EQ(Run({"load", fifo, "--config", dir.File("QTK_K7720X.ini"), "--password", "1234"}), 1);
    EXPECT_EQ(err.str(), "Can not open firmware file.\n");
    EXPECT_EQ(Run({"load", dir.File("fw.bin"), "--config", fifo, "--password", "1234"}), 1);
    EXPECT_EQ(err.str(), "Can not open config file " + fifo + "\n");
  }
  const std::string device = testdata::EndlessDevice();
  if (!device.empty()) {
    EXPECT_EQ(Run({"chunks", device}), 1);
    EXPECT_EQ(err.str(), "Can not open firmware file.\n");
  }
}

TEST_F(CommandLineTest, AnImageOf4GiBIsNoImageAndIsNotRead) {
  const std::string huge = dir.File("huge.bin");
  ASSERT_TRUE(testdata::MakeSparseFile(huge, uint64_t{1} << 32));
  EXPECT_EQ(Run({"chunks", huge}), 1);
  EXPECT_EQ(err.str(), "It is not a standard firmware file!\n");
}

}  // namespace
}  // namespace qtk::cli
