#pragma once

#include <optional>
#include <string>

#include "common/user_dialogs.h"
#include "firmware/image/chunk_table.h"
#include "settings/customer_settings.h"

namespace qtk {

// A customized setting file is the 1452-byte record itself, as the record copy-out writes it:
// no header, no checksum. Shorter files are read as a prefix of the record.
namespace setting_file_messages {
inline constexpr const char* kCannotCreate = "Can not open setting file ";
// + path + ": " + what failed (writing, flushing to the disk, replacing the old file, ...)
inline constexpr const char* kCannotWrite = "Can not write setting file ";
inline constexpr const char* kCannotOpen = "Can not open setting file %s!";
inline constexpr const char* kOldFile =
    "Can not load old config file, please use the old version bin tool(lower then ver2.0)!";
inline constexpr const char* kTooBig = "the setting file size of %s is too big!";
inline constexpr const char* kSaved = "Save setting file OK!";
}  // namespace setting_file_messages

inline constexpr size_t kMinSettingFileSize = 496;

// Writes the record (copied out first) to the file; the file appears whole or not at all.
// Shows "Can not open setting file " + path on failure. Does not show the success message.
bool WriteSettingFile(const std::string& path, CustomerSettings& settings, bool flash_support,
                      UserDialogs& dialogs);

// Reads a setting file against the loaded image: the size checks, then the current record
// overlaid with the file's first bytes, with the configuration version of the current record
// kept (the high four bits of byte 1 come from the file). Nothing when refused; the reason
// has been shown.
std::optional<CustomerSettings::Bytes> ReadSettingFile(const std::string& path,
                                                       const ChunkTable& chunks,
                                                       const CustomerSettings& current,
                                                       UserDialogs& dialogs);

// The page imports: each takes the buffer that ReadSettingFile produced and writes its own
// ranges into the record.
void ImportTunerSettings(CustomerSettings& settings, const CustomerSettings::Bytes& file);
void ImportPanelSettings(CustomerSettings& settings, const CustomerSettings::Bytes& file);
void ImportSerialFlashSettings(CustomerSettings& settings, const CustomerSettings::Bytes& file);
void ImportOtaSettings(CustomerSettings& settings, const CustomerSettings::Bytes& file);

// The Key map import writes the IR key map and both user codes into the record; the three
// window keys (bytes 45-47) go only into the page's combo boxes and reach the record at the
// page's next store, so they are handed back.
struct WindowKeys {
  uint8_t pause = 0;
  uint8_t preview = 0;
  uint8_t dview = 0;
};
WindowKeys ImportKeyMapSettings(CustomerSettings& settings, const CustomerSettings::Bytes& file);

}  // namespace qtk
