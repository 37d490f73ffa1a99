// `qtkcli load` and `qtkcli save` on a 16 MiB image beside `cat IN > OUT` on the same file,
// in one run, with the peak memory of each.
//
//   load_save_bench [--qtkcli PATH] [--runs N]
//   load_save_bench --write DIR     (only writes image.bin and its description into DIR, to
//                                    profile the programs on them)
//
// The image holds eleven chunks: a boot loader region of 0x40000 (so the save also writes the
// mirror block and the OTA file), a 10 MiB main code chunk, 1 MiB logo and database chunks,
// the small chunks a load looks for, an NCRC game ROM chunk and a 2.2 MiB last chunk, with
// its password and the realistic configuration description beside it. Every program is
// timed as a whole process (wall clock, the fastest of N runs); the file is in the page
// cache for all of them.
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "bench/process_timer.h"
#include "firmware/image/chunk_ids.h"
#include "testdata/config_writer.h"
#include "testdata/firmware_fixture.h"
#include "testdata/temp_dir.h"

#ifndef QTK_QTKCLI_PATH
#define QTK_QTKCLI_PATH "qtkcli"
#endif

namespace {

namespace fs = std::filesystem;
using qtk::testdata::ChunkSpec;

constexpr uint32_t kImageSize = 16u << 20;
constexpr const char* kPassword = "1234";

// Gives the chunk `region` bytes and fills its data up to a few bytes short of it.
void Resize(ChunkSpec& chunk, uint32_t region, uint8_t seed) {
  chunk.region_size = region;
  chunk.data = qtk::testdata::PatternBytes(region - qtk::kChunkHeaderSize - 64, seed);
}

std::vector<uint8_t> SixteenMiBImage() {
  qtk::testdata::StandardImageOptions options;
  options.bootloader_region = 0x40000;
  std::vector<ChunkSpec> chunks = qtk::testdata::StandardChunks(options);
  uint32_t used = 0;
  for (ChunkSpec& chunk : chunks) {
    switch (chunk.id) {
      case qtk::kMainCodeChunkId:
        Resize(chunk, 10u << 20, 11);
        break;
      case qtk::kLogoChunkId:
      case qtk::kDefaultDatabaseChunkId:
      case qtk::kUserDatabaseChunkId:
        Resize(chunk, 1u << 20, static_cast<uint8_t>(chunk.id >> 8));
        break;
      case qtk::kTunerDriverChunkId:
        Resize(chunk, 64u << 10, 13);
        break;
      default:
        break;
    }
    used += chunk.region_size;
  }
  ChunkSpec rom;
  rom.id = qtk::kGameRomChunkId;
  rom.name = "gamerom";
  rom.no_crc = true;
  Resize(rom, 512u << 10, 17);
  used += rom.region_size;
  chunks.insert(chunks.end() - 1, rom);  // the common data chunk stays behind it

  ChunkSpec last;
  last.id = 0x07F80100u;
  last.name = "resources";
  Resize(last, kImageSize - used, 19);
  chunks.push_back(last);
  return qtk::testdata::BuildFirmware(chunks, kPassword);
}

void PrintRow(const char* what, const qtk::bench::ProcessRun& run,
              const qtk::bench::ProcessRun& cat, size_t image_size) {
  std::printf("%-20s %8.4f s %7.1fx %8.4f s   %8.1f MiB %6.2fx image\n", what, run.wall_seconds,
              run.wall_seconds / cat.wall_seconds, run.cpu_seconds, run.peak_rss_kib / 1024.0,
              run.peak_rss_kib * 1024.0 / static_cast<double>(image_size));
}

}  // namespace

int main(int argc, char** argv) {
  fs::path qtkcli = QTK_QTKCLI_PATH;
  int runs = 5;
  std::string write_only;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--qtkcli") == 0 && i + 1 < argc) {
      qtkcli = argv[++i];
    } else if (std::strcmp(argv[i], "--runs") == 0 && i + 1 < argc) {
      runs = std::max(1, std::atoi(argv[++i]));
    } else if (std::strcmp(argv[i], "--write") == 0 && i + 1 < argc) {
      write_only = argv[++i];
    } else {
      std::fprintf(stderr, "usage: %s [--qtkcli PATH] [--runs N] | --write DIR\n", argv[0]);
      return 2;
    }
  }
  if (!write_only.empty()) {
    const fs::path dir = write_only;
    const bool ok = qtk::testdata::WriteFile((dir / "image.bin").string(), SixteenMiBImage()) &&
                    qtk::testdata::RealisticDescription().Write(
                        (dir / qtk::testdata::kDefaultDescriptionName).string());
    std::printf("%s\n", ok ? "written" : "cannot write");
    return ok ? 0 : 1;
  }
  const std::optional<fs::path> cat = qtk::bench::FindInPath("cat");
  if (!cat) {
    std::fprintf(stderr, "cat is not on PATH\n");
    return 1;
  }

  qtk::testdata::TempDir dir("qtk_load_save_bench");
  const std::string in = dir.File("image.bin");
  const std::string ini = dir.File(qtk::testdata::kDefaultDescriptionName);
  const std::string out = dir.File("saved.bin");
  // A child's peak memory counts what it shared with this process before it started its
  // program, so the image is generated in a child of its own and this process stays small.
  const pid_t writer = fork();
  if (writer == 0) {
    const std::vector<uint8_t> image = SixteenMiBImage();
    const bool ok = image.size() == kImageSize && qtk::testdata::WriteFile(in, image) &&
                    qtk::testdata::RealisticDescription().Write(ini);
    _exit(ok ? 0 : 1);
  }
  int status = 0;
  if (writer < 0 || waitpid(writer, &status, 0) != writer || !WIFEXITED(status) ||
      WEXITSTATUS(status) != 0) {
    std::fprintf(stderr, "cannot write the image and its description to %s\n", dir.path().c_str());
    return 1;
  }
  const size_t image_size = kImageSize;

  const auto copy = qtk::bench::BestOf(runs, {cat->string(), in}, dir.path(), dir.File("cat.bin"));
  const auto load = qtk::bench::BestOf(
      runs, {qtkcli.string(), "load", in, "--config", ini, "--password", kPassword}, dir.path());
  const auto save = qtk::bench::BestOf(
      runs, {qtkcli.string(), "save", in, "--config", ini, "--password", kPassword, "-o", out},
      dir.path());
  if (!copy || !load || !save) {
    std::fprintf(stderr, "a program failed: cat %s, qtkcli load %s, qtkcli save %s\n",
                 copy ? "ok" : "failed", load ? "ok" : "failed", save ? "ok" : "failed");
    return 1;
  }
  std::error_code ec;
  const bool ota = fs::exists(out + ".ota", ec);

  std::printf("image: %zu bytes, %s; fastest of %d runs\n", image_size,
              ota ? "the save wrote the OTA file" : "NO OTA FILE WRITTEN", runs);
  std::printf("%-20s %10s %8s   %12s %12s\n", "program", "wall", "vs cat", "peak memory", "");
  PrintRow("cat IN > OUT", *copy, *copy, image_size);
  PrintRow("qtkcli load", *load, *copy, image_size);
  PrintRow("qtkcli save", *save, *copy, image_size);
  std::printf("goals: save <= 3x cat, peak memory <= 2x image\n");
  return ota ? 0 : 1;
}
