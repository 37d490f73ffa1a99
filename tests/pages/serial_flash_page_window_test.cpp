// The Serial flash page as a user works it in the main window: selecting rows, the refusals on
// catalogue devices, New and Edit through the "Edit Serial Flash Device" dialog, Delete with
// its question, page switches in between, "Save FW..." and the list loaded back.
#include <QComboBox>
#include <QTest>
#include <QTreeWidget>

#include "app/pages/flash_device_dialog.h"
#include "app/pages/serial_flash_page_view.h"
#include "app/widgets/filtered_line_edit.h"
#include "main_window_driver.h"
#include "modal_dialog.h"

namespace qtk {

using testing::ExpectedRecord;
using testing::ImageFolder;
using testing::RecordDifferences;
using testing::WindowDriver;

namespace {

// The list's rows as the user reads them.
std::vector<QStringList> ShownRows(const QTreeWidget* list) {
  std::vector<QStringList> rows;
  for (int r = 0; r < list->topLevelItemCount(); ++r) {
    QStringList cells;
    for (int c = 0; c < list->columnCount(); ++c)
      cells << list->topLevelItem(r)->text(c);
    rows.push_back(cells);
  }
  return rows;
}

void ClickRow(QTreeWidget* list, int row) {
  const QRect rect = list->visualItemRect(list->topLevelItem(row));
  QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rect.center());
}

std::vector<uint8_t> RecordWithDevices(std::vector<FlashDeviceEntry> devices) {
  std::vector<uint8_t> r = testdata::MakeRecord(2);
  std::fill(r.begin() + 944, r.begin() + 1128, 0);
  r[944] = static_cast<uint8_t>(devices.size());
  for (size_t i = 0; i < devices.size(); ++i) {
    r[948 + 2 * i] = devices[i].flash_id;
    r[949 + 2 * i] = devices[i].bit_offset;
    r[1068 + i] = devices[i].sector_struct;
  }
  return r;
}

}  // namespace

class SerialFlashPageWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void NewEditAndRefusalsReachTheSavedImageAndLoadBack() {
    ImageFolder folder;
    WindowDriver d(folder);
    QVERIFY(d.active);
    const testdata::SavedImage before = d.SaveFw("before.bin");
    QVERIFY(before.parsed);
    auto* view = d.Open<SerialFlashPageView>(PageId::kSerialFlash);
    QVERIFY(view);
    QCOMPARE(d.window->LoadSettingsButton()->text(), QStringLiteral("Load Flash..."));
    QTreeWidget* list = view->device_list();
    QCOMPARE(ShownRows(list),
             (std::vector<QStringList>{{"0xC2", "0x0B", "0x03", "MX25L1605D"},
                                       {"0x1C", "0x03", "0x03", "EN25F16"},
                                       {"0x9D", "0x03", "0x03", "Boot sectors at top"}}));
    QVERIFY(!view->edit_button()->isEnabled());
    QVERIFY(!view->delete_button()->isEnabled());
    QVERIFY(view->new_button()->isEnabled());

    // Catalogue devices stay as the firmware supports them.
    d.dialogs.messages.clear();
    ClickRow(list, 1);
    QVERIFY(view->edit_button()->isEnabled());
    user::Click(view->edit_button());
    user::Click(view->delete_button());
    QCOMPARE(
        d.dialogs.Texts(),
        (std::vector<std::string>{"Can not edit this flash device, it is supported internal.",
                                  "Can not delete this flash device, it is supported internal."}));

    // New: a zero ID is refused and the dialog stays open for another try.
    user::WhenDialogOpens<FlashDeviceDialog>([](FlashDeviceDialog* dialog) {
      QCOMPARE(dialog->windowTitle(), QStringLiteral("Edit Serial Flash Device"));
      QCOMPARE(dialog->flash_id()->text(), QString());
      QCOMPARE(dialog->device_value()->currentText(), QStringLiteral("Fast read"));
      QCOMPARE(dialog->sector_struct()->currentText(), QStringLiteral("Uniform 64KB sectors"));
      user::TypeOver(dialog->flash_id(), "0x0");  // the x is dropped as it is typed
      QCOMPARE(dialog->flash_id()->text(), QStringLiteral("00"));
      user::Click(dialog->ok_button());
      QVERIFY(dialog->isVisible());
      user::TypeOver(dialog->flash_id(), "1f");
      user::Pick(dialog->device_value(), "Dual output read");
      user::Pick(dialog->sector_struct(), "Boot sectors at bottom");
      user::Click(dialog->ok_button());
    });
    user::Click(view->new_button());
    QCOMPARE(d.dialogs.LastText(), std::string("Flash ID is error."));
    QCOMPARE(list->topLevelItemCount(), 4);
    QCOMPARE(ShownRows(list)[3], (QStringList{"0x1F", "0x3B", "0x03", "Boot sectors at bottom"}));
    QVERIFY(!view->edit_button()->isEnabled());  // the refilled list has no selection

    QVERIFY(d.Open<PageView>(PageId::kOtaSet));
    view = d.Open<SerialFlashPageView>(PageId::kSerialFlash);
    QCOMPARE(list->topLevelItemCount(), 4);

    // Edit the user's device: the dialog shows it; only the sector structure changes.
    ClickRow(list, 2);
    user::WhenDialogOpens<FlashDeviceDialog>([](FlashDeviceDialog* dialog) {
      QCOMPARE(dialog->flash_id()->text(), QStringLiteral("9D"));
      QCOMPARE(dialog->device_value()->currentText(), QStringLiteral("Normal read"));
      user::Pick(dialog->sector_struct(), "Uniform 64KB sectors");
      user::Click(dialog->ok_button());
    });
    user::Click(view->edit_button());
    QCOMPARE(ShownRows(list)[2], (QStringList{"0x9D", "0x03", "0x03", "Uniform 64KB sectors"}));

    // Edit the new device into one that exists: refused, then cancelled.
    ClickRow(list, 3);
    user::WhenDialogOpens<FlashDeviceDialog>([](FlashDeviceDialog* dialog) {
      user::TypeOver(dialog->flash_id(), "c2");
      user::Pick(dialog->device_value(), "Fast read");
      user::Click(dialog->ok_button());
      QVERIFY(dialog->isVisible());
      user::Click(dialog->cancel_button());
    });
    user::Click(view->edit_button());
    QCOMPARE(d.dialogs.LastText(), std::string("The flash device is exist already."));
    QCOMPARE(ShownRows(list)[3], (QStringList{"0x1F", "0x3B", "0x03", "Boot sectors at bottom"}));
    QVERIFY(d.Screenshot("page_serial_flash.png"));

    const testdata::SavedImage after = d.SaveFw("after.bin");
    QCOMPARE(d.dialogs.Texts(), std::vector<std::string>{"Success to save the file."});
    QVERIFY(after.parsed);
    const ExpectedRecord expected = ExpectedRecord(before.Record())
                                        .U16(944, 4)
                                        .U8(1070, 0)
                                        .U8(954, 0x1F)
                                        .U8(955, 2)
                                        .U8(1071, 2);
    QCOMPARE(RecordDifferences(expected.bytes(), after.Record()), std::string());
    QCOMPARE(testing::OtherChunkDifferences(before, after), std::string());

    // The saved image loads again with the same list.
    ImageFolder second;
    testdata::WriteFile(second.image_path(), after.bytes);
    d.Reload(second);
    view = d.Open<SerialFlashPageView>(PageId::kSerialFlash);
    QVERIFY(view);
    QCOMPARE(ShownRows(view->device_list()),
             (std::vector<QStringList>{{"0xC2", "0x0B", "0x03", "MX25L1605D"},
                                       {"0x1C", "0x03", "0x03", "EN25F16"},
                                       {"0x9D", "0x03", "0x03", "Uniform 64KB sectors"},
                                       {"0x1F", "0x3B", "0x03", "Boot sectors at bottom"}}));
  }

  void DeleteAsksAndAnEmptyListAsksBeforeTheSave() {
    std::vector<testdata::ChunkSpec> chunks = testdata::StandardChunks({});
    chunks.back().data = RecordWithDevices({{0x9D, 1, 1}, {0x20, 0, 2}});
    ImageFolder folder({}, testdata::RealisticDescription(), &chunks);
    WindowDriver d(folder);
    QVERIFY(d.active);
    auto* view = d.Open<SerialFlashPageView>(PageId::kSerialFlash);
    QVERIFY(view);
    QTreeWidget* list = view->device_list();
    ClickRow(list, 0);
    d.dialogs.answers = {MessageAnswer::Cancel};
    user::Click(view->delete_button());
    QCOMPARE(list->topLevelItemCount(), 2);
    user::Click(view->delete_button());
    QCOMPARE(ShownRows(list),
             (std::vector<QStringList>{{"0x20", "0x0B", "0x03", "Boot sectors at bottom"}}));
    ClickRow(list, 0);
    user::Click(view->delete_button());
    QCOMPARE(list->topLevelItemCount(), 0);
    QCOMPARE(d.dialogs.Texts(),
             std::vector<std::string>(3, "Are you sure want to delete this flash device?"));

    // "No" to the empty list stops the save before its file dialog.
    d.dialogs.answers = {MessageAnswer::No};
    d.dialogs.chosen_paths.push_back(folder.dir.File("refused.bin"));
    d.dialogs.messages.clear();
    user::Click(d.window->SaveFirmwareButton());
    QCOMPARE(d.dialogs.Texts(),
             std::vector<std::string>{"Warning: Flash device is empty! Are you sure to save?"});
    QCOMPARE(d.dialogs.chosen_paths.size(), size_t(1));
    d.dialogs.chosen_paths.clear();

    const testdata::SavedImage after = d.SaveFw("empty.bin");  // answered Yes
    QVERIFY(after.parsed);
    const std::vector<uint8_t> saved = after.Record();
    QVERIFY(
        std::all_of(saved.begin() + 944, saved.begin() + 1128, [](uint8_t b) { return b == 0; }));
  }

  void WithoutSupportThePageIsInactiveAndTheListIsWrittenEmpty() {
    testdata::DescriptionSpec description = testdata::RealisticDescription();
    description.Set("FlashDevice", "Support", 0);
    ImageFolder folder({}, description);
    WindowDriver d(folder);
    QVERIFY(d.active);
    auto* view = d.Open<SerialFlashPageView>(PageId::kSerialFlash);
    QVERIFY(view);
    QCOMPARE(view->device_list()->topLevelItemCount(), 0);
    QVERIFY(!view->device_list()->isEnabled());
    QVERIFY(!view->new_button()->isEnabled());
    QVERIFY(!view->edit_button()->isEnabled());
    QVERIFY(!view->delete_button()->isEnabled());
    const testdata::SavedImage after = d.SaveFw("after.bin");
    QCOMPARE(d.dialogs.Texts(), std::vector<std::string>{"Success to save the file."});
    const std::vector<uint8_t> saved = after.Record();
    QVERIFY(
        std::all_of(saved.begin() + 944, saved.begin() + 1128, [](uint8_t b) { return b == 0; }));
  }
};

}  // namespace qtk

QTEST_MAIN(qtk::SerialFlashPageWindowTest)
#include "serial_flash_page_window_test.moc"
