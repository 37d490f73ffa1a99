#include <iostream>
#include <string>

#include "cli/channels_command.h"
#include "cli/commands.h"
#include "cli/firmware_commands.h"

int main(int argc, char** argv) {
  CLI::App app{"qtkcli: batch front end of the K7720X firmware customization toolkit"};
  app.require_subcommand(1);
  app.set_version_flag("--version", std::string("qtkcli ") + QTK_VERSION);
  int status = 0;
  qtk::cli::Streams streams{std::cout, std::cerr};
  qtk::cli::RegisterChunksCommand(app, streams, &status);
  qtk::cli::RegisterConfigCommand(app, streams, &status);
  qtk::cli::RegisterFirmwareCommands(app, streams, &status);
  qtk::cli::RegisterChannelsCommand(app, streams, &status);
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    return app.exit(e);
  }
  return status;
}
