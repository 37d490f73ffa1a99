// The GPIO usage page model: the list per bus type, the cell rules with their message, the
// bus type written at once with the dynamic panel chunk it chooses, and the store.
#include "pages/gpio_usage_page.h"

#include <gtest/gtest.h>

#include "firmware/image/chunk_ids.h"
#include "page_env.h"

namespace qtk {
namespace {

using testing::PageEnv;
using Row = GpioUsagePage::Row;

class GpioUsagePageTest : public ::testing::Test {
 protected:
  GpioUsagePageTest() {
    CustomerSettings& s = env.settings();
    // Bus type 0 (six GPIO usages); pin 5 high active, pin 63 unused, bit 1 set on one pin.
    s.SetU8(record::kGpioBusType, 0x03);
    s.SetU8(record::kGpioUsageBlock + 0, 5 << 2 | 1);
    s.SetU8(record::kGpioUsageBlock + 1, 63 << 2);
    s.SetU8(record::kGpioUsageBlock + 2, 12 << 2 | 2);
    s.SetU8(record::kGpioUsageBlock + 22, 200);
    s.SetU8(record::kLedDigits, 0x4F);
    page.Load();
  }
  uint8_t Block(size_t id) const { return page.block()[id]; }

  PageEnv env;
  GpioUsagePage page{env.context};
};

TEST_F(GpioUsagePageTest, LoadShowsPinsPolaritiesAndValues) {
  EXPECT_EQ(page.bus_type.items, (std::vector<std::string>{"panel_74hc164.bin", "panel_pt6964.bin",
                                                           "panel_direct_gpio.bin"}));
  EXPECT_EQ(page.gpio_count(), 6);
  ASSERT_EQ(page.rows().size(), 8u);
  EXPECT_EQ(page.rows()[0], (Row{"Panel clock", 0, "5", "High active"}));
  EXPECT_EQ(page.rows()[1], (Row{"Panel data", 1, "63", ""}));
  EXPECT_EQ(page.rows()[2], (Row{"Key scan 1", 2, "12", "Low active"}));
  EXPECT_EQ(page.rows()[6], (Row{"Digit order", 22, "200", ""}));
  EXPECT_EQ(page.PolarChoices(0), (std::vector<std::string>{"Low active", "High active"}));
  EXPECT_TRUE(page.PolarChoices(1).empty());  // unused pin
  EXPECT_TRUE(page.PolarChoices(6).empty());  // value usage
  // The fill writes the GPIO count over the block's last byte and marks the panel chunk.
  EXPECT_EQ(env.settings().U8(record::kGpioUsageBlock + 23), 6);
  const ChunkEntry& panel = env.chunk(kDynamicPanelChunkId);
  EXPECT_TRUE(panel.replace);
  EXPECT_EQ(panel.replacement_path, (env.dir.path() / "panel_74hc164.bin").string());
}

TEST_F(GpioUsagePageTest, GpioNumberCells) {
  page.EditGpioNumber(0, " 62 ");
  EXPECT_EQ(Block(0), 62 << 2 | 1);
  EXPECT_EQ(page.rows()[0].polar, "High active");
  page.EditGpioNumber(2, "");  // empty: unused, bits 0-1 kept
  EXPECT_EQ(Block(2), 63 << 2 | 2);
  EXPECT_EQ(page.rows()[2], (Row{"Key scan 1", 2, "63", ""}));
  EXPECT_TRUE(env.dialogs.messages.empty());
  for (const char* bad : {"64", "100", "0062", "x"}) {
    env.dialogs.messages.clear();
    page.EditGpioNumber(0, bad);
    EXPECT_EQ(Block(0), 62 << 2 | 1) << bad;
    EXPECT_EQ(page.rows()[0].gpio, "62") << bad;
    EXPECT_EQ(env.dialogs.Texts(), std::vector<std::string>{"GPIO No. must be 0-62, Unused:63."})
        << bad;
  }
  page.EditGpioNumber(1, "0");  // a pin in use shows its polarity again
  EXPECT_EQ(page.rows()[1], (Row{"Panel data", 1, "0", "Low active"}));
}

TEST_F(GpioUsagePageTest, ValueCellsAndPolarCells) {
  page.EditGpioNumber(6, "300");
  EXPECT_EQ(Block(22), 255);
  page.EditGpioNumber(6, "17");
  EXPECT_EQ(page.rows()[6].gpio, "17");
  page.EditGpioNumber(6, "");
  EXPECT_EQ(Block(22), 255);
  page.EditGpioNumber(6, "99999999999");
  EXPECT_EQ(Block(22), 255);
  EXPECT_TRUE(env.dialogs.messages.empty());

  page.EditPolar(2, "High active");
  EXPECT_EQ(Block(2), 12 << 2 | 3);
  EXPECT_EQ(page.rows()[2].polar, "High active");
  page.EditPolar(1, "High active");  // unused pin: no polarity
  EXPECT_EQ(Block(1), 63 << 2);
  page.EditPolar(0, "Sideways");
  EXPECT_EQ(Block(0), 5 << 2 | 1);
}

TEST_F(GpioUsagePageTest, BusTypeIsWrittenAtOnceAndChoosesThePanelFile) {
  page.SelectBusType(2);
  EXPECT_EQ(env.settings().U8(record::kGpioBusType), 2 << 2 | 3);
  EXPECT_EQ(page.gpio_count(), 12);
  EXPECT_EQ(page.rows().size(), 13u);
  EXPECT_EQ(page.rows()[7], (Row{"Digit 1", 7, "0", "Low active"}));
  EXPECT_EQ(env.settings().U8(record::kGpioUsageBlock + 23), 12);
  EXPECT_EQ(env.chunk(kDynamicPanelChunkId).replacement_path,
            (env.dir.path() / "panel_direct_gpio.bin").string());
}

TEST_F(GpioUsagePageTest, StoreClearsTheLowBitsAndWritesTheBlock) {
  page.EditGpioNumber(0, "7");
  ASSERT_TRUE(page.Store());
  const CustomerSettings& s = env.settings();
  EXPECT_EQ(s.U8(record::kLedDigits), 0x40);
  EXPECT_EQ(s.U8(record::kGpioBusType), 0x00);
  EXPECT_EQ(s.U8(record::kGpioUsageBlock), 7 << 2 | 1);
  // The working copy's last byte replaces the GPIO count written by the fill.
  EXPECT_EQ(s.U8(record::kGpioUsageBlock + 23), 0);
  GpioUsagePage again(env.context);
  again.Load();
  EXPECT_EQ(again.rows(), page.rows());
}

TEST(GpioUsagePage, UsageIdOutsideTheBlockStopsTheList) {
  testdata::DescriptionSpec description = testdata::RealisticDescription();
  description.SetItems("GPIOUsage_0", {"Panel clock,0", "Panel data,1", "Bad,24", "Later,3"});
  PageEnv env({}, description);
  GpioUsagePage page(env.context);
  page.Load();
  EXPECT_EQ(env.dialogs.Texts(), std::vector<std::string>{"the GPIO usage ID is wrong!"});
  EXPECT_EQ(page.rows().size(), 2u);
}

TEST(GpioUsagePage, StoredBusTypeOutsideTheListShowsNothingAndMarksNothing) {
  PageEnv env;
  env.settings().SetU8(record::kGpioBusType, 9 << 2);
  GpioUsagePage page(env.context);
  page.Load();
  EXPECT_TRUE(page.rows().empty());
  EXPECT_FALSE(env.chunk(kDynamicPanelChunkId).replace);
  EXPECT_EQ(env.settings().U8(record::kGpioBusType), 9 << 2);
}

}  // namespace
}  // namespace qtk
