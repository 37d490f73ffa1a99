#pragma once

#include <filesystem>
#include <optional>

#include "common/user_dialogs.h"
#include "dbbuilder/decode/channel_list.h"

namespace qtk::dbbuilder {

// Where a channel list is read from.
enum class ListSource {
  kImageDefaultDatabase,  // the default database chunk of a firmware image
  kImageUserDatabase,     // the user database chunk of a firmware image
  kDatabaseFile,          // a file dfv_k7720x wrote, recognised by its content
  kUserDatabaseFile,      // a file that must be a user database
};

// Reads the source, decodes its database and writes the channel list text to `list_path`:
// under a temporary name in the same folder first, renamed only when it is complete, so a
// failure leaves no list behind and never touches an older file of that name. The source is
// only read; a list path that names the source itself is refused. Failures show their
// message and give nothing; a list the builder does not turn back into the same database,
// or that needs LoadDomestic=1, shows a notice and is still written.
std::optional<ChannelList> ExportChannelList(const std::filesystem::path& source, ListSource kind,
                                             const std::filesystem::path& list_path,
                                             UserDialogs& dialogs);

}  // namespace qtk::dbbuilder
