#include "firmware/firmware_saver.h"

#include <algorithm>
#include <cstdio>
#include <vector>

#include "common/file_io.h"
#include "common/message_format.h"
#include "common/text_compare.h"
#include "config/text_helpers.h"
#include "firmware/image/byte_order.h"
#include "firmware/image/chunk_ids.h"
#include "firmware/image/crc32.h"
#include "firmware/password_words.h"

namespace qtk {
namespace {

// Puts the new length and CRC into a chunk header held at the start of `chunk`.
uint32_t SealChunk(uint8_t* chunk, uint32_t covered_length) {
  uint32_t crc = Crc32(kCrcInitial, chunk + kChunkHeaderFixedSize, covered_length);
  PutU32BigEndian(chunk + 4, covered_length);
  PutU32BigEndian(chunk + 12, crc);
  return crc;
}

enum class CrcRomOutcome { kInserted, kFailedSilently, kFailedWithMessage };

// Builds the output image in memory, from a copy of the loaded firmware file.
class ImageSave {
 public:
  ImageSave(FirmwareProject& project, const LoadSession& session, UserDialogs& dialogs)
      : project_(project), session_(session), dialogs_(dialogs) {}

  SaveResult Run(const std::string& output_path);

 private:
  bool Fail(const std::string& message) {
    dialogs_.ShowMessage(message);
    return false;
  }
  bool RegionsInsideImage() const;
  bool WriteReplacedChunk(int index);
  bool WriteCommonChunk(int index);
  void WriteMirrorBlock();
  void WriteClockPadBytes();
  void RefreshFirstChunkCrc();
  CrcRomOutcome InsertCrcRom(const std::string& crc_rom_path);
  bool WriteOutputs(const std::string& output_path);
  uint8_t* At(uint32_t offset) { return image_.data() + offset; }

  FirmwareProject& project_;
  const LoadSession& session_;
  UserDialogs& dialogs_;
  std::vector<uint8_t> image_;
};

bool ImageSave::RegionsInsideImage() const {
  const ChunkTable& t = project_.chunks;
  for (int i = 0; i < t.count; ++i) {
    const ChunkEntry& e = t.entries[i];
    if (uint64_t{e.file_offset} + e.region_size > image_.size())
      return false;
    if (e.region_size < kChunkHeaderSize)
      return false;
  }
  return true;
}

bool ImageSave::WriteReplacedChunk(int index) {
  ChunkEntry& entry = project_.chunks.entries[index];
  const std::string& path = entry.replacement_path;
  if (!ChunkFileFits(project_, path, index, dialogs_))
    return false;
  auto file = ReadWholeFile(path);
  if (!file)
    return Fail(FormatMessage(save_messages::kOpenChunkFailed, path));
  const uint32_t region = entry.region_size;
  // The file may have changed since it was measured; it is written only if it still fits.
  if (file->size() > region - kChunkHeaderSize ||
      (entry.id == kBootloaderChunkId && file->size() < kChunkHeaderSize)) {
    return Fail(FormatMessage(save_messages::kChunkTooBig, path));
  }
  const uint32_t length = static_cast<uint32_t>(file->size());
  std::vector<uint8_t> chunk(region, entry.id == kUserDatabaseChunkId ? 0xFF : 0x00);
  uint8_t* out = At(entry.file_offset);

  if (!entry.HasCrc() && entry.id == kBootloaderChunkId) {
    // The file brings its own header; only its data replaces the old data, and whatever
    // followed the old data stays.
    std::copy(file->begin() + kChunkHeaderSize, file->end(), out + kChunkHeaderSize);
  } else if (!entry.HasCrc()) {
    std::copy(file->begin(), file->end(), chunk.begin());
    std::copy_n(chunk.begin(), region - kChunkHeaderSize, out + kChunkHeaderSize);
  } else {
    if (entry.id == kMainCodeChunkId)
      project_.password_refresh = true;
    std::copy_n(out, kChunkHeaderSize, chunk.begin());
    std::copy(file->begin(), file->end(), chunk.begin() + kChunkHeaderSize);
    entry.crc = SealChunk(chunk.data(), length + (kChunkHeaderSize - kChunkHeaderFixedSize));
    std::copy(chunk.begin(), chunk.end(), out);
  }
  return true;
}

bool ImageSave::WriteCommonChunk(int index) {
  ChunkEntry& entry = project_.chunks.entries[index];
  const uint32_t region = entry.region_size;
  if (region - kChunkHeaderSize < record::kSize)
    return Fail(save_messages::kCommonTooBig);
  std::vector<uint8_t> chunk(region, 0);
  uint8_t* out = At(entry.file_offset);
  // The password words are keyed with the main code CRC of the image being written, so
  // they are encoded here, after every replaced chunk has its new CRC.
  EncodePassword(project_, session_.current_password);
  const bool flash_support = project_.config.SupportsFlashDevices();
  if (!entry.HasCrc()) {
    project_.settings.CopyRecordOut(std::span<uint8_t, record::kSize>(chunk.data(), record::kSize),
                                    flash_support);
    std::copy_n(chunk.begin(), region - kChunkHeaderSize, out + kChunkHeaderSize);
    return true;
  }
  std::copy_n(out, kChunkHeaderSize, chunk.begin());
  project_.settings.CopyRecordOut(
      std::span<uint8_t, record::kSize>(chunk.data() + kChunkHeaderSize, record::kSize),
      flash_support);
  entry.crc = SealChunk(chunk.data(), region - kChunkHeaderFixedSize);
  std::copy(chunk.begin(), chunk.end(), out);
  return true;
}

void ImageSave::WriteMirrorBlock() {
  std::vector<uint8_t> mirror(kMirrorBlockSize, 0);
  const ChunkTable& t = project_.chunks;
  for (int i = 0; i < t.count; ++i) {
    const ChunkEntry& e = t.entries[i];
    if (e.id != kCommonDataChunkId && e.id != kTunerDriverChunkId)
      continue;
    const uint32_t n = std::min(e.region_size, kMirrorChunkBytes);
    const uint32_t place = e.id == kCommonDataChunkId ? kMirrorChunkBytes : 0;
    std::copy_n(At(e.file_offset), n, mirror.begin() + place);
  }
  std::copy(mirror.begin(), mirror.end(), At(kMirrorBlockOffset));
  const auto& record = project_.settings.bytes();
  std::copy(record.begin() + record::kOtaBlock, record.end(), At(kRecordTailOffset));
}

void ImageSave::WriteClockPadBytes() {
  const auto& record = project_.settings.bytes();
  std::copy_n(record.begin() + record::kClockPadBlock, record::kClockPadBlockSize,
              At(kClockPadImageOffset));
}

void ImageSave::RefreshFirstChunkCrc() {
  // The mirrored bytes live inside the first chunk; a guarded first chunk would otherwise
  // fail its own CRC at the next load.
  ChunkEntry& first = project_.chunks.entries[0];
  if (!first.HasCrc())
    return;
  if (uint64_t{kChunkHeaderFixedSize} + first.length > image_.size())
    return;
  first.crc = Crc32(kCrcInitial, At(kChunkHeaderFixedSize), first.length);
  PutU32BigEndian(At(12), first.crc);
}

CrcRomOutcome ImageSave::InsertCrcRom(const std::string& crc_rom_path) {
  auto index = project_.chunks.FindLoaded(kUserDatabaseChunkId);
  if (!index)
    return CrcRomOutcome::kFailedSilently;
  ChunkEntry& entry = project_.chunks.entries[*index];
  auto rom = ReadWholeFile(crc_rom_path);
  if (!rom) {
    dialogs_.ShowMessage(save_messages::kCannotOpenCrcRom + crc_rom_path);
    return CrcRomOutcome::kFailedWithMessage;
  }
  const uint64_t length = rom->size();
  const uint32_t region = entry.region_size;
  if (length + kUserDatabaseKeptBytes > region) {
    dialogs_.ShowMessage(save_messages::kCrcRomTooBig + crc_rom_path + "is too big!");
    return CrcRomOutcome::kFailedWithMessage;
  }
  std::vector<uint8_t> chunk(region, 0);
  uint8_t* out = At(entry.file_offset);
  if (!entry.HasCrc()) {
    std::copy(rom->begin(), rom->end(), chunk.begin());
    std::copy_n(chunk.begin(), region - kUserDatabaseKeptBytes, out + kUserDatabaseKeptBytes);
    return CrcRomOutcome::kInserted;
  }
  std::copy_n(out, kUserDatabaseKeptBytes, chunk.begin());
  std::copy(rom->begin(), rom->end(), chunk.begin() + kUserDatabaseKeptBytes);
  entry.crc = SealChunk(
      chunk.data(), static_cast<uint32_t>(length) + kUserDatabaseKeptBytes - kChunkHeaderFixedSize);
  std::copy(chunk.begin(), chunk.end(), out);
  return CrcRomOutcome::kInserted;
}

bool ImageSave::WriteOutputs(const std::string& output_path) {
  const ChunkTable& t = project_.chunks;
  PendingFile image_file(output_path);
  if (!image_file.Write(image_)) {
    return Fail(save_messages::kCannotOpenOutput + output_path);
  }
  // The OTA file carries everything after the first chunk, at most 1 MiB.
  const bool wants_ota = t.entries[0].region_size >= kMirrorRegionSize && t.count > 1;
  const std::string ota_path = output_path + ".ota";
  PendingFile ota_file(ota_path);
  if (wants_ota) {
    const size_t start = t.entries[1].file_offset;
    const size_t size = std::min<size_t>(kMaxOtaSize, image_.size() - start);
    if (!ota_file.Write(image_.data() + start, size)) {
      return Fail(save_messages::kCannotOpenOta + ota_path);
    }
  }
  if (!image_file.Commit())
    return Fail(save_messages::kCannotOpenOutput + output_path);
  if (wants_ota && !ota_file.Commit()) {
    image_file.RemoveCommitted();
    return Fail(save_messages::kCannotOpenOta + ota_path);
  }
  return true;
}

SaveResult ImageSave::Run(const std::string& output_path) {
  const std::string& firmware_path = project_.firmware_path;
  if (EqualsIgnoringCase(output_path, firmware_path) || SameFile(output_path, firmware_path)) {
    Fail(save_messages::kSameAsOriginal);
    return SaveResult::kFailed;
  }
  auto original = ReadWholeFile(firmware_path);
  if (!original) {
    Fail(save_messages::kCopyFailed);
    return SaveResult::kFailed;
  }
  image_ = std::move(*original);
  // The file on disk must still hold the chunks that were loaded from it.
  if (project_.chunks.count < 1 || !RegionsInsideImage() ||
      image_.size() < kClockPadImageOffset + record::kClockPadBlockSize) {
    Fail(save_messages::kCopyFailed);
    return SaveResult::kFailed;
  }

  ChunkTable& t = project_.chunks;
  for (int i = 0; i < t.count; ++i) {
    if (t.entries[i].id == kCommonDataChunkId || !t.entries[i].replace)
      continue;
    if (!WriteReplacedChunk(i))
      return SaveResult::kFailed;
  }
  for (int i = 0; i < t.count; ++i) {
    if (t.entries[i].id == kCommonDataChunkId && !WriteCommonChunk(i)) {
      return SaveResult::kFailed;
    }
  }
  if (t.entries[0].region_size == kMirrorRegionSize)
    WriteMirrorBlock();
  WriteClockPadBytes();
  RefreshFirstChunkCrc();

  const std::string crc_rom_path = Trim(session_.crc_rom_path);
  if (t.FindLoaded(kGameEmulatorChunkId) && !crc_rom_path.empty()) {
    switch (InsertCrcRom(crc_rom_path)) {
      case CrcRomOutcome::kInserted:
        break;
      case CrcRomOutcome::kFailedSilently:
        return SaveResult::kFailed;
      case CrcRomOutcome::kFailedWithMessage:
        return SaveResult::kCrcRomFailed;
    }
  }
  return WriteOutputs(output_path) ? SaveResult::kSaved : SaveResult::kFailed;
}

}  // namespace

bool ChunkFileFits(const FirmwareProject& project, const std::string& path, int index,
                   UserDialogs& dialogs) {
  if (path.empty())
    return false;
  const ChunkEntry& entry = project.chunks.entries.at(index);
  // Only the length and the first four bytes matter; the file itself is read by the save.
  const auto file = ReadFileHead(path, 4);
  if (!file) {
    dialogs.ShowMessage(FormatMessage(save_messages::kCannotOpenChunkFile, path));
    return false;
  }
  // A boot loader file carries its own header, which the save skips.
  if (entry.id == kBootloaderChunkId && file->size < kChunkHeaderSize) {
    dialogs.ShowMessage(FormatMessage(save_messages::kBootloaderTooShort, path));
    return false;
  }
  if (static_cast<int64_t>(file->size) <= entry.DataCapacity())
    return true;
  if (entry.id == kDefaultDatabaseChunkId) {
    // The header of an LZMA stream with properties byte 0x6C, as the database builder writes.
    const std::vector<uint8_t> lzma_head = {0x6C, 0x00, 0x00, 0x80};
    const bool compressed = file->first_bytes == lzma_head;
    dialogs.ShowMessage(FormatMessage(
        compressed ? save_messages::kZipDefaultTooBig : save_messages::kDefaultTooBig, path));
  } else {
    dialogs.ShowMessage(FormatMessage(save_messages::kChunkTooBig, path));
  }
  return false;
}

SaveResult SaveFirmware(FirmwareProject& project, const LoadSession& session,
                        const std::string& output_path, UserDialogs& dialogs) {
  // A save that writes nothing must not leave new CRCs or re-keyed password words behind.
  const ChunkTable chunks_before = project.chunks;
  const CustomerSettings settings_before = project.settings;
  const bool refresh_before = project.password_refresh;
  ImageSave save(project, session, dialogs);
  SaveResult result = save.Run(output_path);
  if (result != SaveResult::kSaved) {
    project.chunks = chunks_before;
    project.settings = settings_before;
    project.password_refresh = refresh_before;
  }
  return result;
}

bool SaveFirmwareAndReport(FirmwareProject& project, const LoadSession& session,
                           const std::string& output_path, UserDialogs& dialogs) {
  switch (SaveFirmware(project, session, output_path, dialogs)) {
    case SaveResult::kSaved:
      dialogs.ShowMessage(save_messages::kSuccess);
      return true;
    case SaveResult::kFailed:
      dialogs.ShowMessage(save_messages::kFaultToSave + output_path);
      return false;
    case SaveResult::kCrcRomFailed:
      return false;
  }
  return false;
}

}  // namespace qtk
