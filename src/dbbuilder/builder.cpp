#include "dbbuilder/builder.h"

#include <fstream>
#include <limits>
#include <new>
#include <optional>
#include <ostream>
#include <span>
#include <string>
#include <system_error>
#include <vector>

#include "common/file_io.h"
#include "dbbuilder/builder_settings.h"
#include "dbbuilder/character_scan.h"
#include "dbbuilder/database_writer.h"
#include "dbbuilder/lzma_compressor.h"
#include "dbbuilder/messages.h"
#include "dbbuilder/program_list.h"
#include "dbbuilder/update_step.h"

namespace qtk::dbbuilder {
namespace {

namespace fs = std::filesystem;

bool OpenForReading(std::ifstream& in, const fs::path& path) {
  // Only a regular file: a FIFO would keep the builder waiting for a writer, and a device
  // such as /dev/zero never ends.
  if (!IsRegularFile(path))
    return false;
  in.open(path, std::ios::binary);
  return in.is_open();
}

// The first file the run writes that is the same file as `input`, if any. Every output is
// created anew (truncated) during the run, so such an input would be destroyed.
const fs::path* OutputNamedLike(const fs::path& input, const std::vector<fs::path>& outputs) {
  for (const fs::path& output : outputs) {
    if (SameFile(input, output))
      return &output;
  }
  return nullptr;
}

enum class ReadStatus { kOk, kTooLarge, kFailed };

// Measures the open file and reads it whole into `bytes`.
ReadStatus ReadWhole(std::ifstream& in, uint64_t max_size, std::vector<uint8_t>& bytes) {
  in.seekg(0, std::ios::end);
  const std::streamoff end = in.tellg();
  if (!in || end < 0)
    return ReadStatus::kFailed;
  const uint64_t size = static_cast<uint64_t>(end);
  if (size > max_size || size > bytes.max_size())
    return ReadStatus::kTooLarge;
  try {
    bytes.resize(static_cast<size_t>(size));
  } catch (const std::bad_alloc&) {
    return ReadStatus::kTooLarge;
  }
  in.seekg(0, std::ios::beg);
  in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(size));
  if (static_cast<uint64_t>(in.gcount()) != size)
    return ReadStatus::kFailed;
  return ReadStatus::kOk;
}

void WriteBytes(std::ostream& out, std::span<const uint8_t> bytes) {
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
}

// Update step 1 to 7, with its own messages. `binary` is the open binary file.
void UpdateBinary(std::ifstream& binary, const fs::path& default_db, const fs::path& current_dir,
                  std::ostream& out, const BuilderOptions& options) {
  out << msg::kStartUpdate;
  std::vector<uint8_t> image;
  const ReadStatus read = ReadWhole(binary, options.max_image_size, image);
  binary.close();
  if (read == ReadStatus::kTooLarge) {
    out << msg::kNoMemory;
    return;
  }
  if (read != ReadStatus::kOk) {
    out << msg::kUpdateFailed;
    return;
  }

  // The new default value is m_6615_df.bin as the compression left it.
  std::vector<uint8_t> value;
  std::ifstream value_file;
  if (!OpenForReading(value_file, default_db) ||
      ReadWhole(value_file, std::numeric_limits<uint64_t>::max(), value) != ReadStatus::kOk) {
    out << msg::kUpdateFailed;
    return;
  }
  value_file.close();

  switch (UpdateDefaultDatabaseChunk(image, value)) {
    case UpdateStatus::kUpdated:
      break;
    case UpdateStatus::kValueTooLong:
      out << msg::kTooLong;
      return;
    case UpdateStatus::kNoChunk:
      out << msg::kUpdateFailed;
      return;
  }

  std::ofstream updated(current_dir / kUpdatedImageName, std::ios::binary | std::ios::trunc);
  if (!updated) {
    out << msg::kUpdateFailed;
    return;
  }
  WriteBytes(updated, image);
  updated.close();
  // A short write is no success: the caller would pick up a truncated image.
  out << (updated ? msg::kFinished : msg::kUpdateFailed);
}

}  // namespace

void RunBuilder(const fs::path& builder_dir, const fs::path& current_dir, std::ostream& out,
                const BuilderOptions& options) {
  // Step 1 and 2: paths and settings. The builder always works in fixed-order mode, so
  // FixedOrder (and LoadDefault4IN1) change nothing.
  const fs::path default_db = builder_dir / kDefaultDatabaseName;
  const fs::path unzipped_db = builder_dir / kUnzippedDefaultDatabaseName;
  const fs::path user_db = builder_dir / kUserDatabaseName;
  const BuilderSettings settings = ReadBuilderSettings(builder_dir / kSettingsFileName);

  // Step 3: the program list file.
  if (settings.list_file_name.empty()) {
    out << msg::kNoTxtFile;
    return;
  }
  const fs::path list_path = builder_dir / settings.list_file_name;
  std::ifstream list;
  if (!OpenForReading(list, list_path)) {
    out << msg::kCantOpenTxtFile << list_path.string() << '\n';
    return;
  }

  // Step 4: the binary file; a failure shows only later, as "no binary file!".
  std::ifstream binary;
  const fs::path binary_path = builder_dir / settings.binary_file_name;
  const bool have_binary =
      !settings.binary_file_name.empty() && OpenForReading(binary, binary_path);

  // No input may be one of the files the run creates: it would be truncated before it is
  // read (the list) or replaced by the run's own result (the binary file).
  const std::vector<fs::path> outputs = {current_dir / kCharacterListName, default_db, unzipped_db,
                                         user_db, current_dir / kUpdatedImageName};
  if (OutputNamedLike(list_path, outputs) != nullptr) {
    out << msg::kTxtFileIsOutput << list_path.string() << '\n';
    return;
  }
  if (have_binary && OutputNamedLike(binary_path, outputs) != nullptr) {
    out << msg::kBinaryFileIsOutput << binary_path.string() << '\n';
    return;
  }

  // Step 5: the character list (text mode) and the default database file.
  std::ofstream chout(current_dir / kCharacterListName, std::ios::out | std::ios::trunc);
  if (!chout) {
    out << msg::kCantCreateChout;
    return;
  }
  std::ofstream db(default_db, std::ios::binary | std::ios::trunc);
  if (!db) {
    out << msg::kCantCreateDefault;
    return;
  }

  // Step 6: the character scan; an empty or unreadable list ends the run without a message.
  std::vector<uint8_t> text;
  if (ReadWhole(list, std::numeric_limits<uint64_t>::max(), text) != ReadStatus::kOk ||
      text.empty()) {
    return;
  }
  out << msg::kStartSearching;
  chout << FormatCharacterList(ScanCharacters(text));
  chout.close();
  out << msg::kEndSearching;

  // Step 7: parse the list.
  out << msg::kStartBuilding;
  ProgramTables tables;
  ParseProgramList(text, tables, out);

  // Step 8: the default database file; the user tables are filled on the way.
  WriterSettings writer_settings;
  writer_settings.load_domestic = settings.load_domestic;
  writer_settings.remove_program = settings.remove_program != 0;
  writer_settings.tv_radio_audio_channel = settings.tv_radio_audio_channel;
  writer_settings.radio_audio_channel = settings.radio_audio_channel;
  UserTables user;
  const std::vector<uint8_t> raw = WriteDefaultDatabase(tables, writer_settings, user);
  ReportUserTableDrops(user, out);
  WriteBytes(db, raw);
  db.close();
  list.close();
  out << msg::kEndBuilding;

  // Step 9: the user database file; a failure does not stop the run.
  {
    std::ofstream user_file(user_db, std::ios::binary | std::ios::trunc);
    if (!user_file) {
      out << msg::kUserDbFail;
    } else {
      WriteBytes(user_file, WriteUserDatabase(user));
    }
  }

  // Step 10: keep the raw copy, then replace m_6615_df.bin by its compressed form. Neither
  // result is looked at: when compression fails, m_6615_df.bin stays raw.
  std::error_code ec;
  fs::copy_file(default_db, unzipped_db, fs::copy_options::overwrite_existing, ec);
  if (std::optional<std::vector<uint8_t>> packed = CompressLzmaAlone(raw)) {
    std::ofstream packed_file(default_db, std::ios::binary | std::ios::trunc);
    if (packed_file)
      WriteBytes(packed_file, *packed);
  }

  // Step 11: the optional update of the binary file.
  if (!have_binary) {
    out << msg::kNoBinaryFile;
    return;
  }
  UpdateBinary(binary, default_db, current_dir, out, options);
}

}  // namespace qtk::dbbuilder
