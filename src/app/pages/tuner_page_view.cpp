#include "app/pages/tuner_page_view.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>

#include "app/widgets/editable_list_control.h"
#include "app/widgets/filtered_line_edit.h"

namespace qtk {

TunerPageView::TunerPageView(TunerPage& model, QWidget* parent) : PageView(parent), model_(model) {
  namespace len = tuner_edit_lengths;
  const QString hex = QString::fromLatin1(kTunerHexCharacters);
  tuner_type_ = new QComboBox;
  polarity_ = new QComboBox;
  single_crystal_ = new QComboBox;
  iq_enable_ = new QComboBox;
  q_set_ = new QComboBox;
  iq_set_ = new QComboBox;
  i_set_ = new QComboBox;
  diff_single_ = new QComboBox;
  user_crystal_ = MakeEdit(kDecimalDigits, len::kUserCrystal);
  quality_zoom_ = MakeEdit(kDecimalDigits, len::kZoom);
  intensity_zoom_ = MakeEdit(kDecimalDigits, len::kZoom);
  base_address_ = MakeEdit(hex, len::kByteHex);
  frequency_low_ = MakeEdit(kDecimalDigits, len::kFrequency);
  frequency_high_ = MakeEdit(kDecimalDigits, len::kFrequency);
  filter_bandwidth_ = MakeEdit(kDecimalDigits, len::kFilterBandwidth);
  agc_threshold1_ = MakeEdit(hex, len::kByteHex);
  agc_threshold2_ = MakeEdit(hex, len::kByteHex);
  qpsk_config_ = MakeEdit(hex, len::kQpskConfig);

  list_ = new EditableListControl;
  list_->setHeaderLabels({QStringLiteral("Tuner"), QStringLiteral("Enable")});
  list_->header()->resizeSection(0, 120);
  list_->header()->resizeSection(1, 66);
  // Room for both columns without a horizontal scroll bar.
  list_->setMinimumWidth(120 + 66 + 2 * list_->frameWidth() + 4);
  list_->SetColumnReadOnly(0, true);
  list_->SetColumnChoice(1, true);
  list_->SetDropDownVerticalScrollBar(true);

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

  combos_.Bind(tuner_type_, &model_.tuner_type, [this](int index) {
    model_.SelectTunerType(index);
    PutControls();
  });
  combos_.Bind(polarity_, &model_.polarity);
  combos_.Bind(single_crystal_, &model_.single_crystal);
  combos_.Bind(iq_enable_, &model_.iq_enable, [this](int index) {
    model_.SelectIqEnable(index);
    PutControls();
  });
  combos_.Bind(q_set_, &model_.q_set);
  combos_.Bind(iq_set_, &model_.iq_set);
  combos_.Bind(i_set_, &model_.i_set);
  combos_.Bind(diff_single_, &model_.diff_single);

  connect(user_crystal_, &QLineEdit::textEdited, this, [this] {
    model_.SetUserCrystal(NumberOf(user_crystal_));
    if (NumberOf(user_crystal_) != model_.user_crystal())
      PutNumber(user_crystal_, model_.user_crystal());
  });
  BindNumber(
      quality_zoom_, [this](long long typed) { model_.SetQualityZoom(typed); },
      [this] { model_.FinishQualityZoom(); });
  BindNumber(
      intensity_zoom_, [this](long long typed) { model_.SetIntensityZoom(typed); },
      [this] { model_.FinishIntensityZoom(); });
  BindNumber(
      frequency_low_, [this](long long typed) { model_.SetFrequencyLow(typed); },
      [this] { model_.FinishFrequencyLow(); });
  BindNumber(
      frequency_high_, [this](long long typed) { model_.SetFrequencyHigh(typed); },
      [this] { model_.FinishFrequencyHigh(); });
  BindNumber(
      filter_bandwidth_, [this](long long typed) { model_.SetFilterBandwidth(typed); },
      [this] { model_.FinishFilterBandwidth(); });
  BindHex(base_address_, &TunerPage::base_address);
  BindHex(agc_threshold1_, &TunerPage::agc_threshold1);
  BindHex(agc_threshold2_, &TunerPage::agc_threshold2);
  BindHex(qpsk_config_, &TunerPage::qpsk_config);

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
            model_.SetRowEnable(row, text.toStdString());
            PutControls();
          });
}

void TunerPageView::BindNumber(FilteredLineEdit* edit, std::function<void(long long)> type,
                               std::function<void()> leave) {
  connect(edit, &QLineEdit::textEdited, this,
          [edit, type = std::move(type)] { type(NumberOf(edit)); });
  // The model runs the rule only when the user changed the value since the edit was filled.
  connect(edit, &QLineEdit::editingFinished, this, [this, leave = std::move(leave)] {
    leave();
    PutControls();
  });
}

void TunerPageView::BindHex(FilteredLineEdit* edit, std::string TunerPage::*text) {
  connect(edit, &QLineEdit::textEdited, this, [this, edit, text] { model_.*text = TextOf(edit); });
}

void TunerPageView::PutControls() {
  combos_.PutAll();
  PutNumber(user_crystal_, model_.user_crystal());
  PutNumber(quality_zoom_, model_.quality_zoom());
  PutNumber(intensity_zoom_, model_.intensity_zoom());
  PutNumber(frequency_low_, model_.frequency_low());
  PutNumber(frequency_high_, model_.frequency_high());
  PutNumber(filter_bandwidth_, model_.filter_bandwidth());
  PutText(base_address_, model_.base_address);
  PutText(agc_threshold1_, model_.agc_threshold1);
  PutText(agc_threshold2_, model_.agc_threshold2);
  PutText(qpsk_config_, model_.qpsk_config);
  extended_box_->setVisible(model_.extended());

  std::vector<QStringList> rows;
  for (const TunerPage::Row& r : model_.rows())
    rows.push_back({QString::fromStdString(r.name), QString::fromStdString(r.enable)});
  PutRows(list_, rows);
  list_->setVisible(model_.list_shown());
  setEnabled(model_.loaded());
}

}  // namespace qtk
