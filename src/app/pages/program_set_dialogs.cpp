#include "app/pages/program_set_dialogs.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QRadioButton>
#include <QVBoxLayout>

#include "app/pages/page_controls.h"
#include "app/widgets/bitmap_push_button.h"
#include "app/widgets/filtered_line_edit.h"

namespace qtk {
namespace {

namespace lim = program_set_limits;

QComboBox* MakePolarity(const QStringList& items, int selection) {
  auto* combo = new QComboBox;
  combo->addItems(items);
  combo->setCurrentIndex(selection);
  return combo;
}

FilteredLineEdit* MakeNumber(int digits, int value) {
  FilteredLineEdit* edit = MakeEdit(kDecimalDigits, digits);
  PutNumber(edit, value);
  return edit;
}

// "OK" and "Cancel" under the dialog's fields.
QHBoxLayout* Buttons(QDialog* dialog, QPushButton*& ok, QPushButton*& cancel) {
  ok = MakeStandardButton(QStringLiteral("OK"));
  cancel = MakeStandardButton(QStringLiteral("Cancel"));
  ok->setDefault(true);
  QObject::connect(cancel, &QPushButton::clicked, dialog, &QDialog::reject);
  auto* row = new QHBoxLayout;
  row->addStretch();
  row->addWidget(ok);
  row->addWidget(cancel);
  return row;
}

int Number(const FilteredLineEdit* edit) {
  return static_cast<int>(NumberOf(edit));
}

void FocusAll(QLineEdit* edit) {
  edit->setFocus(Qt::OtherFocusReason);
  edit->selectAll();
}

}  // namespace

AddTpDialog::AddTpDialog(ProgramSetPage& model, QWidget* parent) : QDialog(parent), model_(model) {
  setWindowTitle(QStringLiteral("Add TP"));
  const AddTpValues& last = model_.tp_dialog_values();
  polarity_ = MakePolarity({QStringLiteral("H"), QStringLiteral("V")}, last.polarity);
  frequency_ = MakeNumber(lim::kRateDigits, last.frequency);
  symbol_rate_ = MakeNumber(lim::kRateDigits, last.symbol_rate);
  auto* form = new QFormLayout;
  form->addRow(QStringLiteral("Polarity"), polarity_);
  form->addRow(QStringLiteral("Frequency"), WithText(frequency_, QStringLiteral("MHz")));
  form->addRow(QStringLiteral("Symbol rate"), WithText(symbol_rate_, QStringLiteral("Kbits/S")));
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addLayout(Buttons(this, ok_, cancel_));
  connect(ok_, &QPushButton::clicked, this, &AddTpDialog::Ok);
}

void AddTpDialog::Ok() {
  const AddTpValues values{std::max(polarity_->currentIndex(), 0), Number(frequency_),
                           Number(symbol_rate_)};
  switch (model_.AcceptTp(values)) {
    case AddRefusal::kNone:
    case AddRefusal::kListFull:
      accept();
      return;
    case AddRefusal::kSymbolRate:
      FocusAll(symbol_rate_);
      return;
    default:
      FocusAll(frequency_);
      return;
  }
}

AddForbiddenDialog::AddForbiddenDialog(ProgramSetPage& model, QWidget* parent)
    : QDialog(parent), model_(model) {
  setWindowTitle(QStringLiteral("Add forbidden program"));
  const AddForbiddenValues& last = model_.forbidden_dialog_values();
  polarity_ = MakePolarity({QStringLiteral("H"), QStringLiteral("V"), QStringLiteral("H/V")},
                           last.polarity);
  frequency_ = MakeNumber(lim::kRateDigits, last.frequency);
  symbol_rate_ = MakeNumber(lim::kRateDigits, last.symbol_rate);
  video_pid_ = MakeNumber(lim::kPidDigits, last.video_pid);
  audio_pid_ = MakeNumber(lim::kPidDigits, last.audio_pid);
  forbid_tp_ = new QRadioButton(QStringLiteral("Forbid TP"));
  forbid_program_ = new QRadioButton(QStringLiteral("Forbid Program"));
  forbid_tp_->setChecked(last.forbid_tp);
  forbid_program_->setChecked(!last.forbid_tp);
  auto* form = new QFormLayout;
  form->addRow(QStringLiteral("Polarity"), polarity_);
  form->addRow(QStringLiteral("Frequency"), WithText(frequency_, QStringLiteral("MHz")));
  form->addRow(QStringLiteral("Symbol rate"), WithText(symbol_rate_, QStringLiteral("Kbits/S")));
  form->addRow(QStringLiteral("Video PID"), video_pid_);
  form->addRow(QStringLiteral("Audio PID"), audio_pid_);
  auto* radios = new QHBoxLayout;
  radios->addWidget(forbid_tp_);
  radios->addWidget(forbid_program_);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addLayout(radios);
  layout->addLayout(Buttons(this, ok_, cancel_));
  connect(forbid_tp_, &QRadioButton::clicked, this, &AddForbiddenDialog::FollowRadio);
  connect(forbid_program_, &QRadioButton::clicked, this, &AddForbiddenDialog::FollowRadio);
  connect(ok_, &QPushButton::clicked, this, &AddForbiddenDialog::Ok);
  FollowRadio();
}

void AddForbiddenDialog::FollowRadio() {
  const bool program = !forbid_tp_->isChecked();
  video_pid_->setEnabled(program);
  audio_pid_->setEnabled(program);
}

void AddForbiddenDialog::Ok() {
  const AddForbiddenValues values{std::max(polarity_->currentIndex(), 0),
                                  Number(frequency_),
                                  Number(symbol_rate_),
                                  Number(video_pid_),
                                  Number(audio_pid_),
                                  forbid_tp_->isChecked()};
  switch (model_.AcceptForbidden(values)) {
    case AddRefusal::kNone:
    case AddRefusal::kListFull:
      accept();
      return;
    case AddRefusal::kSymbolRate:
      FocusAll(symbol_rate_);
      return;
    case AddRefusal::kVideoPid:
      FocusAll(video_pid_);
      return;
    case AddRefusal::kAudioPid:
      FocusAll(audio_pid_);
      return;
    default:
      FocusAll(frequency_);
      return;
  }
}

}  // namespace qtk
