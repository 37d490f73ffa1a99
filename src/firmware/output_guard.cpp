#include "firmware/output_guard.h"

#include "common/utf8_path.h"
#include "common/file_io.h"
#include "config/text_helpers.h"

namespace qtk {

std::vector<std::string> ProjectInputFiles(const FirmwareProject& project,
                                           const LoadSession& session) {
  std::vector<std::string> inputs = {project.firmware_path, project.config_path};
  const ChunkTable& chunks = project.chunks;
  for (int i = 0; i < chunks.count && i < kMaxChunkEntries; ++i) {
    const ChunkEntry& e = chunks.entries[i];
    if (e.replace && !e.replacement_path.empty())
      inputs.push_back(e.replacement_path);
  }
  const std::string crc_rom = Trim(session.crc_rom_path);
  if (!crc_rom.empty())
    inputs.push_back(crc_rom);
  inputs.insert(inputs.end(), session.command_inputs.begin(), session.command_inputs.end());
  return inputs;
}

bool OutputsAvoidInputs(const std::vector<std::string>& outputs,
                        const std::vector<std::string>& inputs, UserDialogs& dialogs) {
  for (const std::string& output : outputs) {
    for (const std::string& input : inputs) {
      if (input.empty() || !SameFile(PathFromUtf8(output), PathFromUtf8(input)))
        continue;
      dialogs.ShowMessage(output_messages::kOutputIsInputHead + output +
                          output_messages::kOutputIsInputMiddle + input + "!");
      return false;
    }
  }
  return true;
}

}  // namespace qtk
