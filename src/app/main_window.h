#pragma once

#include <QDialog>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>

#include "app/model/main_window_model.h"

class QLabel;
class QStackedWidget;
class QTreeWidget;
class QTreeWidgetItem;

namespace qtk {

class BitmapPushButton;
class PageView;

// Creates the view of a page over its model; nullptr when the page has no view yet.
using PageViewFactory = std::function<PageView*(PageId, SettingsPage&, QWidget*)>;
// Creates the Load Firmware dialog for "Load FW...", modal to the given window; a non-empty
// path (a firmware file dropped on the window) fills the firmware field of its first opening.
using LoadDialogFactory =
    std::function<std::unique_ptr<LoadDialogPort>(QWidget*, const std::string& firmware_path)>;

struct MainWindowSetup {
  UserDialogs* dialogs = nullptr;
  std::filesystem::path application_directory;
  ProgramRunner* runner = nullptr;
  PageModelFactory page_models;
  PageViewFactory page_views;
  LoadDialogFactory load_dialog;
  LongWork* long_work = nullptr;  // runs the firmware save; nullptr runs it in place
};

// The window with the page tree, the page area, the status line and the command buttons.
// It owns the firmware project (through its model) and the pages for the whole run.
class MainWindow : public QDialog, private MainWindowViewPort {
  Q_OBJECT

 public:
  MainWindow(FirmwareProject project, LoadSession session, MainWindowSetup setup,
             QWidget* parent = nullptr);
  ~MainWindow() override;

  MainWindowModel& model() { return *model_; }

  QTreeWidget* Tree() const { return tree_; }
  QStackedWidget* PageArea() const { return page_area_; }
  QLabel* FirmwarePathLabel() const { return firmware_path_label_; }
  QLabel* ConfigVersionCaption() const { return config_caption_; }
  QLabel* ConfigVersionLabel() const { return config_version_label_; }
  BitmapPushButton* LoadFirmwareButton() const { return load_fw_button_; }
  BitmapPushButton* SaveFirmwareButton() const { return save_fw_button_; }
  BitmapPushButton* LoadSettingsButton() const { return load_settings_button_; }
  BitmapPushButton* SaveSettingsButton() const { return save_settings_button_; }
  BitmapPushButton* ChangePasswordButton() const { return change_password_button_; }
  BitmapPushButton* ExitButton() const { return exit_button_; }
  BitmapPushButton* AboutButton() const { return about_button_; }
  // The view of a page, or nullptr when it has none.
  PageView* View(PageId id) const;
  // The tree item of a page, or nullptr when the page is not in the tree.
  QTreeWidgetItem* TreeItem(PageId id) const;

  // The close box and every other cancel ask before the window closes.
  void reject() override;

  // The title's unsaved-changes mark follows the project now (it also follows every user
  // input by itself, once the event loop has run).
  void UpdateModifiedMark();

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  // Any key or button the user lets go of may have changed a value: the mark is checked once
  // the event has done its work.
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void PutPageControls(PageId page) override;
  void RefreshLabels() override;

  void BuildControls();
  void AddShortcuts();
  void CreatePageViews();
  void FillTree();
  void OnCurrentItemChanged(QTreeWidgetItem* current);
  void SelectTreeItemOf(PageId id);
  void ShowCurrentPage();
  void UpdateSettingsButtons();
  void ReloadFirmware(const std::string& dropped_firmware = {});
  void ChangePassword();
  void SaveFirmware();
  void ShowAbout();

  MainWindowSetup setup_;
  std::unique_ptr<MainWindowModel> model_;
  std::map<PageId, PageView*> views_;
  bool mark_check_pending_ = false;
  bool saving_ = false;

  QTreeWidget* tree_ = nullptr;
  QStackedWidget* page_area_ = nullptr;
  QLabel* firmware_path_label_ = nullptr;
  QLabel* config_caption_ = nullptr;
  QLabel* config_version_label_ = nullptr;
  BitmapPushButton* load_fw_button_ = nullptr;
  BitmapPushButton* save_fw_button_ = nullptr;
  BitmapPushButton* load_settings_button_ = nullptr;
  BitmapPushButton* save_settings_button_ = nullptr;
  BitmapPushButton* change_password_button_ = nullptr;
  BitmapPushButton* exit_button_ = nullptr;
  BitmapPushButton* about_button_ = nullptr;
};

}  // namespace qtk
