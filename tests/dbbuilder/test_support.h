#pragma once

// Shared pieces of the database builder tests: temporary folders, list text, and record
// packers written from the record tables independently of src/dbbuilder/record_layout.h.

#include <cstdint>
#include <filesystem>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "common/utf8_path.h"

namespace qtk::dbbuilder::test {

// A fresh folder under the system temp folder, removed with everything in it at the end.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::filesystem::path& path() const { return path_; }
  std::filesystem::path operator/(std::string_view name) const {
    return path_ / PathFromUtf8(name);
  }

 private:
  std::filesystem::path path_;
};

void WriteText(const std::filesystem::path& file, std::string_view text);
std::string ReadText(const std::filesystem::path& file);
std::vector<uint8_t> ReadBytes(const std::filesystem::path& file);

inline std::span<const uint8_t> Bytes(std::string_view text) {
  return {reinterpret_cast<const uint8_t*>(text.data()), text.size()};
}

// Columns joined with tabs, ended by CR LF.
std::string Line(std::initializer_list<std::string_view> columns);

// Little-endian helpers for expected files.
void PutLe16(std::vector<uint8_t>& out, uint32_t v);
void PutLe32(std::vector<uint8_t>& out, uint32_t v);

struct SatFields {
  std::string name;
  uint32_t sat_index = 0, col1 = 0, col3_mode = 0, col3_value = 0, col7 = 0, col6 = 0;
  uint32_t col5 = 0, col4 = 0, col8 = 0, col8_present = 0;
};
struct TpFields {
  uint32_t tp_id = 0, frequency = 0, polarity = 0, sat_index = 0, symbol_rate = 0, col11 = 0;
};
struct ProgFields {
  std::string name;
  uint32_t tp_id = 0, video_pid = 8191, col12 = 0, region = 0, col15 = 0, col14 = 0, col16 = 0;
  uint32_t col17_mask = 0, pcr_pid = 8191, audio_channel = 3, sat_index = 0;
  uint32_t apid1 = 0, apid2 = 0, apid3 = 0, col11 = 0, apid_count = 0;
};

std::vector<uint8_t> Pack(const SatFields& f);   // 28 bytes
std::vector<uint8_t> Pack(const TpFields& f);    // 12 bytes
std::vector<uint8_t> Pack(const ProgFields& f);  // 36 bytes

template <typename Record>
std::vector<uint8_t> BytesOf(const Record& r) {
  return std::vector<uint8_t>(r.bytes.begin(), r.bytes.end());
}

}  // namespace qtk::dbbuilder::test
