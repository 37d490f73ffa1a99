#include "app/main_window.h"

#include <QAction>
#include <QCoreApplication>
#include <QFrame>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QSignalBlocker>
#include <QStackedWidget>
#include <QTimer>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <QVBoxLayout>

#include "app/about_box.h"
#include "app/button_shortcut.h"
#include "app/change_password_dialog.h"
#include "app/firmware_drop.h"
#include "app/model/main_window_texts.h"
#include "app/pages/page_view.h"
#include "app/widgets/bitmap_push_button.h"
#include "app/window_title.h"

namespace qtk {
namespace {

constexpr int kPageRole = Qt::UserRole;
constexpr int kTreeWidth = 170;

QString Text(const char* text) {
  return QString::fromUtf8(text);
}
QString Text(const std::string& text) {
  return QString::fromStdString(text);
}

BitmapPushButton* MakeSkinnedButton(const char* caption, QWidget* parent) {
  auto* button = MakeStandardButton(Text(caption), parent);
  // The window itself decides what Enter does.
  button->setAutoDefault(false);
  return button;
}

QFrame* MakeLine(QFrame::Shape shape, QWidget* parent) {
  auto* line = new QFrame(parent);
  line->setFrameShape(shape);
  line->setFrameShadow(QFrame::Sunken);
  return line;
}

PageId ItemPage(const QTreeWidgetItem* item) {
  return static_cast<PageId>(item->data(0, kPageRole).toInt());
}

}  // namespace

MainWindow::MainWindow(FirmwareProject project, LoadSession session, MainWindowSetup setup,
                       QWidget* parent)
    : QDialog(parent), setup_(std::move(setup)) {
  setWindowIcon(ProgramIcon());
  setWindowFlags(windowFlags() | Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint);
  setModal(true);

  // The system menu of the platform is out of reach; the window's context menu carries the
  // About entry instead.
  auto* about_action = new QAction(Text(main_window_texts::kAboutMenuItem), this);
  connect(about_action, &QAction::triggered, this, &MainWindow::ShowAbout);
  addAction(about_action);
  setContextMenuPolicy(Qt::ActionsContextMenu);

  BuildControls();
  AddShortcuts();
  new FirmwareDropTarget(this, [this](const std::string& path) { ReloadFirmware(path); });

  model_ = std::make_unique<MainWindowModel>(
      std::move(project), std::move(session),
      MainWindowModel::Environment{setup_.dialogs, setup_.application_directory, setup_.runner,
                                   setup_.page_models, setup_.long_work});
  model_->SetView(this);
  CreatePageViews();
  FillTree();
  RefreshLabels();
  QCoreApplication::instance()->installEventFilter(this);
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
  switch (event->type()) {
    case QEvent::KeyRelease:
    case QEvent::MouseButtonRelease:
    case QEvent::Wheel:
      if (!mark_check_pending_) {
        mark_check_pending_ = true;
        QTimer::singleShot(0, this, [this] {
          mark_check_pending_ = false;
          UpdateModifiedMark();
        });
      }
      break;
    default:
      break;
  }
  return QDialog::eventFilter(watched, event);
}

void MainWindow::UpdateModifiedMark() {
  // The save may be running on its own thread, writing into the project; the mark waits.
  if (!saving_)
    setWindowModified(model_->HasUnsavedChanges());
}

void MainWindow::SaveFirmware() {
  saving_ = true;
  model_->SaveFirmwareCommand();
  saving_ = false;
  UpdateModifiedMark();
}

MainWindow::~MainWindow() {
  // The views refer to the page models; they go first.
  for (auto& [id, view] : views_)
    delete view;
  views_.clear();
}

void MainWindow::BuildControls() {
  tree_ = new QTreeWidget(this);
  tree_->setHeaderHidden(true);
  tree_->setFixedWidth(kTreeWidth);
  tree_->setToolTip(Text(main_window_texts::kTreeTip));
  connect(tree_, &QTreeWidget::currentItemChanged, this,
          [this](QTreeWidgetItem* current, QTreeWidgetItem*) { OnCurrentItemChanged(current); });

  page_area_ = new QStackedWidget(this);
  page_area_->addWidget(new QWidget(page_area_));  // shown while no page exists
  // Wide enough for the widest page (Tuner: controls, tuner list and extended values).
  page_area_->setMinimumSize(780, 420);

  firmware_path_label_ = new QLabel(this);
  firmware_path_label_->setToolTip(Text(main_window_texts::kFirmwarePathTip));
  firmware_path_label_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  config_caption_ = new QLabel(Text(main_window_texts::kConfigVersionCaption), this);
  config_version_label_ = new QLabel(this);

  load_fw_button_ = MakeSkinnedButton(main_window_texts::kLoadFirmware, this);
  save_fw_button_ = MakeSkinnedButton(main_window_texts::kSaveFirmware, this);
  load_settings_button_ = MakeSkinnedButton(main_window_texts::kLoadSettings, this);
  save_settings_button_ = MakeSkinnedButton(main_window_texts::kSaveSettings, this);
  change_password_button_ = MakeSkinnedButton(main_window_texts::kChangePassword, this);
  exit_button_ = MakeSkinnedButton(main_window_texts::kExit, this);
  about_button_ = MakeSkinnedButton(main_window_texts::kAbout, this);
  about_button_->hide();
  change_password_button_->setEnabled(true);

  connect(load_fw_button_, &QPushButton::clicked, this, [this] { ReloadFirmware(); });
  connect(save_fw_button_, &QPushButton::clicked, this, &MainWindow::SaveFirmware);
  connect(load_settings_button_, &QPushButton::clicked, this,
          [this] { model_->LoadSettingsFile(); });
  connect(save_settings_button_, &QPushButton::clicked, this,
          [this] { model_->SaveSettingsFile(); });
  connect(change_password_button_, &QPushButton::clicked, this, &MainWindow::ChangePassword);
  connect(exit_button_, &QPushButton::clicked, this, &MainWindow::reject);
  connect(about_button_, &QPushButton::clicked, this, &MainWindow::ShowAbout);

  auto* upper = new QHBoxLayout;
  upper->addWidget(tree_);
  upper->addWidget(MakeLine(QFrame::VLine, this));
  upper->addWidget(page_area_, 1);

  auto* status = new QHBoxLayout;
  status->addWidget(firmware_path_label_, 1);
  status->addWidget(config_caption_);
  status->addWidget(config_version_label_);

  auto* buttons = new QHBoxLayout;
  for (BitmapPushButton* button :
       {load_fw_button_, save_fw_button_, load_settings_button_, save_settings_button_,
        change_password_button_, exit_button_, about_button_})
    buttons->addWidget(button);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(upper, 1);
  layout->addWidget(MakeLine(QFrame::HLine, this));
  layout->addLayout(status);
  layout->addWidget(MakeLine(QFrame::HLine, this));
  layout->addLayout(buttons);
}

void MainWindow::AddShortcuts() {
  AddButtonShortcut(load_fw_button_, QKeySequence(Qt::CTRL | Qt::Key_O), this);
  AddButtonShortcut(save_fw_button_, QKeySequence(Qt::CTRL | Qt::Key_S), this);
  AddButtonShortcut(save_settings_button_, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S), this);
  AddButtonShortcut(exit_button_, QKeySequence(Qt::CTRL | Qt::Key_Q), this);
}

void MainWindow::CreatePageViews() {
  if (!setup_.page_views)
    return;
  for (const auto& page : model_->pages()) {
    PageView* view = setup_.page_views(page->Id(), *page, page_area_);
    if (view == nullptr)
      continue;
    page_area_->addWidget(view);
    view->PutControls();
    views_[page->Id()] = view;
  }
}

PageView* MainWindow::View(PageId id) const {
  const auto it = views_.find(id);
  return it == views_.end() ? nullptr : it->second;
}

void MainWindow::FillTree() {
  const auto tree = model_->TreeItems([this](PageId id) { return View(id) != nullptr; });
  const std::function<void(const PageTreeItem&, QTreeWidgetItem*)> add =
      [&](const PageTreeItem& branch, QTreeWidgetItem* parent) {
        auto* item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(tree_);
        item->setText(0, Text(branch.label));
        item->setData(0, kPageRole, static_cast<int>(branch.page));
        for (const auto& child : branch.children)
          add(child, item);
        item->setExpanded(true);
      };
  {
    const QSignalBlocker blocker(tree_);
    for (const auto& branch : tree)
      add(branch, nullptr);
  }
  if (const auto first = MainWindowModel::InitialPage(tree)) {
    model_->OpenPage(*first);
    SelectTreeItemOf(*first);
    ShowCurrentPage();
  }
  UpdateSettingsButtons();
}

QTreeWidgetItem* MainWindow::TreeItem(PageId id) const {
  for (QTreeWidgetItemIterator it(tree_); *it; ++it) {
    if (ItemPage(*it) == id)
      return *it;
  }
  return nullptr;
}

void MainWindow::SelectTreeItemOf(PageId id) {
  const QSignalBlocker blocker(tree_);
  tree_->setCurrentItem(TreeItem(id));
}

void MainWindow::OnCurrentItemChanged(QTreeWidgetItem* current) {
  if (current == nullptr)
    return;
  const PageId next = ItemPage(current);
  const auto shown = model_->current_page();
  if (shown == next)
    return;
  // The page being left validates once (every edit is in its model already); a refusal keeps
  // it selected.
  if (!model_->SwitchPage(next)) {
    if (shown)
      SelectTreeItemOf(*shown);
    return;
  }
  ShowCurrentPage();
}

void MainWindow::ShowCurrentPage() {
  const auto shown = model_->current_page();
  PageView* view = shown ? View(*shown) : nullptr;
  if (view != nullptr) {
    view->PutControls();
    page_area_->setCurrentWidget(view);
  }
  UpdateSettingsButtons();
}

void MainWindow::UpdateSettingsButtons() {
  load_settings_button_->setText(Text(model_->LoadSettingsLabel()));
  const bool visible = model_->SettingsButtonsVisible();
  load_settings_button_->setVisible(visible);
  save_settings_button_->setVisible(visible);
}

void MainWindow::PutPageControls(PageId page) {
  if (PageView* view = View(page))
    view->PutControls();
}

void MainWindow::RefreshLabels() {
  setWindowTitle(Text(MarkableWindowTitle(model_->FirmwarePathText())));
  UpdateModifiedMark();
  firmware_path_label_->setText(Text(model_->FirmwarePathText()));
  config_version_label_->setText(Text(model_->ConfigVersionText()));
}

void MainWindow::ReloadFirmware(const std::string& dropped_firmware) {
  if (!setup_.load_dialog)
    return;
  auto dialog = setup_.load_dialog(this, dropped_firmware);
  model_->ReloadFirmware(*dialog);
  UpdateModifiedMark();
}

void MainWindow::ChangePassword() {
  ChangePasswordDialog dialog(model_->project(), model_->session(), model_->dialogs(), this);
  dialog.exec();
  UpdateModifiedMark();
}

void MainWindow::ShowAbout() {
  AboutBox box(this);
  box.exec();
}

void MainWindow::reject() {
  if (model_->ConfirmExit())
    QDialog::reject();
}

void MainWindow::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Escape:
      // Escape would cancel the window; only the close commands may end it.
      event->accept();
      return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
      // Enter acts only on a focused push button; in a field it would otherwise close the
      // window through its default button.
      if (auto* button = qobject_cast<QPushButton*>(focusWidget());
          button != nullptr && button->isEnabled() && button->isVisible())
        button->click();
      event->accept();
      return;
    default:
      QDialog::keyPressEvent(event);
  }
}

}  // namespace qtk
