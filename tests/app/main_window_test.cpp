#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>
#include <QStackedWidget>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <QVBoxLayout>
#include <filesystem>
#include <functional>

#include "app/about_box.h"
#include "app/app_startup.h"
#include "app/change_password_dialog.h"
#include "app/main_window.h"
#include "app/pages/page_registry.h"
#include "app/pages/page_view.h"
#include "app/qt_load_dialog_port.h"
#include "app/widgets/bitmap_push_button.h"
#include "common/utf8_path.h"
#include "demo/demo_set.h"
#include "drop_events.h"
#include "firmware/program_location.h"
#include "shell_fixtures.h"

using namespace qtk;
using shell_testing::DialogStep;
using shell_testing::FakePage;
using shell_testing::FakePages;
using shell_testing::ScriptedLoadDialog;
using shell_testing::ShellEnv;

namespace {

// A page view with one edit box; it can refuse to give its values up.
class FakeView : public PageView {
 public:
  FakeView(SettingsPage& model, QWidget* parent) : PageView(parent), model_(model) {
    edit = new QLineEdit(this);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QString::fromStdString(model.GetName()), this));
    layout->addWidget(edit);
  }
  SettingsPage& model() override { return model_; }
  void PutControls() override { ++puts; }

  QLineEdit* edit = nullptr;
  int puts = 0;

 private:
  SettingsPage& model_;
};

// Hands the main window a load dialog that a test scripts and keeps.
class ForwardingLoadDialog : public LoadDialogPort {
 public:
  explicit ForwardingLoadDialog(ScriptedLoadDialog& target) : target_(target) {}
  void SetLoadStatus(int status) override { target_.SetLoadStatus(status); }
  void SetRetryMark(bool on) override { target_.SetRetryMark(on); }
  bool ShowModal() override { return target_.ShowModal(); }
  bool GetLoadPaths(std::string& f, std::string& c) const override {
    return target_.GetLoadPaths(f, c);
  }
  std::string EnteredPassword() const override { return target_.EnteredPassword(); }

 private:
  ScriptedLoadDialog& target_;
};

// Runs `action` on the Load Firmware dialog each time it is shown.
class ShowScript : public QObject {
 public:
  using Action = std::function<void(LoadFirmwareDialog&)>;
  ShowScript(LoadFirmwareDialog& dialog, std::vector<Action> actions)
      : dialog_(dialog), actions_(std::move(actions)) {
    dialog_.installEventFilter(this);
  }
  size_t shown = 0;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched == &dialog_ && event->type() == QEvent::Show) {
      const size_t index = shown++;
      QTimer::singleShot(0, &dialog_, [this, index] {
        if (index < actions_.size())
          actions_[index](dialog_);
        else
          dialog_.reject();
      });
    }
    return QObject::eventFilter(watched, event);
  }

 private:
  LoadFirmwareDialog& dialog_;
  std::vector<Action> actions_;
};

ShowScript::Action Submit(std::string firmware, std::string password) {
  return [=](LoadFirmwareDialog& dialog) {
    dialog.FirmwarePathEdit()->setText(QString::fromStdString(firmware));
    dialog.PasswordEdit()->setText(QString::fromStdString(password));
    QTest::mouseClick(dialog.OkButton(), Qt::LeftButton);
  };
}

// Answers the next modal dialog that opens, once the event loop gets to it.
void OnNextModal(std::function<void(QWidget*)> action) {
  QTimer::singleShot(0, [action] { action(QApplication::activeModalWidget()); });
}

QStringList TreeLabels(QTreeWidget* tree) {
  QStringList labels;
  for (QTreeWidgetItemIterator it(tree); *it; ++it)
    labels << (*it)->text(0);
  return labels;
}

}  // namespace

class MainWindowTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<ShellEnv> env_;
  std::unique_ptr<FakePages> pages_;
  std::map<PageId, FakeView*> views_;
  RecordingDialogs dialogs_;
  ScriptedLoadDialog reload_;
  // The firmware path each Load Firmware dialog of the window was created with.
  std::vector<std::string> prefilled_;

  MainWindowSetup Setup() {
    MainWindowSetup setup;
    setup.dialogs = &dialogs_;
    setup.application_directory = env_->dir.path();
    setup.page_models = pages_->Factory();
    setup.page_views = [this](PageId id, SettingsPage& model, QWidget* parent) -> PageView* {
      auto* view = new FakeView(model, parent);
      views_[id] = view;
      return view;
    };
    setup.load_dialog =
        [this](QWidget*, const std::string& firmware_path) -> std::unique_ptr<LoadDialogPort> {
      prefilled_.push_back(firmware_path);
      return std::make_unique<ForwardingLoadDialog>(reload_);
    };
    return setup;
  }

  std::unique_ptr<MainWindow> Make(const std::function<void(FirmwareProject&)>& edit = {}) {
    auto project = env_->Open();
    if (project == nullptr)
      return nullptr;
    if (edit)
      edit(*project);
    auto window = std::make_unique<MainWindow>(std::move(*project), env_->session, Setup());
    window->show();
    pages_->log.clear();
    return window;
  }

  void Select(MainWindow& window, PageId id) { window.Tree()->setCurrentItem(window.TreeItem(id)); }

 private slots:
  void init() {
    env_ = std::make_unique<ShellEnv>();
    pages_ = std::make_unique<FakePages>();
    views_.clear();
    dialogs_ = RecordingDialogs();
    reload_ = ScriptedLoadDialog();
    prefilled_.clear();
  }

  // ---- Start-up ----

  void DefaultDescriptionLivesInTheApplicationDirectory() {
    // Joined with the system's separator, as the folder's own path names its parts.
    const char separator = static_cast<char>(std::filesystem::path::preferred_separator);
    QCOMPARE(DefaultConfigPath("/opt/qtk"),
             "/opt/qtk" + std::string(1, separator) + "QTK_K7720X.ini");
    QCOMPARE(ApplicationDirectory(), std::filesystem::current_path());
  }

  void StartUpCancelEndsWithoutAWindow() {
    LoadFirmwareMemory memory;
    QtLoadDialogPort port(memory, DefaultConfigPath(env_->dir.path()), dialogs_);
    ShowScript script(port.dialog(), {[](LoadFirmwareDialog& d) { d.reject(); }});
    StartupEnvironment environment{env_->dir.path(), &dialogs_,         nullptr,
                                   &memory,          pages_->Factory(), {}};
    QVERIFY(StartUp(environment, port) == nullptr);
    QCOMPARE(script.shown, size_t(1));
    QVERIFY(pages_->made.empty());
    QVERIFY(dialogs_.messages.empty());
  }

  void StartUpRetryFocusFollowsTheFailure() {
    LoadFirmwareMemory memory;
    QtLoadDialogPort port(memory, DefaultConfigPath(env_->dir.path()), dialogs_);
    QWidget* focus_after_password = nullptr;
    QWidget* focus_after_missing_file = nullptr;
    ShowScript script(port.dialog(), {Submit(env_->image_path(), "4321"),
                                      [&](LoadFirmwareDialog& d) {
                                        focus_after_password = d.focusWidget();
                                        QCOMPARE(d.FirmwarePathEdit()->text(),
                                                 QString::fromStdString(env_->image_path()));
                                        QVERIFY(d.PasswordEdit()->text().isEmpty());
                                        Submit(env_->dir.File("none.bin"), "1234")(d);
                                      },
                                      [&](LoadFirmwareDialog& d) {
                                        focus_after_missing_file = d.focusWidget();
                                        d.reject();
                                      }});
    StartupEnvironment environment{env_->dir.path(), &dialogs_,         nullptr,
                                   &memory,          pages_->Factory(), {}};
    QVERIFY(StartUp(environment, port) == nullptr);
    QCOMPARE(script.shown, size_t(3));
    QCOMPARE(focus_after_password, static_cast<QWidget*>(port.dialog().PasswordEdit()));
    QCOMPARE(focus_after_missing_file, static_cast<QWidget*>(port.dialog().FirmwareBrowseButton()));
    QCOMPARE(dialogs_.Texts(), (std::vector<std::string>{"The password is wrong, please try again!",
                                                         "Can not open firmware file."}));
  }

  void StartUpSuccessGivesTheMainWindow() {
    LoadFirmwareMemory memory;
    QtLoadDialogPort port(memory, DefaultConfigPath(env_->dir.path()), dialogs_);
    ShowScript script(port.dialog(), {Submit(env_->image_path(), "1234")});
    StartupEnvironment environment{env_->dir.path(), &dialogs_,         nullptr,
                                   &memory,          pages_->Factory(), {}};
    auto window = StartUp(environment, port);
    QVERIFY(window != nullptr);
    QCOMPARE(script.shown, size_t(1));
    window->show();
    QVERIFY(window->isVisible());
    QCOMPARE(window->FirmwarePathLabel()->text(), QString::fromStdString(env_->image_path()));
    QCOMPARE(window->model().session().current_password, std::string("1234"));
    QCOMPARE(window->model().pages().size(), qtk::kPageCount);
    QVERIFY(dialogs_.messages.empty());
  }

  // ---- The window ----

  void CaptionsTipsAndButtons() {
    auto window = Make();
    QCOMPARE(window->windowTitle(),
             QString("firmware.bin[*] - qtktool - QTK for K7720X Ver 3.0.0"));
    QCOMPARE(window->Tree()->toolTip(), QString("Click one branch to open a setting page"));
    QCOMPARE(window->FirmwarePathLabel()->text(), QString::fromStdString(env_->image_path()));
    QCOMPARE(window->FirmwarePathLabel()->toolTip(), QString("Current the open firmware file"));
    QCOMPARE(window->ConfigVersionCaption()->text(), QString("Config ver:"));
    QCOMPARE(window->ConfigVersionLabel()->text(), QString("2.0"));
    const QList<BitmapPushButton*> buttons = {
        window->LoadFirmwareButton(), window->SaveFirmwareButton(),   window->LoadSettingsButton(),
        window->SaveSettingsButton(), window->ChangePasswordButton(), window->ExitButton()};
    const QStringList captions = {"Load FW...",       "Save FW...",         "Load Settings",
                                  "Save Settings...", "Change password...", "Exit"};
    for (int i = 0; i < buttons.size(); ++i) {
      QCOMPARE(buttons[i]->text(), captions[i]);
      QVERIFY(!buttons[i]->StateImage(BitmapPushButton::State::Normal).isNull());
    }
    QCOMPARE(window->AboutButton()->text(), QString("About"));
    QVERIFY(window->AboutButton()->isHidden());
    QVERIFY(window->ChangePasswordButton()->isEnabled());
    // The Chunk page opens first, without the settings buttons.
    QCOMPARE(window->Tree()->currentItem()->text(0), QString("Chunk"));
    QCOMPARE(window->PageArea()->currentWidget(), static_cast<QWidget*>(views_[PageId::kGeneral]));
    QVERIFY(window->LoadSettingsButton()->isHidden());
    QVERIFY(window->SaveSettingsButton()->isHidden());
  }

  void TreeWithBothSwitchesClearStillStoresEveryPage() {
    auto description = testdata::RealisticDescription();
    description.Set("CommonConfig", "CustomerConfigEnable", 0);
    description.Set("CommonConfig", "OtaConfigEnable", 0);
    QVERIFY(description.Write(env_->config_path()));
    auto window = Make();
    QCOMPARE(TreeLabels(window->Tree()),
             QStringList({"Chunk", "Common", "Panel", "GPIO usage", "Tuner", "Language", "AV set",
                          "Key map", "Program set", "Serial flash"}));
    QCOMPARE(window->TreeItem(PageId::kGpioUsage)->parent(), window->TreeItem(PageId::kPanel));
    QVERIFY(window->TreeItem(PageId::kPanel)->isExpanded());
    QVERIFY(window->model().Page(PageId::kSystemSet) != nullptr);
    QTest::mouseClick(window->SaveFirmwareButton(), Qt::LeftButton);  // cancelled at the dialog
    // The shown page finishes its edit, then every page stores.
    QVERIFY(pages_->log.size() == qtk::kPageCount + 1);
    QCOMPARE(QString::fromStdString(pages_->log[0]), QString("Finish General"));
    QCOMPARE(QString::fromStdString(pages_->log[10]), QString("Store System set"));
    QCOMPARE(QString::fromStdString(pages_->log[12]), QString("Store OTA set"));
  }

  void TreeWithBothSwitchesSetNestsSystemSetUnderCommon() {
    auto window = Make();
    QCOMPARE(
        TreeLabels(window->Tree()),
        QStringList({"Chunk", "Common", "System set", "Panel", "GPIO usage", "Tuner", "Language",
                     "AV set", "Key map", "Program set", "Serial flash", "OTA set"}));
    QCOMPARE(window->TreeItem(PageId::kSystemSet)->parent(), window->TreeItem(PageId::kCommon));
  }

  void SettingsButtonsFollowTheSelectedPage() {
    auto window = Make();
    Select(*window, PageId::kPanel);
    QCOMPARE(window->PageArea()->currentWidget(), static_cast<QWidget*>(views_[PageId::kPanel]));
    QCOMPARE(window->LoadSettingsButton()->text(), QString("Load Panel..."));
    QVERIFY(!window->LoadSettingsButton()->isHidden());
    QVERIFY(!window->SaveSettingsButton()->isHidden());
    Select(*window, PageId::kGpioUsage);
    QCOMPARE(window->LoadSettingsButton()->text(), QString("Load Panel..."));
    Select(*window, PageId::kLanguage);
    QVERIFY(window->LoadSettingsButton()->isHidden());
    QVERIFY(window->SaveSettingsButton()->isHidden());
    QCOMPARE(window->LoadSettingsButton()->text(), QString("Load Panel..."));
    Select(*window, PageId::kCommon);
    QCOMPARE(window->LoadSettingsButton()->text(), QString("Load Settings..."));
    Select(*window, PageId::kOtaSet);
    QCOMPARE(window->LoadSettingsButton()->text(), QString("Load OTA..."));
    // Showing a page puts the model's values into its widgets again.
    const int puts = views_[PageId::kPanel]->puts;
    Select(*window, PageId::kPanel);
    QCOMPARE(views_[PageId::kPanel]->puts, puts + 1);
    QVERIFY(pages_->log.size() >= 1 && pages_->log.back() == "Validate OTA set");
  }

  void APageThatRefusesToBeLeftKeepsTheSelection() {
    auto window = Make();
    Select(*window, PageId::kTuner);
    pages_->Page(PageId::kTuner)->validate_answer = false;
    Select(*window, PageId::kKeyMap);
    QCOMPARE(window->Tree()->currentItem(), window->TreeItem(PageId::kTuner));
    QCOMPARE(window->PageArea()->currentWidget(), static_cast<QWidget*>(views_[PageId::kTuner]));
    QCOMPARE(window->LoadSettingsButton()->text(), QString("Load Tuner..."));
    QVERIFY(window->model().current_page() == PageId::kTuner);
  }

  void ExitAsksAndOnlyOkCloses() {
    auto window = Make();
    dialogs_.answers = {MessageAnswer::Cancel, MessageAnswer::Cancel, MessageAnswer::Ok};
    QTest::mouseClick(window->ExitButton(), Qt::LeftButton);
    QVERIFY(window->isVisible());
    window->close();  // the close box
    QVERIFY(window->isVisible());
    QTest::keyClick(window.get(), Qt::Key_Escape);
    QVERIFY(window->isVisible());
    QCOMPARE(dialogs_.messages.size(), size_t(2));
    QTest::mouseClick(window->ExitButton(), Qt::LeftButton);
    QVERIFY(!window->isVisible());
    for (const auto& message : dialogs_.messages) {
      QCOMPARE(message.text, std::string("Are you sure to EXIT?"));
      QVERIFY(message.icon == MessageIcon::Question);
      QVERIFY(message.buttons == MessageButtons::OkCancel);
    }
    QVERIFY(std::none_of(pages_->log.begin(), pages_->log.end(),
                         [](const std::string& e) { return e.rfind("Store", 0) == 0; }));
  }

  void EnterActsOnlyOnAFocusedPushButton() {
    auto window = Make();
    window->activateWindow();
    views_[PageId::kGeneral]->edit->setFocus();
    QTest::keyClick(views_[PageId::kGeneral]->edit, Qt::Key_Return);
    QVERIFY(window->isVisible());
    QVERIFY(dialogs_.messages.empty());
    QVERIFY(dialogs_.file_requests.empty());
    window->SaveFirmwareButton()->setFocus();
    QTest::keyClick(window->SaveFirmwareButton(), Qt::Key_Return);
    QCOMPARE(dialogs_.file_requests.size(), size_t(1));
    QCOMPARE(dialogs_.file_requests[0].filter,
             std::string("Firmware Files(*.bin)|*.bin|All Files (*.*)|*.*||"));
  }

  void SaveFirmwareWritesTheFileAndReports() {
    auto window = Make();
    const std::string output = env_->dir.File("saved.bin");
    dialogs_.chosen_paths = {output};
    QTest::mouseClick(window->SaveFirmwareButton(), Qt::LeftButton);
    QVERIFY(std::filesystem::exists(PathFromUtf8(output)));
    QCOMPARE(std::filesystem::file_size(PathFromUtf8(output)),
             std::filesystem::file_size(PathFromUtf8(env_->image_path())));
    QCOMPARE(dialogs_.Texts(), std::vector<std::string>{"Success to save the file."});
    // A second save onto the loaded file itself is refused with the path.
    dialogs_.chosen_paths = {env_->image_path()};
    QTest::mouseClick(window->SaveFirmwareButton(), Qt::LeftButton);
    QCOMPARE(dialogs_.LastText(), "Fault to save the file: \r\n" + env_->image_path());
  }

  void AStoreRefusalStopsTheSave() {
    auto window = Make();
    pages_->Page(PageId::kAvSet)->store_answer = false;
    dialogs_.chosen_paths = {env_->dir.File("never.bin")};
    QTest::mouseClick(window->SaveFirmwareButton(), Qt::LeftButton);
    QVERIFY(dialogs_.file_requests.empty());
    QVERIFY(dialogs_.messages.empty());
    QVERIFY(!std::filesystem::exists(env_->dir.path() / "never.bin"));
    QCOMPARE(QString::fromStdString(pages_->log.back()), QString("Store AV set"));
  }

  void ConfigVersionUsesTheLowNibbleOfByteOne() {
    auto window = Make([](FirmwareProject& project) { project.settings.SetU8(1, 0x12); });
    QCOMPARE(window->ConfigVersionLabel()->text(), QString("2.0"));
  }

  void AFailedReloadLeavesProjectAndLabels() {
    auto window = Make();
    ShellEnv other({.config_version = 1});
    reload_.steps = {{true, other.image_path(), other.config_path(), "0000"}};
    QTest::mouseClick(window->LoadFirmwareButton(), Qt::LeftButton);
    QCOMPARE(reload_.showings.size(), size_t(2));
    QCOMPARE(dialogs_.Texts(),
             std::vector<std::string>{"The password is wrong, please try again!"});
    QCOMPARE(window->FirmwarePathLabel()->text(), QString::fromStdString(env_->image_path()));
    QCOMPARE(window->ConfigVersionLabel()->text(), QString("2.0"));
    QCOMPARE(window->model().project().firmware_path, env_->image_path());
    QVERIFY(pages_->log.empty());

    reload_.steps = {other.Good()};
    Select(*window, PageId::kKeyMap);
    const int puts = views_[PageId::kTuner]->puts;
    QTest::mouseClick(window->LoadFirmwareButton(), Qt::LeftButton);
    QCOMPARE(window->FirmwarePathLabel()->text(), QString::fromStdString(other.image_path()));
    QCOMPARE(window->ConfigVersionLabel()->text(), QString("1.0"));
    QCOMPARE(views_[PageId::kTuner]->puts, puts + 1);
    QCOMPARE(window->Tree()->currentItem(), window->TreeItem(PageId::kKeyMap));
  }

  void ChangePasswordAndAboutOpenTheirDialogs() {
    auto window = Make();
    QString caption;
    OnNextModal([&](QWidget* modal) {
      auto* dialog = qobject_cast<ChangePasswordDialog*>(modal);
      if (dialog == nullptr)
        return;
      caption = dialog->windowTitle();
      dialog->reject();
    });
    QTest::mouseClick(window->ChangePasswordButton(), Qt::LeftButton);
    QCOMPARE(caption, QString("Change password"));

    QStringList texts;
    OnNextModal([&](QWidget* modal) {
      auto* box = qobject_cast<AboutBox*>(modal);
      if (box == nullptr)
        return;
      texts << box->windowTitle();
      for (QLabel* label : box->findChildren<QLabel*>())
        if (!label->text().isEmpty())
          texts << label->text();
      box->accept();
    });
    window->AboutButton()->click();
    QCOMPARE(texts, QStringList(
                        {"About QTK_K7720X", "qtktool", "Version 3.0.0", "qtk7720x " QTK_VERSION}));
    // The build's version is the project's, three dotted numbers.
    QVERIFY(QRegularExpression(QStringLiteral("^qtk7720x \\d+\\.\\d+\\.\\d+$"))
                .match(BuildVersionText())
                .hasMatch());
  }

  // ---- Desktop conventions ----

  void TheTitleFollowsTheLoadedFile() {
    auto window = Make();
    ShellEnv other;
    const std::string renamed = other.dir.File("second image.bin");
    std::filesystem::rename(PathFromUtf8(other.image_path()), PathFromUtf8(renamed));
    reload_.steps = {{true, renamed, other.config_path(), "1234"}};
    QTest::mouseClick(window->LoadFirmwareButton(), Qt::LeftButton);
    QCOMPARE(window->FirmwarePathLabel()->text(), QString::fromStdString(renamed));
    QCOMPARE(window->windowTitle(),
             QString("second image.bin[*] - qtktool - QTK for K7720X Ver 3.0.0"));
    // A failed reload keeps the title of the image still loaded.
    reload_.steps = {{true, other.dir.File("gone.bin"), other.config_path(), "1234"}};
    QTest::mouseClick(window->LoadFirmwareButton(), Qt::LeftButton);
    QCOMPARE(window->windowTitle(),
             QString("second image.bin[*] - qtktool - QTK for K7720X Ver 3.0.0"));
  }

  void KeyboardShortcutsPressTheCommandButtons() {
    auto window = Make();
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
    QCOMPARE(window->LoadFirmwareButton()->toolTip(), QString("Ctrl+O"));
    QCOMPARE(window->SaveFirmwareButton()->toolTip(), QString("Ctrl+S"));
    QCOMPARE(window->SaveSettingsButton()->toolTip(), QString("Ctrl+Shift+S"));
    QCOMPARE(window->ExitButton()->toolTip(), QString("Ctrl+Q"));
    // Typing in a page's field does not stop them.
    views_[PageId::kGeneral]->edit->setFocus();

    QTest::keyClick(window.get(), Qt::Key_O, Qt::ControlModifier);
    QCOMPARE(reload_.showings.size(), size_t(1));  // the Load Firmware dialog, cancelled
    QCOMPARE(prefilled_, std::vector<std::string>{""});

    QTest::keyClick(window.get(), Qt::Key_S, Qt::ControlModifier);
    QCOMPARE(dialogs_.file_requests.size(), size_t(1));
    QCOMPARE(dialogs_.file_requests[0].filter,
             std::string("Firmware Files(*.bin)|*.bin|All Files (*.*)|*.*||"));

    // "Save Settings..." is hidden on the Chunk page, and so its keys do nothing there.
    QTest::keyClick(window.get(), Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(dialogs_.file_requests.size(), size_t(1));
    Select(*window, PageId::kCommon);
    QTest::keyClick(window.get(), Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(dialogs_.file_requests.size(), size_t(2));
    QCOMPARE(dialogs_.file_requests[1].filter,
             std::string("Customized Setting(*.set)|*.set|All Files (*.*)|*.*||"));

    // Exit asks as the button does; only OK closes.
    dialogs_.answers = {MessageAnswer::Cancel, MessageAnswer::Ok};
    QTest::keyClick(window.get(), Qt::Key_Q, Qt::ControlModifier);
    QVERIFY(window->isVisible());
    QCOMPARE(dialogs_.LastText(), std::string("Are you sure to EXIT?"));
    QTest::keyClick(window.get(), Qt::Key_Q, Qt::ControlModifier);
    QVERIFY(!window->isVisible());
  }

  void DroppingAFirmwareFileOpensTheLoadDialogWithIt() {
    auto window = Make();
    ShellEnv other;
    const std::string dropped = other.dir.File("dropped.bin");
    std::filesystem::copy_file(PathFromUtf8(other.image_path()), PathFromUtf8(dropped));
    using testing::FileUrl;
    // Only one existing local file is taken.
    QVERIFY(!testing::DragAndDrop(window.get(), {FileUrl(dropped), FileUrl(other.image_path())}));
    QVERIFY(!testing::DragAndDrop(window.get(), {FileUrl(other.dir.path().string())}));
    QVERIFY(!testing::DragAndDrop(window.get(), {FileUrl(other.dir.File("none.bin"))}));
    QTest::qWait(20);
    QVERIFY(prefilled_.empty());

    // A drop on the page tree reaches the window.
    reload_.steps = {{true, dropped, other.config_path(), "1234"}};
    QVERIFY(testing::DragAndDrop(window->Tree(), {FileUrl(dropped)}));
    QTRY_COMPARE(prefilled_, std::vector<std::string>{dropped});
    QTRY_COMPARE(window->FirmwarePathLabel()->text(), QString::fromStdString(dropped));
    QCOMPARE(window->windowTitle(), QString("dropped.bin[*] - qtktool - QTK for K7720X Ver 3.0.0"));
    QVERIFY(dialogs_.messages.empty());
  }

  void ADroppedFileFillsTheRealLoadDialog() {
    LoadFirmwareMemory memory;
    QtLoadDialogPort port(memory, DefaultConfigPath(env_->dir.path()), dialogs_);
    ShowScript script(port.dialog(), {Submit(env_->image_path(), "1234")});
    StartupEnvironment environment{env_->dir.path(), &dialogs_,         nullptr,
                                   &memory,          pages_->Factory(), {}};
    auto window = StartUp(environment, port);
    QVERIFY(window != nullptr);
    window->show();
    ShellEnv other;
    const std::string dropped = other.dir.File("dropped image.bin");
    std::filesystem::copy_file(PathFromUtf8(other.image_path()), PathFromUtf8(dropped));

    QString shown_path;
    bool password_focused = false;
    auto* poll = new QTimer(window.get());
    poll->setInterval(10);
    connect(poll, &QTimer::timeout, [&, poll] {
      auto* dialog = qobject_cast<LoadFirmwareDialog*>(QApplication::activeModalWidget());
      if (dialog == nullptr)
        return;
      poll->stop();
      shown_path = dialog->FirmwarePathEdit()->text();
      password_focused = dialog->focusWidget() == dialog->PasswordEdit();
      QTest::keyClicks(dialog->PasswordEdit(), "1234");
      QTest::mouseClick(dialog->OkButton(), Qt::LeftButton);
    });
    poll->start();
    QVERIFY(testing::DragAndDrop(window.get(), {testing::FileUrl(dropped)}));
    QTRY_COMPARE(window->FirmwarePathLabel()->text(), QString::fromStdString(dropped));
    QCOMPARE(shown_path, QString::fromStdString(dropped));
    QVERIFY(password_focused);
    QCOMPARE(memory.last_firmware_path, dropped);
    QVERIFY(dialogs_.messages.empty());
  }

  void TheBuilderInstalledBesideTheProgramIsFoundThere() {
    // The test program stands where an installed qtktool would.
    QVERIFY(std::filesystem::is_regular_file(InstallationDirectory() /
                                             ExecutableFileName("main_window_test")));
  }

  void ScreenshotOfTheDemoImage() {
    std::string error;
    const std::filesystem::path demo = env_->dir.path() / "demo";
    QVERIFY2(demo::WriteDemoSet(demo, &error), error.c_str());
    LoadSession session;
    auto project =
        OpenFirmware((demo / demo::kDemoImageName).string(), (demo / "QTK_K7720X.ini").string(),
                     demo::kDemoPassword, session, dialogs_);
    QVERIFY(project != nullptr);
    MainWindowSetup setup;
    setup.dialogs = &dialogs_;
    setup.application_directory = demo;
    setup.page_models = CreatePageModel;
    setup.page_views = CreatePageView;
    MainWindow window(std::move(*project), session, std::move(setup));
    window.resize(900, 640);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QVERIFY(QDir().mkpath(QStringLiteral(QTK_ARTIFACT_DIR)));
    QVERIFY(window.grab().save(QStringLiteral(QTK_ARTIFACT_DIR "/main_window.png")));
    QCOMPARE(window.ConfigVersionLabel()->text(), QString("2.0"));
    QVERIFY(dialogs_.messages.empty());
  }
};

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
