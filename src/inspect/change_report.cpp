#include "inspect/change_report.h"

#include "firmware/image/image_parser.h"
#include "firmware/password_words.h"
#include "inspect/change_lines.h"
#include "inspect/image_record.h"

namespace qtk {
namespace {

// The password an image's record holds, keyed with its own main code CRC.
std::string PasswordOf(const ChunkTable& chunks, const CustomerSettings::Bytes& record) {
  FirmwareProject image;
  image.chunks = chunks;
  image.settings.CopyRecordIn(record);
  return DecodePassword(image);
}

}  // namespace

ChangeReport BuildChangeReport(const FirmwareProject& project, const SavedImage& saved,
                               const std::filesystem::path& application_directory) {
  ChangeReport report;
  report.output_path = saved.output_path;
  report.crc_rom_path = saved.crc_rom_path;
  report.mirror_block = saved.mirror_block;
  report.ota_path = saved.ota_path;
  ChunkTable before;
  ChunkTable after;
  if (ParseImage(saved.before, before) == 0 || ParseImage(saved.after, after) == 0)
    return report;  // cannot happen: both images were parsed before the save wrote them
  for (const ChunkChange& change : DiffChunks(before, saved.before, after, saved.after)) {
    std::string file;
    for (int i = 0; i < project.chunks.count; ++i) {
      const ChunkEntry& e = project.chunks.entries[static_cast<size_t>(i)];
      if (e.replace && e.id == change.after.id && e.id != kCommonDataChunkId)
        file = e.replacement_path;
    }
    report.chunks.push_back({change, file});
  }
  const auto old_record = RecordOfImage(before, saved.before);
  const auto new_record = RecordOfImage(after, saved.after);
  if (old_record && new_record) {
    PageReader reader(project, application_directory);
    report.record = DiffRecords(&reader, old_record->bytes, new_record->bytes);
    report.password_changed =
        PasswordOf(before, old_record->bytes) != PasswordOf(after, new_record->bytes);
  }
  return report;
}

std::string ChangeReportText(const ChangeReport& report) {
  std::string text;
  auto line = [&](const std::string& l) { text += l + "\n"; };
  for (const RewrittenChunk& c : report.chunks)
    line(ChunkLine(c.change) + (c.file.empty() ? "" : ", from " + c.file));
  for (const FieldChange& f : report.record.fields)
    line(FieldLine(f));
  for (const ByteRun& run : report.record.bytes)
    line(ByteRunLine(run));
  if (report.password_changed)
    line("password changed");
  if (!report.crc_rom_path.empty())
    line("CRC ROM inserted from " + report.crc_rom_path);
  if (report.mirror_block)
    line("mirror block written");
  if (!report.ota_path.empty())
    line("OTA file written to " + report.ota_path);
  return text;
}

SaveDetails ChangeReportDetails(const FirmwareProject& project,
                                const std::filesystem::path& application_directory) {
  return [&project, application_directory](const SavedImage& saved) {
    std::string text = ChangeReportText(BuildChangeReport(project, saved, application_directory));
    return text.empty() ? std::string("no change") : text;
  };
}

}  // namespace qtk
