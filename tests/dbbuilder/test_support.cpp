#include "test_support.h"

#include <fstream>
#include <iterator>
#include <random>

namespace qtk::dbbuilder::test {

TempDir::TempDir() {
  std::random_device rd;
  for (;;) {
    path_ = std::filesystem::temp_directory_path() /
            ("qtk_dbbuilder_" + std::to_string(rd()) + std::to_string(rd()));
    if (std::filesystem::create_directory(path_))
      break;
  }
}

TempDir::~TempDir() {
  std::error_code ec;
  std::filesystem::remove_all(path_, ec);
}

void WriteText(const std::filesystem::path& file, std::string_view text) {
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out.write(text.data(), static_cast<std::streamsize>(text.size()));
}

std::string ReadText(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

std::vector<uint8_t> ReadBytes(const std::filesystem::path& file) {
  std::string text = ReadText(file);
  return std::vector<uint8_t>(text.begin(), text.end());
}

std::string Line(std::initializer_list<std::string_view> columns) {
  std::string line;
  bool first = true;
  for (std::string_view c : columns) {
    if (!first)
      line += '\t';
    line += c;
    first = false;
  }
  return line + "\r\n";
}

void PutLe16(std::vector<uint8_t>& out, uint32_t v) {
  out.push_back(static_cast<uint8_t>(v));
  out.push_back(static_cast<uint8_t>(v >> 8));
}

void PutLe32(std::vector<uint8_t>& out, uint32_t v) {
  PutLe16(out, v & 0xFFFF);
  PutLe16(out, v >> 16);
}

namespace {
void PutName(std::vector<uint8_t>& out, const std::string& name) {
  for (size_t i = 0; i < 16; ++i)
    out.push_back(i < name.size() ? name[i] : 0);
}
}  // namespace

std::vector<uint8_t> Pack(const SatFields& f) {
  std::vector<uint8_t> out;
  PutLe32(out, f.sat_index | f.col1 << 16 | f.col3_mode << 17 | f.col3_value << 20 | f.col7 << 24 |
                   f.col6 << 25);
  PutLe32(out, f.col5 | f.col4 << 16);
  PutLe32(out, f.col8 | f.col8_present << 8);
  PutName(out, f.name);
  return out;
}

std::vector<uint8_t> Pack(const TpFields& f) {
  std::vector<uint8_t> out;
  PutLe32(out, f.tp_id | f.frequency << 13 | f.polarity << 30);
  PutLe32(out, f.sat_index | f.symbol_rate << 11 | f.col11 << 29);
  PutLe32(out, 0);
  return out;
}

std::vector<uint8_t> Pack(const ProgFields& f) {
  std::vector<uint8_t> out;
  PutLe32(out, f.tp_id | f.video_pid << 16 | f.col12 << 29 | f.region << 30);
  PutLe32(out, f.col15 | f.col14 << 16 | f.col16 << 31);
  PutLe32(out, f.col17_mask | f.pcr_pid << 16 | f.audio_channel << 29);
  PutLe32(out, f.sat_index | f.apid1 << 19);
  PutLe32(out, f.apid2 | f.apid3 << 13 | f.col11 << 26 | f.apid_count << 28);
  PutName(out, f.name);
  return out;
}

}  // namespace qtk::dbbuilder::test
