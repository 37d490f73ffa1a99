#include "dbbuilder/builder.h"

#include <fstream>
#include <initializer_list>
#include <limits>
#include <new>
#include <optional>
#include <ostream>
#include <span>
#include <string>
#include <system_error>
#include <vector>

#include "common/file_io.h"
#include "common/pending_file.h"
#include "common/utf8_path.h"
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

std::string CantWrite(const char* name, OutputFailure failure) {
  return std::string(msg::kCantWrite) + name + ": " + OutputFailureText(failure) + "\n";
}

// A target that is there but not a regular file (a folder, say) can never be replaced.
bool Replaceable(const fs::path& target) {
  std::error_code ec;
  const fs::file_status status = fs::status(target, ec);
  return !fs::exists(status) || fs::is_regular_file(status);
}

// Creates the temporary file of an output now, so that a folder that refuses it is reported
// before the list is read.
bool Prepare(PendingFile& file) {
  return Replaceable(file.target()) && file.Write(nullptr, 0);
}

// Update step 1 to 7, with its own messages. `binary` is the open binary file and `value` the
// new default database as m_6615_df.bin holds it.
void UpdateBinary(std::ifstream& binary, std::span<const uint8_t> value,
                  const fs::path& current_dir, std::ostream& out, const BuilderOptions& options) {
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

  // A short write is no success: the caller would pick up a truncated image.
  PendingFile updated(current_dir / kUpdatedImageName);
  if (!updated.Write(image) || !updated.Commit()) {
    out << CantWrite(kUpdatedImageName, updated.failure());
    out << msg::kUpdateFailed;
    return;
  }
  out << msg::kFinished;
}

// Commits the run's files together; on failure names the file and what failed.
bool CommitOutputs(std::initializer_list<PendingFile*> files, std::ostream& out) {
  const std::vector<PendingFile*> list(files);
  if (CommitTogether(list))
    return true;
  const PendingFile* failed = FirstFailed(list);
  if (failed != nullptr)
    out << CantWrite(failed->target().filename().string().c_str(), failed->failure());
  return false;
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
  const fs::path list_path = builder_dir / PathFromUtf8(settings.list_file_name);
  std::ifstream list;
  if (!OpenForReading(list, list_path)) {
    out << msg::kCantOpenTxtFile << Utf8FromPath(list_path) << '\n';
    return;
  }

  // Step 4: the binary file; a failure shows only later, as "no binary file!".
  std::ifstream binary;
  const fs::path binary_path = builder_dir / PathFromUtf8(settings.binary_file_name);
  const bool have_binary =
      !settings.binary_file_name.empty() && OpenForReading(binary, binary_path);

  // No input may be one of the files the run creates: it would be truncated before it is
  // read (the list) or replaced by the run's own result (the binary file).
  const std::vector<fs::path> outputs = {current_dir / kCharacterListName, default_db, unzipped_db,
                                         user_db, current_dir / kUpdatedImageName};
  if (OutputNamedLike(list_path, outputs) != nullptr) {
    out << msg::kTxtFileIsOutput << Utf8FromPath(list_path) << '\n';
    return;
  }
  if (have_binary && OutputNamedLike(binary_path, outputs) != nullptr) {
    out << msg::kBinaryFileIsOutput << Utf8FromPath(binary_path) << '\n';
    return;
  }

  // Step 5: the output files. They are written under temporary names and take their names
  // together once all are complete on the disk: a failure leaves none of them, and earlier
  // files of the same names keep their bytes.
  PendingFile chout(current_dir / kCharacterListName);
  PendingFile db(default_db);
  PendingFile unzipped(unzipped_db);
  PendingFile user_file(user_db);
  if (!Prepare(chout)) {
    out << msg::kCantCreateChout;
    return;
  }
  if (!Prepare(db)) {
    out << msg::kCantCreateDefault;
    return;
  }
  if (!Prepare(user_file)) {
    out << msg::kUserDbFail;
    return;
  }
  if (!Prepare(unzipped)) {
    const OutputFailure failure = unzipped.failure();
    out << CantWrite(kUnzippedDefaultDatabaseName,
                     failure == OutputFailure::kNone ? OutputFailure::kReplace : failure);
    return;
  }

  // Step 6: the character scan; an empty or unreadable list ends the run without a message,
  // leaving the two files that step 5 created empty.
  std::vector<uint8_t> text;
  if (ReadWhole(list, std::numeric_limits<uint64_t>::max(), text) != ReadStatus::kOk ||
      text.empty()) {
    CommitOutputs({&chout, &db}, out);
    return;
  }
  list.close();
  out << msg::kStartSearching;
  const std::string characters = FormatCharacterList(ScanCharacters(text));
  chout.Write(reinterpret_cast<const uint8_t*>(characters.data()), characters.size());
  out << msg::kEndSearching;

  // Step 7: parse the list.
  out << msg::kStartBuilding;
  ProgramTables tables;
  tables.limits = options.table_limits;
  ParseProgramList(text, tables, out);

  // Step 8: the default database; the user tables are filled on the way.
  WriterSettings writer_settings;
  writer_settings.load_domestic = settings.load_domestic;
  writer_settings.remove_program = settings.remove_program != 0;
  writer_settings.tv_radio_audio_channel = settings.tv_radio_audio_channel;
  writer_settings.radio_audio_channel = settings.radio_audio_channel;
  UserTables user;
  const std::vector<uint8_t> raw = WriteDefaultDatabase(tables, writer_settings, user);
  ReportUserTableDrops(user, out);
  out << msg::kEndBuilding;

  // Step 9 and 10: the user database, the raw copy of the default database, and
  // m_6615_df.bin in its compressed form (raw when compression fails).
  user_file.Write(WriteUserDatabase(user));
  unzipped.Write(raw);
  const std::optional<std::vector<uint8_t>> packed =
      SearchLzmaAlone(raw, options.lzma_tunings, 0, options.lzma_memory).best;
  const std::vector<uint8_t>& value = packed ? *packed : raw;
  db.Write(value);
  if (!CommitOutputs({&chout, &db, &unzipped, &user_file}, out))
    return;

  // Step 11: the optional update of the binary file.
  if (!have_binary) {
    out << msg::kNoBinaryFile;
    return;
  }
  UpdateBinary(binary, value, current_dir, out, options);
}

}  // namespace qtk::dbbuilder
