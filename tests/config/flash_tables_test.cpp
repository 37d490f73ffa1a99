#include "common/utf8_path.h"
#include "config/flash_tables.h"

#include <gtest/gtest.h>

#include "description_fixture.h"

namespace qtk {
namespace {

using Names = std::vector<std::string>;

class FlashTablesTest : public DescriptionTest {
 protected:
  // Small tables: device values 3 and 4, sector structures 1 and 2.
  void SetUp() override {
    spec_.SetItems("FlashDeviceValue", {"Read A,3,0x05,0x01", "Read B,4,0x06,0x02"});
    spec_.SetItems("SectorStruct", {"Uniform,1", "Boot top,2"});
    spec_.SetItems("FlashDevice", {"Chip A,0xC2,3,1"});
  }
};

TEST_F(FlashTablesTest, TablesAreReadInFileOrder) {
  spec_.SetItems("FlashDevice", {"Chip A,0xC2,3,1", "Chip, with comma , 0XeF , 4 , 2"});
  ASSERT_TRUE(Load()) << config_.GetLoadError().message;
  FlashDeviceTable devices = config_.GetFlashDevices();
  EXPECT_EQ(devices.names, (Names{"Chip A", "Chip, with comma"}));
  EXPECT_EQ(devices.data, (std::vector<FlashDeviceEntry>{{0xC2, 3, 1}, {0xEF, 4, 2}}));
  SectorStructTable sectors = config_.GetSectorStructs();
  EXPECT_EQ(sectors.names, (Names{"Uniform", "Boot top"}));
  EXPECT_EQ(sectors.data, (std::vector<uint8_t>{1, 2}));
  DeviceValueTable values = config_.GetDeviceValues();
  EXPECT_EQ(values.names, (Names{"Read A", "Read B"}));
  EXPECT_EQ(values.data, (std::vector<DeviceValue>{{3, 0x05, 0x01}, {4, 0x06, 0x02}}));
}

TEST_F(FlashTablesTest, RealisticTablesAreConsistent) {
  spec_ = testdata::RealisticDescription();
  ASSERT_TRUE(Load()) << config_.GetLoadError().message;
  EXPECT_EQ(config_.GetFlashDevices().size(), 6u);
  EXPECT_EQ(config_.GetSectorStructs().size(), 3u);
  EXPECT_EQ(config_.GetDeviceValues().size(), 3u);
}

TEST_F(FlashTablesTest, SupportOffLeavesTheTablesEmptyWhateverTheyHold) {
  spec_.SetItems("FlashDevice", {"broken"});
  spec_.RemoveSection("SectorStruct");
  for (const char* support : {"0", "", "off"}) {
    spec_.Set("FlashDevice", "Support", support);
    ASSERT_TRUE(Load()) << support;
    EXPECT_FALSE(config_.SupportsFlashDevices());
    EXPECT_TRUE(config_.GetFlashDevices().empty());
    EXPECT_TRUE(config_.GetSectorStructs().empty());
    EXPECT_TRUE(config_.GetDeviceValues().empty());
  }
  spec_.RemoveKey("FlashDevice", "Support");
  EXPECT_TRUE(Load());
  spec_.Set("FlashDevice", "Support", -1);  // any non-zero value counts as set
  ExpectLoadFails(-3, SectionMessage("FlashDevice"));
  EXPECT_TRUE(config_.SupportsFlashDevices());
}

TEST_F(FlashTablesTest, SupportOffAfterALoadWithTablesEmptiesThem) {
  ASSERT_TRUE(Load());
  EXPECT_EQ(config_.GetFlashDevices().size(), 1u);
  spec_.Set("FlashDevice", "Support", 0);
  ASSERT_TRUE(Load());
  EXPECT_TRUE(config_.GetFlashDevices().empty());
}

struct BadRow {
  const char* section;
  const char* item;
};

class FlashRowTest : public FlashTablesTest, public ::testing::WithParamInterface<BadRow> {};

TEST_P(FlashRowTest, MalformedRowFailsItsSectionAndEmptiesTheTable) {
  const BadRow& row = GetParam();
  spec_.AppendItem(row.section, row.item);
  ExpectLoadFails(-3, SectionMessage(row.section));
  std::string section = row.section;
  size_t rows = section == "FlashDevice"    ? config_.GetFlashDevices().size()
                : section == "SectorStruct" ? config_.GetSectorStructs().size()
                                            : config_.GetDeviceValues().size();
  EXPECT_EQ(rows, 0u);
}

INSTANTIATE_TEST_SUITE_P(
    BadFields, FlashRowTest,
    ::testing::Values(
        // Flash ID without the prefix, too large, not hexadecimal; bad BitOffset or sector.
        BadRow{"FlashDevice", "Chip,194,3,1"}, BadRow{"FlashDevice", "Chip,0x100,3,1"},
        BadRow{"FlashDevice", "Chip,0x1000000C2,3,1"}, BadRow{"FlashDevice", "Chip,0xG2,3,1"},
        BadRow{"FlashDevice", "Chip,0x,3,1"}, BadRow{"FlashDevice", "Chip,0xC2,0x03,1"},
        BadRow{"FlashDevice", "Chip,0xC2,256,1"}, BadRow{"FlashDevice", "Chip,0xC2,3,-1"},
        BadRow{"FlashDevice", "Chip,0xC2,3"}, BadRow{"FlashDevice", "Chip,0xC2,3,"},
        BadRow{"FlashDevice", ",0xC2,3,1"},
        // Sector number in hexadecimal, signed, too large; missing field.
        BadRow{"SectorStruct", "Layout,0x01"}, BadRow{"SectorStruct", "Layout,+1"},
        BadRow{"SectorStruct", "Layout,256"}, BadRow{"SectorStruct", "Layout"},
        // Command or byte address without the prefix; BitOffset in hexadecimal.
        BadRow{"FlashDeviceValue", "Read,5,0B,0x03"}, BadRow{"FlashDeviceValue", "Read,5,0x0B,3"},
        BadRow{"FlashDeviceValue", "Read,0x05,0x0B,0x03"},
        BadRow{"FlashDeviceValue", "Read,5,0x0B,0x1000000003"},
        BadRow{"FlashDeviceValue", "Read,5,0x0B"}),
    [](const ::testing::TestParamInfo<BadRow>& param_info) {
      return std::string(param_info.param.section) + "_" + std::to_string(param_info.index);
    });

TEST_F(FlashTablesTest, SectionsAreReadDevicesFirst) {
  spec_.SetItems("SectorStruct", {"Layout,0x01"});
  spec_.SetItems("FlashDeviceValue", {"Read,5,0B,0x03"});
  ExpectLoadFails(-3, SectionMessage("SectorStruct"));
  spec_.SetItems("FlashDevice", {"Chip,194,3,1"});
  ExpectLoadFails(-3, SectionMessage("FlashDevice"));
  // The failing table is empty; the one read before it stays.
  spec_.SetItems("FlashDevice", {"Chip A,0xC2,3,1"});
  ExpectLoadFails(-3, SectionMessage("SectorStruct"));
  EXPECT_EQ(config_.GetFlashDevices().size(), 1u);
  EXPECT_TRUE(config_.GetSectorStructs().empty());
}

TEST_F(FlashTablesTest, DuplicateDeviceValues) {
  spec_.SetItems("FlashDeviceValue", {"A,3,0x05,0x01", "B,4,0x05,0x01"});  // same pair
  ExpectLoadFails(-9, OtherMessage("[FlashDeviceValue] data is duplicate: '3,0x05,0x01'."));
  spec_.SetItems("FlashDeviceValue", {"A,3,0x05,0x01", "B,3,0x06,0x02"});  // same BitOffset
  ExpectLoadFails(-9, OtherMessage("[FlashDeviceValue] data is duplicate: '3,0x05,0x01'."));
  spec_.SetItems("FlashDeviceValue", {"A,3,0xAB,0x0C", "B,4,0x05,0x01", "C,4,0x06,0x02"});
  ExpectLoadFails(-9, OtherMessage("[FlashDeviceValue] data is duplicate: '4,0x05,0x01'."));
  // Same command with another byte address is no duplicate.
  spec_.SetItems("FlashDeviceValue", {"A,3,0x05,0x01", "B,4,0x05,0x02"});
  EXPECT_TRUE(Load());
}

TEST_F(FlashTablesTest, CatalogueReferences) {
  spec_.SetItems("FlashDevice", {"Chip A,0xC2,3,1", "Chip B,0xEF,9,7"});
  // BitOffset comes first even when the sector structure is missing too.
  ExpectLoadFails(
      -9, OtherMessage("BitOffset of [FlashDevice] is not defined in [FlashDeviceValue]: '9'."));
  spec_.SetItems("FlashDevice", {"Chip A,0xC2,3,1", "Chip B,0xEF,4,7"});
  ExpectLoadFails(-9,
                  OtherMessage("FlashID of [FlashDevice] is not defined in [SectorStruct]: '7'."));
  // The value checks run before the catalogue checks.
  spec_.AppendItem("FlashDeviceValue", "Read C,4,0x07,0x03");
  ExpectLoadFails(-9, OtherMessage("[FlashDeviceValue] data is duplicate: '4,0x06,0x02'."));
}

TEST_F(FlashTablesTest, DuplicateCatalogueRows) {
  spec_.SetItems("FlashDevice", {"Chip A,0xC2,3,1", "Chip B,0xC2,3,2"});
  ExpectLoadFails(-9, OtherMessage("[FlashDevice] data is duplicate: '0xC2,3,1'."));
  spec_.SetItems("FlashDevice", {"Chip A,0xC2,3,1", "Chip B,0xC2,4,1", "Chip C,0x0A,4,2"});
  ASSERT_TRUE(Load());
  spec_.AppendItem("FlashDevice", "Chip D,0x0a,4,1");
  ExpectLoadFails(-9, OtherMessage("[FlashDevice] data is duplicate: '0x0A,4,2'."));
  // The tables read so far stay filled after a cross-check fault.
  EXPECT_EQ(config_.GetFlashDevices().size(), 4u);
}

TEST_F(FlashTablesTest, DescriptionAndDeviceValueOfAnEntry) {
  spec_.SetItems("FlashDevice", {"Chip A,0xC2,3,1", "Chip B,0xEF,4,2"});
  ASSERT_TRUE(Load());
  EXPECT_EQ(config_.DescribeDeviceEntry({0xC2, 3, 2}), "Chip A");  // catalogue row wins
  EXPECT_EQ(config_.DescribeDeviceEntry({0x11, 3, 2}), "Boot top");
  EXPECT_EQ(config_.DescribeDeviceEntry({0x11, 3, 9}), "");
  EXPECT_EQ(config_.FindDeviceValue({0x11, 4, 9}), (DeviceValue{4, 0x06, 0x02}));
  EXPECT_EQ(config_.FindDeviceValue({0x11, 5, 1}), std::nullopt);

  FlashDeviceTable devices;
  devices.names = {"First", "Second"};
  devices.data = {{0xC2, 3, 1}, {0xC2, 3, 2}};
  SectorStructTable sectors;
  sectors.names = {"S1", "S1 again"};
  sectors.data = {1, 1};
  EXPECT_EQ(DescribeDeviceEntry({0xC2, 3, 9}, devices, sectors), "First");
  EXPECT_EQ(DescribeDeviceEntry({0xC3, 3, 1}, devices, sectors), "S1");
}

TEST(FlashReaders, NeverThrowToTheCaller) {
  testdata::TempDir dir("qtk_flash");
  testdata::DescriptionSpec ini;
  ini.SetItems("SectorStruct", {"Layout,1", "Layout,x"});
  std::string path = dir.File("d.ini");
  ASSERT_TRUE(ini.Write(PathFromUtf8(path)));
  DescriptionReader reader;
  reader.SetDescriptionPath(path);
  ASSERT_TRUE(reader.ini().SetPath(path));
  SectorStructTable table;
  table.names = {"old"};
  table.data = {7};
  bool ok = true;
  EXPECT_NO_THROW(ok = ReadSectorStructs(reader, "SectorStruct", table));
  EXPECT_FALSE(ok);
  EXPECT_TRUE(table.empty());
  EXPECT_TRUE(table.data.empty());
  EXPECT_EQ(reader.GetLoadError().message,
            "Error: " + path + ":\r\n[SectorStruct] data is error.\r\n");
  DeviceValueTable values;
  EXPECT_NO_THROW(ok = ReadDeviceValues(reader, "Missing", values));
  EXPECT_FALSE(ok);
  EXPECT_EQ(reader.GetLoadError().code, -3);
}

}  // namespace
}  // namespace qtk
