#pragma once

namespace qtk::cli {

// The exit status of every qtkcli command: scripts tell a command line that needs mending
// from an operation that failed on its files.
inline constexpr int kExitSuccess = 0;
inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;

}  // namespace qtk::cli
