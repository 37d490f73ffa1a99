#include "dbbuilder/decode/database_source.h"

#include <algorithm>

#include "common/message_format.h"
#include "dbbuilder/decode/database_reader.h"
#include "dbbuilder/decode/decode_messages.h"
#include "dbbuilder/decode/lzma_decoder.h"
#include "firmware/firmware_loader.h"
#include "firmware/image/chunk_ids.h"
#include "firmware/image/image_parser.h"

namespace qtk::dbbuilder {
namespace {

using Result = Decoded<ChannelList>;

Result FromLzmaStream(std::span<const uint8_t> stream) {
  Decoded<std::vector<uint8_t>> raw = DecompressDefaultDatabase(stream);
  if (!raw)
    return Result::Failure(raw.message());
  Decoded<DefaultDatabase> db = ReadDefaultDatabase(*raw);
  if (!db)
    return Result::Failure(db.message());
  return ChannelListOfDefaultDatabase(*db);
}

Result FromUserDatabase(std::span<const uint8_t> bytes) {
  Decoded<UserDatabase> db = ReadUserDatabase(bytes);
  if (!db)
    return Result::Failure(db.message());
  return ChannelListOfUserDatabase(*db, bytes);
}

}  // namespace

std::span<const uint8_t> ChunkData(std::span<const uint8_t> image, uint32_t file_offset,
                                   uint32_t length, uint32_t region_size, bool has_crc) {
  const uint64_t start = uint64_t{file_offset} + kChunkHeaderSize;
  uint64_t end = has_crc ? uint64_t{file_offset} + kChunkHeaderFixedSize + length
                         : uint64_t{file_offset} + region_size;
  end = std::min<uint64_t>(end, image.size());
  if (start >= end)
    return {};
  return image.subspan(static_cast<size_t>(start), static_cast<size_t>(end - start));
}

Result DecodeImageDatabase(std::span<const uint8_t> image, DatabaseKind kind) {
  ChunkTable table;
  if (ParseImage(image, table) == 0)
    return Result::Failure(load_messages::kNotStandard);
  const bool user = kind == DatabaseKind::kUser;
  const std::optional<int> index =
      table.FindLoaded(user ? kUserDatabaseChunkId : kDefaultDatabaseChunkId);
  if (!index) {
    return Result::Failure(user ? decode_msg::kNoUserDatabaseChunk
                                : decode_msg::kNoDefaultDatabaseChunk);
  }
  const ChunkEntry& chunk = table.entries[static_cast<size_t>(*index)];
  const std::span<const uint8_t> data =
      ChunkData(image, chunk.file_offset, chunk.length, chunk.region_size, chunk.HasCrc());
  if (user) {
    if (!LooksLikeUserDatabase(data))
      return Result::Failure(decode_msg::kNotUserDatabase);
    return FromUserDatabase(data);
  }
  if (HasLzmaStreamMagic(data))
    return FromLzmaStream(data);
  Decoded<DefaultDatabase> raw = ReadDefaultDatabase(data, TrailingBytes::kFillAllowed);
  if (!raw)
    return Result::Failure(decode_msg::kNotDefaultDatabase);
  return ChannelListOfDefaultDatabase(*raw);
}

Result DecodeDatabaseFile(std::span<const uint8_t> bytes, const std::string& file_name,
                          bool user_only) {
  if (!user_only) {
    if (HasLzmaStreamMagic(bytes))
      return FromLzmaStream(bytes);
    if (Decoded<DefaultDatabase> raw = ReadDefaultDatabase(bytes))
      return ChannelListOfDefaultDatabase(*raw);
  }
  if (LooksLikeUserDatabase(bytes))
    return FromUserDatabase(bytes);
  return Result::Failure(FormatMessage(decode_msg::kNotDatabaseFile, file_name));
}

}  // namespace qtk::dbbuilder
