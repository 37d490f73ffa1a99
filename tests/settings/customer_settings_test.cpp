#include "settings/customer_settings.h"

#include <gtest/gtest.h>

#include <numeric>

namespace qtk {
namespace {

CustomerSettings::Bytes Counting() {
  CustomerSettings::Bytes bytes;
  std::iota(bytes.begin(), bytes.end(), uint8_t{0});
  return bytes;
}

void PutCount(CustomerSettings::Bytes& b, uint16_t count) {
  b[record::kFlashDeviceCount] = static_cast<uint8_t>(count);
  b[record::kFlashDeviceCount + 1] = static_cast<uint8_t>(count >> 8);
}

TEST(CustomerSettings, CopyInRebuildsTheFlashDeviceList) {
  auto bytes = Counting();
  PutCount(bytes, 2);
  CustomerSettings s;
  s.CopyRecordIn(bytes);
  ASSERT_EQ(s.flash_devices().size(), 2u);
  EXPECT_EQ(s.flash_devices()[1], (FlashDeviceEntry{bytes[950], bytes[951], bytes[1069]}));
}

TEST(CustomerSettings, FlashDeviceCountOutsideOneToSixtyGivesAnEmptyList) {
  CustomerSettings s;
  for (uint16_t count : {0, 61, 0xFFFF}) {
    auto bytes = Counting();
    PutCount(bytes, count);
    s.CopyRecordIn(bytes);
    EXPECT_TRUE(s.flash_devices().empty()) << count;
  }
  auto bytes = Counting();
  PutCount(bytes, 60);
  s.CopyRecordIn(bytes);
  EXPECT_EQ(s.flash_devices().size(), 60u);
}

TEST(CustomerSettings, CopyOutWritesTheListBackOnlyWithFlashSupport) {
  auto bytes = Counting();
  PutCount(bytes, 61);  // stale list area: cleared by the copy-out
  CustomerSettings s;
  s.CopyRecordIn(bytes);
  CustomerSettings::Bytes out{};
  s.CopyRecordOut(out, true);
  EXPECT_EQ(out[944], 0);
  EXPECT_EQ(out[945], 0);
  for (size_t i = 948; i < 1128; ++i)
    ASSERT_EQ(out[i], 0) << i;
  for (size_t i = 0; i < 944; ++i)
    ASSERT_EQ(out[i], bytes[i]) << i;
  for (size_t i = 1128; i < record::kSize; ++i)
    ASSERT_EQ(out[i], bytes[i]) << i;

  s.flash_devices() = {{0xC2, 3, 1}, {0xEF, 4, 2}};
  s.CopyRecordOut(out, true);
  EXPECT_EQ(out[944], 2);
  EXPECT_EQ(out[948], 0xC2);
  EXPECT_EQ(out[949], 3);
  EXPECT_EQ(out[950], 0xEF);
  EXPECT_EQ(out[1068], 1);
  EXPECT_EQ(out[1069], 2);
  EXPECT_EQ(out[952], 0);

  s.CopyRecordOut(out, false);
  EXPECT_EQ(out[944], 0);
  EXPECT_EQ(out[948], 0);
  EXPECT_EQ(out[1068], 0);
}

TEST(CustomerSettings, CopyInThenOutGivesBackAValidRecordUnchanged) {
  auto bytes = Counting();
  PutCount(bytes, 3);
  std::fill(bytes.begin() + 948 + 6, bytes.begin() + 1068, 0);
  std::fill(bytes.begin() + 1068 + 3, bytes.begin() + 1128, 0);
  CustomerSettings s;
  s.CopyRecordIn(bytes);
  CustomerSettings::Bytes out{};
  s.CopyRecordOut(out, true);
  EXPECT_EQ(out, bytes);
}

TEST(CustomerSettings, ListLongerThanSixtyIsCutAtTheSlots) {
  CustomerSettings s;
  s.flash_devices().assign(70, {1, 2, 3});
  CustomerSettings::Bytes out{};
  s.CopyRecordOut(out, true);
  EXPECT_EQ(out[944], 60);
  EXPECT_EQ(out[1127], 3);
  EXPECT_EQ(out[1128], 0);
}

TEST(CustomerSettings, CharacterTableStaysInsideThePanelBlock) {
  CustomerSettings::Bytes bytes{};
  bytes[204] = 60;
  bytes[208] = 0x30;
  bytes[209] = 0xFC;
  CustomerSettings s;
  s.CopyRecordIn(bytes);
  ASSERT_EQ(s.character_table().size(), 60u);
  EXPECT_EQ(s.character_table()[0], 0xFC30);
  bytes[204] = 0xFF;
  bytes[205] = 0xFF;
  s.CopyRecordIn(bytes);
  EXPECT_EQ(s.character_table().size(), 94u);  // up to offset 395
}

TEST(CustomerSettings, LittleEndianFieldAccess) {
  CustomerSettings s;
  s.SetU16(146, 0x1234);
  s.SetU32(192, 0xA1B2C3D4u);
  EXPECT_EQ(s.U8(146), 0x34);
  EXPECT_EQ(s.U16(146), 0x1234);
  EXPECT_EQ(s.U8(195), 0xA1);
  EXPECT_EQ(s.U32(192), 0xA1B2C3D4u);
  EXPECT_THROW(s.U32(1450), std::out_of_range);
}

}  // namespace
}  // namespace qtk
