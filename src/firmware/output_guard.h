#pragma once

#include <string>
#include <vector>

#include "common/user_dialogs.h"
#include "firmware/firmware_project.h"

namespace qtk {

namespace output_messages {
// "the output file " + output + " can not be the same file as the input file " + input + "!"
inline constexpr const char* kOutputIsInputHead = "the output file ";
inline constexpr const char* kOutputIsInputMiddle = " can not be the same file as the input file ";
}  // namespace output_messages

// Every file the project depends on: the firmware file (every save copies it), the
// configuration description (every reload reads it), the replacement files of the marked
// chunks and the CRC ROM file (the next save reads them), and the further files the session
// has read for the command at hand.
std::vector<std::string> ProjectInputFiles(const FirmwareProject& project,
                                           const LoadSession& session);

// True when no output is the same file as an input (compared as files, so another spelling,
// a link or a hard link of an input is caught). Otherwise shows the refusal, naming the first
// clash, and returns false; nothing has been written then.
bool OutputsAvoidInputs(const std::vector<std::string>& outputs,
                        const std::vector<std::string>& inputs, UserDialogs& dialogs);

}  // namespace qtk
