#include "app/pages/panel_page_view.h"

#include <utility>

#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QVBoxLayout>

namespace qtk {
namespace {

EditableListControl* MakeBitList(const QStringList& headers, const std::vector<int>& widths) {
  auto* list = new EditableListControl;
  list->setHeaderLabels(headers);
  int total = 0;
  for (size_t i = 0; i < widths.size(); ++i) {
    list->header()->resizeSection(static_cast<int>(i), widths[i]);
    total += widths[i];
  }
  list->setMinimumWidth(total + 2 * list->frameWidth() + 4);
  list->setRootIsDecorated(false);
  list->setSelectionBehavior(QAbstractItemView::SelectRows);
  list->SetColumnReadOnly(0, true);
  list->SetColumnChoice(static_cast<int>(widths.size()) - 1, true);
  list->SetDropDownVerticalScrollBar(true);
  return list;
}

QStringList BitChoices() {
  QStringList bits;
  for (int bit = 0; bit < 8; ++bit)
    bits << QString::fromStdString(PanelPage::BitText(bit));
  return bits;
}

// The picture's character that lights only the segment of a row ("Segment H" first).
char SingleSegmentCharacter(int row) {
  return static_cast<char>(0xC7 - row);
}

}  // namespace

PanelPageView::PanelPageView(PanelPage& model, QWidget* parent) : PageView(parent), model_(model) {
  scan_type_ = new QComboBox;
  led_number_ = new QComboBox;
  dot_enable_ = new QComboBox;
  dot_com_ = new QComboBox;
  dot_position_ = new QComboBox;
  dot_polarity_ = new QComboBox;
  led_polarity_ = new QComboBox;
  signal_com_ = new QComboBox;
  signal_polarity_ = new QComboBox;
  irp_type_ = new QComboBox;
  signal_enable_ = new QCheckBox(QStringLiteral("Signal quality LED enable"));
  reverse_ = MakeStandardButton(QStringLiteral("Reverse direction"));
  signal_list_ =
      MakeBitList({QStringLiteral("LED segment"), QStringLiteral("Scope"), QStringLiteral("Bit")},
                  {90, 50, 50});
  signal_list_->SetAllowedCharacters(kDecimalDigits);
  segment_list_ = MakeBitList({QStringLiteral("LED segment"), QStringLiteral("Bit")}, {90, 70});
  picture_ = new SevenSegmentDisplay;
  picture_->SetUnlitColour(QColor(0x00, 0x40, 0x00));
  picture_->setMinimumSize(60, 90);
  repeat_first_ = MakeEdit(kDecimalDigits, 4);
  repeat_normal_ = MakeEdit(kDecimalDigits, 4);

  auto* left = new QFormLayout;
  left->addRow(QStringLiteral("Scan type"), scan_type_);
  left->addRow(QStringLiteral("LED number"), led_number_);
  left->addRow(QStringLiteral("LED Dot Enable"), dot_enable_);
  left->addRow(QStringLiteral("Dot COM port"), dot_com_);
  left->addRow(QStringLiteral("LED Dot position"), dot_position_);
  left->addRow(QStringLiteral("Dot polariry"), dot_polarity_);
  left->addRow(QStringLiteral("LED polarity"), led_polarity_);
  auto* segments = new QHBoxLayout;
  segments->addWidget(segment_list_);
  segments->addWidget(picture_);
  auto* left_column = new QVBoxLayout;
  left_column->addLayout(left);
  left_column->addLayout(segments);

  // The key scan details are kept in the record but not offered on the page.
  hidden_box_ = new QWidget;
  auto* hidden = new QFormLayout(hidden_box_);
  hidden->addRow(QStringLiteral("IRP type"), irp_type_);
  hidden->addRow(QStringLiteral("Key repeat first"), WithText(repeat_first_, QStringLiteral("ms")));
  hidden->addRow(QStringLiteral("Key repeat normal"),
                 WithText(repeat_normal_, QStringLiteral("ms")));
  hidden_box_->hide();

  auto* right = new QFormLayout;
  right->addRow(signal_enable_);
  right->addRow(QStringLiteral("COM port"), signal_com_);
  right->addRow(QStringLiteral("Polarity"), signal_polarity_);
  auto* right_column = new QVBoxLayout;
  right_column->addLayout(right);
  right_column->addWidget(signal_list_);
  right_column->addWidget(reverse_);
  right_column->addWidget(hidden_box_);

  auto* layout = new QHBoxLayout(this);
  layout->addLayout(left_column);
  layout->addLayout(right_column);

  combos_.Bind(scan_type_, &model_.scan_type);
  combos_.Bind(led_number_, &model_.led_number);
  combos_.Bind(dot_enable_, &model_.dot_enable, [this](int index) {
    model_.SelectDotEnable(index);
    PutControls();
  });
  combos_.Bind(dot_com_, &model_.dot_com);
  combos_.Bind(dot_position_, &model_.dot_position);
  combos_.Bind(dot_polarity_, &model_.dot_polarity);
  combos_.Bind(led_polarity_, &model_.led_polarity);
  combos_.Bind(signal_com_, &model_.signal_com);
  combos_.Bind(signal_polarity_, &model_.signal_polarity);
  combos_.Bind(irp_type_, &model_.irp_type);
  connect(signal_enable_, &QCheckBox::clicked, this, [this](bool on) {
    model_.SetSignalEnabled(on);
    PutControls();
  });
  connect(reverse_, &QAbstractButton::clicked, this, [this] {
    model_.ReverseDirection();
    PutControls();
  });
  BindRepeat(repeat_first_, &PanelPage::SetKeyRepeatFirst, &PanelPage::FinishKeyRepeatFirst);
  BindRepeat(repeat_normal_, &PanelPage::SetKeyRepeatNormal, &PanelPage::FinishKeyRepeatNormal);

  connect(signal_list_, &EditableListControl::ChoicesRequested, this,
          [this](int column, QStringList* choices) {
            if (column == 2 && signal_list_->indexOfTopLevelItem(signal_list_->currentItem()) > 0)
              *choices = BitChoices();
          });
  connect(signal_list_, &EditableListControl::CellEdited, this,
          [this](int row, int column, const QString& text) {
            if (column == 1)
              model_.EditScope(static_cast<size_t>(row), text.toStdString());
            else if (column == 2)
              model_.EditSignalBit(static_cast<size_t>(row), text.toStdString());
            PutControls();
          });
  connect(segment_list_, &EditableListControl::ChoicesRequested, this,
          [](int column, QStringList* choices) {
            if (column == 1)
              *choices = BitChoices();
          });
  connect(segment_list_, &EditableListControl::CellEdited, this,
          [this](int row, int column, const QString& text) {
            if (column == 1)
              model_.EditSegmentBit(static_cast<size_t>(row), text.toStdString());
            PutControls();
          });
  // The picture follows the selected row; it shows no model value.
  connect(segment_list_, &QTreeWidget::currentItemChanged, this, [this] { ShowSelectedSegment(); });
}

void PanelPageView::BindRepeat(FilteredLineEdit* edit,
                               std::function<void(PanelPage&, long long)> type,
                               std::function<bool(PanelPage&)> leave) {
  connect(edit, &QLineEdit::textEdited, this, [this, edit, type = std::move(type)] {
    type(model_, NumberOf(edit));
    PutControls();
  });
  connect(edit, &QLineEdit::editingFinished, this, [this, edit, leave = std::move(leave)] {
    const bool stood = leave(model_);
    PutControls();
    if (!stood)
      edit->setFocus(Qt::OtherFocusReason);
  });
}

void PanelPageView::ShowSelectedSegment() {
  const int row = segment_list_->indexOfTopLevelItem(segment_list_->currentItem());
  picture_->SetText(row >= 0 ? std::string(1, SingleSegmentCharacter(row)) : std::string());
}

void PanelPageView::PutControls() {
  combos_.PutAll();
  PutQuietly(signal_enable_, [this](QCheckBox* box) { box->setChecked(model_.signal_enabled()); });
  PutNumber(repeat_first_, model_.key_repeat_first());
  PutNumber(repeat_normal_, model_.key_repeat_normal());
  std::vector<QStringList> signal;
  for (size_t i = 0; i < PanelPage::kSignalRows; ++i) {
    signal.push_back({QString::fromStdString(PanelPage::SignalRowName(i)),
                      QString::number(model_.scope(i)),
                      i == 0 ? QStringLiteral("N/A")
                             : QString::fromStdString(PanelPage::BitText(model_.signal_bit(i)))});
  }
  PutRows(signal_list_, signal);
  std::vector<QStringList> segments;
  for (size_t i = 0; i < kSegmentCount; ++i) {
    segments.push_back({QString::fromStdString(PanelPage::SegmentRowName(i)),
                        QString::fromStdString(PanelPage::BitText(model_.segment_bits()[i]))});
  }
  PutRows(segment_list_, segments);
  signal_list_->setEnabled(model_.signal_enabled());
  reverse_->setEnabled(model_.signal_enabled());
  ShowSelectedSegment();
}

}  // namespace qtk
