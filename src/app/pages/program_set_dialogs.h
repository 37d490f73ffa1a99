#pragma once

#include <QDialog>

#include "pages/program_set_page.h"

class QComboBox;
class QRadioButton;
class QPushButton;

namespace qtk {

class FilteredLineEdit;

// The "Add TP" dialog: opens with the values of its last accepted OK; OK hands the values to
// the page, which shows the message of a fault and keeps the dialog open, or adds the row.
class AddTpDialog : public QDialog {
  Q_OBJECT
 public:
  AddTpDialog(ProgramSetPage& model, QWidget* parent);

  QComboBox* polarity() const { return polarity_; }
  FilteredLineEdit* frequency() const { return frequency_; }
  FilteredLineEdit* symbol_rate() const { return symbol_rate_; }
  QPushButton* ok_button() const { return ok_; }
  QPushButton* cancel_button() const { return cancel_; }

 private:
  void Ok();

  ProgramSetPage& model_;
  QComboBox* polarity_;
  FilteredLineEdit* frequency_;
  FilteredLineEdit* symbol_rate_;
  QPushButton* ok_;
  QPushButton* cancel_;
};

// The "Add forbidden program" dialog; "Forbid TP" disables the two PID edits.
class AddForbiddenDialog : public QDialog {
  Q_OBJECT
 public:
  AddForbiddenDialog(ProgramSetPage& model, QWidget* parent);

  QComboBox* polarity() const { return polarity_; }
  FilteredLineEdit* frequency() const { return frequency_; }
  FilteredLineEdit* symbol_rate() const { return symbol_rate_; }
  FilteredLineEdit* video_pid() const { return video_pid_; }
  FilteredLineEdit* audio_pid() const { return audio_pid_; }
  QRadioButton* forbid_tp() const { return forbid_tp_; }
  QRadioButton* forbid_program() const { return forbid_program_; }
  QPushButton* ok_button() const { return ok_; }
  QPushButton* cancel_button() const { return cancel_; }

 private:
  void Ok();
  void FollowRadio();

  ProgramSetPage& model_;
  QComboBox* polarity_;
  FilteredLineEdit* frequency_;
  FilteredLineEdit* symbol_rate_;
  FilteredLineEdit* video_pid_;
  FilteredLineEdit* audio_pid_;
  QRadioButton* forbid_tp_;
  QRadioButton* forbid_program_;
  QPushButton* ok_;
  QPushButton* cancel_;
};

}  // namespace qtk
