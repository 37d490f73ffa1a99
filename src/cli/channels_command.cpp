#include "cli/channels_command.h"

#include <memory>
#include <ostream>

#include "common/utf8_path.h"
#include "cli/stream_dialogs.h"
#include "dbbuilder/decode/channel_list_export.h"

namespace qtk::cli {
namespace {

using dbbuilder::ListSource;

constexpr int kUsageError = 2;

// The command line's choice of source, or a usage message.
std::string UsageProblem(const ChannelsOptions& o) {
  if (o.image.empty() == o.database.empty())
    return "qtkcli channels: name either an IMAGE or a --database FILE";
  if (o.output.empty())
    return "qtkcli channels: -o LIST.txt names the channel list to write";
  return {};
}

ListSource SourceOf(const ChannelsOptions& o) {
  if (!o.image.empty())
    return o.user ? ListSource::kImageUserDatabase : ListSource::kImageDefaultDatabase;
  return o.user ? ListSource::kUserDatabaseFile : ListSource::kDatabaseFile;
}

}  // namespace

int RunChannelsCommand(const ChannelsOptions& options, Streams streams) {
  if (const std::string problem = UsageProblem(options); !problem.empty()) {
    streams.err << problem << "\n";
    return kUsageError;
  }
  StreamDialogs dialogs(streams.err);
  const std::string& source = options.image.empty() ? options.database : options.image;
  const std::optional<dbbuilder::ChannelList> list =
      dbbuilder::ExportChannelList(PathFromUtf8(source), SourceOf(options),
                                     PathFromUtf8(options.output), dialogs);
  if (!list)
    return 1;
  streams.out << "Channel list written to " << options.output
              << " (satellites: " << list->satellites << ", TPs: " << list->tps
              << ", programs: " << list->programs << ")\n";
  return 0;
}

void RegisterChannelsCommand(CLI::App& app, Streams streams, int* status) {
  auto* cmd = app.add_subcommand(
      "channels", "Write the default (or user) database as the channel list text dfv_k7720x reads");
  auto options = std::make_shared<ChannelsOptions>();
  cmd->add_option("IMAGE", options->image, "Firmware image (.bin)");
  cmd->add_option("--database", options->database,
                  "A file dfv_k7720x wrote: m_6615_df.bin, unzipped_m_6615_df.bin or user_db.bin");
  cmd->add_option("-o,--output", options->output, "Channel list text to write (required)");
  cmd->add_flag("--user", options->user, "The user database instead of the default database");
  cmd->callback([=] { *status = RunChannelsCommand(*options, streams); });
}

}  // namespace qtk::cli
