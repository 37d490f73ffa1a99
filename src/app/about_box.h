#pragma once

#include <QDialog>

namespace qtk {

// The program's icon, name and version with an OK button.
class AboutBox : public QDialog {
  Q_OBJECT

 public:
  explicit AboutBox(QWidget* parent = nullptr);
};

// The program's icon, drawn in code so that no picture files ship with the program.
QIcon ProgramIcon();

}  // namespace qtk
