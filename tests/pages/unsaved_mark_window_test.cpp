// The title's unsaved-changes mark as a user meets it: set by a typed value, a marked chunk, a
// setting file import and a password change; gone again when the value is typed back, the
// mark is cleared, the firmware is saved or another image is loaded.
#include <QTest>

#include "app/background_work.h"
#include "app/pages/common_page_view.h"
#include "app/pages/general_page_view.h"
#include "common/utf8_path.h"
#include "main_window_driver.h"

namespace qtk {

using testing::ImageFolder;
using testing::WindowDriver;

class UnsavedMarkWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void EveryKindOfChangeSetsTheMarkAndASaveOrLoadClearsIt() {
    ImageFolder folder;
    // The save runs as in the program: beside the window thread, its messages shown there.
    struct DriverBackground : LongWork {
      WindowDriver* driver = nullptr;
      bool Run(const std::string& caption, const std::function<bool(UserDialogs&)>& work) override {
        return BackgroundWork(driver->dialogs).Run(caption, work);
      }
    } background;
    WindowDriver d(folder, CreatePageModel, &background);
    background.driver = &d;
    QVERIFY(d.active);
    MainWindow& window = *d.window;
    QCOMPARE(window.windowTitle(),
             QStringLiteral("firmware.bin[*] - qtktool - QTK for K7720X Ver 3.0.0"));
    QVERIFY(!window.isWindowModified());

    // A typed value sets the mark; typing the old value back takes it away.
    auto* common = d.Open<CommonPageView>(PageId::kCommon);
    QVERIFY(common);
    const QString version = common->version()->text();
    QVERIFY(!window.isWindowModified());
    user::TypeOver(common->version(), "V9.9");
    QTRY_VERIFY(window.isWindowModified());
    user::TypeOver(common->version(), version);
    QTRY_VERIFY(!window.isWindowModified());

    // A setting file written is no firmware saved; a save cancelled in its file dialog neither.
    user::TypeOver(common->version(), "V9.9");
    QTRY_VERIFY(window.isWindowModified());
    const std::string setting_file = folder.dir.File("settings.set");
    d.dialogs.chosen_paths.push_back(setting_file);
    user::Click(window.SaveSettingsButton());
    QVERIFY(std::filesystem::exists(PathFromUtf8(setting_file)));
    QTest::qWait(20);
    QVERIFY(window.isWindowModified());
    user::Click(window.SaveFirmwareButton());  // no path chosen
    QTest::qWait(20);
    QVERIFY(window.isWindowModified());
    d.SaveFw("saved.bin");
    QCOMPARE(d.dialogs.Texts(), std::vector<std::string>{"Success to save the file."});
    QTRY_VERIFY(!window.isWindowModified());

    // A chunk marked for replacement, and the mark cleared again.
    auto* general = d.Open<GeneralPageView>(PageId::kGeneral);
    QVERIFY(general);
    const std::string emulator = folder.dir.File("emu.bin");
    testdata::WriteFile(emulator, testdata::PatternBytes(0x100, 9));
    user::ClickItem(general->chunk_list(), general->chunk_list()->topLevelItem(6));
    d.dialogs.chosen_paths.push_back(emulator);
    user::Click(general->replace_button());
    QTRY_VERIFY(window.isWindowModified());
    user::Click(general->clear_button());
    QTRY_VERIFY(!window.isWindowModified());

    // A setting file import counts even when it brings the values the pages show.
    common = d.Open<CommonPageView>(PageId::kCommon);
    d.dialogs.chosen_paths.push_back(setting_file);
    user::Click(window.LoadSettingsButton());
    QTRY_VERIFY(window.isWindowModified());
    QCOMPARE(common->version()->text(), QStringLiteral("V9.9"));
    d.SaveFw("imported.bin");
    QTRY_VERIFY(!window.isWindowModified());

    // A password change (what the dialog leaves in the session), then another image loaded.
    window.model().session().current_password = "5678";
    window.UpdateModifiedMark();
    QVERIFY(window.isWindowModified());
    ImageFolder other;
    d.Reload(other);
    QVERIFY(!window.isWindowModified());
    QCOMPARE(window.FirmwarePathLabel()->text(), QString::fromStdString(other.image_path()));
  }
};

}  // namespace qtk

QTEST_MAIN(qtk::UnsavedMarkWindowTest)
#include "unsaved_mark_window_test.moc"
