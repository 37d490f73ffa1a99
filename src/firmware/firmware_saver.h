#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "common/byte_buffer.h"
#include "common/user_dialogs.h"
#include "firmware/clock_pad_mirror.h"
#include "firmware/firmware_project.h"

namespace qtk {

namespace save_messages {
inline constexpr const char* kSameAsOriginal =
    "the save file name can not be same with the original firmware file name!";
inline constexpr const char* kCopyFailed = "Copy original firmware file fail!";
inline constexpr const char* kCannotOpenOutput = "Can not open output firmware file ";
inline constexpr const char* kCommonTooBig =
    "the size of Common data is too big, can not insert to FW!\n";
inline constexpr const char* kAllocateFailed = "allocate buffer for chunk file %s fail!";
inline constexpr const char* kOpenChunkFailed = "Open chunk file %s fail!";
inline constexpr const char* kCannotOpenOta = "Can not open output ota file ";
// + path + ": " + what failed (writing, flushing to the disk, replacing the old file, ...)
inline constexpr const char* kCannotWriteOutput = "Can not write output firmware file ";
inline constexpr const char* kCannotWriteOta = "Can not write output ota file ";
inline constexpr const char* kCannotOpenChunkFile = "Can not open chunk file %s!";
inline constexpr const char* kZipDefaultTooBig =
    "The size of ZIP compressed default base file %s is too big";
inline constexpr const char* kDefaultTooBig =
    "The size of default base file %s is too big, you can compress it and try again.";
inline constexpr const char* kChunkTooBig = "the chunk file size of %s is too big!";
inline constexpr const char* kBootloaderTooShort =
    "The boot loader file %s is shorter than its 128-byte header!";
inline constexpr const char* kMirrorInsideCrc =
    "The first chunk's CRC would cover the mirror block that depends on it, can not save this "
    "firmware!";
inline constexpr const char* kCannotOpenCrcRom = "Can not open CRC rom file ";
inline constexpr const char* kCrcRomTooBig = "the size of CRC rom file ";
inline constexpr const char* kFaultToSave = "Fault to save the file: \r\n";
inline constexpr const char* kSuccess = "Success to save the file.";
}  // namespace save_messages

// The save writes these as well as the image, when the first chunk's region asks for them.
inline constexpr uint32_t kMirrorRegionSize = 0x40000;
inline constexpr uint32_t kMirrorBlockOffset = 0x2F000;
inline constexpr uint32_t kMirrorBlockSize = 4096;
inline constexpr uint32_t kMirrorChunkBytes = 0x800;
inline constexpr uint32_t kRecordTailOffset = 0x30000;
inline constexpr uint32_t kMaxOtaSize = 0x100000;
inline constexpr uint32_t kUserDatabaseKeptBytes = 82048;

// True when the file fits into chunk `index`; otherwise shows why (nothing for an empty path).
bool ChunkFileFits(const FirmwareProject& project, const std::string& path, int index,
                   UserDialogs& dialogs);

// What a successful save wrote, for a report of its changes: the loaded firmware file as it
// was read and the image as written, byte for byte, and the further outputs.
struct SavedImage {
  ByteBuffer before;
  ByteBuffer after;
  std::string output_path;
  std::string ota_path;       // empty when no OTA file was written
  std::string crc_rom_path;   // empty when no CRC ROM went into the user database chunk
  bool mirror_block = false;  // the mirror block of the boot region was written
};

// Turns a successful save into the text that the success message offers as its details;
// empty: the message has no details.
using SaveDetails = std::function<std::string(const SavedImage&)>;

enum class SaveResult {
  kSaved,
  kFailed,        // the reason has been shown; the caller adds "Fault to save the file"
  kCrcRomFailed,  // the CRC ROM step showed its own reason
};

// Writes a new image to output_path (and output_path + ".ota" when the first chunk's region
// is 0x40000 bytes or more): the record in the common data chunk, every marked chunk from its
// file, fresh lengths and CRCs, the mirror block and the mirrored record bytes. When the image
// has a game emulator chunk and session.crc_rom_path is set, the CRC ROM file goes into the
// user database chunk before anything is written. Either every output file is written
// completely or none is left behind; no output may be the same file as an input (firmware,
// description, replacement files, CRC ROM, the session's command inputs), and the loaded
// firmware file is only read. Every image saved loads again with the password in force and
// gives back the record as saved.
// With `saved`, a successful save also hands over what it wrote.
SaveResult SaveFirmware(FirmwareProject& project, const LoadSession& session,
                        const std::string& output_path, UserDialogs& dialogs,
                        SavedImage* saved = nullptr);

// Runs SaveFirmware and reports the outcome: "Success to save the file." or
// "Fault to save the file: \r\n" + path. Returns true when saved. With `details`, the
// success message carries the text it makes of the save (ShowDetailedMessage); with `saved`,
// what was written is handed over as well.
bool SaveFirmwareAndReport(FirmwareProject& project, const LoadSession& session,
                           const std::string& output_path, UserDialogs& dialogs,
                           const SaveDetails& details = {}, SavedImage* saved = nullptr);

}  // namespace qtk
