#pragma once

#include <QString>
#include <string>

namespace qtk {

// The folder of the file chosen last in any file dialog, kept in the program's settings
// (QSettings of the application's organization and name) so that the next run starts there
// too.
class LastFolder {
 public:
  inline static const QString kKey = QStringLiteral("FileDialogs/LastFolder");

  // Where a file dialog asked to start at `initial_path` opens: a full path is kept as it
  // is (the dialog names the file it is about); an empty path or a bare name starts in the
  // last folder while that still exists.
  static QString StartPath(const std::string& initial_path);

  // Remembers the folder of a file the user chose.
  static void Remember(const QString& chosen_file);
};

}  // namespace qtk
