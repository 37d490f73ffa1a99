#include "app/pages/av_set_page_view.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QToolButton>
#include <QVBoxLayout>

#include "app/widgets/editable_list_control.h"
#include "app/widgets/filtered_line_edit.h"

namespace qtk {
namespace {

QToolButton* MakeArrow(Qt::ArrowType arrow) {
  auto* button = new QToolButton;
  button->setArrowType(arrow);
  return button;
}

}  // namespace

AvSetPageView::AvSetPageView(AvSetPage& model, QWidget* parent) : PageView(parent), model_(model) {
  tv_mode_ = new QComboBox;
  program_mode_ = new QComboBox;
  rf_mode_ = new QComboBox;
  rf_channel_ = MakeEdit(kDecimalDigits, static_cast<int>(av_set_texts::kRfChannelDigits));
  rf_up_ = MakeArrow(Qt::UpArrow);
  rf_down_ = MakeArrow(Qt::DownArrow);
  rf_channel_name_ = new QLabel;
  rf_channel_name_->setMinimumWidth(rf_channel_name_->fontMetrics().horizontalAdvance("S-41") + 8);

  auto* channel_box = new QWidget;
  auto* channel_layout = new QHBoxLayout(channel_box);
  channel_layout->setContentsMargins(0, 0, 0, 0);
  channel_layout->addWidget(rf_channel_);
  auto* arrows = new QVBoxLayout;
  arrows->setSpacing(0);
  arrows->addWidget(rf_up_);
  arrows->addWidget(rf_down_);
  channel_layout->addLayout(arrows);
  channel_layout->addWidget(rf_channel_name_);

  list_ = new EditableListControl;
  list_->setHeaderLabels({QStringLiteral("Video output"), QStringLiteral("Enable"),
                          QStringLiteral("1st DAC"), QStringLiteral("2nd DAC"),
                          QStringLiteral("3th DAC")});
  const int widths[] = {100, 60, 80, 80, 80};
  for (int column = 0; column < 5; ++column)
    list_->header()->resizeSection(column, widths[column]);
  list_->setMinimumWidth(400 + 2 * list_->frameWidth() + 4);
  list_->setSelectionMode(QAbstractItemView::SingleSelection);
  list_->SetColumnReadOnly(0, true);
  for (int column = 1; column < 5; ++column)
    list_->SetColumnChoice(column, true);
  list_->SetDropDownVerticalScrollBar(true);

  for (QComboBox* combo : {tv_mode_, program_mode_, rf_mode_}) {
    combo->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    combo->setMinimumContentsLength(14);
  }
  auto* form = new QFormLayout;
  form->addRow(QStringLiteral("TV mode"), tv_mode_);
  form->addRow(QStringLiteral("Program mode"), program_mode_);
  form->addRow(QStringLiteral("RF mode"), rf_mode_);
  form->addRow(QStringLiteral("RF channel"), channel_box);
  auto* layout = new QHBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(list_);

  combos_.Bind(tv_mode_, &model_.tv_mode);
  combos_.Bind(program_mode_, &model_.program_mode);
  combos_.Bind(rf_mode_, &model_.rf_mode, [this](int index) {
    model_.SelectRfMode(index);
    PutControls();
  });
  connect(rf_channel_, &QLineEdit::textEdited, this, [this] {
    model_.SetRfChannel(NumberOf(rf_channel_));
    PutChannel();
  });
  connect(rf_channel_, &QLineEdit::editingFinished, this, [this] {
    model_.FinishRfChannel();
    PutChannel();
  });
  connect(rf_up_, &QToolButton::clicked, this, [this] {
    model_.StepRfChannel(+1);
    PutChannel();
  });
  connect(rf_down_, &QToolButton::clicked, this, [this] {
    model_.StepRfChannel(-1);
    PutChannel();
  });

  connect(list_, &EditableListControl::ChoicesRequested, this,
          [this](int column, QStringList* choices) {
            const int row = list_->indexOfTopLevelItem(list_->currentItem());
            for (const std::string& c : model_.CellChoices(row, column))
              *choices << QString::fromStdString(c);
          });
  connect(list_, &EditableListControl::CellEdited, this,
          [this](int row, int column, const QString& text) {
            model_.SetCell(row, column, text.toStdString());
            PutControls();
          });
  connect(list_, &QTreeWidget::itemSelectionChanged, this, [this] {
    model_.SelectRow(list_->indexOfTopLevelItem(list_->currentItem()));
    PutControls();
  });
}

void AvSetPageView::PutChannel() {
  // The model keeps what the user typed (a number below the range waits for the edit to be
  // left), so only a changed value is put; an emptied box stays empty while it is edited.
  const bool emptied = rf_channel_->text().isEmpty() && rf_channel_->hasFocus();
  if (NumberOf(rf_channel_) != model_.rf_channel() || (rf_channel_->text().isEmpty() && !emptied)) {
    PutNumber(rf_channel_, model_.rf_channel());
  }
  rf_channel_name_->setText(QString::fromStdString(model_.rf_channel_name()));
}

void AvSetPageView::PutControls() {
  combos_.PutAll();
  PutChannel();
  std::vector<QStringList> rows;
  for (const AvSetPage::Row& r : model_.rows()) {
    QStringList cells;
    for (const std::string& cell : r.cells)
      cells << QString::fromStdString(cell);
    rows.push_back(cells);
  }
  PutRows(list_, rows);
  const std::array<std::string, 3> headers = model_.DacHeaders();
  PutQuietly(list_, [&headers](EditableListControl* list) {
    for (int k = 0; k < 3; ++k) {
      list->headerItem()->setText(2 + k, QString::fromStdString(headers[static_cast<size_t>(k)]));
    }
  });
}

}  // namespace qtk
