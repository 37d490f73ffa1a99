#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "app/model/change_password_form.h"
#include "app/model/firmware_load_loop.h"
#include "app/model/main_window_model.h"
#include "app/model/main_window_texts.h"
#include "common/utf8_path.h"
#include "firmware/firmware_saver.h"
#include "firmware/password_words.h"
#include "pages/page_list.h"
#include "settings/setting_file.h"
#include "shell_fixtures.h"
#include "testdata/saved_image.h"

namespace qtk {
namespace {

using shell_testing::DialogStep;
using shell_testing::EventLog;
using shell_testing::FakePages;
using shell_testing::ScriptedLoadDialog;
using shell_testing::ShellEnv;

// Records what the model asks of its window.
class RecordingView : public MainWindowViewPort {
 public:
  void PutPageControls(PageId page) override { put.push_back(page); }
  void RefreshLabels() override { ++label_refreshes; }

  std::vector<PageId> put;
  int label_refreshes = 0;
};

// ---- The load loop ----

TEST(LoadFirmwareFromDialog, CancelReturnsNothingAfterOneShowing) {
  ScriptedLoadDialog dialog;
  LoadSession session;
  RecordingDialogs dialogs;
  EXPECT_EQ(LoadFirmwareFromDialog(dialog, session, dialogs), nullptr);
  ASSERT_EQ(dialog.showings.size(), 1u);
  EXPECT_EQ(dialog.showings[0].load_status, 0);
  EXPECT_FALSE(dialog.showings[0].retry_mark);
  EXPECT_TRUE(dialogs.messages.empty());
}

TEST(LoadFirmwareFromDialog, IncompletePathsShowTheDialogAgainUnchanged) {
  ShellEnv env;
  ScriptedLoadDialog dialog;
  dialog.steps = {{true, "", env.config_path(), "1234"},
                  {true, env.image_path(), env.config_path(), "999"},
                  {true, env.image_path(), "", "1234"},
                  {false, "", "", ""}};
  LoadSession session;
  RecordingDialogs dialogs;
  EXPECT_EQ(LoadFirmwareFromDialog(dialog, session, dialogs), nullptr);
  ASSERT_EQ(dialog.showings.size(), 4u);
  // No firmware path: shown again as before, without a message.
  EXPECT_FALSE(dialog.showings[1].retry_mark);
  EXPECT_EQ(dialog.showings[1].load_status, 0);
  // The wrong password marks the retry; the missing description path keeps the mark.
  EXPECT_TRUE(dialog.showings[2].retry_mark);
  EXPECT_EQ(dialog.showings[2].load_status, -3);
  EXPECT_TRUE(dialog.showings[3].retry_mark);
  EXPECT_EQ(dialog.showings[3].load_status, -3);
  EXPECT_EQ(dialogs.Texts(), std::vector<std::string>{load_messages::kWrongPassword});
}

TEST(LoadFirmwareFromDialog, FailuresMarkTheRetryWithTheirStatusUntilALoadSucceeds) {
  ShellEnv env;
  ScriptedLoadDialog dialog;
  dialog.steps = {{true, env.dir.File("missing.bin"), env.config_path(), "1234"},
                  {true, env.image_path(), env.dir.File("missing.ini"), "1234"},
                  {true, env.image_path(), env.config_path(), "123"},
                  env.Good()};
  LoadSession session;
  RecordingDialogs dialogs;
  auto project = LoadFirmwareFromDialog(dialog, session, dialogs);
  ASSERT_NE(project, nullptr);
  EXPECT_EQ(project->firmware_path, env.image_path());
  EXPECT_EQ(session.current_password, "1234");
  ASSERT_EQ(dialog.showings.size(), 4u);
  EXPECT_EQ(dialog.showings[1].load_status, -1);
  EXPECT_EQ(dialog.showings[2].load_status, -2);
  EXPECT_EQ(dialog.showings[3].load_status, -3);
  for (size_t i = 1; i < 4; ++i)
    EXPECT_TRUE(dialog.showings[i].retry_mark);
  EXPECT_EQ(dialogs.Texts(),
            (std::vector<std::string>{
                load_messages::kCannotOpenFirmware,
                std::string(load_messages::kCannotOpenConfig) + env.dir.File("missing.ini"),
                load_messages::kWrongPassword}));
}

// ---- The main window model over fake pages ----

class MainWindowModelTest : public ::testing::Test {
 protected:
  std::unique_ptr<MainWindowModel> Make() {
    auto project = env.Open();
    EXPECT_NE(project, nullptr);
    MainWindowModel::Environment environment;
    environment.dialogs = &dialogs;
    environment.application_directory = env.dir.path();
    environment.page_factory = pages.Factory();
    auto model =
        std::make_unique<MainWindowModel>(std::move(*project), env.session, std::move(environment));
    model->SetView(&view);
    pages.log.clear();
    return model;
  }

  ShellEnv env;
  FakePages pages;
  RecordingDialogs dialogs;
  RecordingView view;
};

TEST_F(MainWindowModelTest, PagesAreMadeAndLoadedInPageOrderOverTheOwnedProject) {
  pages.missing = {PageId::kLanguage};
  auto project = env.Open();
  MainWindowModel::Environment environment{&dialogs, env.dir.path(), nullptr, pages.Factory()};
  MainWindowModel model(std::move(*project), env.session, environment);
  std::vector<std::string> expected;
  for (const auto& info : kPageTable) {
    if (info.id != PageId::kLanguage)
      expected.push_back("Load " + std::string(info.name));
  }
  EXPECT_EQ(pages.log, expected);
  ASSERT_EQ(model.pages().size(), 11u);
  EXPECT_EQ(model.Page(PageId::kLanguage), nullptr);
  const PageContext& context = pages.Page(PageId::kTuner)->context();
  EXPECT_EQ(context.project, &model.project());
  EXPECT_EQ(context.session, &model.session());
  EXPECT_EQ(context.shared, &model.shared());
  EXPECT_EQ(context.application_directory, env.dir.path());
}

std::string Describe(const std::vector<PageTreeItem>& items) {
  std::string out;
  for (const auto& item : items) {
    if (!out.empty())
      out += "|";
    out += item.label;
    if (!item.children.empty())
      out += "[" + Describe(item.children) + "]";
  }
  return out;
}

struct TreeCase {
  uint8_t customer_config;
  uint8_t ota_config;
  const char* tree;
};

class PageTreeTest : public MainWindowModelTest, public ::testing::WithParamInterface<TreeCase> {};

TEST_P(PageTreeTest, FollowsTheTwoSwitches) {
  auto model = Make();
  model->project().config.switches.customer_config_enable = GetParam().customer_config;
  model->project().config.switches.ota_config_enable = GetParam().ota_config;
  EXPECT_EQ(Describe(model->TreeItems()), GetParam().tree);
}

INSTANTIATE_TEST_SUITE_P(
    Switches, PageTreeTest,
    ::testing::Values(
        TreeCase{1, 1,
                 "Chunk|Common[System set]|Panel[GPIO usage]|Tuner|Language|AV set|Key map|"
                 "Program set|Serial flash|OTA set"},
        TreeCase{1, 0,
                 "Chunk|Common[System set]|Panel[GPIO usage]|Tuner|Language|AV set|Key map|"
                 "Program set|Serial flash"},
        TreeCase{0, 1,
                 "Chunk|Common|Panel[GPIO usage]|Tuner|Language|AV set|Key map|Program set|"
                 "Serial flash|OTA set"},
        TreeCase{0, 0,
                 "Chunk|Common|Panel[GPIO usage]|Tuner|Language|AV set|Key map|Program set|"
                 "Serial flash"}));

TEST_F(MainWindowModelTest, TreeLeavesOutMissingPagesAndLiftsTheirChildren) {
  pages.missing = {PageId::kCommon, PageId::kGeneral, PageId::kTuner};
  auto model = Make();
  const auto tree = model->TreeItems([](PageId id) { return id != PageId::kGpioUsage; });
  EXPECT_EQ(Describe(tree),
            "System set|Panel|Language|AV set|Key map|Program set|"
            "Serial flash|OTA set");
  EXPECT_EQ(MainWindowModel::InitialPage(tree), PageId::kSystemSet);
  EXPECT_EQ(MainWindowModel::InitialPage({}), std::nullopt);
}

TEST_F(MainWindowModelTest, SettingsButtonsFollowThePageAndKeepTheLabelWhereHidden) {
  auto model = Make();
  EXPECT_EQ(MainWindowModel::InitialPage(model->TreeItems()), PageId::kGeneral);
  EXPECT_EQ(model->LoadSettingsLabel(), "Load Settings");
  model->OpenPage(PageId::kGeneral);
  EXPECT_FALSE(model->SettingsButtonsVisible());
  EXPECT_EQ(model->LoadSettingsLabel(), "Load Settings");

  const std::vector<std::pair<PageId, std::pair<const char*, bool>>> steps = {
      {PageId::kCommon, {"Load Settings...", true}},
      {PageId::kPanel, {"Load Panel...", true}},
      {PageId::kGpioUsage, {"Load Panel...", true}},
      {PageId::kLanguage, {"Load Panel...", false}},
      {PageId::kKeyMap, {"Load IR...", true}},
      {PageId::kSystemSet, {"Load IR...", false}},
      {PageId::kSerialFlash, {"Load Flash...", true}},
      {PageId::kProgramSet, {"Load Flash...", false}},
      {PageId::kTuner, {"Load Tuner...", true}},
      {PageId::kAvSet, {"Load Tuner...", false}},
      {PageId::kOtaSet, {"Load OTA...", true}},
      {PageId::kGeneral, {"Load OTA...", false}},
  };
  for (const auto& [page, expected] : steps) {
    ASSERT_TRUE(model->SwitchPage(page));
    EXPECT_EQ(model->current_page(), page);
    EXPECT_EQ(model->LoadSettingsLabel(), expected.first) << InfoOf(page).name;
    EXPECT_EQ(model->SettingsButtonsVisible(), expected.second) << InfoOf(page).name;
  }
}

TEST_F(MainWindowModelTest, ARefusedValidationKeepsThePageWithoutTouchingTheRecord) {
  auto model = Make();
  model->OpenPage(PageId::kTuner);
  const auto record = model->project().settings.bytes();
  pages.Page(PageId::kTuner)->validate_answer = false;
  EXPECT_FALSE(model->SwitchPage(PageId::kPanel));
  EXPECT_EQ(model->current_page(), PageId::kTuner);
  EXPECT_EQ(model->LoadSettingsLabel(), "Load Tuner...");
  pages.Page(PageId::kTuner)->validate_answer = true;
  EXPECT_TRUE(model->SwitchPage(PageId::kPanel));
  EXPECT_EQ(pages.log, (EventLog{"Validate Tuner", "Validate Tuner"}));
  EXPECT_EQ(model->project().settings.bytes(), record);
}

TEST_F(MainWindowModelTest, StatusLineTexts) {
  auto model = Make();
  EXPECT_EQ(model->FirmwarePathText(), env.image_path());
  EXPECT_EQ(model->ConfigVersionText(), "2.0");
  model->project().settings.SetU8(1, 0x12);
  EXPECT_EQ(model->ConfigVersionText(), "2.0");
  model->project().settings.SetU8(1, 0xF1);
  EXPECT_EQ(model->ConfigVersionText(), "1.0");
}

TEST_F(MainWindowModelTest, ExitAsksWithOkCancelAndTheQuestionIcon) {
  auto model = Make();
  dialogs.answers = {MessageAnswer::Cancel, MessageAnswer::Ok};
  EXPECT_FALSE(model->ConfirmExit());
  EXPECT_TRUE(model->ConfirmExit());
  ASSERT_EQ(dialogs.messages.size(), 2u);
  EXPECT_EQ(dialogs.messages[0].text, "Are you sure to EXIT?");
  EXPECT_EQ(dialogs.messages[0].icon, MessageIcon::Question);
  EXPECT_EQ(dialogs.messages[0].buttons, MessageButtons::OkCancel);
  EXPECT_TRUE(pages.log.empty());
}

// ---- Saving ----

std::vector<std::string> Stores(const EventLog& log) {
  std::vector<std::string> out;
  for (const auto& entry : log) {
    if (entry.rfind("Store ", 0) == 0)
      out.push_back(entry);
  }
  return out;
}

TEST_F(MainWindowModelTest, SaveFirmwareStoresEveryPageThenWritesTheImage) {
  auto model = Make();
  model->OpenPage(PageId::kGeneral);
  const std::string output = env.dir.File("out.bin");
  dialogs.chosen_paths = {output};
  ASSERT_TRUE(model->SaveFirmwareCommand());
  std::vector<std::string> expected = {"Finish General"};
  for (const auto& info : kPageTable)
    expected.push_back("Store " + std::string(info.name));
  EXPECT_EQ(pages.log, expected);
  ASSERT_EQ(dialogs.file_requests.size(), 1u);
  EXPECT_EQ(dialogs.file_requests[0].filter, "Firmware Files(*.bin)|*.bin|All Files (*.*)|*.*||");
  EXPECT_TRUE(dialogs.file_requests[0].ask_before_overwrite);
  EXPECT_EQ(dialogs.Texts(), std::vector<std::string>{"Success to save the file."});
  EXPECT_EQ(std::filesystem::file_size(PathFromUtf8(output)),
            std::filesystem::file_size(PathFromUtf8(env.image_path())));
  EXPECT_EQ(view.label_refreshes, 1);
}

TEST_F(MainWindowModelTest, SaveFirmwareReportsAFaultWithThePath) {
  auto model = Make();
  dialogs.chosen_paths = {env.image_path()};
  EXPECT_FALSE(model->SaveFirmwareCommand());
  EXPECT_EQ(dialogs.Texts(),
            (std::vector<std::string>{save_messages::kSameAsOriginal,
                                      "Fault to save the file: \r\n" + env.image_path()}));
  EXPECT_EQ(view.label_refreshes, 0);
}

TEST_F(MainWindowModelTest, TheFirstRefusingPageStopsBothSavesSilently) {
  auto model = Make();
  pages.Page(PageId::kKeyMap)->store_answer = false;
  EXPECT_FALSE(model->SaveFirmwareCommand());
  EXPECT_EQ(Stores(pages.log),
            (std::vector<std::string>{"Store General", "Store Common", "Store Tuner",
                                      "Store Language", "Store AV set", "Store Key map"}));
  pages.log.clear();
  EXPECT_FALSE(model->SaveSettingsFile());
  EXPECT_EQ(pages.log.back(), "Store Key map");
  EXPECT_TRUE(dialogs.file_requests.empty());
  EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(MainWindowModelTest, TheShownPageFinishesItsEditBeforeEitherSaveStores) {
  auto model = Make();
  model->OpenPage(PageId::kTuner);
  EXPECT_FALSE(model->SaveFirmwareCommand());  // cancelled at the file dialog
  ASSERT_GE(pages.log.size(), 2u);
  EXPECT_EQ(pages.log[0], "Finish Tuner");
  EXPECT_EQ(pages.log[1], "Store General");
  EXPECT_EQ(view.put, std::vector<PageId>{PageId::kTuner});
  pages.log.clear();
  EXPECT_FALSE(model->SaveSettingsFile());
  EXPECT_EQ(pages.log[0], "Finish Tuner");
  EXPECT_EQ(std::count(pages.log.begin(), pages.log.end(), "Finish Tuner"), 1);
}

TEST_F(MainWindowModelTest, SaveFirmwareCancelledWritesNothing) {
  auto model = Make();
  EXPECT_FALSE(model->SaveFirmwareCommand());
  EXPECT_EQ(dialogs.file_requests.size(), 1u);
  EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(MainWindowModelTest, SaveSettingsWritesTheRecordToTheTrimmedPath) {
  auto model = Make();
  const std::string output = env.dir.File("mine.set");
  dialogs.chosen_paths = {"  " + output + " \t", std::string("   ")};
  ASSERT_TRUE(model->SaveSettingsFile());
  ASSERT_EQ(dialogs.file_requests.size(), 1u);
  EXPECT_EQ(dialogs.file_requests[0].filter,
            "Customized Setting(*.set)|*.set|All Files (*.*)|*.*||");
  EXPECT_TRUE(dialogs.file_requests[0].ask_before_overwrite);
  EXPECT_EQ(dialogs.Texts(), std::vector<std::string>{"Save setting file OK!"});
  const auto bytes = testdata::ReadFile(output);
  ASSERT_EQ(bytes.size(), 1452u);
  EXPECT_TRUE(
      std::equal(bytes.begin(), bytes.begin() + 100, model->project().settings.bytes().begin()));
  // A blank path stops quietly.
  EXPECT_FALSE(model->SaveSettingsFile());
  EXPECT_EQ(dialogs.messages.size(), 1u);
}

TEST_F(MainWindowModelTest, NeitherSaveWritesOverAFileTheProjectReads) {
  auto model = Make();
  const auto firmware = testdata::ReadFile(env.image_path());
  const auto description = testdata::ReadFile(env.config_path());
  // "Save Settings..." onto the loaded firmware would turn the image into a record.
  dialogs.chosen_paths = {env.image_path(), env.config_path()};
  EXPECT_FALSE(model->SaveSettingsFile());
  EXPECT_FALSE(model->SaveSettingsFile());
  EXPECT_EQ(dialogs.Texts(),
            (std::vector<std::string>{
                "the output file " + env.image_path() +
                    " can not be the same file as the input file " + env.image_path() + "!",
                "the output file " + env.config_path() +
                    " can not be the same file as the input file " + env.config_path() + "!"}));
  dialogs.messages.clear();
  dialogs.chosen_paths = {env.config_path()};
  EXPECT_FALSE(model->SaveFirmwareCommand());
  EXPECT_EQ(dialogs.Texts(),
            (std::vector<std::string>{"the output file " + env.config_path() +
                                          " can not be the same file as the input file " +
                                          env.config_path() + "!",
                                      "Fault to save the file: \r\n" + env.config_path()}));
  EXPECT_EQ(testdata::ReadFile(env.image_path()), firmware);
  EXPECT_EQ(testdata::ReadFile(env.config_path()), description);
}

// ---- Loading settings ----

class LoadSettingsTest : public MainWindowModelTest {
 protected:
  // A setting file like the current record, with the OTA words and a panel byte changed.
  std::string WriteChangedFile(MainWindowModel& model) {
    CustomerSettings copy = model.project().settings;
    copy.SetU8(1420, static_cast<uint8_t>(copy.U8(1420) ^ 0x5A));
    copy.SetU8(200, static_cast<uint8_t>(copy.U8(200) ^ 0x21));
    const std::string path = env.dir.File("changed.set");
    RecordingDialogs quiet;
    EXPECT_TRUE(WriteSettingFile(path, copy, model.project().config.SupportsFlashDevices(), quiet));
    return path;
  }
};

TEST_F(LoadSettingsTest, OnTheCommonPageTheWholeRecordIsTakenAndEveryPageRefreshed) {
  auto model = Make();
  const std::string path = WriteChangedFile(*model);
  model->OpenPage(PageId::kCommon);
  const uint8_t expected = static_cast<uint8_t>(model->project().settings.U8(1420) ^ 0x5A);
  dialogs.chosen_paths = {" " + path + " "};
  ASSERT_TRUE(model->LoadSettingsFile());
  ASSERT_EQ(dialogs.file_requests.size(), 1u);
  const auto& request = dialogs.file_requests[0];
  EXPECT_EQ(request.filter, "Customized Setting(*.set)|*.set|All Files (*.*)|*.*||");
  EXPECT_TRUE(request.must_exist);
  EXPECT_TRUE(request.read_only_ticked);
  EXPECT_EQ(model->project().settings.U8(1420), expected);
  EXPECT_TRUE(model->project().password_refresh);
  EXPECT_TRUE(VerifyPassword(model->project(), "1234"));
  EXPECT_TRUE(Stores(pages.log).empty());
  EXPECT_EQ(pages.log.size(), kPageCount);
  EXPECT_EQ(view.put.size(), kPageCount);
  EXPECT_EQ(view.label_refreshes, 1);
  EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(LoadSettingsTest, APageImportTouchesOnlyThatPage) {
  auto model = Make();
  const std::string path = WriteChangedFile(*model);
  model->OpenPage(PageId::kOtaSet);
  const auto before = model->project().settings.bytes();
  dialogs.chosen_paths = {path};
  ASSERT_TRUE(model->LoadSettingsFile());
  EXPECT_EQ(pages.log, EventLog{"Import OTA set"});
  ASSERT_TRUE(pages.Page(PageId::kOtaSet)->imported.has_value());
  EXPECT_EQ(pages.Page(PageId::kOtaSet)->imported->at(1420), before[1420] ^ 0x5A);
  EXPECT_EQ(view.put, std::vector<PageId>{PageId::kOtaSet});
  EXPECT_EQ(model->project().settings.bytes(), before);  // the fake import writes nothing
}

TEST_F(LoadSettingsTest, APanelImportRefreshesKeyMapGpioUsageAndPanel) {
  auto model = Make();
  const std::string path = WriteChangedFile(*model);
  model->OpenPage(PageId::kGpioUsage);
  dialogs.chosen_paths = {path};
  ASSERT_TRUE(model->LoadSettingsFile());
  EXPECT_EQ(pages.log, (EventLog{"Import GPIO usage", "Load Key map", "Load Panel"}));
  EXPECT_EQ(view.put, (std::vector<PageId>{PageId::kKeyMap, PageId::kGpioUsage, PageId::kPanel}));
}

TEST_F(LoadSettingsTest, RefusedOrCancelledLoadsChangeNothing) {
  auto model = Make();
  model->OpenPage(PageId::kCommon);
  const auto before = model->project().settings.bytes();
  const std::string short_file = env.dir.File("short.set");
  testdata::WriteFile(short_file, std::vector<uint8_t>(495, 0));
  dialogs.chosen_paths = {std::nullopt, std::string("  "), short_file};
  EXPECT_FALSE(model->LoadSettingsFile());
  EXPECT_FALSE(model->LoadSettingsFile());
  EXPECT_FALSE(model->LoadSettingsFile());
  EXPECT_EQ(dialogs.Texts(), std::vector<std::string>{setting_file_messages::kOldFile});
  EXPECT_EQ(model->project().settings.bytes(), before);
  EXPECT_TRUE(pages.log.empty());
  EXPECT_FALSE(model->project().password_refresh);
}

TEST_F(LoadSettingsTest, PagesWithoutAnImportAskForNoFile) {
  auto model = Make();
  model->OpenPage(PageId::kLanguage);
  EXPECT_FALSE(model->LoadSettingsFile());
  EXPECT_TRUE(dialogs.file_requests.empty());
}

// ---- Reloading ----

TEST_F(MainWindowModelTest, AFailedReloadLeavesTheProjectAsItWas) {
  auto model = Make();
  FirmwareProject* address = &model->project();
  const auto record = model->project().settings.bytes();
  ShellEnv other({.config_version = 1});
  ScriptedLoadDialog dialog;
  dialog.steps = {{true, other.image_path(), other.config_path(), "4321"}};
  EXPECT_FALSE(model->ReloadFirmware(dialog));
  EXPECT_EQ(dialog.showings.size(), 2u);
  EXPECT_EQ(&model->project(), address);
  EXPECT_EQ(model->project().firmware_path, env.image_path());
  EXPECT_EQ(model->project().settings.bytes(), record);
  EXPECT_EQ(model->session().current_password, "1234");
  EXPECT_TRUE(pages.log.empty());
  EXPECT_TRUE(view.put.empty());
  EXPECT_EQ(view.label_refreshes, 0);
}

TEST_F(MainWindowModelTest, ASuccessfulReloadRefillsTheSameProjectAndEveryPage) {
  auto model = Make();
  model->OpenPage(PageId::kPanel);
  FirmwareProject* address = &model->project();
  ShellEnv other({.config_version = 1});
  ScriptedLoadDialog dialog;
  dialog.steps = {other.Good()};
  ASSERT_TRUE(model->ReloadFirmware(dialog));
  EXPECT_EQ(&model->project(), address);
  EXPECT_EQ(model->FirmwarePathText(), other.image_path());
  EXPECT_EQ(model->ConfigVersionText(), "1.0");
  EXPECT_EQ(pages.log.size(), kPageCount);
  EXPECT_EQ(pages.Page(PageId::kCommon)->loaded_firmware_path, other.image_path());
  EXPECT_EQ(view.put.size(), kPageCount);
  EXPECT_EQ(view.label_refreshes, 1);
  EXPECT_EQ(model->current_page(), PageId::kPanel);
  EXPECT_EQ(model->LoadSettingsLabel(), "Load Panel...");
}

// ---- Unsaved changes and the save's long work ----

TEST_F(MainWindowModelTest, MarksPasswordsAndImportsAreUnsavedUntilASaveOrALoad) {
  auto model = Make();
  EXPECT_FALSE(model->HasUnsavedChanges());
  ChunkEntry& chunk = model->project().chunks.entries[2];
  chunk.replace = true;
  chunk.replacement_path = env.dir.File("logo.m2v");
  EXPECT_TRUE(model->HasUnsavedChanges());
  chunk.replace = false;
  chunk.replacement_path.clear();
  EXPECT_FALSE(model->HasUnsavedChanges());
  model->session().current_password = "5678";
  EXPECT_TRUE(model->HasUnsavedChanges());
  model->session().current_password = "1234";
  model->project().password_refresh = true;
  EXPECT_TRUE(model->HasUnsavedChanges());

  // A save cancelled or refused keeps the changes; a save that writes takes them as saved.
  dialogs.chosen_paths = {std::nullopt, env.image_path(), env.dir.File("out.bin")};
  EXPECT_FALSE(model->SaveFirmwareCommand());
  EXPECT_TRUE(model->HasUnsavedChanges());
  EXPECT_FALSE(model->SaveFirmwareCommand());
  EXPECT_TRUE(model->HasUnsavedChanges());
  ASSERT_TRUE(model->SaveFirmwareCommand());
  EXPECT_FALSE(model->HasUnsavedChanges());

  // A refused import is no change; an import that is taken is one, whatever it brought.
  model->OpenPage(PageId::kCommon);
  const std::string set_file = env.dir.File("same.set");
  dialogs.chosen_paths = {set_file};
  ASSERT_TRUE(model->SaveSettingsFile());
  EXPECT_FALSE(model->HasUnsavedChanges());
  testdata::WriteFile(env.dir.File("short.set"), std::vector<uint8_t>(495, 0));
  dialogs.chosen_paths = {env.dir.File("short.set")};
  EXPECT_FALSE(model->LoadSettingsFile());
  EXPECT_FALSE(model->HasUnsavedChanges());
  dialogs.chosen_paths = {set_file};
  ASSERT_TRUE(model->LoadSettingsFile());
  EXPECT_TRUE(model->HasUnsavedChanges());

  // A failed reload keeps the changes of the image still loaded; a new load starts afresh.
  ShellEnv other({.config_version = 1});
  ScriptedLoadDialog failing;
  failing.steps = {{true, other.image_path(), other.config_path(), "4321"}};
  EXPECT_FALSE(model->ReloadFirmware(failing));
  EXPECT_TRUE(model->HasUnsavedChanges());
  ScriptedLoadDialog loading;
  loading.steps = {other.Good()};
  ASSERT_TRUE(model->ReloadFirmware(loading));
  EXPECT_FALSE(model->HasUnsavedChanges());
}

// Runs the work in place with dialogs of its own, as a test of what the save hands over.
class RecordingLongWork : public LongWork {
 public:
  bool Run(const std::string& caption,
           const std::function<bool(UserDialogs& dialogs)>& work) override {
    captions.push_back(caption);
    return work(dialogs);
  }
  std::vector<std::string> captions;
  RecordingDialogs dialogs;
};

TEST_F(MainWindowModelTest, TheSaveRunsAsLongWorkAndReportsThroughTheWorksDialogs) {
  auto project = env.Open();
  ASSERT_NE(project, nullptr);
  RecordingLongWork long_work;
  MainWindowModel::Environment environment;
  environment.dialogs = &dialogs;
  environment.application_directory = env.dir.path();
  environment.page_factory = pages.Factory();
  environment.long_work = &long_work;
  MainWindowModel model(std::move(*project), env.session, std::move(environment));
  // The file dialog comes first, from the window thread; the save and its messages follow.
  dialogs.chosen_paths = {env.dir.File("out.bin")};
  ASSERT_TRUE(model.SaveFirmwareCommand());
  EXPECT_EQ(long_work.captions, std::vector<std::string>{"Saving the firmware ..."});
  EXPECT_EQ(long_work.dialogs.Texts(), std::vector<std::string>{"Success to save the file."});
  EXPECT_TRUE(dialogs.Texts().empty());
  dialogs.chosen_paths = {env.image_path()};
  EXPECT_FALSE(model.SaveFirmwareCommand());
  EXPECT_EQ(long_work.captions.size(), 2u);
  EXPECT_EQ(long_work.dialogs.Texts().back(), "Fault to save the file: \r\n" + env.image_path());
}

// ---- The main window model over the real pages ----

TEST(MainWindowModelWithPages, TheTunerDriverChunkOfOneImageNeverRaisesAnothersVersion) {
  ShellEnv with_driver;  // configuration version 2, tuner-driver chunk
  ShellEnv without({.config_version = 1, .with_tuner_driver = false});
  RecordingDialogs dialogs;
  std::unique_ptr<FirmwareProject> project = with_driver.Open();
  ASSERT_TRUE(project);
  MainWindowModel model(std::move(*project), with_driver.session,
                        {&dialogs, with_driver.dir.path(), nullptr, CreatePageModel});
  ASSERT_TRUE(model.shared().had_tuner_driver_chunk);
  ScriptedLoadDialog reload;
  reload.steps = {without.Good()};
  ASSERT_TRUE(model.ReloadFirmware(reload));
  EXPECT_FALSE(model.shared().had_tuner_driver_chunk);

  const std::string output = without.dir.File("saved.bin");
  dialogs.chosen_paths = {output};
  ASSERT_TRUE(model.SaveFirmwareCommand()) << dialogs.LastText();
  const testdata::SavedImage saved = testdata::ReadSavedImage(output);
  ASSERT_TRUE(saved.parsed);
  EXPECT_EQ(saved.Record()[record::kConfigVersion] & 0x0F, 1);
  // The same image still raises its own record, as before.
  reload.steps = {with_driver.Good()};
  ASSERT_TRUE(model.ReloadFirmware(reload));
  EXPECT_TRUE(model.shared().had_tuner_driver_chunk);
}

// ---- Change password rules ----

class ChangePasswordFormTest : public ::testing::Test {
 protected:
  ChangePasswordFormTest() : project(env.Open()), session(env.session) {}

  ShellEnv env;
  std::unique_ptr<FirmwareProject> project;
  LoadSession session;
  RecordingDialogs dialogs;
  ChangePasswordForm form;

  void Type(const char* old_text, const char* new_text, const char* confirmation) {
    form.old_password = old_text;
    form.new_password = new_text;
    form.confirmation = confirmation;
  }
};

TEST_F(ChangePasswordFormTest, OkNeedsBothNewTexts) {
  EXPECT_FALSE(form.OkEnabled());
  Type("1234", "a", "");
  EXPECT_FALSE(form.OkEnabled());
  Type("", "", "a");
  EXPECT_FALSE(form.OkEnabled());
  Type("", "a", "b");
  EXPECT_TRUE(form.OkEnabled());
}

TEST_F(ChangePasswordFormTest, AWrongOldPasswordIsReportedFirstAndEmptiesEverything) {
  const auto record = project->settings.bytes();
  Type("12345", "abc", "xyz");
  EXPECT_FALSE(form.Submit(*project, session, dialogs));
  EXPECT_EQ(dialogs.Texts(), std::vector<std::string>{"The old password is wrong!"});
  EXPECT_EQ(form.old_password + form.new_password + form.confirmation, "");
  EXPECT_EQ(project->settings.bytes(), record);
  EXPECT_FALSE(project->password_refresh);
}

TEST_F(ChangePasswordFormTest, DifferentNewTextsAreRefused) {
  const auto record = project->settings.bytes();
  Type("1234", "abcd", "abcD");
  EXPECT_FALSE(form.Submit(*project, session, dialogs));
  EXPECT_EQ(dialogs.Texts(), std::vector<std::string>{"The 2 passwords are not match!"});
  EXPECT_EQ(form.old_password + form.new_password + form.confirmation, "");
  EXPECT_EQ(project->settings.bytes(), record);
  EXPECT_EQ(session.current_password, "1234");
}

TEST_F(ChangePasswordFormTest, SuccessReencodesTheWordsAndSetsTheCurrentPassword) {
  Type("1234", "87654321x", "87654321y");  // only 8 characters count
  EXPECT_TRUE(form.Submit(*project, session, dialogs));
  EXPECT_TRUE(dialogs.messages.empty());
  EXPECT_TRUE(project->password_refresh);
  EXPECT_EQ(session.current_password, "87654321");
  EXPECT_TRUE(VerifyPassword(*project, "87654321"));
  EXPECT_FALSE(VerifyPassword(*project, "1234"));
}

TEST_F(ChangePasswordFormTest, APasswordIsEightSingleBytes) {
  Type("1234", "p\xE4sswort!", "p\xE4sswort?");  // Latin-1 "pässwort", then a ninth character
  EXPECT_TRUE(form.Submit(*project, session, dialogs));
  EXPECT_EQ(DecodePassword(*project), "p\xE4sswort");
  EXPECT_EQ(session.current_password, "p\xE4sswort");
}

TEST(PasswordText, OnlyCharactersOfOneByteAndAtMostEight) {
  EXPECT_EQ(PasswordFromUtf8("1234"), std::optional<std::string>("1234"));
  EXPECT_EQ(PasswordFromUtf8("p\xC3\xA4sswort"), std::optional<std::string>("p\xE4sswort"));
  EXPECT_EQ(PasswordFromUtf8("\xC3\xBF"), std::optional<std::string>("\xFF"));
  EXPECT_EQ(PasswordFromUtf8(""), std::optional<std::string>(""));
  EXPECT_EQ(PasswordFromUtf8("p\xC3\xA4sswort!"), std::nullopt);  // nine characters
  EXPECT_EQ(PasswordFromUtf8("\xE2\x82\xAC"), std::nullopt);      // the euro sign needs two bytes
  EXPECT_EQ(PasswordFromUtf8("\xC4\x80"), std::nullopt);          // U+0100
  EXPECT_EQ(PasswordFromUtf8("\xC3"), std::nullopt);              // cut short
  EXPECT_EQ(PasswordFromUtf8("\xE4"), std::nullopt);              // Latin-1 itself is no UTF-8
}

}  // namespace
}  // namespace qtk
