#pragma once

#include <string>

namespace qtk {

// The main window's title: the loaded firmware's file name before the program's own title, so
// that windows over different images can be told apart in the task bar.
std::string MainWindowTitle(const std::string& firmware_path);

// The same with the place of the unsaved-changes mark after the file name ("[*]", which the
// window shows as "*" while the project has changes not yet saved, and drops otherwise). A
// "[*]" in the file name itself is doubled, the way it stays literal.
std::string MarkableWindowTitle(const std::string& firmware_path);

}  // namespace qtk
