// Fuzz target for the channel list decoder. The first byte chooses what the rest is:
//   0: a database file (LZMA stream, raw default database or user database);
//   1: a file that must be a user database;
//   2: the data of both database chunks of an image (split at the second byte's share);
//   3: a program list text: the builder's two databases decoded and built again must give
//      the same bytes (the decoder's promise for every database the builder writes).
// Nothing may crash or read outside the input; a list the decoder calls exact must build a
// database with the counts it reports.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>

#include "dbbuilder/database_writer.h"
#include "dbbuilder/decode/channel_list.h"
#include "dbbuilder/decode/database_reader.h"
#include "dbbuilder/decode/database_source.h"
#include "dbbuilder/decode/rebuild_check.h"
#include "dbbuilder/program_list.h"
#include "firmware/image/chunk_ids.h"
#include "fuzz_scratch.h"
#include "testdata/image_builder.h"

namespace {

using namespace qtk::dbbuilder;

void Check(bool ok) {
  if (!ok)
    std::abort();
}

// A decoded list is whole lines; one that the decoder calls exact builds a default database
// with the counts it reports.
void CheckList(const Decoded<ChannelList>& list) {
  if (!list)
    return;
  Check(list->text.size() >= 2 && list->text.ends_with("\r\n"));
  if (!list->difference.empty() || list->kind != DatabaseKind::kDefault)
    return;
  const std::vector<uint8_t> raw = BuildDatabases(list->text, 0).raw_default;
  Decoded<DefaultDatabase> db = ReadDefaultDatabase(raw);
  Check(static_cast<bool>(db) && db->satellites.size() == list->satellites &&
        db->TpCount() == list->tps && db->ProgramCount() == list->programs);
}

void RoundTrip(std::span<const uint8_t> text, uint8_t setting) {
  static ProgramTables tables;
  tables.limits = qtk::fuzz::kSmallTables;
  std::ostringstream warnings;
  ParseProgramList(text, tables, warnings);
  WriterSettings settings;
  settings.load_domestic = setting % 3;
  settings.remove_program = setting & 0x10;
  settings.tv_radio_audio_channel = (setting >> 2) & 3;
  UserTables user;
  const std::vector<uint8_t> raw = WriteDefaultDatabase(tables, settings, user);
  const std::vector<uint8_t> user_db = WriteUserDatabase(user);

  Decoded<ChannelList> list = DecodeDatabaseFile(raw, "raw", false);
  Check(static_cast<bool>(list) && list->difference.empty());
  UserTables again_user;
  ProgramTables again;
  again.limits = qtk::fuzz::kSmallTables;
  ParseProgramList({reinterpret_cast<const uint8_t*>(list->text.data()), list->text.size()}, again,
                   warnings);
  Check(WriteDefaultDatabase(again, settings, again_user) == raw);
  Check(WriteUserDatabase(again_user) == user_db);

  // Once the user tables are full, satellites whose TPs were all cut away have no line that
  // could bring them back; the decoded list then says in its header that it differs, so
  // exactness is asked only of user databases that nothing was cut from.
  Decoded<ChannelList> user_list = DecodeDatabaseFile(user_db, "user", true);
  Check(static_cast<bool>(user_list));
  const bool cut = user.dropped_satellites || user.dropped_tps || user.dropped_programs;
  Check(cut || user_list->difference.empty());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2)
    return 0;
  const std::span<const uint8_t> rest(data + 2, size - 2);
  switch (data[0] % 4) {
    case 0:
      CheckList(DecodeDatabaseFile(rest, "file", false));
      break;
    case 1:
      CheckList(DecodeDatabaseFile(rest, "file", true));
      break;
    case 2: {
      const size_t split = rest.size() * data[1] / 255;
      qtk::testdata::ChunkSpec default_chunk, user_chunk;
      default_chunk.id = qtk::kDefaultDatabaseChunkId;
      default_chunk.data.assign(rest.begin(), rest.begin() + static_cast<std::ptrdiff_t>(split));
      default_chunk.no_crc = data[1] & 1;
      user_chunk.id = qtk::kUserDatabaseChunkId;
      user_chunk.data.assign(rest.begin() + static_cast<std::ptrdiff_t>(split), rest.end());
      const std::vector<uint8_t> image = qtk::testdata::BuildImage({default_chunk, user_chunk});
      CheckList(DecodeImageDatabase(image, DatabaseKind::kDefault));
      CheckList(DecodeImageDatabase(image, DatabaseKind::kUser));
      break;
    }
    default:
      RoundTrip(rest, data[1]);
      break;
  }
  return 0;
}
