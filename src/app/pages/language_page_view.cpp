#include "app/pages/language_page_view.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QVBoxLayout>

namespace qtk {

LanguagePageView::LanguagePageView(LanguagePage& model, QWidget* parent)
    : PageView(parent), model_(model) {
  list_ = new EditableListControl;
  list_->setHeaderLabels({QStringLiteral("Language"), QStringLiteral("Enable")});
  list_->header()->resizeSection(0, 130);
  list_->header()->resizeSection(1, 50);
  list_->setMinimumWidth(130 + 50 + 2 * list_->frameWidth() + 4);
  list_->SetColumnReadOnly(0, true);
  list_->SetColumnChoice(1, true);
  current_ = new QComboBox;
  current_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  current_->setMinimumContentsLength(12);
  reserved_ = new QListWidget;
  reserved_label_ = new QLabel(QStringLiteral("Reserved Languages:"));
  add_ = MakeStandardButton(QStringLiteral("<<"));
  remove_ = MakeStandardButton(QStringLiteral(">>"));
  up_ = MakeStandardButton(QStringLiteral("Up"));
  down_ = MakeStandardButton(QStringLiteral("Down"));

  auto* grid = new QGridLayout(this);
  auto* caption = new QHBoxLayout;
  caption->addWidget(new QLabel(QStringLiteral("Current Languages:")));
  caption->addWidget(current_);
  caption->addStretch();
  grid->addLayout(caption, 0, 0);
  grid->addWidget(reserved_label_, 0, 2);
  grid->addWidget(list_, 1, 0);
  auto* buttons = new QVBoxLayout;
  buttons->addStretch();
  buttons->addWidget(add_);
  buttons->addWidget(remove_);
  buttons->addSpacing(16);
  buttons->addWidget(up_);
  buttons->addWidget(down_);
  buttons->addStretch();
  grid->addLayout(buttons, 1, 1);
  grid->addWidget(reserved_, 1, 2);

  connect(current_, &QComboBox::activated, this, [this](int index) {
    model_.SelectCurrent(index);
    PutControls();
  });
  // Selection changes the program makes are put with the signals blocked; these are the
  // user's clicks and keys.
  connect(list_, &QTreeWidget::itemSelectionChanged, this, [this] {
    model_.SelectRow(list_->indexOfTopLevelItem(list_->currentItem()));
    PutControls();
  });
  connect(reserved_, &QListWidget::itemSelectionChanged, this, [this] {
    model_.SelectReserved(reserved_->currentRow());
    PutControls();
  });
  connect(list_, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem* item) {
    list_->EndEdit(true);
    model_.SelectRow(list_->indexOfTopLevelItem(item));
    model_.Remove();
    PutControls();
  });
  connect(reserved_, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) {
    model_.SelectReserved(reserved_->row(item));
    model_.Add();
    PutControls();
  });
  connect(add_, &QPushButton::clicked, this, [this] { RunAction(&LanguagePage::Add); });
  connect(remove_, &QPushButton::clicked, this, [this] { RunAction(&LanguagePage::Remove); });
  connect(up_, &QPushButton::clicked, this, [this] { RunAction(&LanguagePage::MoveUp); });
  connect(down_, &QPushButton::clicked, this, [this] { RunAction(&LanguagePage::MoveDown); });

  connect(list_, &EditableListControl::ChoicesRequested, this,
          [this](int column, QStringList* choices) {
            if (column != 1)
              return;
            for (const std::string& c : model_.EnableChoices())
              *choices << QString::fromStdString(c);
          });
  connect(list_, &EditableListControl::CellEdited, this,
          [this](int row, int column, const QString& text) {
            if (column != 1)
              return;
            model_.SetRowEnable(row, text.toStdString());
            PutControls();
          });
}

void LanguagePageView::RunAction(void (LanguagePage::*action)()) {
  (model_.*action)();
  PutControls();
}

void LanguagePageView::PutControls() {
  std::vector<QStringList> rows;
  for (const LanguagePage::Row& r : model_.rows())
    rows.push_back({QString::fromStdString(r.name), QString::fromStdString(r.enable)});
  PutRows(list_, rows);
  PutQuietly(list_, [this](QTreeWidget* l) {
    QTreeWidgetItem* item = l->topLevelItem(model_.selected_row());
    if (item == nullptr) {
      l->clearSelection();
    } else if (l->currentItem() != item || !item->isSelected()) {
      l->setCurrentItem(item);
    }
  });
  PutCombo(current_, model_.current);

  QStringList reserved;
  for (const std::string& name : model_.reserved())
    reserved << QString::fromStdString(name);
  PutQuietly(reserved_, [&](QListWidget* list) {
    QStringList shown;
    for (int i = 0; i < list->count(); ++i)
      shown << list->item(i)->text();
    if (shown != reserved) {
      list->clear();
      list->addItems(reserved);
    }
    if (model_.selected_reserved() < 0) {
      list->clearSelection();
      list->setCurrentRow(-1);
    } else if (list->currentRow() != model_.selected_reserved()) {
      list->setCurrentRow(model_.selected_reserved());
    }
  });

  add_->setEnabled(model_.add_enabled());
  remove_->setEnabled(model_.remove_enabled());
  up_->setEnabled(model_.up_enabled());
  down_->setEnabled(model_.down_enabled());
  PutVisible({reserved_, reserved_label_, add_, remove_}, model_.adding_shown());
  PutVisible({up_, down_}, model_.moving_shown());
  setEnabled(model_.loaded());
}

}  // namespace qtk
