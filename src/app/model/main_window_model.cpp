#include "app/model/main_window_model.h"

#include <array>
#include <utility>

#include "app/load_firmware_form.h"
#include "app/model/firmware_load_loop.h"
#include "app/model/main_window_texts.h"
#include "app/model/unsaved_changes.h"
#include "firmware/firmware_saver.h"
#include "firmware/setting_file_save.h"
#include "firmware/settings_import.h"
#include "inspect/change_report.h"
#include "settings/setting_file.h"

namespace qtk {
namespace {

PageTreeItem Branch(PageId id, std::vector<PageTreeItem> children = {}) {
  return PageTreeItem{id, std::string(InfoOf(id).tree_label), std::move(children)};
}

// Pages that do not exist drop out of the tree; their children move up into their place so
// that a page is never unreachable only because its parent is missing.
std::vector<PageTreeItem> Prune(std::vector<PageTreeItem> items,
                                const std::function<bool(PageId)>& keep) {
  std::vector<PageTreeItem> out;
  for (auto& item : items) {
    auto children = Prune(std::move(item.children), keep);
    if (keep(item.page)) {
      item.children = std::move(children);
      out.push_back(std::move(item));
    } else {
      for (auto& child : children)
        out.push_back(std::move(child));
    }
  }
  return out;
}

// The pages that show the panel part of the record; a panel import changes all of them.
constexpr std::array<PageId, 3> kPanelPartPages = {PageId::kKeyMap, PageId::kGpioUsage,
                                                   PageId::kPanel};

}  // namespace

MainWindowModel::MainWindowModel(FirmwareProject project, LoadSession session,
                                 Environment environment)
    : project_(std::move(project)),
      session_(std::move(session)),
      environment_(std::move(environment)),
      pages_(PageContext{&project_, &session_, environment_.dialogs,
                         environment_.application_directory, environment_.runner, &shared_},
             environment_.page_factory),
      load_settings_label_(main_window_texts::kLoadSettings) {
  LoadAllPages();
  TakeSavedState();
}

void MainWindowModel::TakeSavedState() {
  saved_state_ = EditableState(pages(), project_, session_);
  settings_imported_ = false;
}

bool MainWindowModel::HasUnsavedChanges() const {
  return settings_imported_ || EditableState(pages(), project_, session_) != saved_state_;
}

std::vector<PageTreeItem> MainWindowModel::TreeItems(
    const std::function<bool(PageId)>& can_show) const {
  const ConfigSwitches& switches = project_.config.switches;
  std::vector<PageTreeItem> common_children;
  if (switches.customer_config_enable != 0)
    common_children.push_back(Branch(PageId::kSystemSet));

  std::vector<PageTreeItem> tree;
  tree.push_back(Branch(PageId::kGeneral));
  tree.push_back(Branch(PageId::kCommon, std::move(common_children)));
  tree.push_back(Branch(PageId::kPanel, {Branch(PageId::kGpioUsage)}));
  tree.push_back(Branch(PageId::kTuner));
  tree.push_back(Branch(PageId::kLanguage));
  tree.push_back(Branch(PageId::kAvSet));
  tree.push_back(Branch(PageId::kKeyMap));
  tree.push_back(Branch(PageId::kProgramSet));
  tree.push_back(Branch(PageId::kSerialFlash));
  if (switches.ota_config_enable != 0)
    tree.push_back(Branch(PageId::kOtaSet));

  return Prune(std::move(tree),
               [&](PageId id) { return Page(id) != nullptr && (!can_show || can_show(id)); });
}

std::optional<PageId> MainWindowModel::InitialPage(const std::vector<PageTreeItem>& tree) {
  if (tree.empty())
    return std::nullopt;
  for (const auto& item : tree) {
    if (item.page == PageId::kGeneral)
      return item.page;
  }
  return tree.front().page;
}

void MainWindowModel::OpenPage(PageId id) {
  current_ = id;
  FollowPageWithButtons(id);
}

bool MainWindowModel::SwitchPage(PageId id) {
  if (current_ == id)
    return true;
  if (current_) {
    SettingsPage* shown = Page(*current_);
    if (shown != nullptr && !shown->Validate())
      return false;
  }
  OpenPage(id);
  return true;
}

void MainWindowModel::FollowPageWithButtons(PageId id) {
  const std::string_view label = InfoOf(id).load_settings_label;
  // Pages without a settings import hide both buttons but leave the caption as it was, so
  // it still names the last import when the buttons come back.
  settings_buttons_visible_ = !label.empty();
  if (settings_buttons_visible_)
    load_settings_label_ = std::string(label);
}

std::string MainWindowModel::ConfigVersionText() const {
  return std::to_string(project_.settings.ConfigVersion()) + ".0";
}

bool MainWindowModel::StorePages() {
  return pages_.StoreAll() == nullptr;
}

void MainWindowModel::LoadAllPages() {
  pages_.LoadAll();
}

void MainWindowModel::FinishShownPageEditing() {
  if (SettingsPage* shown = current_ ? Page(*current_) : nullptr) {
    shown->FinishEditing();
    view_->PutPageControls(shown->Id());
  }
}

bool MainWindowModel::ReloadFirmware(LoadDialogPort& dialog) {
  auto fresh = LoadFirmwareFromDialog(dialog, session_, dialogs());
  if (!fresh)
    return false;
  project_ = std::move(*fresh);
  // What the pages share describes the firmware that was loaded before; the new one sets it
  // again as its pages load.
  shared_ = SharedPageState{};
  LoadAllPages();
  TakeSavedState();
  for (const auto& page : pages())
    view_->PutPageControls(page->Id());
  view_->RefreshLabels();
  return true;
}

bool MainWindowModel::SaveFirmwareCommand() {
  FinishShownPageEditing();
  if (!StorePages())
    return false;
  FileDialogRequest request;
  request.filter = main_window_texts::kFirmwareFilter;
  request.ask_before_overwrite = true;
  request.must_exist = false;
  const auto path = dialogs().AskSaveFile(request);
  if (!path)
    return false;
  // The success message offers what the save changed against the loaded image.
  const SaveDetails details = ChangeReportDetails(project_, environment_.application_directory);
  auto save = [&](UserDialogs& dialogs) {
    return SaveFirmwareAndReport(project_, session_, *path, dialogs, details);
  };
  if (!(environment_.long_work
            ? environment_.long_work->Run(main_window_texts::kSavingFirmware, save)
            : save(dialogs())))
    return false;
  TakeSavedState();
  view_->RefreshLabels();
  return true;
}

bool MainWindowModel::SaveSettingsFile() {
  FinishShownPageEditing();
  if (!StorePages())
    return false;
  FileDialogRequest request;
  request.filter = main_window_texts::kSettingFilter;
  request.ask_before_overwrite = true;
  request.must_exist = false;
  const auto chosen = dialogs().AskSaveFile(request);
  if (!chosen)
    return false;
  const std::string path = TrimWhiteSpace(*chosen);
  if (path.empty())
    return false;
  return SaveProjectSettingFile(project_, session_, path, dialogs());
}

bool MainWindowModel::LoadSettingsFile() {
  // The button is hidden on pages without a settings import.
  if (!current_ || InfoOf(*current_).load_settings_label.empty() || Page(*current_) == nullptr)
    return false;
  const PageId shown = *current_;

  FileDialogRequest request;
  request.filter = main_window_texts::kSettingFilter;
  request.ask_before_overwrite = false;
  request.must_exist = true;
  request.read_only_ticked = true;
  const auto chosen = dialogs().AskOpenFile(request);
  if (!chosen)
    return false;
  const std::string path = TrimWhiteSpace(*chosen);
  if (path.empty())
    return false;
  const auto file = ReadSettingFile(path, project_.chunks, project_.settings, dialogs());
  if (!file)
    return false;
  settings_imported_ = true;

  switch (shown) {
    case PageId::kCommon:
      ImportWholeSettings(project_, *file, session_.current_password);
      // The pages show the file's settings; the System set page keeps its own (its refill
      // flag is clear while the file is applied).
      shared_.applying_setting_file = true;
      LoadAllPages();
      shared_.applying_setting_file = false;
      for (const auto& page : pages())
        view_->PutPageControls(page->Id());
      view_->RefreshLabels();
      return true;
    case PageId::kPanel:
    case PageId::kGpioUsage:
      // The importing page keeps its own state in step with the record; the other pages
      // that show the panel keys and GPIO lines read them again.
      Page(shown)->ImportSettings(*file);
      for (PageId other : kPanelPartPages) {
        if (other != shown && Page(other) != nullptr)
          Page(other)->PanelPartImported();
      }
      for (PageId other : kPanelPartPages) {
        if (Page(other) != nullptr)
          view_->PutPageControls(other);
      }
      return true;
    default:
      Page(shown)->ImportSettings(*file);
      view_->PutPageControls(shown);
      return true;
  }
}

bool MainWindowModel::ConfirmExit() {
  return dialogs().ShowMessage(main_window_texts::kExitQuestion, MessageIcon::Question,
                               MessageButtons::OkCancel) == MessageAnswer::Ok;
}

}  // namespace qtk
