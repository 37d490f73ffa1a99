#pragma once

// Every text the channel list decoder shows. The details of a damaged database are joined
// into the "damaged" messages; numbers in them count from 1, as the list's lines do.

namespace qtk::dbbuilder::decode_msg {

inline constexpr const char* kNoDefaultDatabaseChunk =
    "The firmware has no default database chunk (0x03FC0100).";
inline constexpr const char* kNoUserDatabaseChunk =
    "The firmware has no user database chunk (0x04FB0100).";
inline constexpr const char* kCannotOpenDatabase = "Can not open database file %s.";

inline constexpr const char* kNotDefaultDatabase =
    "The default database chunk holds neither an LZMA stream as dfv_k7720x writes it (header 6C "
    "00 00 80 00) nor a raw default database.";
inline constexpr const char* kNotUserDatabase =
    "The user database chunk does not hold a user database as dfv_k7720x writes it.";
inline constexpr const char* kNotDatabaseFile =
    "%s is not a database that dfv_k7720x writes (m_6615_df.bin, unzipped_m_6615_df.bin or "
    "user_db.bin).";

inline constexpr const char* kLzmaHeaderCut = "The default database's LZMA header is cut short.";
inline constexpr const char* kLzmaSizeUnknown =
    "The default database's LZMA header gives no uncompressed size.";
inline constexpr const char* kLzmaTooLarge =
    "The default database's LZMA header gives an uncompressed size of %s bytes, more than a "
    "default database can hold.";
inline constexpr const char* kLzmaTruncated =
    "The default database's LZMA stream ends before the %s bytes its header announces.";
inline constexpr const char* kLzmaCorrupt = "The default database's LZMA stream is corrupt.";

inline constexpr const char* kDefaultDamaged = "The default database is damaged: %s.";
inline constexpr const char* kUserDamaged = "The user database is damaged: %s.";

inline constexpr const char* kNotGivenBack =
    "Warning: dfv_k7720x does not give back the same %s from this channel list: %s differs.";
inline constexpr const char* kBuildWithLoadDomestic =
    "Note: build this channel list with LoadDomestic=1 to get the same user database back.";

inline constexpr const char* kSameAsSource =
    "The channel list can not be written over the file it is read from.";
// Followed by what went wrong (an output failure text) and a full stop.
inline constexpr const char* kCannotWriteList = "Can not write the channel list file %s: ";

}  // namespace qtk::dbbuilder::decode_msg
