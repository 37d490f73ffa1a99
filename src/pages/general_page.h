#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "pages/page_base.h"

namespace qtk {

namespace general_messages {
inline constexpr const char* kNameTooLong = "the chunk file name is too long!";
inline constexpr const char* kNotStandardLogo = "It is not a standard logo file!";
inline constexpr const char* kCannotOpenLogo = "Can not open logo file!";
inline constexpr const char* kWarningTitle = "Warning";
inline constexpr const char* kNotStandardDefaultDb = "It is not a standard default DB file!";
inline constexpr const char* kDomesticQuestion =
    "\n  YES: load all programs. \n\n  NO: load only domestic programs.";
inline constexpr const char* kConvertFailed = "Convert default database file fail!";
// After "Export channel list...": the head of "Channel list written to PATH (satellites: N,
// TPs: N, programs: N)", the words qtkcli channels prints.
inline constexpr const char* kChannelListWritten = "Channel list written to ";
inline constexpr const char* kChannelListFilter =
    "Channel list Files(*.txt)|*.txt|All Files (*.*)|*.*||";
}  // namespace general_messages

// Files exchanged with the database builder in the application directory.
namespace builder_files {
inline constexpr const char* kProgram = "dfv_k7720x";
inline constexpr const char* kProgramV1 = "dfv_k7720x_v1";
inline constexpr const char* kSettings = "dfv_k7720x.ini";
inline constexpr const char* kInput = "Tmp_default_dbquar8.txt";
inline constexpr const char* kDefaultDatabase = "m_6615_df.bin";
inline constexpr const char* kUserDatabase = "user_db.bin";
inline constexpr const char* kUnzipped = "unzipped_m_6615_df.bin";
}  // namespace builder_files

// The longest replacement path a chunk keeps.
inline constexpr size_t kMaxChunkPathLength = 255;

// The file dialog filter offered for replacing a chunk with this id.
const char* ChunkFileFilter(uint32_t id);
// A boot logo is an MPEG-2 video stream: sequence header first, sequence end code last.
// Nothing when the file cannot be read.
std::optional<bool> IsStandardLogo(const std::string& path);
// A default database text: its first line that is neither a ';' comment nor blank starts
// with '*' (a satellite) or '#'.
bool IsStandardDefaultDbText(const std::string& path);

// The General page ("Chunk" in the tree): the chunks the description lets the user see, and
// their replacement by files, a channel list text being converted by the database builder.
class GeneralPage : public PageModel<PageId::kGeneral> {
 public:
  struct Row {
    int chunk_index = -1;
    std::string name;
    std::string id;      // "0x%8.8x"
    std::string offset;  // the offset-to-next word
    std::string crc;
    std::string file;         // the file the user chose, empty when none
    std::string marked_path;  // what the chunk was marked with for that choice
  };

  using PageModel::PageModel;

  void Load() override;
  bool Store() override { return true; }
  // The chunk rows, read only: a batch front end marks chunks through ReplaceRow.
  std::vector<PageField> Fields() override;

  bool detail_shown() const { return detail_; }
  // Column captions and widths of the list.
  std::vector<std::string> ColumnNames() const;
  std::vector<int> ColumnWidths() const;
  // The cells of a row in column order.
  std::vector<std::string> Cells(int row) const;

  const std::vector<Row>& rows() const { return rows_; }
  int selected_row() const { return selected_; }
  void SelectRow(int row);
  bool replace_enabled() const { return selected_ >= 0; }
  bool clear_enabled() const;

  // "Replace...": asks for a file, checks and (for a channel list) converts it, and marks the
  // chunk of the selected row. False when nothing was marked.
  bool Replace();
  // The same for a path chosen another way (the batch front end): the row's own chunk is
  // marked, never another chunk that happens to share its name.
  bool ReplaceRow(int row, const std::string& chosen_path);
  // The row that lists the chunk with this id, -1 when none does.
  int RowOfChunk(uint32_t id) const;
  // "Clear": takes the mark off the selected row's chunk.
  void Clear();
  // "Export channel list...", offered on the default database row: asks for a text file and
  // writes the channel list that the loaded image's default database chunk holds (the chunk
  // as loaded, whatever file it is marked to be replaced with). False when nothing was
  // written; the reason has been shown.
  bool export_enabled() const;
  bool ExportChannelList();

  // The loaded firmware file and its boot logo chunk (nullptr when it has none), for the
  // logo preview.
  const std::string& FirmwarePath() const { return project().firmware_path; }
  const ChunkEntry* LogoChunk() const;

 private:
  std::optional<int> ChunkOfRow(int row) const;
  bool ConvertDefaultDatabase(const std::string& text_path);
  std::string BuilderFile(const char* name) const;
  void Unmark(int chunk_index);
  // The builder's outputs are deleted before each run; marks that name them go with them.
  void UnmarkBuilderOutputs();
  void MarkConvertedUserDatabase();

  bool detail_ = false;
  std::vector<Row> rows_;
  int selected_ = -1;
  // The user database mark that the last conversion made; it belongs with the default
  // database mark and goes with it.
  bool user_db_from_conversion_ = false;
};

}  // namespace qtk
