// "Save Settings..." and every "Load ..." of a setting file through the real main window and
// its real pages: the file dialogs, the messages, what each import takes into the record, what
// the pages show afterwards, and the bytes the next "Save FW..." writes.
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QTreeWidget>

#include "app/pages/common_page_view.h"
#include "app/pages/ota_page_view.h"
#include "app/pages/serial_flash_page_view.h"
#include "app/pages/tuner_page_view.h"
#include "app/widgets/filtered_line_edit.h"
#include "common/utf8_path.h"
#include "main_window_driver.h"
#include "settings/setting_file.h"

namespace qtk {

using testing::ImageFolder;
using testing::RecordDifferences;
using testing::WindowDriver;

namespace {

const CustomerSettings::Bytes& ProjectRecord(WindowDriver& d) {
  return d.window->model().project().settings.bytes();
}

// Clicks "Load ..." on the shown page and answers the file dialog with `path`.
void LoadSettings(WindowDriver& d, const std::optional<std::string>& path) {
  d.dialogs.chosen_paths.push_back(path);
  d.dialogs.messages.clear();
  d.dialogs.file_requests.clear();
  user::Click(d.window->LoadSettingsButton());
}

// A setting file that differs from the record in every byte, with a flash device list and OTA
// block the pages can show.
std::vector<uint8_t> ForeignFile(const CustomerSettings::Bytes& record) {
  std::vector<uint8_t> file(record.begin(), record.end());
  for (size_t i = 0; i < file.size(); ++i)
    file[i] = static_cast<uint8_t>(file[i] ^ (0x5A + i % 7));
  file[944] = 2, file[945] = 0;
  file[948] = 0x31, file[949] = 2, file[1068] = 0;
  file[950] = 0x32, file[951] = 0, file[1069] = 2;
  file[record::kOtaFrequency] = 0x10, file[record::kOtaFrequency + 1] = 0x27;  // 10000
  file[record::kOtaDiseqcInUse] = 2, file[record::kOtaDiseqcPort] = 3;
  return file;
}

struct Range {
  size_t first;
  size_t last;  // inclusive
};

// Bytes outside the ranges must be as before; inside, as the file has them.
std::string ImportDifferences(const CustomerSettings::Bytes& before,
                              const CustomerSettings::Bytes& after,
                              const std::vector<uint8_t>& file, const std::vector<Range>& ranges) {
  std::vector<uint8_t> expected(before.begin(), before.end());
  for (const Range& r : ranges) {
    for (size_t i = r.first; i <= r.last; ++i)
      expected[i] = file[i];
  }
  return RecordDifferences(expected, std::vector<uint8_t>(after.begin(), after.end()));
}

}  // namespace

class SettingsFileWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void SavedSettingsLoadedBackOnTheCommonPageLeaveTheRecordUnchanged() {
    ImageFolder folder;
    WindowDriver d(folder);
    QVERIFY(d.active);
    auto* common = d.Open<CommonPageView>(PageId::kCommon);
    QVERIFY(common);
    QCOMPARE(d.window->LoadSettingsButton()->text(), QStringLiteral("Load Settings..."));
    // An edit on another page reaches the file: every page stores before the save.
    auto* ota = d.Open<OtaPageView>(PageId::kOtaSet);
    user::TypeOver(ota->frequency(), "11111");
    QVERIFY(d.Open<CommonPageView>(PageId::kCommon));

    const std::string path = folder.dir.File("all.set");
    d.dialogs.chosen_paths.push_back("  " + path + "\t");
    user::Click(d.window->SaveSettingsButton());
    QCOMPARE(d.dialogs.Texts(), std::vector<std::string>{"Save setting file OK!"});
    QCOMPARE(d.dialogs.file_requests.back().filter,
             std::string("Customized Setting(*.set)|*.set|All Files (*.*)|*.*||"));
    QVERIFY(d.dialogs.file_requests.back().ask_before_overwrite);
    const std::vector<uint8_t> file = testdata::ReadFile(path);
    QCOMPARE(file.size(), size_t(1452));
    QCOMPARE(int(file[record::kOtaFrequency] | file[record::kOtaFrequency + 1] << 8), 11111);

    const testdata::SavedImage before = d.SaveFw("before.bin");
    LoadSettings(d, path);
    QCOMPARE(d.dialogs.Texts(), std::vector<std::string>{});  // no message reports success
    QCOMPARE(d.dialogs.file_requests.size(), size_t(1));
    QVERIFY(d.dialogs.file_requests[0].must_exist);
    QVERIFY(d.dialogs.file_requests[0].read_only_ticked);
    const testdata::SavedImage after = d.SaveFw("after.bin");
    QCOMPARE(d.dialogs.Texts(), std::vector<std::string>{"Success to save the file."});
    QCOMPARE(RecordDifferences(before.Record(), after.Record()), std::string());
    QCOMPARE(file, after.Record());
  }

  void AWholeFileOnTheCommonPageRefreshesEveryPageAndKeepsVersionAndPassword() {
    ImageFolder folder;
    WindowDriver d(folder);
    QVERIFY(d.active);
    auto* common = d.Open<CommonPageView>(PageId::kCommon);
    QVERIFY(common);
    user::TypeOver(common->version(), "NOT STORED");  // an unsaved edit the load replaces
    const CustomerSettings::Bytes before = ProjectRecord(d);
    std::vector<uint8_t> file(before.begin(), before.end());
    std::copy_n("FILE 2.0", 9, file.begin() + record::kVersionText);
    file[record::kConfigVersion] = 0x31;  // builder selector 3, configuration version 1
    std::fill_n(file.begin() + record::kPasswordWord0, 8, 0xEE);  // another image's password
    for (size_t i = 111; i < 124; ++i)
      file[i] ^= 0xFF;  // bytes no page shows come from the file too
    const std::vector<uint8_t> foreign = ForeignFile(before);
    std::copy(foreign.begin() + 944, foreign.begin() + 1128, file.begin() + 944);
    std::copy(foreign.begin() + 1416, foreign.end(), file.begin() + 1416);
    const std::string path = folder.dir.File("foreign.set");
    testdata::WriteFile(path, file);
    LoadSettings(d, path);
    QCOMPARE(d.dialogs.Texts(), std::vector<std::string>{});

    // The record is the file's, but for the configuration version (the selector comes from
    // the file) and the password words of the password in force.
    std::vector<uint8_t> expected = file;
    expected[record::kConfigVersion] = 0x32;
    std::copy_n(before.begin() + record::kPasswordWord0, 8,
                expected.begin() + record::kPasswordWord0);
    const CustomerSettings::Bytes& now = ProjectRecord(d);
    QCOMPARE(RecordDifferences(expected, std::vector<uint8_t>(now.begin(), now.end())),
             std::string());
    QCOMPARE(common->version()->text(), QStringLiteral("FILE 2.0"));
    QCOMPARE(d.window->ConfigVersionLabel()->text(), QStringLiteral("2.0"));
    auto* flash = d.Open<SerialFlashPageView>(PageId::kSerialFlash);
    QCOMPARE(flash->device_list()->topLevelItemCount(), 2);
    QCOMPARE(flash->device_list()->topLevelItem(0)->text(0), QStringLiteral("0x31"));
    auto* ota = d.Open<OtaPageView>(PageId::kOtaSet);
    QCOMPARE(ota->frequency()->text(), QStringLiteral("10000"));
    QCOMPARE(ota->diseqc()->currentText(), QStringLiteral("LNB4"));

    // The saved image opens with the password in force.
    const testdata::SavedImage saved = d.SaveFw("after.bin");
    QCOMPARE(d.dialogs.Texts(), std::vector<std::string>{"Success to save the file."});
    QVERIFY(saved.parsed);
    ImageFolder second;
    testdata::WriteFile(second.image_path(), saved.bytes);
    RecordingDialogs quiet;
    LoadSession session;
    QVERIFY(OpenFirmware(second.image_path(), second.config_path(), testing::kPassword, session,
                         quiet) != nullptr);
  }

  void EachPageImportTakesOnlyItsOwnBytes() {
    ImageFolder folder;
    WindowDriver d(folder);
    QVERIFY(d.active);
    const std::vector<uint8_t> file = ForeignFile(ProjectRecord(d));
    const std::string path = folder.dir.File("foreign.set");
    testdata::WriteFile(path, file);

    // Serial flash: bytes 944-1127, the list rebuilt and shown.
    auto* flash = d.Open<SerialFlashPageView>(PageId::kSerialFlash);
    QVERIFY(flash);
    CustomerSettings::Bytes before = ProjectRecord(d);
    LoadSettings(d, path);
    QCOMPARE(ImportDifferences(before, ProjectRecord(d), file, {{944, 1127}}), std::string());
    QCOMPARE(flash->device_list()->topLevelItemCount(), 2);
    QCOMPARE(flash->device_list()->topLevelItem(1)->text(3),
             QStringLiteral("Boot sectors at bottom"));
    QCOMPARE(d.window->model().project().settings.flash_devices().size(), size_t(2));

    // OTA set: bytes 1416-1451, the page shows them.
    auto* ota = d.Open<OtaPageView>(PageId::kOtaSet);
    QVERIFY(ota);
    user::TypeOver(ota->symbol_rate(), "1");  // unsaved: the import replaces it
    before = ProjectRecord(d);
    LoadSettings(d, path);
    QCOMPARE(ImportDifferences(before, ProjectRecord(d), file, {{1416, 1451}}), std::string());
    QCOMPARE(ota->frequency()->text(), QStringLiteral("10000"));
    QCOMPARE(ota->symbol_rate()->text(),
             QString::number(file[record::kOtaSymbolRate] | file[record::kOtaSymbolRate + 1] << 8));

    // Tuner: bytes 43, 110, 144-163 and 1160-1415; the page's load then puts its parameter
    // entries in the description's order, so only the bytes outside are compared exactly.
    auto* tuner = d.Open<TunerPageView>(PageId::kTuner);
    QVERIFY(tuner);
    QCOMPARE(d.window->LoadSettingsButton()->text(), QStringLiteral("Load Tuner..."));
    before = ProjectRecord(d);
    LoadSettings(d, path);
    CustomerSettings::Bytes now = ProjectRecord(d);
    for (size_t i = 1160; i <= 1415; ++i)
      now[i] = file[i];
    QCOMPARE(ImportDifferences(before, now, file, {{43, 43}, {110, 110}, {144, 163}, {1160, 1415}}),
             std::string());
    QCOMPARE(tuner->quality_zoom()->text(), QString::number(file[43] * 10));
  }

  void RefusedAndCancelledLoadsChangeNothingAndSayWhy() {
    ImageFolder folder;
    WindowDriver d(folder);
    QVERIFY(d.active);
    QVERIFY(d.Open<OtaPageView>(PageId::kOtaSet));
    const CustomerSettings::Bytes before = ProjectRecord(d);

    LoadSettings(d, std::nullopt);
    LoadSettings(d, std::string("   "));
    QCOMPARE(d.dialogs.messages.size(), size_t(0));

    const std::string missing = folder.dir.File("missing.set");
    LoadSettings(d, missing);
    QCOMPARE(d.dialogs.Texts(),
             std::vector<std::string>{"Can not open setting file " + missing + "!"});

    const std::string short_file = folder.dir.File("short.set");
    testdata::WriteFile(short_file, std::vector<uint8_t>(495, 0x11));
    LoadSettings(d, short_file);
    QCOMPARE(d.dialogs.Texts(),
             std::vector<std::string>{"Can not load old config file, please use the old version "
                                      "bin tool(lower then ver2.0)!"});

    const std::string big = folder.dir.File("big.set");
    testdata::WriteFile(big, std::vector<uint8_t>(0x800, 0x22));
    LoadSettings(d, big);
    QCOMPARE(d.dialogs.Texts(),
             std::vector<std::string>{"the setting file size of " + big + " is too big!"});
    QCOMPARE(d.dialogs.messages[0].icon, MessageIcon::Error);
    QCOMPARE(
        RecordDifferences(std::vector<uint8_t>(before.begin(), before.end()),
                          std::vector<uint8_t>(ProjectRecord(d).begin(), ProjectRecord(d).end())),
        std::string());

    // A 496-byte file on the Common page replaces bytes 0-495 only.
    QVERIFY(d.Open<CommonPageView>(PageId::kCommon));
    const std::string prefix = folder.dir.File("prefix.set");
    std::vector<uint8_t> head(before.begin(), before.begin() + 496);
    head[record::kVersionText] = 'X';
    head[495] ^= 0xFF;
    testdata::WriteFile(prefix, head);
    LoadSettings(d, prefix);
    QCOMPARE(d.dialogs.Texts(), std::vector<std::string>{});
    std::vector<uint8_t> expected(before.begin(), before.end());
    expected[record::kVersionText] = 'X';
    expected[495] ^= 0xFF;
    QCOMPARE(RecordDifferences(
                 expected, std::vector<uint8_t>(ProjectRecord(d).begin(), ProjectRecord(d).end())),
             std::string());
  }

  void ASettingFileThatCannotBeCreatedIsReportedWithItsPath() {
    ImageFolder folder;
    WindowDriver d(folder);
    QVERIFY(d.active);
    QVERIFY(d.Open<OtaPageView>(PageId::kOtaSet));
    QVERIFY(!d.window->SaveSettingsButton()->isHidden());
    const std::string path = folder.dir.File("no such folder/ota.set");
    d.dialogs.chosen_paths.push_back(path);
    user::Click(d.window->SaveSettingsButton());
    QCOMPARE(d.dialogs.Texts(), std::vector<std::string>{"Can not open setting file " + path});
    QVERIFY(!std::filesystem::exists(PathFromUtf8(path)));
    // Cancelled or blank: nothing is written and nothing is said.
    d.dialogs.messages.clear();
    d.dialogs.chosen_paths = {std::nullopt, std::string(" \t ")};
    user::Click(d.window->SaveSettingsButton());
    user::Click(d.window->SaveSettingsButton());
    QVERIFY(d.dialogs.messages.empty());
  }

  void APageThatRefusesToStoreStopsSaveSettingsBeforeItsDialog() {
    std::vector<testdata::ChunkSpec> chunks = testdata::StandardChunks({});
    std::fill(chunks.back().data.begin() + 944, chunks.back().data.begin() + 1128, 0);
    ImageFolder folder({}, testdata::RealisticDescription(), &chunks);
    WindowDriver d(folder);
    QVERIFY(d.active);
    QVERIFY(d.Open<CommonPageView>(PageId::kCommon));
    d.dialogs.answers = {MessageAnswer::No};
    d.dialogs.chosen_paths.push_back(folder.dir.File("never.set"));
    user::Click(d.window->SaveSettingsButton());
    QCOMPARE(d.dialogs.Texts(),
             std::vector<std::string>{"Warning: Flash device is empty! Are you sure to save?"});
    QVERIFY(d.dialogs.file_requests.empty());
    QVERIFY(!std::filesystem::exists(folder.dir.path() / "never.set"));
  }
};

}  // namespace qtk

QTEST_MAIN(qtk::SettingsFileWindowTest)
#include "settings_file_window_test.moc"
