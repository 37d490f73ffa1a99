#include "app/window_title.h"

#include <filesystem>

#include "app/model/main_window_texts.h"
#include "common/utf8_path.h"

namespace qtk {

std::string MainWindowTitle(const std::string& firmware_path) {
  const std::string file_name = Utf8FromPath(PathFromUtf8(firmware_path).filename());
  if (file_name.empty())
    return main_window_texts::kWindowTitle;
  return file_name + " - " + main_window_texts::kWindowTitle;
}

std::string MarkableWindowTitle(const std::string& firmware_path) {
  std::string file_name = Utf8FromPath(PathFromUtf8(firmware_path).filename());
  for (size_t at = file_name.find("[*]"); at != std::string::npos;
       at = file_name.find("[*]", at + 6))
    file_name.insert(at, "[*]");
  if (file_name.empty())
    return std::string(main_window_texts::kWindowTitle) + "[*]";
  return file_name + "[*] - " + main_window_texts::kWindowTitle;
}

}  // namespace qtk
