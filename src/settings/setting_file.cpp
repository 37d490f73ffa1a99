#include "settings/setting_file.h"

#include <algorithm>
#include <cstdio>
#include <vector>

#include "common/utf8_path.h"
#include "common/file_io.h"
#include "common/message_format.h"
#include "common/pending_file.h"
#include "firmware/image/chunk_ids.h"

namespace qtk {
namespace {

void CopyRange(CustomerSettings& settings, const CustomerSettings::Bytes& file,
               record::ByteRange range) {
  std::copy_n(file.begin() + range.offset, range.size, settings.bytes().begin() + range.offset);
}

}  // namespace

bool WriteSettingFile(const std::string& path, CustomerSettings& settings, bool flash_support,
                      UserDialogs& dialogs) {
  CustomerSettings::Bytes bytes{};
  settings.CopyRecordOut(bytes, flash_support);
  PendingFile file(PathFromUtf8(path));
  if (file.Write(bytes.data(), bytes.size()) && file.Commit())
    return true;
  if (file.failure() == OutputFailure::kCreate)
    dialogs.ShowMessage(setting_file_messages::kCannotCreate + path);
  else
    dialogs.ShowMessage(setting_file_messages::kCannotWrite + path + ": " +
                        OutputFailureText(file.failure()));
  return false;
}

std::optional<CustomerSettings::Bytes> ReadSettingFile(const std::string& path,
                                                       const ChunkTable& chunks,
                                                       const CustomerSettings& current,
                                                       UserDialogs& dialogs) {
  // Only the first 1452 bytes are ever used, so only they are read; the length is measured.
  auto file = ReadFileHead(PathFromUtf8(path), record::kSize);
  if (!file) {
    dialogs.ShowMessage(FormatMessage(setting_file_messages::kCannotOpen, path));
    return std::nullopt;
  }
  const uint64_t length = file->size;
  if (auto index = chunks.FindAny(kCommonDataChunkId)) {
    const ChunkEntry& common = chunks.entries[*index];
    if (common.length <= kOldFormatCommonLength || length < kMinSettingFileSize) {
      dialogs.ShowMessage(setting_file_messages::kOldFile);
      return std::nullopt;
    }
    if (length > static_cast<uint64_t>(std::max<int64_t>(common.DataCapacity(), 0))) {
      dialogs.ShowMessage(FormatMessage(setting_file_messages::kTooBig, path), MessageIcon::Error);
      return std::nullopt;
    }
  }
  CustomerSettings::Bytes buffer = current.bytes();
  std::copy(file->first_bytes.begin(), file->first_bytes.end(), buffer.begin());
  buffer[record::kConfigVersion] = static_cast<uint8_t>(
      (buffer[record::kConfigVersion] & 0xF0) | (current.bytes()[record::kConfigVersion] & 0x0F));
  return buffer;
}

void ImportTunerSettings(CustomerSettings& settings, const CustomerSettings::Bytes& file) {
  for (record::ByteRange range : record::kTunerImportRanges)
    CopyRange(settings, file, range);
}

void ImportPanelSettings(CustomerSettings& settings, const CustomerSettings::Bytes& file) {
  CopyRange(settings, file, record::kPanelImportRange);
  settings.RebuildCharacterTable();
}

void ImportSerialFlashSettings(CustomerSettings& settings, const CustomerSettings::Bytes& file) {
  CopyRange(settings, file, record::kSerialFlashImportRange);
  settings.RebuildFlashDevices();
}

void ImportOtaSettings(CustomerSettings& settings, const CustomerSettings::Bytes& file) {
  CopyRange(settings, file, record::kOtaImportRange);
}

WindowKeys ImportKeyMapSettings(CustomerSettings& settings, const CustomerSettings::Bytes& file) {
  CopyRange(settings, file, record::kKeyMapImportRange);
  CopyRange(settings, file, {record::kIrUserCode, 2});
  CopyRange(settings, file, {record::kSecondIrUserCode, 2});
  return {file[record::kPauseWindowKey], file[record::kPreviewWindowKey],
          file[record::kDViewWindowKey]};
}

}  // namespace qtk
