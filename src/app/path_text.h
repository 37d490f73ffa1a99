#pragma once

#include <QDir>
#include <QFile>
#include <QString>
#include <filesystem>
#include <string>

#include "common/utf8_path.h"

namespace qtk {

// Paths between the widgets and the core. The core holds a path as std::filesystem::path or
// as UTF-8 text; a QString is converted through the system's own file names, never through
// the ANSI code page (Windows) and never assuming UTF-8 where the file system has bytes
// (a POSIX name that is no valid UTF-8 still names its file).

inline QString QStringFromPath(const std::filesystem::path& path) {
#ifdef _WIN32
  return QString::fromStdWString(path.native());
#else
  return QFile::decodeName(QByteArray::fromStdString(path.native()));
#endif
}

inline std::filesystem::path PathFromQString(const QString& text) {
#ifdef _WIN32
  return std::filesystem::path(text.toStdWString());
#else
  return std::filesystem::path(QFile::encodeName(text).toStdString());
#endif
}

// The path text the core takes (UTF-8) for a path the user typed or chose.
inline std::string PathTextFromQString(const QString& text) {
  return Utf8FromPath(PathFromQString(text));
}

// The path text the core takes for a path Qt produced (a file dialog's choice, a dropped
// file). Qt separates folders with '/' on every system; the text is shown in path fields and
// messages, where a Windows user reads and types the system's backslash.
inline std::string PathTextFromQtPath(const QString& path) {
  return PathTextFromQString(QDir::toNativeSeparators(path));
}

// The text a widget shows for a path the core holds as UTF-8 text.
inline QString QStringFromPathText(const std::string& text) {
  return QStringFromPath(PathFromUtf8(text));
}

}  // namespace qtk
