// Writes the seed corpora of the fuzz targets from the test-data generators:
//   fuzz_corpus DIR   -> DIR/<target>/<seed files>
// Each target starts from inputs that pass its first checks, so the fuzzer spends its time in
// the later steps (record, password words, save, table limits).
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "common/file_io.h"
#include "common/recording_dialogs.h"
#include "firmware/firmware_loader.h"
#include "testdata/config_writer.h"
#include "testdata/firmware_fixture.h"
#include "testdata/program_list_generator.h"

namespace {

namespace fs = std::filesystem;
using qtk::testdata::StandardImageOptions;

constexpr uint32_t kSeedRegion = 0x800;

void Put(const fs::path& dir, const std::string& name, const std::vector<uint8_t>& bytes) {
  fs::create_directories(dir);
  std::ofstream(dir / name, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()),
             static_cast<std::streamsize>(bytes.size()));
}

void Put(const fs::path& dir, const std::string& name, const std::string& text) {
  Put(dir, name, std::vector<uint8_t>(text.begin(), text.end()));
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: fuzz_corpus DIR\n";
    return 2;
  }
  const fs::path root = argv[1];

  // Images: the standard one and its variants with CRC-less chunks, an old record, no panel.
  const std::vector<std::pair<std::string, StandardImageOptions>> images = {
      {"standard", {}},
      {"main_code_no_crc", {.main_code_no_crc = true}},
      {"common_no_crc", {.common_no_crc = true}},
      {"config_version_1", {.config_version = 1}},
      {"no_dynamic_panel", {.with_dynamic_panel = false}},
      {"no_game_emulator", {.with_game_emulator = false, .with_tuner_driver = false}},
  };
  for (const auto& [name, options] : images) {
    // Regions cut to 2 KiB: every check still passes, and each run hashes and copies less.
    std::vector<qtk::testdata::ChunkSpec> chunks = qtk::testdata::StandardChunks(options);
    for (qtk::testdata::ChunkSpec& chunk : chunks) {
      if (chunk.region_size > kSeedRegion || chunk.region_size == 0) {
        chunk.region_size = kSeedRegion;
        if (chunk.data.size() > kSeedRegion - 128)
          chunk.data.resize(kSeedRegion - 128);
      }
    }
    const std::vector<uint8_t> image = qtk::testdata::BuildFirmware(chunks, "1234");
    for (const char* target : {"image_fuzz", "load_fuzz", "save_fuzz"})
      Put(root / target, name + ".bin", image);
    // The inspection target: two length bytes (the first file's size / 4), the image, then
    // the same image as the second file, once unchanged and once with a byte of its last
    // chunk changed.
    if (image.size() / 4 <= 0xFFFF && image.size() % 4 == 0) {
      std::vector<uint8_t> pair = {static_cast<uint8_t>(image.size() / 4 >> 8),
                                   static_cast<uint8_t>(image.size() / 4)};
      pair.insert(pair.end(), image.begin(), image.end());
      pair.insert(pair.end(), image.begin(), image.end());
      Put(root / "inspect_fuzz", name + "_same.bin", pair);
      pair[pair.size() - 200] ^= 0x5A;
      Put(root / "inspect_fuzz", name + "_changed.bin", pair);
    }
  }

  // The configuration description, and the record of the standard image as a setting file.
  const fs::path ini = root / "config_fuzz" / "realistic.ini";
  fs::create_directories(ini.parent_path());
  qtk::testdata::RealisticDescription().Write(ini);
  {
    const fs::path image = root / "load_fuzz" / "standard.bin";
    qtk::LoadSession session;
    qtk::RecordingDialogs dialogs;
    auto project = qtk::OpenFirmware(image.string(), ini.string(), "1234", session, dialogs);
    if (!project) {
      std::cerr << "the standard image does not load\n";
      return 1;
    }
    const auto& record = project->settings.bytes();
    Put(root / "setting_file_fuzz", "standard.set",
        std::vector<uint8_t>(record.begin(), record.end()));
  }

  // Program lists of several shapes; the targets' small tables make the larger ones overfull.
  for (uint64_t seed = 1; seed <= 6; ++seed) {
    qtk::testdata::ProgramListShape shape;
    shape.max_satellites = static_cast<int>(2 + seed * 3);
    shape.odd_columns = seed % 2 == 0;
    const std::string list = qtk::testdata::GenerateProgramList(seed, shape);
    for (const char* target : {"program_list_fuzz", "builder_fuzz"})
      Put(root / target, "list" + std::to_string(seed) + ".txt", list);
    // The channel list target reads its first byte as the kind of input; 3 is a list.
    Put(root / "channel_list_fuzz", "list" + std::to_string(seed) + ".txt", "\x03" + list);
  }

  // The INI writer: section|key|value| then the file.
  Put(root / "ini_writer_fuzz", "builder_settings.txt",
      "config|LoadDomestic|1|[File0]\r\nFile=list.txt\r\n[config]\r\nLoadDomestic=0\r\n"
      "RemoveProgram=1\r\n");
  Put(root / "ini_writer_fuzz", "new_section.txt",
      "File1|File|fw.bin|; comment\r\n[File0]\r\nFile = a.txt\r\n\r\n[config]\r\n");
  return 0;
}
