#pragma once

#include <QDialog>

namespace qtk {

// The program's icon, name and version with an OK button; below the version the program has
// always shown, the release of this build.
class AboutBox : public QDialog {
  Q_OBJECT

 public:
  explicit AboutBox(QWidget* parent = nullptr);
};

// "qtk7720x" and the version this build was made from.
QString BuildVersionText();

// The program's icon, drawn in code so that no picture files ship with the program.
QIcon ProgramIcon();

}  // namespace qtk
