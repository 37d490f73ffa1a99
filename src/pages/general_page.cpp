#include "pages/general_page.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdio>
#include <fstream>
#include <map>

#include "common/utf8_path.h"
#include "common/file_io.h"
#include "common/output_seam.h"
#include "common/pending_file.h"
#include "common/text_compare.h"
#include "config/ini/private_profile.h"
#include "config/text_helpers.h"
#include "dbbuilder/decode/channel_list_export.h"
#include "firmware/firmware_saver.h"
#include "firmware/program_runner.h"

namespace qtk {
namespace {

constexpr std::array<uint8_t, 4> kSequenceHeader = {0x00, 0x00, 0x01, 0xB3};
constexpr std::array<uint8_t, 4> kSequenceEnd = {0x00, 0x00, 0x01, 0xB7};
constexpr std::string_view kWhiteSpace = " \t\r\n\v\f";

std::string HexWord(uint32_t value) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%8.8x", value);
  return text;
}

}  // namespace

const char* ChunkFileFilter(uint32_t id) {
  switch (id) {
    case kLogoChunkId:
      return "Logo Files(*.m2v)|*.m2v|All Files (*.*)|*.*||";
    case kDefaultDatabaseChunkId:
      return "DefaultDb Files(*.txt)|*.txt|All Files (*.*)|*.*||";
    case kMainCodeChunkId:
      return "Main code Files(*.bin)|*.bin|All Files (*.*)|*.*||";
    case kUserDatabaseChunkId:
      return "User DB Files(*.bin)|*.bin|All Files (*.*)|*.*||";
    case kGameEmulatorChunkId:
      return "Game Emu Files(*.bin)|*.bin|All Files (*.*)|*.*||";
    case kGameRomChunkId:
      return "Game Rom Files(*.bin)|*.bin|All Files (*.*)|*.*||";
    case kCommonDataChunkId:
      return "Common data Files(*.bin)|*.bin|All Files (*.*)|*.*||";
    case kBootloaderChunkId:
      return "Bootloader Files(*.bin)|*.bin|All Files (*.*)|*.*||";
    default:
      return "Binary Files(*.bin)|*.bin|All Files (*.*)|*.*||";
  }
}

std::optional<bool> IsStandardLogo(const std::string& path) {
  // A FIFO would block the open until a writer came; a device has no end to look at.
  const std::filesystem::path file = PathFromUtf8(path);
  if (!IsRegularFile(file))
    return std::nullopt;
  std::ifstream in(file, std::ios::binary);
  if (!in)
    return std::nullopt;
  std::array<uint8_t, 4> head{};
  std::array<uint8_t, 4> tail{};
  in.seekg(0, std::ios::end);
  const std::streamoff size = in.tellg();
  if (size < 0)
    return std::nullopt;
  if (size < 4)
    return false;
  in.seekg(0);
  in.read(reinterpret_cast<char*>(head.data()), 4);
  in.seekg(size - 4);
  in.read(reinterpret_cast<char*>(tail.data()), 4);
  if (!in)
    return std::nullopt;
  return head == kSequenceHeader && tail == kSequenceEnd;
}

bool IsStandardDefaultDbText(const std::string& path) {
  const std::filesystem::path file = PathFromUtf8(path);
  if (!IsRegularFile(file))
    return false;
  std::ifstream in(file, std::ios::binary);
  std::string line;
  while (in && std::getline(in, line)) {
    if (!line.empty() && line[0] == ';')
      continue;
    if (line.find_first_not_of(" \t\r\n") == std::string::npos)
      continue;
    return line[0] == '*' || line[0] == '#';
  }
  return false;
}

std::vector<std::string> GeneralPage::ColumnNames() const {
  if (detail_)
    return {"Chunk name", "ID", "Offset", "CRC", "File"};
  return {"Chunk name", "File"};
}

std::vector<int> GeneralPage::ColumnWidths() const {
  if (detail_)
    return {100, 80, 80, 80, 120};
  return {100, 360};
}

std::vector<std::string> GeneralPage::Cells(int row) const {
  const Row& r = rows_.at(static_cast<size_t>(row));
  if (detail_)
    return {r.name, r.id, r.offset, r.crc, r.file};
  return {r.name, r.file};
}

void GeneralPage::Load() {
  const ChunkTable& chunks = project().chunks;
  detail_ = project().config.switches.show_chunk_detail_enable != 0;
  // A row keeps its file while its chunk still carries the mark made for it (a settings file
  // load refreshes the page without touching the marks; a firmware reload drops them).
  std::map<uint32_t, Row> previous;
  for (const Row& r : rows_) {
    if (r.chunk_index >= 0 && r.chunk_index < chunks.count) {
      previous[chunks.entries[static_cast<size_t>(r.chunk_index)].id] = r;
    }
  }
  rows_.clear();
  for (uint32_t id : project().config.GetChunkIds()) {
    const std::optional<int> index = chunks.FindLoaded(id);
    if (!index)
      continue;
    const ChunkEntry& entry = chunks.entries[static_cast<size_t>(*index)];
    Row row{*index,
            entry.Name(),
            HexWord(entry.id),
            HexWord(entry.offset_to_next),
            HexWord(entry.crc),
            "",
            ""};
    if (auto old = previous.find(id); old != previous.end() && entry.replace &&
                                      !old->second.marked_path.empty() &&
                                      entry.replacement_path == old->second.marked_path) {
      row.file = old->second.file;
      row.marked_path = old->second.marked_path;
    }
    rows_.push_back(std::move(row));
  }
  selected_ = -1;
}

void GeneralPage::SelectRow(int row) {
  selected_ = row >= 0 && row < static_cast<int>(rows_.size()) ? row : -1;
}

bool GeneralPage::clear_enabled() const {
  return selected_ >= 0 && !rows_[static_cast<size_t>(selected_)].file.empty();
}

std::optional<int> GeneralPage::ChunkOfRow(int row) const {
  if (row < 0 || row >= static_cast<int>(rows_.size()))
    return std::nullopt;
  // Each row keeps the index of the chunk it was built from: names may repeat, differ only
  // in case or be empty, and must never send a file into another chunk.
  const int index = rows_[static_cast<size_t>(row)].chunk_index;
  if (index < 0 || index >= project().chunks.count)
    return std::nullopt;
  return index;
}

const ChunkEntry* GeneralPage::LogoChunk() const {
  const std::optional<int> index = project().chunks.FindLoaded(kLogoChunkId);
  return index ? &project().chunks.entries[static_cast<size_t>(*index)] : nullptr;
}

int GeneralPage::RowOfChunk(uint32_t id) const {
  for (size_t i = 0; i < rows_.size(); ++i) {
    if (const std::optional<int> chunk = ChunkOfRow(static_cast<int>(i));
        chunk && project().chunks.entries[static_cast<size_t>(*chunk)].id == id) {
      return static_cast<int>(i);
    }
  }
  return -1;
}

std::string GeneralPage::BuilderFile(const char* name) const {
  return Utf8FromPath(context().application_directory / name);
}

bool GeneralPage::Replace() {
  const std::optional<int> chunk = ChunkOfRow(selected_);
  if (!chunk)
    return false;
  FileDialogRequest request;
  request.filter = ChunkFileFilter(project().chunks.entries[static_cast<size_t>(*chunk)].id);
  request.must_exist = true;
  request.read_only_ticked = true;
  const std::optional<std::string> chosen = dialogs().AskOpenFile(request);
  if (!chosen)
    return false;
  return ReplaceRow(selected_, *chosen);
}

bool GeneralPage::ReplaceRow(int row, const std::string& chosen_path) {
  const std::optional<int> chunk = ChunkOfRow(row);
  if (!chunk)
    return false;
  const uint32_t id = project().chunks.entries[static_cast<size_t>(*chunk)].id;
  const std::string path = Trim(chosen_path, TrimMode::kBoth, kWhiteSpace);
  if (path.empty())
    return false;
  if (path.size() > kMaxChunkPathLength) {
    dialogs().ShowMessage(general_messages::kNameTooLong);
    return false;
  }

  std::string file = path;
  if (id == kLogoChunkId) {
    const std::optional<bool> standard = IsStandardLogo(path);
    if (!standard) {
      dialogs().ShowTitledMessage(general_messages::kWarningTitle,
                                  general_messages::kCannotOpenLogo, MessageIcon::Warning);
    }
    if (!standard.value_or(false)) {
      dialogs().ShowMessage(general_messages::kNotStandardLogo, MessageIcon::Error);
      return false;
    }
  } else if (id == kDefaultDatabaseChunkId) {
    if (!IsStandardDefaultDbText(path)) {
      dialogs().ShowMessage(general_messages::kNotStandardDefaultDb, MessageIcon::Error);
      return false;
    }
    if (!ConvertDefaultDatabase(path))
      return false;
    file = BuilderFile(builder_files::kDefaultDatabase);
  }

  if (!ChunkFileFits(project(), file, *chunk, dialogs()))
    return false;
  ChunkEntry& entry = project().chunks.entries[static_cast<size_t>(*chunk)];
  entry.replacement_path = file;
  entry.replace = true;
  Row& shown = rows_[static_cast<size_t>(row)];
  shown.file = path;
  shown.marked_path = file;
  if (id == kUserDatabaseChunkId)
    user_db_from_conversion_ = false;
  // The user database of a conversion is marked only now, with the default database that
  // belongs to it: a conversion that fails on the way marks nothing.
  if (id == kDefaultDatabaseChunkId)
    MarkConvertedUserDatabase();
  return true;
}

void GeneralPage::MarkConvertedUserDatabase() {
  std::error_code ec;
  const std::optional<int> user_db = project().chunks.FindLoaded(kUserDatabaseChunkId);
  // The builder reports a user database it could not write only on its console; a missing
  // file must not be marked, or every later save would fail on it.
  if (!user_db || !std::filesystem::exists(PathFromUtf8(BuilderFile(builder_files::kUserDatabase)), ec))
    return;
  // A file the user chose for the user database row gives way to the conversion's; the row
  // no longer shows it, since the chunk no longer carries it.
  Unmark(*user_db);
  ChunkEntry& entry = project().chunks.entries[static_cast<size_t>(*user_db)];
  entry.replacement_path = BuilderFile(builder_files::kUserDatabase);
  entry.replace = true;
  user_db_from_conversion_ = true;
}

void GeneralPage::UnmarkBuilderOutputs() {
  ChunkTable& chunks = project().chunks;
  for (int i = 0; i < chunks.count; ++i) {
    const ChunkEntry& entry = chunks.entries[static_cast<size_t>(i)];
    if (!entry.replace)
      continue;
    for (const char* name : {builder_files::kDefaultDatabase, builder_files::kUserDatabase,
                             builder_files::kUnzipped}) {
      if (entry.replacement_path == BuilderFile(name)) {
        Unmark(i);
        break;
      }
    }
  }
  user_db_from_conversion_ = false;
}

bool GeneralPage::ConvertDefaultDatabase(const std::string& text_path) {
  namespace fs = std::filesystem;
  auto fail = [this] {
    dialogs().ShowMessage(general_messages::kConvertFailed);
    return false;
  };
  const fs::path input = PathFromUtf8(BuilderFile(builder_files::kInput));
  const fs::path settings_file = PathFromUtf8(BuilderFile(builder_files::kSettings));
  std::error_code ec;
  // The user may have picked the builder's own input file; it must not be deleted before it
  // is read.
  const bool input_is_chosen = fs::exists(input, ec) && fs::equivalent(input, PathFromUtf8(text_path), ec);
  // Outputs of an earlier run must be gone, or a builder that fails would pass them off as
  // this run's result; the marks of that run name those files and go with them.
  UnmarkBuilderOutputs();
  OutputSeam& seam = CurrentOutputSeam();
  for (const char* name :
       {builder_files::kDefaultDatabase, builder_files::kUserDatabase, builder_files::kUnzipped}) {
    if (!seam.Remove(PathFromUtf8(BuilderFile(name))))
      return fail();
  }
  if (!input_is_chosen) {
    // The copy replaces the builder's input only once it is complete on the disk.
    const std::optional<std::vector<uint8_t>> text = ReadWholeFile(PathFromUtf8(text_path));
    PendingFile copy(input);
    if (!text || !copy.Write(*text) || !copy.Commit())
      return fail();
  }
  if (!ini::WritePrivateProfileString("File0", "File", builder_files::kInput, settings_file)) {
    return fail();
  }
  const MessageAnswer answer = dialogs().ShowMessage(general_messages::kDomesticQuestion,
                                                     MessageIcon::Question, MessageButtons::YesNo);
  if (!ini::WritePrivateProfileString("config", "LoadDomestic",
                                      answer == MessageAnswer::Yes ? "0" : "1", settings_file)) {
    return fail();
  }
  const bool first_builder = (settings().U8(record::kConfigVersion) >> 4) == 1;
  const char* program = first_builder ? builder_files::kProgramV1 : builder_files::kProgram;
  if (context().runner == nullptr || !context().runner->RunProgramAndWait(program, {}))
    return fail();
  return true;
}

void GeneralPage::Unmark(int chunk_index) {
  ChunkEntry& entry = project().chunks.entries[static_cast<size_t>(chunk_index)];
  entry.replace = false;
  entry.replacement_path.clear();
  for (Row& r : rows_) {
    if (r.chunk_index == chunk_index) {
      r.file.clear();
      r.marked_path.clear();
    }
  }
}

void GeneralPage::Clear() {
  if (selected_ < 0)
    return;
  if (const std::optional<int> chunk = ChunkOfRow(selected_)) {
    const uint32_t id = project().chunks.entries[static_cast<size_t>(*chunk)].id;
    // The user database from a conversion belongs to the default database of that conversion:
    // it goes when the default database mark goes, and stays when another chunk is cleared.
    if ((id == kDefaultDatabaseChunkId && user_db_from_conversion_) || id == kUserDatabaseChunkId) {
      if (std::optional<int> user_db = project().chunks.FindLoaded(kUserDatabaseChunkId)) {
        Unmark(*user_db);
      }
      user_db_from_conversion_ = false;
    }
    Unmark(*chunk);
  }
  rows_[static_cast<size_t>(selected_)].file.clear();
  rows_[static_cast<size_t>(selected_)].marked_path.clear();
}

bool GeneralPage::export_enabled() const {
  const std::optional<int> chunk = ChunkOfRow(selected_);
  return chunk &&
         project().chunks.entries[static_cast<size_t>(*chunk)].id == kDefaultDatabaseChunkId;
}

bool GeneralPage::ExportChannelList() {
  if (!export_enabled())
    return false;
  FileDialogRequest request;
  request.filter = general_messages::kChannelListFilter;
  request.ask_before_overwrite = true;
  const std::optional<std::string> chosen = dialogs().AskSaveFile(request);
  if (!chosen)
    return false;
  const std::optional<dbbuilder::ChannelList> list = dbbuilder::ExportChannelList(
      PathFromUtf8(project().firmware_path), dbbuilder::ListSource::kImageDefaultDatabase,
      PathFromUtf8(*chosen), dialogs());
  if (!list)
    return false;
  dialogs().ShowMessage(general_messages::kChannelListWritten + *chosen + " (satellites: " +
                        std::to_string(list->satellites) + ", TPs: " + std::to_string(list->tps) +
                        ", programs: " + std::to_string(list->programs) + ")");
  return true;
}

std::vector<PageField> GeneralPage::Fields() {
  return {ListField(
      "Chunk list", ColumnNames(),
      [this] {
        FieldRows rows;
        for (int row = 0; row < static_cast<int>(rows_.size()); ++row)
          rows.push_back(Cells(row));
        return rows;
      },
      [](const FieldRows&) {
        return std::string("the chunk list changes only by replacing a chunk with a file");
      })};
}

}  // namespace qtk
