#include "app/pages/tuner_page_view.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>

#include "app/pages/page_controls.h"
#include "app/widgets/editable_list_control.h"
#include "app/widgets/filtered_line_edit.h"

namespace qtk {
namespace {

FilteredLineEdit* MakeEdit(const QString& allowed, int max_length) {
  auto* edit = new FilteredLineEdit;
  edit->SetAllowedCharacters(allowed);
  edit->setMaxLength(max_length);
  return edit;
}

// An edit with its unit or prefix text beside it.
QWidget* WithText(QWidget* edit, const QString& text, bool before = false) {
  auto* box = new QWidget;
  auto* layout = new QHBoxLayout(box);
  layout->setContentsMargins(0, 0, 0, 0);
  if (before)
    layout->addWidget(new QLabel(text));
  layout->addWidget(edit);
  if (!before)
    layout->addWidget(new QLabel(text));
  return box;
}

}  // namespace

TunerPageView::TunerPageView(TunerPage& model, QWidget* parent) : PageView(parent), model_(model) {
  const QString hex = QString::fromLatin1(kTunerHexCharacters);
  tuner_type_ = new QComboBox;
  polarity_ = new QComboBox;
  single_crystal_ = new QComboBox;
  iq_enable_ = new QComboBox;
  q_set_ = new QComboBox;
  iq_set_ = new QComboBox;
  i_set_ = new QComboBox;
  diff_single_ = new QComboBox;
  user_crystal_ = MakeEdit(kDecimalDigits, 5);
  quality_zoom_ = MakeEdit(kDecimalDigits, 3);
  intensity_zoom_ = MakeEdit(kDecimalDigits, 3);
  base_address_ = MakeEdit(hex, 2);
  frequency_low_ = MakeEdit(kDecimalDigits, 4);
  frequency_high_ = MakeEdit(kDecimalDigits, 4);
  filter_bandwidth_ = MakeEdit(kDecimalDigits, 5);
  agc_threshold1_ = MakeEdit(hex, 2);
  agc_threshold2_ = MakeEdit(hex, 2);
  qpsk_config_ = MakeEdit(hex, 4);

  list_ = new EditableListControl;
  list_->setHeaderLabels({QStringLiteral("Tuner"), QStringLiteral("Enable")});
  list_->header()->resizeSection(0, 120);
  list_->header()->resizeSection(1, 66);
  // Room for both columns without a horizontal scroll bar.
  list_->setMinimumWidth(120 + 66 + 2 * list_->frameWidth() + 4);
  list_->SetColumnReadOnly(0, true);
  list_->SetColumnChoice(1, true);

  auto* left = new QFormLayout;
  left->addRow(QStringLiteral("Tuner type"), tuner_type_);
  left->addRow(QStringLiteral("Polarity"), polarity_);
  left->addRow(QStringLiteral("Single crystal"), single_crystal_);
  left->addRow(QStringLiteral("User crystal "), WithText(user_crystal_, QStringLiteral("KHz")));
  left->addRow(QStringLiteral("Signal quality zoom"), WithText(quality_zoom_, QStringLiteral("%")));
  left->addRow(QStringLiteral("Signal intensity zoom"),
               WithText(intensity_zoom_, QStringLiteral("%")));
  left->addRow(QStringLiteral("I/Q enable"), iq_enable_);
  left->addRow(QStringLiteral("Q+/Q-"), q_set_);
  left->addRow(QStringLiteral("I/Q"), iq_set_);
  left->addRow(QStringLiteral("I+/I-"), i_set_);
  left->addRow(QStringLiteral("Diff/Single"), diff_single_);

  extended_box_ = new QWidget;
  auto* right = new QFormLayout(extended_box_);
  right->addRow(QStringLiteral("Base address          0x"), base_address_);
  right->addRow(QStringLiteral("Frequency low"), WithText(frequency_low_, QStringLiteral("MHz")));
  right->addRow(QStringLiteral("Frequency high"), WithText(frequency_high_, QStringLiteral("MHz")));
  right->addRow(QStringLiteral("Filter BW"), WithText(filter_bandwidth_, QStringLiteral("KHz")));
  right->addRow(QStringLiteral("AGC Threshold 1    0x"), agc_threshold1_);
  right->addRow(QStringLiteral("AGC Threshold 2    0x"), agc_threshold2_);
  right->addRow(QStringLiteral("QPSK config           0x"), qpsk_config_);

  // Combos keep room for their longest texts, so the page widens the window instead of
  // cutting them.
  for (QComboBox* combo : {tuner_type_, polarity_, single_crystal_, iq_enable_, q_set_, iq_set_,
                           i_set_, diff_single_}) {
    combo->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    combo->setMinimumContentsLength(14);
  }
  // The number edits hold at most five digits; keep them wide enough to show them all.
  for (QLineEdit* edit : {base_address_, frequency_low_, frequency_high_, filter_bandwidth_,
                          agc_threshold1_, agc_threshold2_, qpsk_config_}) {
    edit->setMinimumWidth(edit->fontMetrics().horizontalAdvance(QStringLiteral("000000")) + 12);
  }

  auto* layout = new QHBoxLayout(this);
  layout->addLayout(left);
  layout->addWidget(list_);
  layout->addWidget(extended_box_);

  connect(tuner_type_, &QComboBox::activated, this, [this](int index) {
    TakeEdits();
    model_.SelectTunerType(index);
    PutControls();
  });
  connect(iq_enable_, &QComboBox::activated, this, [this](int index) {
    model_.SelectIqEnable(index);
    PutControls();
  });
  const std::pair<QComboBox*, ComboState*> plain[] = {
      {polarity_, &model_.polarity}, {single_crystal_, &model_.single_crystal},
      {q_set_, &model_.q_set},       {iq_set_, &model_.iq_set},
      {i_set_, &model_.i_set},       {diff_single_, &model_.diff_single}};
  for (auto [combo, state] : plain) {
    connect(combo, &QComboBox::activated, this, [state](int index) { state->Select(index); });
  }
  connect(user_crystal_, &QLineEdit::textEdited, this, [this] {
    model_.SetUserCrystal(NumberOf(user_crystal_));
    if (NumberOf(user_crystal_) != model_.user_crystal)
      PutNumber(user_crystal_, model_.user_crystal);
  });
  for (FilteredLineEdit* edit :
       {quality_zoom_, intensity_zoom_, frequency_low_, frequency_high_, filter_bandwidth_}) {
    connect(edit, &QLineEdit::editingFinished, this, [this, edit] { LeaveEdit(edit); });
  }

  connect(list_, &EditableListControl::ChoicesRequested, this,
          [this](int column, QStringList* choices) {
            if (column != 1)
              return;
            const int row = list_->indexOfTopLevelItem(list_->currentItem());
            for (const std::string& c : model_.EnableChoices(row)) {
              *choices << QString::fromStdString(c);
            }
          });
  connect(list_, &EditableListControl::CellEdited, this,
          [this](int row, int column, const QString& text) {
            if (column != 1)
              return;
            TakeEdits();
            model_.SetRowEnable(row, text.toStdString());
            PutControls();
          });
}

void TunerPageView::keyPressEvent(QKeyEvent* event) {
  // Escape never closes the page or the window around it.
  if (event->key() == Qt::Key_Escape) {
    event->accept();
    return;
  }
  PageView::keyPressEvent(event);
}

void TunerPageView::LeaveEdit(FilteredLineEdit* edit) {
  TakeEdits();
  if (edit == quality_zoom_)
    model_.FinishQualityZoom();
  if (edit == intensity_zoom_)
    model_.FinishIntensityZoom();
  if (edit == frequency_low_)
    model_.FinishFrequencyLow();
  if (edit == frequency_high_)
    model_.FinishFrequencyHigh();
  if (edit == filter_bandwidth_)
    model_.FinishFilterBandwidth();
  PutControls();
}

void TunerPageView::TakeEdits() {
  model_.SetUserCrystal(NumberOf(user_crystal_));
  model_.quality_zoom = static_cast<int>(std::min<long long>(NumberOf(quality_zoom_), 1 << 30));
  model_.intensity_zoom = static_cast<int>(std::min<long long>(NumberOf(intensity_zoom_), 1 << 30));
  if (model_.extended()) {
    model_.frequency_low = static_cast<int>(NumberOf(frequency_low_));
    model_.frequency_high = static_cast<int>(NumberOf(frequency_high_));
    model_.filter_bandwidth = static_cast<int>(NumberOf(filter_bandwidth_));
    model_.base_address = TextOf(base_address_);
    model_.agc_threshold1 = TextOf(agc_threshold1_);
    model_.agc_threshold2 = TextOf(agc_threshold2_);
    model_.qpsk_config = TextOf(qpsk_config_);
  }
}

bool TunerPageView::TakeControls() {
  TakeEdits();
  const bool ok = model_.Validate();
  PutControls();
  return ok;
}

void TunerPageView::PutControls() {
  PutCombo(tuner_type_, model_.tuner_type);
  PutCombo(polarity_, model_.polarity);
  PutCombo(single_crystal_, model_.single_crystal);
  PutCombo(iq_enable_, model_.iq_enable);
  PutCombo(q_set_, model_.q_set);
  PutCombo(iq_set_, model_.iq_set);
  PutCombo(i_set_, model_.i_set);
  PutCombo(diff_single_, model_.diff_single);
  PutNumber(user_crystal_, model_.user_crystal);
  PutNumber(quality_zoom_, model_.quality_zoom);
  PutNumber(intensity_zoom_, model_.intensity_zoom);
  PutNumber(frequency_low_, model_.frequency_low);
  PutNumber(frequency_high_, model_.frequency_high);
  PutNumber(filter_bandwidth_, model_.filter_bandwidth);
  PutText(base_address_, model_.base_address);
  PutText(agc_threshold1_, model_.agc_threshold1);
  PutText(agc_threshold2_, model_.agc_threshold2);
  PutText(qpsk_config_, model_.qpsk_config);
  extended_box_->setVisible(model_.extended());

  const auto& rows = model_.rows();
  if (list_->RowCount() != static_cast<int>(rows.size())) {
    list_->clear();
    for (const TunerPage::Row& r : rows) {
      list_->AddRow({QString::fromStdString(r.name), QString::fromStdString(r.enable)});
    }
  } else {
    for (size_t i = 0; i < rows.size(); ++i) {
      list_->SetCellText(static_cast<int>(i), 0, QString::fromStdString(rows[i].name));
      list_->SetCellText(static_cast<int>(i), 1, QString::fromStdString(rows[i].enable));
    }
  }
  list_->setVisible(model_.list_shown());
  setEnabled(model_.loaded());
}

}  // namespace qtk
