#pragma once

// Every text dfv_k7720x prints on standard output, exactly as worded,
// plus the warnings for lists beyond the table sizes.

namespace qtk::dbbuilder::msg {

inline constexpr const char* kNoTxtFile = "no txt file!\n";
inline constexpr const char* kCantOpenTxtFile = "Can't open txt file: ";  // + path + "\n"
// An input named like one of the run's outputs is refused before anything is written.
inline constexpr const char* kTxtFileIsOutput =
    "Can't use txt file, dfv_k7720x writes it: ";  // + path + "\n"
inline constexpr const char* kBinaryFileIsOutput =
    "Can't use binary file, dfv_k7720x writes it: ";  // + path + "\n"
inline constexpr const char* kCantCreateChout = "Can't create chout.txt\n";
inline constexpr const char* kCantCreateDefault = "Can't create m_6615_df.bin\n";
inline constexpr const char* kStartSearching = "Start of searching Chinese Ch...\n";
inline constexpr const char* kEndSearching = "End of searching Chinese Ch...\n";
inline constexpr const char* kStartBuilding = "Start of building default value...\n";
inline constexpr const char* kPcrWarning = "Warning: PCR PID can't be 8191!\n> ";  // + line + "\n"
inline constexpr const char* kEndBuilding = "End of building default value...\n";
inline constexpr const char* kUserDbFail = "open user database file fail\n";
// An output that could not be written completely: + file name + ": " + what failed + "\n".
inline constexpr const char* kCantWrite = "Can't write ";
inline constexpr const char* kNoBinaryFile = "no binary file!\n";
inline constexpr const char* kStartUpdate = "Start of update binary code...\n";
inline constexpr const char* kNoMemory = "No enough memory!\n";
inline constexpr const char* kTooLong = "new default value is too long!\n";
inline constexpr const char* kUpdateFailed = "Update binary code failed!\n";
inline constexpr const char* kFinished = "End of update binary code...\nFinished!\n";

// Lists beyond the table sizes: the extra line is dropped, the run goes on.
inline constexpr const char* kSatelliteTableFull =
    "Warning: satellite table full (2048), line dropped: ";  // + line + "\n"
inline constexpr const char* kTpTableFull =
    "Warning: TP table full (8192), line dropped: ";  // + line + "\n"
inline constexpr const char* kProgramTableFull =
    "Warning: program table full (20000), line dropped: ";  // + line + "\n"
// The user tables: one line per table, after the default database file is written.
inline constexpr const char* kUserSatellitesFull =
    "Warning: user satellite table full (512), satellites left out of user_db.bin: ";  // + n
inline constexpr const char* kUserTpsFull =
    "Warning: user TP table full (3000), TPs left out of user_db.bin: ";  // + n
inline constexpr const char* kUserProgramsFull =
    "Warning: user program table full (5000), programs left out of user_db.bin: ";  // + n

}  // namespace qtk::dbbuilder::msg
