#include "dbbuilder/decode/channel_list_export.h"

#include "common/file_io.h"
#include "common/message_format.h"
#include "common/pending_file.h"
#include "common/utf8_path.h"
#include "dbbuilder/decode/database_source.h"
#include "dbbuilder/decode/decode_messages.h"
#include "firmware/firmware_loader.h"

namespace qtk::dbbuilder {
namespace {

bool FromImage(ListSource kind) {
  return kind == ListSource::kImageDefaultDatabase || kind == ListSource::kImageUserDatabase;
}

}  // namespace

std::optional<ChannelList> ExportChannelList(const std::filesystem::path& source, ListSource kind,
                                             const std::filesystem::path& list_path,
                                             UserDialogs& dialogs) {
  if (SameFile(source, list_path)) {
    dialogs.ShowMessage(decode_msg::kSameAsSource, MessageIcon::Error);
    return std::nullopt;
  }
  const std::optional<std::vector<uint8_t>> bytes = ReadWholeFile(source);
  if (!bytes) {
    dialogs.ShowMessage(FromImage(kind)
                            ? std::string(load_messages::kCannotOpenFirmware)
                            : FormatMessage(decode_msg::kCannotOpenDatabase, Utf8FromPath(source)),
                        MessageIcon::Error);
    return std::nullopt;
  }
  Decoded<ChannelList> list = [&] {
    switch (kind) {
      case ListSource::kImageDefaultDatabase:
        return DecodeImageDatabase(*bytes, DatabaseKind::kDefault);
      case ListSource::kImageUserDatabase:
        return DecodeImageDatabase(*bytes, DatabaseKind::kUser);
      case ListSource::kDatabaseFile:
        return DecodeDatabaseFile(*bytes, Utf8FromPath(source), false);
      case ListSource::kUserDatabaseFile:
        break;
    }
    return DecodeDatabaseFile(*bytes, Utf8FromPath(source), true);
  }();
  if (!list) {
    dialogs.ShowMessage(list.message(), MessageIcon::Error);
    return std::nullopt;
  }

  PendingFile file(list_path);
  const std::string& text = list->text;
  if (!file.Write(reinterpret_cast<const uint8_t*>(text.data()), text.size()) || !file.Commit()) {
    // The reason matters to the user: after a failed folder sync the complete list is in
    // place, only its survival of a power cut is in doubt.
    dialogs.ShowMessage(FormatMessage(decode_msg::kCannotWriteList, Utf8FromPath(list_path)) +
                            OutputFailureText(file.failure()) + ".",
                        MessageIcon::Error);
    return std::nullopt;
  }
  for (const std::string& notice : list->Notices())
    dialogs.ShowMessage(notice, MessageIcon::Warning);
  return std::move(*list);
}

}  // namespace qtk::dbbuilder
