#include "common/utf8_path.h"
#include "cli/config_command.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "testdata/config_writer.h"
#include "testdata/temp_dir.h"

namespace qtk::cli {
namespace {

class ConfigCommandTest : public ::testing::Test {
 protected:
  int Run(const std::string& path) {
    Streams streams{out_, err_};
    return RunConfigCommand(path, streams);
  }
  int RunWith(const testdata::DescriptionSpec& ini) {
    EXPECT_TRUE(ini.Write(PathFromUtf8(path_)));
    return Run(path_);
  }
  // Runs the command through the registered subcommand, as qtkcli main does.
  int Parse(std::vector<std::string> args) {
    CLI::App app;
    app.require_subcommand(1);
    int status = -1;
    RegisterConfigCommand(app, Streams{out_, err_}, &status);
    std::reverse(args.begin(), args.end());
    app.parse(args);
    return status;
  }

  testdata::TempDir dir_{"qtk_cli_config"};
  std::string path_ = dir_.File(testdata::kDefaultDescriptionName);
  std::ostringstream out_;
  std::ostringstream err_;
};

TEST_F(ConfigCommandTest, SummarizesARealisticDescription) {
  ASSERT_EQ(RunWith(testdata::RealisticDescription()), 0) << err_.str();
  EXPECT_EQ(err_.str(), "");
  std::string out = out_.str();
  EXPECT_NE(out.find("Configuration description: " + path_ + "\n"), std::string::npos);
  EXPECT_NE(out.find("Chunk ids (10): 0xE3000010 0x01FE0101"), std::string::npos);
  for (const char* line : {
           "  OSDLanguageList                12\n",
           "  GPIOUsage_2                    13\n",
           "  TunerType                      6\n",
           "  IRKey                          40\n",
           "  CustomerConfigEnable           1\n",
           "  Volume                         0..100\n",
           "  Password MaxLength             5\n",
           "  Password Limit                 \"0123456789\"\n",
           "  Support                        1\n",
           "  FlashDevice                    6\n",
           "  SectorStruct                   3\n",
           "  FlashDeviceValue               3\n",
       }) {
    EXPECT_NE(out.find(line), std::string::npos) << line;
  }
  // The usage lists follow [PanelIrpType], as Load reads them.
  EXPECT_LT(out.find("PanelIrpType"), out.find("GPIOUsage_0"));
  EXPECT_LT(out.find("GPIOUsage_2"), out.find("PanelKey"));
}

TEST_F(ConfigCommandTest, LongValuesArePrintedWhole) {
  // A character set longer than any fixed line buffer would hold.
  std::string limit;
  for (int i = 0; i < 30; ++i)
    limit += "0123456789";
  testdata::DescriptionSpec ini = testdata::RealisticDescription();
  ini.Set("Password", "Limit", limit);
  ASSERT_EQ(RunWith(ini), 0) << err_.str();
  EXPECT_NE(out_.str().find("  Password Limit                 \"" + limit + "\"\n"),
            std::string::npos);
}

TEST_F(ConfigCommandTest, SectionFaultPrintsTheLoadMessage) {
  testdata::DescriptionSpec ini = testdata::RealisticDescription();
  ini.RemoveSection("SystemMode");
  EXPECT_EQ(RunWith(ini), 1);
  EXPECT_EQ(out_.str(), "");
  EXPECT_EQ(err_.str(), "Error: " + path_ + ":\r\n[SystemMode] data is error.\r\n");
}

TEST_F(ConfigCommandTest, OtherFaultsEndWithALineEnd) {
  EXPECT_EQ(Run(dir_.File("missing.ini")), 1);
  EXPECT_EQ(err_.str(), "Error: " + dir_.File("missing.ini") + ":\r\nCan not open config file.\n");

  err_.str("");
  testdata::DescriptionSpec ini = testdata::RealisticDescription();
  ini.SetItems("FlashDeviceValue", {"A,0,0x0B,0x03", "B,0,0x03,0x03"});
  EXPECT_EQ(RunWith(ini), 1);
  EXPECT_EQ(err_.str(),
            "Error: " + path_ + ":\r\n[FlashDeviceValue] data is duplicate: '0,0x0B,0x03'.\n");
}

TEST_F(ConfigCommandTest, SubcommandSetsTheExitStatus) {
  ASSERT_TRUE(testdata::RealisticDescription().Write(PathFromUtf8(path_)));
  EXPECT_EQ(Parse({"config", path_}), 0);
  EXPECT_EQ(Parse({"config", dir_.File("missing.ini")}), 1);
  EXPECT_THROW(Parse({"config"}), CLI::ParseError);
}

}  // namespace
}  // namespace qtk::cli
