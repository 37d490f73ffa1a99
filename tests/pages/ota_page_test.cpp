// The OTA set page model: what Load shows, what Store writes byte by byte, the reading rules
// of the hexadecimal texts and typed drop-downs, and the import of a setting file.
#include "pages/ota_page.h"

#include <gtest/gtest.h>

#include "page_env.h"
#include "settings/setting_file.h"

namespace qtk {
namespace {

using testing::PageEnv;

// Bytes 1416-1451 as the record holds them.
std::vector<uint8_t> OtaBytes(const CustomerSettings& s) {
  return {s.bytes().begin() + record::kOtaBlock, s.bytes().end()};
}

void PutOta(CustomerSettings& s) {
  s.SetU16(record::kOtaFrequency, 11747);
  s.SetU16(record::kOtaSymbolRate, 27500);
  s.SetU16(record::kOtaPid, 0x1FFE);
  s.SetU16(record::kOtaLnbFrequencyH, 10600);
  s.SetU32(record::kOtaSystemOui, 0x00ABCDEF);
  s.SetU16(record::kOtaHardwareModel, 0x0001);
  s.SetU16(record::kOtaHardwareVersion, 0xA0B0);
  s.SetU16(record::kOtaSoftwareModel, 0x0C00);
  s.SetU16(record::kOtaSoftwareVersion, 0);
  s.SetU16(record::kOtaLnbFrequencyV, 9750);
  s.SetU8(record::kOtaLnbType, 1);
  s.SetU8(record::kOtaPolarity, 1);
  s.SetU8(1440, 0x77);  // not the page's byte
  s.SetU8(record::kOtaDiseqcInUse, 5);
  s.SetU8(record::kOtaDiseqcPort, 2);
  s.SetU8(record::kOta22kTone, 1);
  s.SetU8(record::kOtaEnable, 1);
  for (size_t i = 1445; i < 1450; ++i)
    s.SetU8(i, static_cast<uint8_t>(0xE0 + i - 1445));
}

TEST(OtaPage, LoadShowsDecimalsHexWithoutLeadingZerosAndTheChoices) {
  PageEnv env;
  PutOta(env.settings());
  OtaPage page(env.context);
  page.Load();
  EXPECT_EQ(page.frequency(), 11747);
  EXPECT_EQ(page.symbol_rate(), 27500);
  EXPECT_EQ(page.lnb_frequency_h(), 10600);
  EXPECT_EQ(page.lnb_frequency_v(), 9750);
  EXPECT_EQ(page.pid, "1ffe");
  EXPECT_EQ(page.oui, "abcdef");
  EXPECT_EQ(page.hardware_model, "1");
  EXPECT_EQ(page.hardware_version, "a0b0");
  EXPECT_EQ(page.software_model, "c00");
  EXPECT_EQ(page.software_version, "0");
  EXPECT_EQ(page.polarity.text, "V");
  EXPECT_EQ(page.lnb_type.text, "User");
  EXPECT_EQ(page.diseqc.text, "LNB3");  // any non-zero "in use" byte counts
  EXPECT_EQ(page.tone_22k.text, "ON");
  EXPECT_EQ(page.ota_enable.text, "ON");
  EXPECT_EQ(page.diseqc.combo.items,
            (std::vector<std::string>{"OFF", "LNB1", "LNB2", "LNB3", "LNB4"}));
  EXPECT_EQ(page.lnb_type.combo.items, (std::vector<std::string>{"Standard", "User", "Universal"}));
}

TEST(OtaPage, StoreAfterLoadGivesBackTheBlockWithTheMarkerAndDiseqcInUseAsTwo) {
  PageEnv env;
  CustomerSettings& s = env.settings();
  PutOta(s);
  s.SetU16(record::kOtaMarker, 0);
  std::vector<uint8_t> expected = OtaBytes(s);
  expected[record::kOtaDiseqcInUse - record::kOtaBlock] = 2;
  expected[record::kOtaMarker - record::kOtaBlock] = 'O';
  expected[record::kOtaMarker + 1 - record::kOtaBlock] = 'T';
  const auto before = s.bytes();
  OtaPage page(env.context);
  page.Load();
  ASSERT_TRUE(page.Store());
  EXPECT_EQ(OtaBytes(s), expected);
  EXPECT_TRUE(std::equal(before.begin(), before.begin() + record::kOtaBlock, s.bytes().begin()));
  EXPECT_TRUE(env.dialogs.messages.empty());
}

TEST(OtaPage, StoreReadsTheTextsAsTyped) {
  PageEnv env;
  CustomerSettings& s = env.settings();
  OtaPage page(env.context);
  page.Load();
  page.SetFrequency(12380);
  page.SetSymbolRate(99999);  // above the 16-bit field: the largest value it holds
  EXPECT_EQ(page.symbol_rate(), 65535);
  page.SetLnbFrequencyH(0);
  page.SetLnbFrequencyV(65535);
  page.pid = "";                  // an empty PID is the default 0x100
  page.oui = "FfFfFf";            // both cases
  page.hardware_model = "xyz";    // not hexadecimal: 0
  page.hardware_version = "";     // empty: 0
  page.software_model = "12345";  // beyond the 16-bit field: 0
  page.software_version = "beef";
  ASSERT_TRUE(page.Store());
  EXPECT_EQ(s.U16(record::kOtaFrequency), 12380);
  EXPECT_EQ(s.U16(record::kOtaSymbolRate), 65535);
  EXPECT_EQ(s.U16(record::kOtaLnbFrequencyH), 0);
  EXPECT_EQ(s.U16(record::kOtaLnbFrequencyV), 65535);
  EXPECT_EQ(s.U16(record::kOtaPid), 0x100);
  EXPECT_EQ(s.U32(record::kOtaSystemOui), 0xFFFFFFu);
  EXPECT_EQ(s.U16(record::kOtaHardwareModel), 0);
  EXPECT_EQ(s.U16(record::kOtaHardwareVersion), 0);
  EXPECT_EQ(s.U16(record::kOtaSoftwareModel), 0);
  EXPECT_EQ(s.U16(record::kOtaSoftwareVersion), 0xBEEF);
  page.pid = "0";  // typed zero is zero, not the default
  ASSERT_TRUE(page.Store());
  EXPECT_EQ(s.U16(record::kOtaPid), 0);
}

struct ChoiceCase {
  std::string polarity, lnb_type, diseqc, tone, enable;
  // Bytes 1438, 1439, 1441, 1442, 1443, 1444.
  std::array<uint8_t, 6> stored;
};

class OtaChoices : public ::testing::TestWithParam<ChoiceCase> {};

TEST_P(OtaChoices, TypedOrPickedTextsStoreTheirBytes) {
  PageEnv env;
  CustomerSettings& s = env.settings();
  PutOta(s);
  OtaPage page(env.context);
  page.Load();
  const ChoiceCase& c = GetParam();
  page.polarity.Type(c.polarity);
  page.lnb_type.Type(c.lnb_type);
  page.diseqc.Type(c.diseqc);
  page.tone_22k.Type(c.tone);
  page.ota_enable.Type(c.enable);
  ASSERT_TRUE(page.Store());
  const std::array<uint8_t, 6> stored = {s.U8(1438), s.U8(1439), s.U8(1441),
                                         s.U8(1442), s.U8(1443), s.U8(1444)};
  EXPECT_EQ(stored, c.stored);
  EXPECT_EQ(s.U8(1440), 0x77);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, OtaChoices,
    ::testing::Values(ChoiceCase{"H", "Standard", "OFF", "OFF", "OFF", {0, 0, 0, 0, 0, 0}},
                      ChoiceCase{"V", "User", "LNB1", "ON", "ON", {1, 1, 2, 0, 1, 1}},
                      ChoiceCase{"H", "Universal", "LNB4", "OFF", "ON", {0, 0, 2, 3, 0, 1}},
                      // Texts that name no entry store as the first entry, DiSEqC off.
                      ChoiceCase{"v", "", "LNB5", "on", "yes", {0, 0, 0, 0, 0, 0}}));

TEST(OtaPage, PickingAnEntryReplacesTheTypedText) {
  EditableChoice choice;
  choice.Fill({"OFF", "ON"}, 7);
  EXPECT_EQ(choice.text, "");
  EXPECT_EQ(choice.Value(), 0);
  choice.Type("OFFF");
  EXPECT_FALSE(choice.combo.HasSelection());
  choice.Pick(1);
  EXPECT_EQ(choice.text, "ON");
  EXPECT_EQ(choice.Value(), 1);
}

TEST(OtaPage, ImportTakesOnlyTheOtaBlockAndShowsIt) {
  PageEnv env;
  CustomerSettings& s = env.settings();
  OtaPage page(env.context);
  page.Load();
  page.SetFrequency(1);  // not stored: the import replaces it
  CustomerSettings::Bytes file{};
  for (size_t i = 0; i < file.size(); ++i)
    file[i] = static_cast<uint8_t>(i * 7 + 3);
  const auto before = s.bytes();
  page.ImportSettings(file);
  for (size_t i = 0; i < record::kSize; ++i) {
    const bool ota = i >= record::kOtaBlock;
    ASSERT_EQ(s.bytes()[i], ota ? file[i] : before[i]) << i;
  }
  EXPECT_EQ(page.frequency(), s.U16(record::kOtaFrequency));
  EXPECT_NE(page.frequency(), 1);
}

}  // namespace
}  // namespace qtk
