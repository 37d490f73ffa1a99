#include "app/last_folder.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

#include "app/path_text.h"

namespace qtk {

QString LastFolder::StartPath(const std::string& initial_path) {
  const QString initial = QStringFromPathText(initial_path);
  if (!initial.isEmpty() && QFileInfo(initial).isAbsolute())
    return initial;
  const QString last = QSettings().value(kKey).toString();
  if (last.isEmpty() || !QDir(last).exists())
    return initial;
  return initial.isEmpty() ? last : QDir(last).filePath(initial);
}

void LastFolder::Remember(const QString& chosen_file) {
  QSettings settings;
  settings.setValue(kKey, QDir::toNativeSeparators(QFileInfo(chosen_file).absolutePath()));
}

}  // namespace qtk
