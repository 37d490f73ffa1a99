#include "app/last_folder.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

namespace qtk {

QString LastFolder::StartPath(const std::string& initial_path) {
  const QString initial = QString::fromStdString(initial_path);
  if (!initial.isEmpty() && QFileInfo(initial).isAbsolute())
    return initial;
  const QString last = QSettings().value(kKey).toString();
  if (last.isEmpty() || !QDir(last).exists())
    return initial;
  return initial.isEmpty() ? last : QDir(last).filePath(initial);
}

void LastFolder::Remember(const QString& chosen_file) {
  QSettings settings;
  settings.setValue(kKey, QFileInfo(chosen_file).absolutePath());
}

}  // namespace qtk
