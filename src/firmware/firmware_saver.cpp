#include "firmware/firmware_saver.h"

#include <algorithm>
#include <array>
#include <span>
#include <vector>

#include "common/utf8_path.h"
#include "common/file_io.h"
#include "common/message_format.h"
#include "common/pending_file.h"
#include "common/text_compare.h"
#include "config/text_helpers.h"
#include "firmware/image/byte_order.h"
#include "firmware/image/chunk_ids.h"
#include "firmware/image/crc32.h"
#include "firmware/image/image_parser.h"
#include "firmware/output_guard.h"
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

// Offsets are 32-bit, so an image is at most 4 GiB - 1 bytes long.
constexpr uint64_t kMaxImageSize = 0xFFFFFFFFu;

// Builds the output image in memory: the loaded firmware file is read once into a buffer of
// its size and every rewritten chunk is written into that buffer in place, so the unchanged
// chunks are never copied and the image and its OTA file are written from the same bytes.
//
// The order of the steps follows what each written byte depends on: the replaced chunks
// first; then the clock and pad bytes at offset 258, which lie inside the first chunk; then
// the first chunk's CRC, which is the password key when the main code stands first; then
// the password words and the common data chunk that holds them; then the mirror block, a
// copy of the common data and tuner-driver chunks as written; then the CRC ROM; and last
// the first chunk's CRC once more, over the length its header holds after all of this.
class ImageSave {
 public:
  // With keep_original, the file as read is kept beside the image for HandOver.
  ImageSave(FirmwareProject& project, const LoadSession& session, UserDialogs& dialogs,
            bool keep_original)
      : project_(project), session_(session), dialogs_(dialogs), keep_original_(keep_original) {}

  SaveResult Run(const std::string& output_path);
  // Hands the image as read and as written to `saved`.
  void HandOver(const std::string& output_path, SavedImage& saved);

 private:
  bool Fail(const std::string& message) {
    dialogs_.ShowMessage(message);
    return false;
  }
  bool WantsOtaFile() const {
    const ChunkTable& t = project_.chunks;
    return t.entries[0].region_size >= kMirrorRegionSize && t.count > 1;
  }
  bool OutputNamesAllowed(const std::string& output_path);
  bool CopyMatchesTheTable() const;
  bool MirrorInsideItsOwnCrc() const;
  bool WriteReplacedChunk(int index);
  void WriteClockPadBytes();
  void SealFirstChunk();
  void KeyPasswordWords(uint32_t key_before);
  bool WriteCommonChunk(int index);
  void WriteMirrorBlock();
  CrcRomOutcome InsertCrcRom(const std::string& crc_rom_path);
  bool ImageLoadsAgain() const;
  bool WriteOutputs(const std::string& output_path);
  uint8_t* At(uint32_t offset) { return image_.data() + offset; }

  FirmwareProject& project_;
  const LoadSession& session_;
  UserDialogs& dialogs_;
  const bool keep_original_;
  ByteBuffer image_;
  ByteBuffer original_;
  bool mirror_block_ = false;
  bool crc_rom_inserted_ = false;
};

bool ImageSave::OutputNamesAllowed(const std::string& output_path) {
  const std::string& firmware_path = project_.firmware_path;
  if (EqualsIgnoringCase(output_path, firmware_path) || SameFile(PathFromUtf8(output_path), PathFromUtf8(firmware_path)))
    return Fail(save_messages::kSameAsOriginal);
  std::vector<std::string> outputs = {output_path};
  if (WantsOtaFile())
    outputs.push_back(output_path + ".ota");
  return OutputsAvoidInputs(outputs, ProjectInputFiles(project_, session_), dialogs_);
}

bool ImageSave::CopyMatchesTheTable() const {
  // The file on disk must still hold the chunks that were loaded from it: every header where
  // the table puts it, every region inside the file.
  const ChunkTable& t = project_.chunks;
  if (t.count < 1 || t.entries[0].region_size < kClockPadImageEnd)
    return false;
  for (int i = 0; i < t.count; ++i) {
    const ChunkEntry& e = t.entries[i];
    if (uint64_t{e.file_offset} + e.region_size > image_.size())
      return false;
    if (ReadU32BigEndian(image_, e.file_offset) != e.id ||
        ReadU32BigEndian(image_, e.file_offset + 8) != e.offset_to_next) {
      return false;
    }
  }
  return true;
}

bool ImageSave::MirrorInsideItsOwnCrc() const {
  // The mirror block copies the tuner-driver and common data chunks (password words
  // included) into the first chunk. When the first chunk is one of them, or the main code
  // whose CRC keys the password, and its CRC covers the block, writing that CRC changes the
  // bytes it covers: no image has both right.
  const ChunkEntry& first = project_.chunks.entries[0];
  if (first.region_size != kMirrorRegionSize || !first.HasCrc())
    return false;
  if (first.id != kMainCodeChunkId && first.id != kCommonDataChunkId &&
      first.id != kTunerDriverChunkId) {
    return false;
  }
  const uint64_t length = first.id == kCommonDataChunkId ? first.region_size - kChunkHeaderFixedSize
                                                         : *ReadU32BigEndian(image_, 4);
  return kChunkHeaderFixedSize + length > kMirrorBlockOffset;
}

bool ImageSave::WriteReplacedChunk(int index) {
  ChunkEntry& entry = project_.chunks.entries[index];
  const std::string& path = entry.replacement_path;
  if (!ChunkFileFits(project_, path, index, dialogs_))
    return false;
  const int64_t capacity = entry.DataCapacity();
  if (capacity < 0)
    return Fail(FormatMessage(save_messages::kChunkTooBig, path));
  // The file may have changed since it was measured; it is read only if it still fits.
  FileBuffer file = ReadFileBuffer(PathFromUtf8(path), static_cast<uint64_t>(capacity));
  if (file.status == FileReadStatus::kTooBig)
    return Fail(FormatMessage(save_messages::kChunkTooBig, path));
  if (file.status != FileReadStatus::kRead)
    return Fail(FormatMessage(save_messages::kOpenChunkFailed, path));
  const std::span<const uint8_t> data = file.bytes;
  const bool own_header = !entry.HasCrc() && entry.id == kBootloaderChunkId;
  if (own_header && data.size() < kChunkHeaderSize)
    return Fail(FormatMessage(save_messages::kBootloaderTooShort, path));

  const uint32_t length = static_cast<uint32_t>(data.size());
  uint8_t* out = At(entry.file_offset);
  uint8_t* data_area = out + kChunkHeaderSize;

  if (own_header) {
    // The file brings its own header; only its data replaces the old data, and whatever
    // followed the old data stays.
    std::copy(data.begin() + kChunkHeaderSize, data.end(), data_area);
    return true;
  }
  // The file's bytes, then the filler up to the next header.
  std::copy(data.begin(), data.end(), data_area);
  std::fill(data_area + length, out + entry.region_size,
            entry.id == kUserDatabaseChunkId ? 0xFF : 0x00);
  if (entry.HasCrc()) {
    if (entry.id == kMainCodeChunkId)
      project_.password_refresh = true;
    entry.crc = SealChunk(out, length + (kChunkHeaderSize - kChunkHeaderFixedSize));
  }
  return true;
}

void ImageSave::WriteClockPadBytes() {
  if (!ClockPadMirrored(project_.chunks))
    return;
  const auto& record = project_.settings.bytes();
  std::copy_n(record.begin() + record::kClockPadBlock, record::kClockPadBlockSize,
              At(kClockPadImageOffset));
}

void ImageSave::SealFirstChunk() {
  // Bytes inside the first chunk change after its own rewrite (offset 258, the mirror
  // block), so its CRC is taken again over the length its header now holds.
  ChunkEntry& first = project_.chunks.entries[0];
  if (!first.HasCrc())
    return;
  const uint32_t length = *ReadU32BigEndian(image_, 4);
  if (uint64_t{kChunkHeaderFixedSize} + length > first.region_size)
    return;  // cannot happen: every length written stays inside its region
  first.crc = SealChunk(At(0), length);
}

void ImageSave::KeyPasswordWords(uint32_t key_before) {
  // The words are keyed with the main code CRC of the image being written, so they follow
  // the last change of that CRC. After a replacement, a password change or a whole setting
  // file they are encoded anew; otherwise they are moved to the new key, which keeps the
  // password they hold.
  if (project_.password_refresh && !session_.current_password.empty()) {
    EncodePassword(project_, session_.current_password);
    return;
  }
  const uint32_t key_after = PasswordKey(project_.chunks);
  if (key_after != key_before)
    RekeyPasswordWords(project_, key_before, key_after);
}

bool ImageSave::WriteCommonChunk(int index) {
  ChunkEntry& entry = project_.chunks.entries[index];
  const uint32_t region = entry.region_size;
  if (int64_t{region} - kChunkHeaderSize < int64_t{record::kSize})
    return Fail(save_messages::kCommonTooBig);
  // The data area after the record is written as zeros.
  uint8_t* out = At(entry.file_offset);
  std::fill(out + kChunkHeaderSize, out + region, 0);
  project_.settings.CopyRecordOut(
      std::span<uint8_t, record::kSize>(out + kChunkHeaderSize, record::kSize),
      project_.config.SupportsFlashDevices());
  // Without a CRC the header stays as it was; with one, its length covers the whole region.
  if (entry.HasCrc())
    entry.crc = SealChunk(out, region - kChunkHeaderFixedSize);
  return true;
}

void ImageSave::WriteMirrorBlock() {
  std::array<uint8_t, kMirrorBlockSize> mirror{};
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

CrcRomOutcome ImageSave::InsertCrcRom(const std::string& crc_rom_path) {
  auto index = project_.chunks.FindLoaded(kUserDatabaseChunkId);
  if (!index)
    return CrcRomOutcome::kFailedSilently;
  ChunkEntry& entry = project_.chunks.entries[*index];
  const uint32_t region = entry.region_size;
  const uint64_t room = region > kUserDatabaseKeptBytes ? region - kUserDatabaseKeptBytes : 0;
  FileBuffer rom = ReadFileBuffer(PathFromUtf8(crc_rom_path), room);
  if (rom.status == FileReadStatus::kCannotOpen) {
    dialogs_.ShowMessage(save_messages::kCannotOpenCrcRom + crc_rom_path);
    return CrcRomOutcome::kFailedWithMessage;
  }
  if (rom.status == FileReadStatus::kTooBig || region < kUserDatabaseKeptBytes) {
    dialogs_.ShowMessage(save_messages::kCrcRomTooBig + crc_rom_path + "is too big!");
    return CrcRomOutcome::kFailedWithMessage;
  }
  // The chunk keeps its first bytes; the ROM follows them, then zeros up to the next header.
  const uint32_t length = static_cast<uint32_t>(rom.bytes.size());
  uint8_t* out = At(entry.file_offset);
  uint8_t* rom_start = out + kUserDatabaseKeptBytes;
  std::copy_n(rom.bytes.data(), length, rom_start);
  std::fill(rom_start + length, out + region, 0);
  if (entry.HasCrc())
    entry.crc = SealChunk(out, length + kUserDatabaseKeptBytes - kChunkHeaderFixedSize);
  return CrcRomOutcome::kInserted;
}

bool ImageSave::ImageLoadsAgain() const {
  // The last check before anything reaches the disk: the image parses with every CRC right.
  // It fails only when the firmware file changed on disk since it was loaded, in a chunk
  // the save does not rewrite.
  ChunkTable check;
  return ParseImage(image_, check) == project_.chunks.count;
}

bool ImageSave::WriteOutputs(const std::string& output_path) {
  const ChunkTable& t = project_.chunks;
  PendingFile image_file(PathFromUtf8(output_path));
  image_file.Write(image_.data(), image_.size());
  // The OTA file carries everything after the first chunk, at most 1 MiB.
  const std::string ota_path = output_path + ".ota";
  PendingFile ota_file(PathFromUtf8(ota_path));
  std::vector<PendingFile*> files = {&image_file};
  if (WantsOtaFile()) {
    const size_t start = t.entries[1].file_offset;
    const size_t size = std::min<size_t>(kMaxOtaSize, image_.size() - start);
    ota_file.Write(image_.data() + start, size);
    files.push_back(&ota_file);
  }
  // Both files are complete on the disk before either takes its name; a failure on the way
  // leaves every earlier file of the same names as it was.
  if (CommitTogether(files))
    return true;
  const PendingFile* failed = FirstFailed(files);
  const bool is_image = failed == nullptr || failed == &image_file;
  const OutputFailure failure = failed ? failed->failure() : OutputFailure::kCreate;
  const std::string& path = is_image ? output_path : ota_path;
  if (failure == OutputFailure::kCreate)
    return Fail((is_image ? save_messages::kCannotOpenOutput : save_messages::kCannotOpenOta) +
                path);
  return Fail((is_image ? save_messages::kCannotWriteOutput : save_messages::kCannotWriteOta) +
              path + ": " + OutputFailureText(failure));
}

SaveResult ImageSave::Run(const std::string& output_path) {
  if (!OutputNamesAllowed(output_path))
    return SaveResult::kFailed;
  FileBuffer original = ReadFileBuffer(PathFromUtf8(project_.firmware_path), kMaxImageSize);
  if (original.status != FileReadStatus::kRead) {
    Fail(save_messages::kCopyFailed);
    return SaveResult::kFailed;
  }
  image_ = std::move(original.bytes);
  if (keep_original_)
    original_ = ByteBuffer::CopyOf(image_);
  if (!CopyMatchesTheTable()) {
    Fail(save_messages::kCopyFailed);
    return SaveResult::kFailed;
  }

  ChunkTable& t = project_.chunks;
  const uint32_t key_before = PasswordKey(t);
  for (int i = 0; i < t.count; ++i) {
    if (t.entries[i].id == kCommonDataChunkId || !t.entries[i].replace)
      continue;
    if (!WriteReplacedChunk(i))
      return SaveResult::kFailed;
  }
  if (MirrorInsideItsOwnCrc()) {
    Fail(save_messages::kMirrorInsideCrc);
    return SaveResult::kFailed;
  }
  WriteClockPadBytes();
  SealFirstChunk();
  KeyPasswordWords(key_before);
  for (int i = 0; i < t.count; ++i) {
    if (t.entries[i].id == kCommonDataChunkId && !WriteCommonChunk(i)) {
      return SaveResult::kFailed;
    }
  }
  if (t.entries[0].region_size == kMirrorRegionSize) {
    WriteMirrorBlock();
    mirror_block_ = true;
  }

  const std::string crc_rom_path = Trim(session_.crc_rom_path);
  if (t.FindLoaded(kGameEmulatorChunkId) && !crc_rom_path.empty()) {
    switch (InsertCrcRom(crc_rom_path)) {
      case CrcRomOutcome::kInserted:
        crc_rom_inserted_ = true;
        break;
      case CrcRomOutcome::kFailedSilently:
        return SaveResult::kFailed;
      case CrcRomOutcome::kFailedWithMessage:
        return SaveResult::kCrcRomFailed;
    }
  }
  SealFirstChunk();
  if (!ImageLoadsAgain()) {
    Fail(save_messages::kCopyFailed);
    return SaveResult::kFailed;
  }
  return WriteOutputs(output_path) ? SaveResult::kSaved : SaveResult::kFailed;
}

void ImageSave::HandOver(const std::string& output_path, SavedImage& saved) {
  saved.before = std::move(original_);
  saved.after = std::move(image_);
  saved.output_path = output_path;
  saved.ota_path = WantsOtaFile() ? output_path + ".ota" : std::string();
  saved.crc_rom_path = crc_rom_inserted_ ? Trim(session_.crc_rom_path) : std::string();
  saved.mirror_block = mirror_block_;
}

}  // namespace

bool ChunkFileFits(const FirmwareProject& project, const std::string& path, int index,
                   UserDialogs& dialogs) {
  if (path.empty())
    return false;
  const ChunkEntry& entry = project.chunks.entries.at(index);
  // Only the length and the first four bytes matter; the file itself is read by the save.
  const auto file = ReadFileHead(PathFromUtf8(path), 4);
  if (!file) {
    dialogs.ShowMessage(FormatMessage(save_messages::kCannotOpenChunkFile, path));
    return false;
  }
  // A boot loader file for a chunk without CRC carries its own header, which the save skips;
  // a CRC-guarded boot loader takes the whole file as its data.
  if (entry.id == kBootloaderChunkId && !entry.HasCrc() && file->size < kChunkHeaderSize) {
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
                        const std::string& output_path, UserDialogs& dialogs, SavedImage* saved) {
  // A save that writes nothing must not leave new CRCs or re-keyed password words behind.
  const ChunkTable chunks_before = project.chunks;
  const CustomerSettings settings_before = project.settings;
  const bool refresh_before = project.password_refresh;
  ImageSave save(project, session, dialogs, saved != nullptr);
  SaveResult result = save.Run(output_path);
  if (result == SaveResult::kSaved && saved != nullptr)
    save.HandOver(output_path, *saved);
  if (result != SaveResult::kSaved) {
    project.chunks = chunks_before;
    project.settings = settings_before;
    project.password_refresh = refresh_before;
  }
  return result;
}

bool SaveFirmwareAndReport(FirmwareProject& project, const LoadSession& session,
                           const std::string& output_path, UserDialogs& dialogs,
                           const SaveDetails& details, SavedImage* saved) {
  SavedImage written;
  switch (SaveFirmware(project, session, output_path, dialogs,
                       details || saved != nullptr ? &written : nullptr)) {
    case SaveResult::kSaved: {
      const std::string text = details ? details(written) : std::string();
      if (text.empty()) {
        dialogs.ShowMessage(save_messages::kSuccess);
      } else {
        dialogs.ShowDetailedMessage(save_messages::kSuccess, text);
      }
      if (saved != nullptr)
        *saved = std::move(written);
      return true;
    }
    case SaveResult::kFailed:
      dialogs.ShowMessage(save_messages::kFaultToSave + output_path);
      return false;
    case SaveResult::kCrcRomFailed:
      return false;
  }
  return false;
}

}  // namespace qtk
