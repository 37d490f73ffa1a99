// The Serial flash page model and its edit dialog's rules: the list as shown, the catalogue
// devices that stay, New / Edit / Delete with every message, the store's question and
// duplicate refusal, the limit of 60, the import, and lists that survive a save and a load.
#include "pages/serial_flash_page.h"

#include <gtest/gtest.h>

#include <random>

#include "firmware/firmware_saver.h"
#include "page_env.h"
#include "pages/record_fields.h"
#include "settings/setting_file.h"
#include "testdata/saved_image.h"

namespace qtk {
namespace {

using testing::PageEnv;
using Rows = std::vector<SerialFlashPage::Row>;
namespace msg = serial_flash_messages;

// The standard record's list: two catalogue devices and one of the user's.
const Rows kStandardRows = {{"0xC2", "0x0B", "0x03", "MX25L1605D"},
                            {"0x1C", "0x03", "0x03", "EN25F16"},
                            {"0x9D", "0x03", "0x03", "Boot sectors at top"}};

void PutDevices(CustomerSettings& s, const std::vector<FlashDeviceEntry>& devices) {
  s.SetU16(record::kFlashDeviceCount, static_cast<uint16_t>(devices.size()));
  for (size_t i = 0; i < devices.size(); ++i) {
    s.SetU8(948 + 2 * i, devices[i].flash_id);
    s.SetU8(949 + 2 * i, devices[i].bit_offset);
    s.SetU8(1068 + i, devices[i].sector_struct);
  }
  s.RebuildFlashDevices();
}

class SerialFlashTest : public ::testing::Test {
 protected:
  void SetUp() override { page.Load(); }
  // New through the dialog: the flash ID typed, the two drop-downs picked, OK pressed.
  bool AddDevice(const std::string& id, int value, int sector) {
    FlashDeviceEditor editor = page.StartNew();
    editor.TypeFlashId(id);
    editor.device_value.Select(value);
    editor.sector_struct.Select(sector);
    const bool closed = page.AcceptEditor(editor);
    if (closed)
      page.Finish(editor);
    return closed;
  }
  PageEnv env;
  SerialFlashPage page{env.context};
};

TEST_F(SerialFlashTest, ListShowsIdCommandAddressAndDescriptionWithNoRowSelected) {
  EXPECT_TRUE(page.supported());
  EXPECT_EQ(page.Rows(), kStandardRows);
  EXPECT_EQ(page.selected(), -1);
  EXPECT_FALSE(page.EditEnabled());
  EXPECT_FALSE(page.DeleteEnabled());
  EXPECT_TRUE(page.NewEnabled());
  page.Select(2);
  EXPECT_TRUE(page.EditEnabled());
  EXPECT_TRUE(page.DeleteEnabled());
  page.Select(3);  // beyond the list: no selection
  EXPECT_FALSE(page.EditEnabled());
}

TEST_F(SerialFlashTest, ABitOffsetWithoutDeviceValueShowsEmptyCellsAndNoDescriptionIfUnknown) {
  PutDevices(env.settings(), {{0x01, 9, 7}, {0x02, 2, 2}});
  page.Load();
  EXPECT_EQ(page.Rows(),
            (Rows{{"0x01", "", "", ""}, {"0x02", "0x3B", "0x03", "Boot sectors at bottom"}}));
}

TEST_F(SerialFlashTest, CatalogueDevicesCanBeNeitherEditedNorDeleted) {
  page.Select(0);
  EXPECT_FALSE(page.StartEdit().has_value());
  page.Delete();
  page.Select(1);
  page.Delete();
  EXPECT_EQ(env.dialogs.Texts(),
            (std::vector<std::string>{msg::kCannotEdit, msg::kCannotDelete, msg::kCannotDelete}));
  EXPECT_EQ(page.Rows(), kStandardRows);
  // Without a selection the buttons do nothing at all.
  page.Select(-1);
  EXPECT_FALSE(page.StartEdit().has_value());
  page.Delete();
  EXPECT_EQ(env.dialogs.messages.size(), 3u);
}

TEST_F(SerialFlashTest, DeleteAsksFirstAndOnlyOkDeletes) {
  page.Select(2);
  env.dialogs.answers = {MessageAnswer::Cancel};
  page.Delete();
  EXPECT_EQ(page.Rows().size(), 3u);
  EXPECT_EQ(page.selected(), 2);
  page.Delete();
  EXPECT_EQ(page.Rows(), Rows(kStandardRows.begin(), kStandardRows.begin() + 2));
  EXPECT_EQ(page.selected(), -1);
  ASSERT_EQ(env.dialogs.messages.size(), 2u);
  for (const auto& m : env.dialogs.messages) {
    EXPECT_EQ(m.text, msg::kDeleteQuestion);
    EXPECT_EQ(m.buttons, MessageButtons::OkCancel);
  }
  // The project's list changes only when the page stores.
  EXPECT_EQ(env.settings().flash_devices().size(), 3u);
}

TEST_F(SerialFlashTest, NewDialogStartsEmptyOnTheFirstEntriesAndChecksTheFlashId) {
  FlashDeviceEditor editor = page.StartNew();
  EXPECT_FALSE(editor.editing());
  EXPECT_EQ(editor.flash_id, "");
  EXPECT_EQ(editor.device_value.items,
            (std::vector<std::string>{"Fast read", "Normal read", "Dual output read"}));
  EXPECT_EQ(editor.device_value.selection, 0);
  EXPECT_EQ(editor.sector_struct.items,
            (std::vector<std::string>{"Uniform 64KB sectors", "Boot sectors at top",
                                      "Boot sectors at bottom"}));
  EXPECT_EQ(editor.sector_struct.selection, 0);
  // Typing keeps hexadecimal digits only, two of them.
  editor.TypeFlashId("g1x2f3");
  EXPECT_EQ(editor.flash_id, "12");
  for (const char* bad : {"", "0", "00", " "}) {
    editor.flash_id = bad;
    EXPECT_FALSE(page.AcceptEditor(editor)) << bad;
    EXPECT_FALSE(editor.result());
  }
  EXPECT_EQ(env.dialogs.Texts(), std::vector<std::string>(4, flash_editor_messages::kFlashIdError));
}

TEST_F(SerialFlashTest, NewRefusesAnExistingIdWithTheSameDeviceValueOnly) {
  EXPECT_FALSE(AddDevice("c2", 0, 1));  // MX25L1605D with Fast read exists
  EXPECT_EQ(env.dialogs.Texts(), std::vector<std::string>{flash_editor_messages::kExists});
  EXPECT_TRUE(AddDevice("c2", 1, 1));  // same ID, another device value
  EXPECT_TRUE(AddDevice(" 1f", 2, 2));
  const Rows rows = page.Rows();
  ASSERT_EQ(rows.size(), 5u);
  EXPECT_EQ(rows[3], (SerialFlashPage::Row{"0xC2", "0x03", "0x03", "Boot sectors at top"}));
  EXPECT_EQ(rows[4], (SerialFlashPage::Row{"0x1F", "0x3B", "0x03", "Boot sectors at bottom"}));
  EXPECT_EQ(page.selected(), -1);
}

TEST_F(SerialFlashTest, CancelledDialogAddsNothing) {
  FlashDeviceEditor editor = page.StartNew();
  editor.TypeFlashId("44");
  editor.Cancel();
  page.Finish(editor);
  EXPECT_EQ(page.Rows(), kStandardRows);
}

TEST_F(SerialFlashTest, EditShowsTheEntryAndTakesEveryChangeTheUserMakes) {
  page.Select(2);
  std::optional<FlashDeviceEditor> editor = page.StartEdit();
  ASSERT_TRUE(editor);
  EXPECT_TRUE(editor->editing());
  EXPECT_EQ(editor->flash_id, "9D");
  EXPECT_EQ(editor->device_value.selection, 1);
  EXPECT_EQ(editor->sector_struct.selection, 1);
  // OK without a change leaves the entry as it was.
  ASSERT_TRUE(page.AcceptEditor(*editor));
  page.Finish(*editor);
  EXPECT_EQ(page.devices()[2], (FlashDeviceEntry{0x9D, 1, 1}));

  // Only the sector structure changed: the change is taken.
  page.Select(2);
  editor = page.StartEdit();
  editor->sector_struct.Select(2);
  ASSERT_TRUE(page.AcceptEditor(*editor));
  page.Finish(*editor);
  EXPECT_EQ(page.devices()[2], (FlashDeviceEntry{0x9D, 1, 2}));

  // The ID and device value of another entry are refused; the dialog stays open.
  page.Select(2);
  editor = page.StartEdit();
  editor->TypeFlashId("1C");
  EXPECT_FALSE(page.AcceptEditor(*editor));
  EXPECT_EQ(env.dialogs.LastText(), flash_editor_messages::kExists);
  editor->TypeFlashId("1d");
  ASSERT_TRUE(page.AcceptEditor(*editor));
  page.Finish(*editor);
  EXPECT_EQ(page.devices()[2], (FlashDeviceEntry{0x1D, 1, 2}));
  EXPECT_EQ(page.devices().size(), 3u);
}

TEST_F(SerialFlashTest, EditOfAnEntryOutsideTheTablesKeepsItsOwnValues) {
  PutDevices(env.settings(), {{0x01, 9, 7}});
  page.Load();
  page.Select(0);
  std::optional<FlashDeviceEditor> editor = page.StartEdit();
  ASSERT_TRUE(editor);
  EXPECT_EQ(editor->flash_id, "01");
  EXPECT_EQ(editor->device_value.selection, -1);
  EXPECT_EQ(editor->sector_struct.selection, -1);
  editor->TypeFlashId("2");
  ASSERT_TRUE(page.AcceptEditor(*editor));
  page.Finish(*editor);
  EXPECT_EQ(page.devices()[0], (FlashDeviceEntry{0x02, 9, 7}));
}

TEST_F(SerialFlashTest, NewIsDisabledAtSixtyAndComesBackAfterADelete) {
  std::vector<FlashDeviceEntry> devices;
  for (int i = 0; i < 59; ++i)
    devices.push_back({static_cast<uint8_t>(0x40 + i), 0, 0});
  PutDevices(env.settings(), devices);
  page.Load();
  EXPECT_TRUE(page.NewEnabled());
  ASSERT_TRUE(AddDevice("ee", 0, 0));
  EXPECT_EQ(page.devices().size(), 60u);
  EXPECT_FALSE(page.NewEnabled());
  FlashDeviceEditor editor = page.StartNew();  // a dialog opened before cannot pass the limit
  editor.TypeFlashId("ef");
  ASSERT_TRUE(page.AcceptEditor(editor));
  page.Finish(editor);
  EXPECT_EQ(page.devices().size(), 60u);
  page.Select(10);
  page.Delete();
  EXPECT_TRUE(page.NewEnabled());
}

TEST_F(SerialFlashTest, StoreAsksBeforeAnEmptyListAndRefusesDuplicates) {
  PutDevices(env.settings(), {});
  page.Load();
  env.dialogs.messages.clear();
  env.dialogs.answers = {MessageAnswer::No};
  EXPECT_FALSE(page.Store());
  ASSERT_EQ(env.dialogs.messages.size(), 1u);
  EXPECT_EQ(env.dialogs.messages[0].text, msg::kEmptyQuestion);
  EXPECT_EQ(env.dialogs.messages[0].buttons, MessageButtons::YesNo);
  EXPECT_TRUE(page.Store());  // answered Yes

  PutDevices(env.settings(), {{0x9D, 1, 1}, {0x9D, 2, 1}, {0x0A, 1, 0}, {0x0A, 1, 2}});
  page.Load();
  env.dialogs.messages.clear();
  EXPECT_FALSE(page.Store());
  EXPECT_EQ(env.dialogs.Texts(), std::vector<std::string>{"Error :The flash ID 0xA is duplicate."});
}

TEST_F(SerialFlashTest, StoreHandsTheListToTheProject) {
  ASSERT_TRUE(AddDevice("ab", 2, 1));
  ASSERT_TRUE(page.Store());
  ASSERT_EQ(env.settings().flash_devices().size(), 4u);
  EXPECT_EQ(env.settings().flash_devices()[3], (FlashDeviceEntry{0xAB, 2, 1}));
}

TEST(SerialFlashSupportOff, PageIsEmptyInactiveAndStoreLeavesTheProjectList) {
  testdata::DescriptionSpec d = testdata::RealisticDescription();
  d.Set("FlashDevice", "Support", 0);
  PageEnv env({}, d);
  SerialFlashPage page(env.context);
  page.Load();
  EXPECT_FALSE(page.supported());
  EXPECT_TRUE(page.Rows().empty());
  EXPECT_FALSE(page.NewEnabled());
  page.Select(0);
  EXPECT_FALSE(page.EditEnabled());
  EXPECT_TRUE(page.Store());
  EXPECT_TRUE(env.dialogs.messages.empty());
  EXPECT_EQ(env.settings().flash_devices().size(), 3u);
  // The copy-out writes an empty list all the same.
  CustomerSettings::Bytes out{};
  env.settings().CopyRecordOut(out, env.project->config.SupportsFlashDevices());
  EXPECT_TRUE(std::all_of(out.begin() + 944, out.begin() + 1128, [](uint8_t b) { return b == 0; }));
}

TEST_F(SerialFlashTest, ImportTakesBytes944To1127AndShowsTheNewList) {
  CustomerSettings::Bytes file = env.settings().bytes();
  for (size_t i = 0; i < file.size(); ++i)
    file[i] ^= 0x55;
  file[944] = 2;
  file[945] = 0;
  file[948] = 0x31, file[949] = 2, file[1068] = 0;
  file[950] = 0x32, file[951] = 0, file[1069] = 2;
  ASSERT_TRUE(AddDevice("77", 0, 0));  // not stored: the import replaces it
  const auto before = env.settings().bytes();
  page.ImportSettings(file);
  for (size_t i = 0; i < record::kSize; ++i) {
    const bool flash = i >= 944 && i < 1128;
    ASSERT_EQ(env.settings().bytes()[i], flash ? file[i] : before[i]) << i;
  }
  EXPECT_EQ(page.Rows(), (Rows{{"0x31", "0x3B", "0x03", "Uniform 64KB sectors"},
                               {"0x32", "0x0B", "0x03", "Boot sectors at bottom"}}));
  EXPECT_EQ(env.settings().flash_devices().size(), 2u);
  // A count beyond 60 is an empty list.
  file[944] = 61;
  page.ImportSettings(file);
  EXPECT_TRUE(page.Rows().empty());
  EXPECT_TRUE(env.settings().flash_devices().empty());
}

// Generated lists of distinct devices, edited through the page, stored and saved: the saved
// image loads again and gives back the same list, in the same order.
TEST(SerialFlashRoundTrip, GeneratedListsSurviveStoreSaveAndLoad) {
  std::mt19937 random(12);
  for (int run = 0; run < 12; ++run) {
    PageEnv env;
    SerialFlashPage page(env.context);
    page.Load();
    const int wanted = static_cast<int>(random() % 58) + (run == 0 ? 57 : 0);
    while (static_cast<int>(page.devices().size()) < std::min(wanted, 60)) {
      FlashDeviceEditor editor = page.StartNew();
      editor.TypeFlashId(HexText(static_cast<unsigned>(random() % 255 + 1), 2));
      editor.device_value.Select(static_cast<int>(random() % 3));
      editor.sector_struct.Select(static_cast<int>(random() % 3));
      if (page.AcceptEditor(editor))
        page.Finish(editor);
    }
    const std::vector<FlashDeviceEntry> expected = page.devices();
    ASSERT_TRUE(page.Store());
    const std::string out = env.dir.File("out.bin");
    ASSERT_EQ(SaveFirmware(*env.project, env.session, out, env.dialogs), SaveResult::kSaved);
    testdata::WriteFile(env.image_path(), testdata::ReadSavedImage(out).bytes);
    env.Reopen();
    SerialFlashPage again(env.context);
    again.Load();
    ASSERT_EQ(again.devices(), expected) << "run " << run;
    const std::vector<uint8_t> saved = testdata::ReadSavedImage(out).Record();
    EXPECT_EQ(saved[944] | saved[945] << 8, static_cast<int>(expected.size()));
  }
}

}  // namespace
}  // namespace qtk
