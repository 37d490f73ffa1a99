#include "common/utf8_path.h"
#include "config/description_reader.h"

#include <gtest/gtest.h>

#include <fstream>

#include "testdata/config_writer.h"
#include "testdata/temp_dir.h"

namespace qtk {
namespace {

using Names = std::vector<std::string>;
using Values = std::vector<int32_t>;

TEST(IniFile, SetPathKeepsThePlatformsPathLimit) {
  testdata::TempDir dir("qtk_inifile");
  IniFile ini;
  EXPECT_FALSE(ini.SetPath(""));
  EXPECT_FALSE(ini.SetPath(std::string("a\0b", 3)));
  EXPECT_TRUE(ini.SetPath(std::string(260, 'a')));
  EXPECT_EQ(ini.path().size(), 260u);
#ifdef _WIN32
  EXPECT_FALSE(ini.SetPath(std::string(261, 'a')));
  EXPECT_EQ(ini.path(), "");
#else
  // Only Windows limits a path to 260 characters.
  EXPECT_TRUE(ini.SetPath(std::string(4000, 'a')));
  EXPECT_EQ(ini.path().size(), 4000u);
#endif

  // A refused path reads every key as missing, even when the old path named a real file.
  std::string file = dir.File("d.ini");
  std::ofstream(PathFromUtf8(file)) << "[CommonConfig]\nOtaConfigEnable=-3\n";
  ASSERT_TRUE(ini.SetPath(file));
  EXPECT_EQ(ini.GetInt("CommonConfig", "OtaConfigEnable"), -3);
  EXPECT_TRUE(ini.GetBool("CommonConfig", "OtaConfigEnable"));  // negative counts as set
  EXPECT_FALSE(ini.SetPath(""));
  EXPECT_EQ(ini.GetInt("CommonConfig", "OtaConfigEnable"), 0);
  EXPECT_FALSE(ini.GetBool("CommonConfig", "OtaConfigEnable"));
}

TEST(IniFile, GetStringCutsToTheBuffer) {
  testdata::TempDir dir("qtk_inifile");
  std::string file = dir.File("d.ini");
  std::ofstream(PathFromUtf8(file)) << "[Password]\nLimit=0123456789\n";
  IniFile ini;
  ASSERT_TRUE(ini.SetPath(file));
  char buffer[5];
  EXPECT_EQ(ini.GetString("password", "limit", buffer, sizeof buffer), 4u);
  EXPECT_STREQ(buffer, "0123");
  EXPECT_EQ(ini.GetString("Password", "Missing", buffer, sizeof buffer), 0u);
  EXPECT_STREQ(buffer, "");
  EXPECT_EQ(ini.GetString("Password", "Limit", buffer, 0), 0u);
}

class ReaderTest : public ::testing::Test {
 protected:
  void Write(const testdata::DescriptionSpec& ini) {
    ASSERT_TRUE(ini.Write(PathFromUtf8(path_)));
    reader_.SetDescriptionPath(path_);
    ASSERT_TRUE(reader_.ini().SetPath(path_));
  }
  // Reads one section holding the given items.
  bool ReadItems(const std::string& section, const Names& items) {
    testdata::DescriptionSpec ini;
    ini.SetItems(section, items);
    Write(ini);
    return reader_.ReadItemList(section, list_);
  }

  testdata::TempDir dir_{"qtk_reader"};
  std::string path_ = dir_.File("d.ini");
  DescriptionReader reader_;
  ItemList list_;
};

TEST_F(ReaderTest, IntListStopsAtTheFirstZeroOrGap) {
  testdata::DescriptionSpec ini;
  ini.SetItems("A", {"5", "0", "7"});
  ini.SetItems("B", {"0", "7"});
  ini.SetItems("C", {"0x10EF0100", "-1", "abc", "3"});
  ini.SetItems("D", {"1", "2"}).SetItem("D", 3, "4");
  Write(ini);
  std::vector<int32_t> out = {99};
  EXPECT_TRUE(reader_.ReadIntList("A", out));
  EXPECT_EQ(out, (Values{5}));
  EXPECT_FALSE(reader_.ReadIntList("B", out));
  EXPECT_TRUE(out.empty());
  EXPECT_TRUE(reader_.ReadIntList("C", out));
  EXPECT_EQ(out, (Values{0x10EF0100, -1}));
  EXPECT_TRUE(reader_.ReadIntList("D", out));
  EXPECT_EQ(out, (Values{1, 2}));
  EXPECT_FALSE(reader_.ReadIntList("Missing", out));
}

TEST_F(ReaderTest, ItemListStopsAtAGapAndAtABlankItem) {
  testdata::DescriptionSpec ini;
  ini.SetItems("Gap", {"a", "b"}).SetItem("Gap", 3, "d");
  ini.SetItems("Blank", {"a", "b", "   ", "d"});
  ini.SetItems("Item0Blank", {" \t ", "b"});
  ini.SetItems("Trimmed", {"\t x y \t"});
  Write(ini);
  EXPECT_TRUE(reader_.ReadItemList("Gap", list_));
  EXPECT_EQ(list_.names, (Names{"a", "b"}));
  EXPECT_TRUE(reader_.ReadItemList("Blank", list_));
  EXPECT_EQ(list_.names, (Names{"a", "b"}));
  EXPECT_FALSE(reader_.ReadItemList("Item0Blank", list_));
  EXPECT_TRUE(list_.names.empty());
  EXPECT_TRUE(reader_.ReadItemList("Trimmed", list_));
  EXPECT_EQ(list_.names, (Names{"x y"}));
  EXPECT_FALSE(reader_.ReadItemList("Missing", list_));
}

TEST_F(ReaderTest, ItemTextIsCutAt1023Characters) {
  std::string long_name(1500, 'n');
  ASSERT_TRUE(ReadItems("SystemMode", {long_name}));
  EXPECT_EQ(list_.names, (Names{std::string(1023, 'n')}));
}

TEST_F(ReaderTest, SectionNamesChooseTheParser) {
  for (const char* s : {"PanelKey", "IRKey", "DACIndex", "GPIOBusType", "TunerType", "ExtTunerType",
                        "ExtTunerDriver", "GPIOUsage_0", "GPIOUsage_63"}) {
    EXPECT_EQ(ShapeOfSection(s), ItemShape::kNamedValue) << s;
  }
  EXPECT_EQ(ShapeOfSection("RFMode"), ItemShape::kNamedPairOrdered);
  EXPECT_EQ(ShapeOfSection("DACType"), ItemShape::kNamedPair);
  for (const char* s : {"GPIOUsage_64", "GPIOUsage_05", "GPIOUsage_", "GPIOUsage_x", "tunertype",
                        "SystemMode", "FlashDevice"}) {
    EXPECT_EQ(ShapeOfSection(s), ItemShape::kPlain) << s;
  }
}

TEST_F(ReaderTest, NamedValueItems) {
  ASSERT_TRUE(ReadItems("TunerType", {"PAL , 3", "Key,A,7", "Sharp 7306,1", "Max,255"}));
  EXPECT_EQ(list_.names, (Names{"PAL", "Key,A", "Sharp 7306", "Max"}));
  EXPECT_EQ(list_.values, (Values{3, 7, 1, 255}));
  EXPECT_TRUE(list_.pairs.empty());
  for (const char* bad : {"PAL,3x", "PAL,-3", "PAL,+3", "PAL,256", ",3", "PAL,", "PAL", " ,3",
                          "PAL, ", "PAL,99999999999"}) {
    EXPECT_FALSE(ReadItems("TunerType", {"Good,1", bad})) << bad;
    EXPECT_EQ(list_.names, (Names{"Good"})) << bad;  // the items before stay
    EXPECT_EQ(list_.values, (Values{1})) << bad;
  }
}

TEST_F(ReaderTest, GpioUsageSectionsFrom64OnArePlain) {
  ASSERT_TRUE(ReadItems("GPIOUsage_64", {"LNB power,4"}));
  EXPECT_EQ(list_.names, (Names{"LNB power,4"}));
  EXPECT_TRUE(list_.values.empty());
}

TEST_F(ReaderTest, NamedPairItems) {
  ASSERT_TRUE(ReadItems("RFMode", {"PAL B/G, 21 , 69", "Flat,5,5", "A,B,0,255"}));
  EXPECT_EQ(list_.names, (Names{"PAL B/G", "Flat", "A,B"}));
  EXPECT_EQ(list_.pairs, (std::vector<BytePair>{{21, 69}, {5, 5}, {0, 255}}));
  EXPECT_TRUE(list_.values.empty());

  EXPECT_FALSE(ReadItems("RFMode", {"B,20,10"}));
  ASSERT_TRUE(ReadItems("DACType", {"B,20,10"}));
  EXPECT_EQ(list_.pairs, (std::vector<BytePair>{{20, 10}}));

  for (const char* bad : {"B,10", "B,,10", "B,10,", ",1,2", " ,1,2", "B,1,256", "B,256,1", "B,-1,2",
                          "B,1x,2", "1,2"}) {
    EXPECT_FALSE(ReadItems("DACType", {bad})) << bad;
  }
}

TEST_F(ReaderTest, ParsersEmptyTheirDataOnTheFirstItem) {
  Names names;
  Values values = {9, 9};
  ASSERT_TRUE(ParseNamedValue("A,1", names, values));
  EXPECT_EQ(values, (Values{1}));
  std::vector<BytePair> pairs = {{9, 9}};
  names.clear();
  ASSERT_TRUE(ParseNamedPair("A,1,2", true, names, pairs));
  EXPECT_EQ(pairs, (std::vector<BytePair>{{1, 2}}));
}

TEST(ReportError, BuildsTheTwoMessageForms) {
  DescriptionReader reader;
  reader.ReportError(-9, 0, "Please select a config file first.");
  EXPECT_EQ(reader.GetLoadError().message, "Error: :\r\nPlease select a config file first.");
  reader.SetDescriptionPath("C:\\box\\QTK_K7720X.ini");
  reader.ReportError(-3, 0, "SystemMode");
  LoadError e = reader.GetLoadError();
  EXPECT_EQ(e.code, -3);
  EXPECT_EQ(e.number, 0u);
  EXPECT_EQ(e.message, "Error: C:\\box\\QTK_K7720X.ini:\r\n[SystemMode] data is error.\r\n");
}

}  // namespace
}  // namespace qtk
