#include "dbbuilder/builder_arguments.h"

#include <string_view>
#include <system_error>

#include "common/utf8_path.h"

namespace qtk::dbbuilder {
namespace {

namespace fs = std::filesystem;

void TakeDirectory(const std::string& text, BuilderArguments& parsed) {
  if (parsed.directory) {
    parsed.error = std::string(kDirectoryOption) + " given twice";
    return;
  }
  if (text.empty()) {
    parsed.error = std::string(kDirectoryOption) + " needs a directory";
    return;
  }
  std::error_code ec;
  // Messages name the full paths of the files, as they do for the builder's own directory.
  const fs::path absolute = fs::absolute(PathFromUtf8(text), ec);
  if (ec || !fs::is_directory(absolute, ec)) {
    parsed.error = "no such directory: " + text;
    return;
  }
  parsed.directory = absolute.lexically_normal();
}

}  // namespace

BuilderArguments ParseBuilderArguments(const std::vector<std::string>& arguments) {
  BuilderArguments parsed;
  const std::string_view option = kDirectoryOption;
  for (size_t i = 0; i < arguments.size() && parsed.error.empty(); ++i) {
    const std::string& argument = arguments[i];
    if (argument == "--help" || argument == "-h") {
      parsed.help = true;
    } else if (argument == "--version") {
      parsed.version = true;
    } else if (argument == option) {
      if (i + 1 == arguments.size()) {
        parsed.error = std::string(option) + " needs a directory";
        break;
      }
      TakeDirectory(arguments[++i], parsed);
    } else if (argument.starts_with(std::string(option) + "=")) {
      TakeDirectory(argument.substr(option.size() + 1), parsed);
    } else {
      parsed.error = "unknown argument: " + argument;
    }
  }
  return parsed;
}

}  // namespace qtk::dbbuilder
