#include "app/pages/ota_page_view.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>

#include "app/pages/page_controls.h"
#include "app/widgets/filtered_line_edit.h"

namespace qtk {

OtaPageView::OtaPageView(OtaPage& model, QWidget* parent) : PageView(parent), model_(model) {
  namespace len = ota_edit_lengths;
  frequency_ = Number([this](long long v) { model_.SetFrequency(v); },
                      [this] { return model_.frequency(); });
  symbol_rate_ = Number([this](long long v) { model_.SetSymbolRate(v); },
                        [this] { return model_.symbol_rate(); });
  lnb_frequency_h_ = Number([this](long long v) { model_.SetLnbFrequencyH(v); },
                            [this] { return model_.lnb_frequency_h(); });
  lnb_frequency_v_ = Number([this](long long v) { model_.SetLnbFrequencyV(v); },
                            [this] { return model_.lnb_frequency_v(); });
  pid_ = Hex(len::kPid, &OtaPage::pid);
  oui_ = Hex(len::kOui, &OtaPage::oui);
  hardware_model_ = Hex(len::kModelOrVersion, &OtaPage::hardware_model);
  hardware_version_ = Hex(len::kModelOrVersion, &OtaPage::hardware_version);
  software_model_ = Hex(len::kModelOrVersion, &OtaPage::software_model);
  software_version_ = Hex(len::kModelOrVersion, &OtaPage::software_version);
  polarity_ = Choice(&OtaPage::polarity);
  tone_22k_ = Choice(&OtaPage::tone_22k);
  diseqc_ = Choice(&OtaPage::diseqc);
  ota_enable_ = Choice(&OtaPage::ota_enable);
  lnb_type_ = Choice(&OtaPage::lnb_type);

  auto hex = [](QWidget* edit, const char* label) {
    auto* box = new QWidget;
    auto* row = new QHBoxLayout(box);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(new QLabel(QString::fromLatin1(label)));
    row->addWidget(edit);
    row->addWidget(new QLabel(QStringLiteral("Hex")));
    return box;
  };
  auto* left = new QFormLayout;
  left->addRow(QStringLiteral("OTA Freq"), frequency_);
  left->addRow(QStringLiteral("OTA sym"), symbol_rate_);
  left->addRow(hex(pid_, "OTA PID:0x"));
  left->addRow(QStringLiteral("LNB Freq(H)"), lnb_frequency_h_);
  left->addRow(QStringLiteral("LNB Freq(V)"), lnb_frequency_v_);
  left->addRow(hex(oui_, "Sys    OUI:0x"));
  left->addRow(hex(hardware_model_, "HW Modal:0x"));
  left->addRow(hex(hardware_version_, "HW    Ver :0x"));
  left->addRow(hex(software_model_, "SW Modal:0x"));
  left->addRow(hex(software_version_, "SW     Ver:0x"));
  auto* right = new QFormLayout;
  right->addRow(QStringLiteral("Polarity"), polarity_);
  right->addRow(QStringLiteral("22K"), tone_22k_);
  right->addRow(QStringLiteral("DiSEqc"), diseqc_);
  right->addRow(QStringLiteral("OTA Enable"), ota_enable_);
  lnb_type_label_ = new QLabel(QStringLiteral("LNB Type"));
  right->addRow(lnb_type_label_, lnb_type_);
  // The LNB type is kept in the record but never offered to the user.
  PutVisible({lnb_type_label_, lnb_type_}, false);

  // Room for the longest value (six digits) and no more, so the units stay beside their edits.
  const int width = frequency_->fontMetrics().horizontalAdvance(QStringLiteral("00000000")) + 12;
  for (QLineEdit* edit : {frequency_, symbol_rate_, pid_, lnb_frequency_h_, lnb_frequency_v_, oui_,
                          hardware_model_, hardware_version_, software_model_, software_version_})
    edit->setFixedWidth(width);

  auto* layout = new QHBoxLayout(this);
  layout->addLayout(left);
  layout->addSpacing(24);
  layout->addLayout(right);
  layout->addStretch();
}

FilteredLineEdit* OtaPageView::Number(std::function<void(long long)> set,
                                      std::function<int()> get) {
  FilteredLineEdit* edit = MakeEdit(kDecimalDigits, ota_edit_lengths::kNumber);
  connect(edit, &QLineEdit::textEdited, this, [edit, set = std::move(set), get = std::move(get)] {
    set(NumberOf(edit));
    // A number beyond the 16-bit field shows the value it became.
    if (NumberOf(edit) != get())
      PutNumber(edit, get());
  });
  return edit;
}

FilteredLineEdit* OtaPageView::Hex(size_t digits, std::string OtaPage::*text) {
  FilteredLineEdit* edit =
      MakeEdit(QString::fromLatin1(kOtaHexCharacters), static_cast<int>(digits));
  connect(edit, &QLineEdit::textEdited, this, [this, edit, text] { model_.*text = TextOf(edit); });
  return edit;
}

QComboBox* OtaPageView::Choice(EditableChoice OtaPage::*choice) {
  auto* combo = new QComboBox;
  combo->setEditable(true);
  combo->setInsertPolicy(QComboBox::NoInsert);
  combo->setMinimumContentsLength(10);
  // The typed text is the value: no completion adds to what the user typed.
  combo->setCompleter(nullptr);
  connect(combo, &QComboBox::activated, this,
          [this, choice](int index) { (model_.*choice).Pick(index); });
  connect(combo->lineEdit(), &QLineEdit::textEdited, this, [this, choice](const QString& text) {
    (model_.*choice).Type(text.toLatin1().toStdString());
  });
  return combo;
}

void OtaPageView::PutChoice(QComboBox* combo, const EditableChoice& choice) {
  PutCombo(combo, choice.combo);
  const QString text = Latin1Text(choice.text);
  if (combo->currentText() != text)
    PutQuietly(combo, [&text](QComboBox* c) { c->setEditText(text); });
}

void OtaPageView::PutControls() {
  PutNumber(frequency_, model_.frequency());
  PutNumber(symbol_rate_, model_.symbol_rate());
  PutNumber(lnb_frequency_h_, model_.lnb_frequency_h());
  PutNumber(lnb_frequency_v_, model_.lnb_frequency_v());
  PutText(pid_, model_.pid);
  PutText(oui_, model_.oui);
  PutText(hardware_model_, model_.hardware_model);
  PutText(hardware_version_, model_.hardware_version);
  PutText(software_model_, model_.software_model);
  PutText(software_version_, model_.software_version);
  PutChoice(polarity_, model_.polarity);
  PutChoice(tone_22k_, model_.tone_22k);
  PutChoice(diseqc_, model_.diseqc);
  PutChoice(ota_enable_, model_.ota_enable);
  PutChoice(lnb_type_, model_.lnb_type);
}

}  // namespace qtk
