#include "app/pages/system_set_page_view.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>

namespace qtk {

SystemSetPageView::SystemSetPageView(SystemSetPage& model, QWidget* parent)
    : PageView(parent), model_(model) {
  group_ = new QWidget;
  advanced_ = new QCheckBox(QString::fromLatin1(kAdvancedCaption));
  cpu_clock_ = new QComboBox;
  memory_clock_ = new QComboBox;
  data_pad_driver_ = new QComboBox;
  command_pad_driver_ = new QComboBox;
  password1_ = MakeEdit({}, 0);
  password2_ = MakeEdit({}, 0);

  auto* form = new QFormLayout;
  form->addRow(QStringLiteral("CPU clock"), cpu_clock_);
  form->addRow(QStringLiteral("Memory clock"), memory_clock_);
  form->addRow(QStringLiteral("Data Pad Driver"), data_pad_driver_);
  form->addRow(QStringLiteral("Command Pad Driver"), command_pad_driver_);
  form->addRow(QStringLiteral("Clock tree delay"),
               MakeDelay(
                   clock_tree_, clock_tree_up_, clock_tree_down_,
                   [this](long long v) { model_.TypeClockTreeDelay(v); },
                   [this] { model_.FinishClockTreeDelay(); },
                   [this](int step) { model_.StepClockTreeDelay(step); }));
  form->addRow(QStringLiteral("Clock delay chain"),
               MakeDelay(
                   delay_chain_, delay_chain_up_, delay_chain_down_,
                   [this](long long v) { model_.TypeClockDelayChain(v); },
                   [this] { model_.FinishClockDelayChain(); },
                   [this](int step) { model_.StepClockDelayChain(step); }));
  form->addRow(QStringLiteral("Sys password 1"), password1_);
  form->addRow(QStringLiteral("Sys password 2"), password2_);

  auto* group_layout = new QVBoxLayout(group_);
  group_layout->setContentsMargins(0, 0, 0, 0);
  group_layout->addWidget(advanced_);
  group_layout->addLayout(form);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(group_);
  layout->addStretch();

  connect(advanced_, &QCheckBox::clicked, this, [this](bool ticked) {
    model_.SetAdvanced(ticked);
    PutControls();
  });
  combos_.Bind(cpu_clock_, &model_.cpu_clock);
  combos_.Bind(memory_clock_, &model_.memory_clock);
  combos_.Bind(data_pad_driver_, &model_.data_pad_driver);
  combos_.Bind(command_pad_driver_, &model_.command_pad_driver);
  connect(password1_, &QLineEdit::textEdited, this,
          [this] { model_.password1 = TextOf(password1_); });
  connect(password2_, &QLineEdit::textEdited, this,
          [this] { model_.password2 = TextOf(password2_); });
}

QWidget* SystemSetPageView::MakeDelay(FilteredLineEdit*& edit, QToolButton*& up, QToolButton*& down,
                                      std::function<void(long long)> type,
                                      std::function<void()> leave, std::function<void(int)> step) {
  edit = MakeEdit(kDecimalDigits, static_cast<int>(kDelayDigits));
  up = new QToolButton;
  up->setArrowType(Qt::UpArrow);
  down = new QToolButton;
  down->setArrowType(Qt::DownArrow);
  auto* box = new QWidget;
  auto* row = new QHBoxLayout(box);
  row->setContentsMargins(0, 0, 0, 0);
  row->addWidget(edit);
  auto* arrows = new QVBoxLayout;
  arrows->setSpacing(0);
  arrows->addWidget(up);
  arrows->addWidget(down);
  row->addLayout(arrows);

  FilteredLineEdit* typed = edit;
  connect(edit, &QLineEdit::textEdited, this,
          [typed, type = std::move(type)] { type(NumberOf(typed)); });
  connect(edit, &QLineEdit::editingFinished, this, [this, leave = std::move(leave)] {
    leave();
    PutControls();
  });
  connect(up, &QToolButton::clicked, this, [this, step] {
    step(+1);
    PutControls();
  });
  connect(down, &QToolButton::clicked, this, [this, step] {
    step(-1);
    PutControls();
  });
  return box;
}

void SystemSetPageView::PutControls() {
  combos_.PutAll();
  PutQuietly(advanced_, [this](QCheckBox* box) { box->setChecked(model_.advanced()); });
  PutNumber(clock_tree_, model_.clock_tree_delay().value);
  PutNumber(delay_chain_, model_.clock_delay_chain().value);
  const QString limit = Latin1Text(model_.password_characters());
  for (FilteredLineEdit* edit : {password1_, password2_}) {
    edit->SetAllowedCharacters(limit);
    PutQuietly(edit, [this](QLineEdit* e) {
      e->setMaxLength(static_cast<int>(model_.password_length()));
    });
  }
  PutText(password1_, model_.password1);
  PutText(password2_, model_.password2);
  const bool on = model_.advanced();
  for (QWidget* w : std::initializer_list<QWidget*>{clock_tree_, clock_tree_up_, clock_tree_down_,
                                                    delay_chain_, delay_chain_up_,
                                                    delay_chain_down_, password1_, password2_}) {
    w->setEnabled(on);
  }
  group_->setVisible(model_.group_shown());
}

}  // namespace qtk
