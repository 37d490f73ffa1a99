#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace qtk::dbbuilder {

// The builder needs no arguments: without them it keeps its settings, its list and its
// outputs in its own directory. An installed builder lives in a directory nobody may write
// to, so the desktop program names the directory it exchanges the files in instead.
inline constexpr const char* kDirectoryOption = "--directory";

inline constexpr const char* kUsage =
    "Usage: dfv_k7720x [--directory DIR]\n"
    "Builds m_6615_df.bin and user_db.bin from the channel list named in dfv_k7720x.ini.\n"
    "  --directory DIR  read dfv_k7720x.ini and the channel list from DIR and write the\n"
    "                   databases there (default: the directory of dfv_k7720x itself)\n"
    "  --help           print this text\n"
    "  --version        print the version\n";

struct BuilderArguments {
  // The builder directory asked for, made absolute; none means the executable's directory.
  std::optional<std::filesystem::path> directory;
  bool help = false;
  bool version = false;
  // Set when the arguments cannot be used; the builder then does nothing else.
  std::string error;
};

// Reads the command line without the program name. "--directory DIR" and "--directory=DIR"
// are both accepted; the directory must exist.
BuilderArguments ParseBuilderArguments(const std::vector<std::string>& arguments);

}  // namespace qtk::dbbuilder
