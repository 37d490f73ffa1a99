#include "app/pages/program_set_page_view.h"

#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "app/pages/page_controls.h"
#include "app/pages/program_set_dialogs.h"
#include "app/widgets/bitmap_push_button.h"

namespace qtk {
namespace {

QTreeWidget* MakeList(const QStringList& headers, const std::vector<int>& widths) {
  auto* list = new QTreeWidget;
  list->setRootIsDecorated(false);
  list->setItemsExpandable(false);
  list->setUniformRowHeights(true);
  list->setAllColumnsShowFocus(true);
  list->setSelectionBehavior(QAbstractItemView::SelectRows);
  list->setSelectionMode(QAbstractItemView::SingleSelection);
  list->setEditTriggers(QAbstractItemView::NoEditTriggers);
  list->setHeaderLabels(headers);
  list->header()->setStretchLastSection(false);
  int total = 0;
  for (size_t i = 0; i < widths.size(); ++i) {
    list->header()->resizeSection(static_cast<int>(i), widths[i]);
    total += widths[i];
  }
  list->setMinimumWidth(total + 2 * list->frameWidth() + 4);
  return list;
}

// Enter on a page button presses it, as on the dialogs' buttons.
QPushButton* MakeButton(const QString& caption) {
  QPushButton* button = MakeStandardButton(caption);
  button->setAutoDefault(true);
  return button;
}

template <class Entry>
std::vector<QStringList> RowsOf(const std::vector<Entry>& entries) {
  std::vector<QStringList> rows;
  for (const Entry& e : entries) {
    QStringList cells;
    for (const std::string& cell : RowCells(e))
      cells << QString::fromStdString(cell);
    rows.push_back(cells);
  }
  return rows;
}

int SelectedRow(const QTreeWidget* list) {
  const QList<QTreeWidgetItem*> selected = list->selectedItems();
  return selected.isEmpty() ? -1 : list->indexOfTopLevelItem(selected.front());
}

void PutSelection(QTreeWidget* list, int row) {
  PutQuietly(list, [row](QTreeWidget* l) {
    QTreeWidgetItem* item = row >= 0 ? l->topLevelItem(row) : nullptr;
    if (item == nullptr) {
      l->clearSelection();
      return;
    }
    l->setCurrentItem(item);
    item->setSelected(true);
  });
  // The selection is drawn by the viewport, which the blocked signals did not tell.
  list->viewport()->update();
}

}  // namespace

ProgramSetPageView::ProgramSetPageView(ProgramSetPage& model, QWidget* parent)
    : PageView(parent), model_(model) {
  tp_list_ = MakeList(
      {QStringLiteral("Polarity"), QStringLiteral("Frequency"), QStringLiteral("Symbol rate")},
      {60, 70, 75});
  forbidden_list_ = MakeList(
      {QStringLiteral("Polarity"), QStringLiteral("Frequency"), QStringLiteral("Symbol rate"),
       QStringLiteral("Video PID"), QStringLiteral("Audio PID")},
      {60, 70, 75, 70, 70});
  add_tp_ = MakeButton(QStringLiteral("Add TP..."));
  delete_tp_ = MakeButton(QStringLiteral("Del TP"));
  add_forbidden_ = MakeButton(QStringLiteral("Add Prog/TP"));
  delete_forbidden_ = MakeButton(QStringLiteral("Del Prog/TP"));

  auto* layout = new QGridLayout(this);
  layout->addWidget(new QLabel(QStringLiteral("Autoscan more TPs:")), 0, 0);
  layout->addWidget(tp_list_, 1, 0);
  auto* tp_buttons = new QVBoxLayout;
  tp_buttons->addWidget(add_tp_);
  tp_buttons->addWidget(delete_tp_);
  tp_buttons->addStretch();
  layout->addLayout(tp_buttons, 1, 1);
  layout->addWidget(new QLabel(QStringLiteral("Forbidden programs/TP:")), 2, 0);
  layout->addWidget(forbidden_list_, 3, 0);
  auto* forbidden_buttons = new QVBoxLayout;
  forbidden_buttons->addWidget(add_forbidden_);
  forbidden_buttons->addWidget(delete_forbidden_);
  forbidden_buttons->addStretch();
  layout->addLayout(forbidden_buttons, 3, 1);

  connect(tp_list_, &QTreeWidget::itemSelectionChanged, this, [this] {
    model_.SelectTp(SelectedRow(tp_list_));
    PutControls();
  });
  connect(forbidden_list_, &QTreeWidget::itemSelectionChanged, this, [this] {
    model_.SelectForbidden(SelectedRow(forbidden_list_));
    PutControls();
  });
  connect(add_tp_, &QPushButton::clicked, this, &ProgramSetPageView::OpenTpDialog);
  connect(add_forbidden_, &QPushButton::clicked, this, &ProgramSetPageView::OpenForbiddenDialog);
  connect(delete_tp_, &QPushButton::clicked, this, [this] {
    model_.DeleteTp();
    PutControls();
    tp_list_->setFocus(Qt::OtherFocusReason);
  });
  connect(delete_forbidden_, &QPushButton::clicked, this, [this] {
    model_.DeleteForbidden();
    PutControls();
    forbidden_list_->setFocus(Qt::OtherFocusReason);
  });
}

void ProgramSetPageView::OpenTpDialog() {
  if (!model_.CanAddTp())
    return;
  tp_dialog_ = new AddTpDialog(model_, this);
  tp_dialog_->setAttribute(Qt::WA_DeleteOnClose);
  connect(tp_dialog_, &QDialog::accepted, this, &ProgramSetPageView::PutControls);
  tp_dialog_->open();
}

void ProgramSetPageView::OpenForbiddenDialog() {
  if (!model_.CanAddForbidden())
    return;
  forbidden_dialog_ = new AddForbiddenDialog(model_, this);
  forbidden_dialog_->setAttribute(Qt::WA_DeleteOnClose);
  connect(forbidden_dialog_, &QDialog::accepted, this, &ProgramSetPageView::PutControls);
  forbidden_dialog_->open();
}

void ProgramSetPageView::PutControls() {
  PutRows(tp_list_, RowsOf(model_.autoscan_tps()));
  PutRows(forbidden_list_, RowsOf(model_.forbidden()));
  PutSelection(tp_list_, model_.selected_tp());
  PutSelection(forbidden_list_, model_.selected_forbidden());
  add_tp_->setEnabled(model_.CanAddTp());
  delete_tp_->setEnabled(model_.CanDeleteTp());
  add_forbidden_->setEnabled(model_.CanAddForbidden());
  delete_forbidden_->setEnabled(model_.CanDeleteForbidden());
}

}  // namespace qtk
