#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "dbbuilder/decode/channel_list.h"
#include "dbbuilder/decode/decode_result.h"

namespace qtk::dbbuilder {

// The data of a database chunk: its data area up to what the header's length covers (the
// CRC range), or the whole data area of a chunk without a CRC, whose length a save does not
// keep up to date.
std::span<const uint8_t> ChunkData(std::span<const uint8_t> image, uint32_t file_offset,
                                   uint32_t length, uint32_t region_size, bool has_crc);

// The database in the default or user database chunk of a firmware image, as a channel
// list. The default database chunk holds the builder's LZMA stream; the raw database that a
// build without compression leaves there is taken too. Whatever follows the database in the
// chunk (0xFF filler, an inserted CRC ROM) is ignored.
Decoded<ChannelList> DecodeImageDatabase(std::span<const uint8_t> image, DatabaseKind kind);

// A database file that dfv_k7720x wrote, as a channel list: "m_6615_df.bin" (LZMA),
// "unzipped_m_6615_df.bin" (raw) or "user_db.bin", told apart by their content; with
// `user_only` the file must be a user database. `file_name` names it in messages.
Decoded<ChannelList> DecodeDatabaseFile(std::span<const uint8_t> bytes,
                                        const std::string& file_name, bool user_only);

}  // namespace qtk::dbbuilder
