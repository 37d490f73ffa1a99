#pragma once

#include <string>

namespace qtk {

// The main window's title: the loaded firmware's file name before the program's own title, so
// that windows over different images can be told apart in the task bar.
std::string MainWindowTitle(const std::string& firmware_path);

}  // namespace qtk
