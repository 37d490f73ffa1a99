// `qtkcli load` and `qtkcli save` on a 16 MiB image beside `cat IN > OUT` on the same file,
// in one run, with the peak memory of each.
//
//   load_save_bench [--qtkcli PATH] [--runs N]
//   load_save_bench --write DIR     (only writes image.bin and its description into DIR, to
//                                    profile the programs on them)
//
// The image (bench/sixteen_mib_image.h) has a boot loader region of 0x40000, so the save also
// writes the mirror block and the OTA file. Every program is timed as a whole process (wall
// clock and CPU time, the fastest of N runs, the programs taking turns so that a busy moment
// of the machine falls on all of them); the file is in the page cache for all of them.
// `dd conv=fsync` is the copy that waits until its output is on the disk, as the save does
// for its image and OTA file before they take their names: the row shows what that costs on
// the machine at hand.
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "bench/process_timer.h"
#include "bench/sixteen_mib_image.h"
#include "testdata/config_writer.h"
#include "testdata/temp_dir.h"

#ifndef QTK_QTKCLI_PATH
#define QTK_QTKCLI_PATH "qtkcli"
#endif

namespace {

namespace fs = std::filesystem;
using qtk::bench::kSixteenMiB;
using qtk::bench::kSixteenMiBPassword;

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
    const bool ok = qtk::bench::WriteSixteenMiBFolder(write_only);
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
    _exit(qtk::bench::WriteSixteenMiBFolder(dir.path()) ? 0 : 1);
  }
  int status = 0;
  if (writer < 0 || waitpid(writer, &status, 0) != writer || !WIFEXITED(status) ||
      WEXITSTATUS(status) != 0) {
    std::fprintf(stderr, "cannot write the image and its description to %s\n", dir.path().c_str());
    return 1;
  }
  const size_t image_size = kSixteenMiB;

  const std::optional<fs::path> dd = qtk::bench::FindInPath("dd");
  struct Program {
    const char* label;
    std::vector<std::string> argv;
    std::string stdout_file;
    std::optional<qtk::bench::ProcessRun> best;
  };
  std::vector<Program> programs = {
      {"cat IN > OUT", {cat->string(), in}, dir.File("cat.bin"), {}},
      {"qtkcli load",
       {qtkcli.string(), "load", in, "--config", ini, "--password", kSixteenMiBPassword},
       "",
       {}},
      {"qtkcli save",
       {qtkcli.string(), "save", in, "--config", ini, "--password", kSixteenMiBPassword, "-o", out},
       "",
       {}},
  };
  if (dd) {
    programs.push_back({"dd conv=fsync",
                        {dd->string(), "if=" + in, "of=" + dir.File("dd.bin"), "bs=1M",
                         "conv=fsync", "status=none"},
                        "",
                        {}});
  }
  for (int round = 0; round < runs; ++round) {
    for (Program& program : programs) {
      const auto run = qtk::bench::RunProcess(program.argv, dir.path(), program.stdout_file);
      if (!run || run->exit_status != 0) {
        std::fprintf(stderr, "%s failed\n", program.label);
        return 1;
      }
      qtk::bench::KeepBest(program.best, *run);
    }
  }
  const qtk::bench::ProcessRun& copy = *programs[0].best;
  std::error_code ec;
  const bool ota = fs::exists(out + ".ota", ec);

  std::printf("image: %zu bytes, %s; fastest of %d runs\n", image_size,
              ota ? "the save wrote the OTA file" : "NO OTA FILE WRITTEN", runs);
  std::printf("%-20s %10s %8s   %12s %12s\n", "program", "wall", "vs cat", "peak memory", "");
  for (const Program& program : programs)
    PrintRow(program.label, *program.best, copy, image_size);
  std::printf("goals: save <= 3x cat, peak memory <= 2x image\n");
  return ota ? 0 : 1;
}
