#include "app/pages/serial_flash_page_view.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "app/pages/flash_device_dialog.h"
#include "app/pages/page_controls.h"
#include "app/widgets/bitmap_push_button.h"

namespace qtk {

SerialFlashPageView::SerialFlashPageView(SerialFlashPage& model, QWidget* parent)
    : PageView(parent), model_(model) {
  list_ = new QTreeWidget;
  list_->setRootIsDecorated(false);
  list_->setSelectionMode(QAbstractItemView::SingleSelection);
  list_->setSelectionBehavior(QAbstractItemView::SelectRows);
  list_->setAllColumnsShowFocus(true);
  QStringList headers;
  for (const char* h : kFlashListHeaders)
    headers << QString::fromLatin1(h);
  list_->setHeaderLabels(headers);
  for (int column = 0; column < headers.size(); ++column)
    list_->header()->resizeSection(column, kFlashListWidths[column]);
  edit_ = MakeStandardButton(QStringLiteral("Edit"));
  new_ = MakeStandardButton(QStringLiteral("New"));
  delete_ = MakeStandardButton(QStringLiteral("Delete"));

  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(edit_);
  buttons->addWidget(new_);
  buttons->addWidget(delete_);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(new QLabel(QStringLiteral("Serial Flash Device:")));
  layout->addWidget(list_);
  layout->addLayout(buttons);

  // The list's selection changes only through the user: every put blocks its signals.
  connect(list_, &QTreeWidget::itemSelectionChanged, this, [this] {
    const QList<QTreeWidgetItem*> selected = list_->selectedItems();
    model_.Select(selected.isEmpty() ? -1 : list_->indexOfTopLevelItem(selected.front()));
    PutButtons();
  });
  connect(new_, &QPushButton::clicked, this, [this] { RunDialog(model_.StartNew()); });
  connect(edit_, &QPushButton::clicked, this, [this] {
    if (std::optional<FlashDeviceEditor> editor = model_.StartEdit())
      RunDialog(std::move(*editor));
  });
  connect(delete_, &QPushButton::clicked, this, [this] {
    model_.Delete();
    PutControls();
  });
}

void SerialFlashPageView::RunDialog(FlashDeviceEditor editor) {
  FlashDeviceDialog dialog(
      editor, [this](FlashDeviceEditor& e) { return model_.AcceptEditor(e); }, this);
  dialog.exec();
  model_.Finish(editor);
  PutControls();
}

void SerialFlashPageView::PutButtons() {
  edit_->setEnabled(model_.EditEnabled());
  delete_->setEnabled(model_.DeleteEnabled());
  new_->setEnabled(model_.NewEnabled());
}

void SerialFlashPageView::PutControls() {
  std::vector<QStringList> rows;
  for (const SerialFlashPage::Row& row : model_.Rows()) {
    QStringList cells;
    for (const std::string& cell : row)
      cells << QString::fromStdString(cell);
    rows.push_back(cells);
  }
  PutRows(list_, rows);
  PutQuietly(list_, [this](QTreeWidget* l) {
    l->clearSelection();
    if (model_.selected() >= 0)
      l->topLevelItem(model_.selected())->setSelected(true);
  });
  list_->setEnabled(model_.supported());
  PutButtons();
}

}  // namespace qtk
