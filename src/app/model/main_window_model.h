#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/model/load_dialog_port.h"
#include "app/model/long_work.h"
#include "common/user_dialogs.h"
#include "firmware/firmware_project.h"
#include "pages/page_set.h"
#include "pages/settings_page.h"

namespace qtk {

class ProgramRunner;

// What the main window model asks of the window that shows it. Every call has a harmless
// default so that a model can run without a window.
class MainWindowViewPort {
 public:
  virtual ~MainWindowViewPort() = default;
  // A page model changed outside the page's own view (reload, settings import, the end of
  // an edit before a save).
  virtual void PutPageControls(PageId /*page*/) {}
  // The firmware path and configuration version labels follow the project.
  virtual void RefreshLabels() {}
};

// One branch of the page tree.
struct PageTreeItem {
  PageId page;
  std::string label;
  std::vector<PageTreeItem> children;
};

// The state and commands of the main window without any widgets. It owns the one firmware
// project of the run by value: the pages are given its address once, and a reload moves the
// new image into the same object, so those addresses stay valid for the whole run.
class MainWindowModel {
 public:
  struct Environment {
    UserDialogs* dialogs = nullptr;
    std::filesystem::path application_directory;
    ProgramRunner* runner = nullptr;
    PageModelFactory page_factory;
    LongWork* long_work = nullptr;  // runs the firmware save; nullptr runs it in place
  };

  // Creates the page models in page order (pages the factory does not make are left out) and
  // loads each from the project.
  MainWindowModel(FirmwareProject project, LoadSession session, Environment environment);
  MainWindowModel(const MainWindowModel&) = delete;
  MainWindowModel& operator=(const MainWindowModel&) = delete;

  void SetView(MainWindowViewPort* view) { view_ = view ? view : &no_view_; }

  FirmwareProject& project() { return project_; }
  const FirmwareProject& project() const { return project_; }
  LoadSession& session() { return session_; }
  SharedPageState& shared() { return shared_; }
  UserDialogs& dialogs() { return *environment_.dialogs; }

  // The existing page models in page order, and one by id (nullptr when absent).
  const std::vector<std::unique_ptr<SettingsPage>>& pages() const { return pages_.pages(); }
  SettingsPage* Page(PageId id) const { return pages_.Page(id); }

  // The page tree: System set under Common only with CustomerConfigEnable, GPIO usage under
  // Panel, OTA set only with OtaConfigEnable. Pages without a model, or rejected by
  // `can_show`, are left out; their children take their place.
  std::vector<PageTreeItem> TreeItems(const std::function<bool(PageId)>& can_show = {}) const;

  // The page opened when the window appears: "Chunk" when it is in the tree, else the
  // first item. Nothing when the tree is empty.
  static std::optional<PageId> InitialPage(const std::vector<PageTreeItem>& tree);

  std::optional<PageId> current_page() const { return current_; }
  // Shows a page without asking the one before (the window's first selection).
  void OpenPage(PageId id);
  // Leaves the shown page for another: the shown page validates its values first and a
  // refusal keeps it shown. The record is not touched.
  bool SwitchPage(PageId id);

  // The settings load button's caption and whether the two settings buttons are shown.
  const std::string& LoadSettingsLabel() const { return load_settings_label_; }
  bool SettingsButtonsVisible() const { return settings_buttons_visible_; }

  // Status line texts.
  std::string FirmwarePathText() const { return project_.firmware_path; }
  std::string ConfigVersionText() const;

  // Every page, in page order, stores into the record; stops at the first refusal.
  bool StorePages();

  // "Load FW...": the load loop; on success the new image replaces the project and every
  // page is loaded again. True when a firmware was loaded.
  bool ReloadFirmware(LoadDialogPort& dialog);
  // "Save FW...": true when the image was written.
  bool SaveFirmwareCommand();
  // "Save Settings...": true when the file was written.
  bool SaveSettingsFile();
  // "Load Settings": true when something was imported.
  bool LoadSettingsFile();
  // Exit, close box: true when the user confirmed.
  bool ConfirmExit();

  // True while the project has changes that "Save FW..." has not written yet: a page value, a
  // chunk marked for replacement, an imported setting file, a changed password. A load and a
  // successful save start afresh.
  bool HasUnsavedChanges() const;

 private:
  void LoadAllPages();
  // The shown page's edit in progress ends before a save, as the click on the save button
  // takes the focus from it.
  void FinishShownPageEditing();
  void FollowPageWithButtons(PageId id);
  // What the project holds now counts as saved.
  void TakeSavedState();

  FirmwareProject project_;
  LoadSession session_;
  SharedPageState shared_;
  Environment environment_;
  PageSet pages_;
  std::optional<PageId> current_;
  std::string load_settings_label_;
  bool settings_buttons_visible_ = true;
  std::string saved_state_;
  // A setting file import counts as a change even where it brought the values already there:
  // the user asked for it to be saved.
  bool settings_imported_ = false;
  MainWindowViewPort no_view_;
  MainWindowViewPort* view_ = &no_view_;
};

}  // namespace qtk
