#include "cli/command_line.h"

#include <ostream>

#include "cli/channels_command.h"
#include "cli/check_command.h"
#include "cli/diff_command.h"
#include "cli/exit_status.h"
#include "cli/firmware_commands.h"
#include "cli/page_commands.h"
#include "common/fault_guard.h"

namespace qtk::cli {

int RunCommandLine(int argc, const char* const* argv, Streams streams,
                   const std::string& version_text) {
  return RunGuarded(
      [&] {
        CLI::App app{"qtkcli: batch front end of the K7720X firmware customization toolkit"};
        app.require_subcommand(1);
        app.set_version_flag("--version", version_text);
        int status = kExitSuccess;
        RegisterChunksCommand(app, streams, &status);
        RegisterConfigCommand(app, streams, &status);
        RegisterFirmwareCommands(app, streams, &status);
        RegisterChannelsCommand(app, streams, &status);
        RegisterPageCommands(app, streams, &status);
        RegisterDiffCommand(app, streams, &status);
        RegisterCheckCommand(app, streams, &status);
        try {
          app.parse(argc, argv);
        } catch (const CLI::ParseError& e) {
          const int code = app.exit(e, streams.out, streams.err);
          return code == 0 ? kExitSuccess : kExitUsage;
        }
        return status;
      },
      [&](const std::string& description) { streams.err << "qtkcli: " << description << "\n"; });
}

}  // namespace qtk::cli
