// Whole dfv_k7720x runs beside the reference LZMA encoder on the same raw database.
//
//   builder_run_bench [--dfv PATH] [--runs N] [--all]
//
// For each program list (the maximal list and a realistic 500/10000/20000 list; --all adds
// the other shapes the encoder settings were chosen on) the builder runs in a fresh
// directory of its own, then `lzma_alone e unzipped_m_6615_df.bin OUT -lc0 -lp2` compresses
// the raw database the builder left. Both are timed as whole processes (wall clock, the
// fastest of N runs). The comparison runs only when lzma_alone is on PATH (Debian package
// lzma-alone); without it the builder's own figures are printed.
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "bench/process_timer.h"
#include "bench/program_lists.h"
#include "testdata/temp_dir.h"

#ifndef QTK_DFV_PATH
#define QTK_DFV_PATH "dfv_k7720x"
#endif

namespace {

namespace fs = std::filesystem;

bool WriteText(const fs::path& file, const std::string& text) {
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out << text;
  return static_cast<bool>(out);
}

uintmax_t SizeOf(const fs::path& file) {
  std::error_code ec;
  const uintmax_t size = fs::file_size(file, ec);
  return ec ? 0 : size;
}

// The builder wrote its compressed form: the LZMA-alone header for lc0 lp2 pb2, 8 MiB.
bool LooksCompressed(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  char head[5] = {};
  in.read(head, 5);
  return in && std::memcmp(head, "\x6C\x00\x00\x80\x00", 5) == 0;
}

}  // namespace

int main(int argc, char** argv) {
  fs::path dfv = QTK_DFV_PATH;
  int runs = 3;
  bool all = false;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--dfv") == 0 && i + 1 < argc) {
      dfv = argv[++i];
    } else if (std::strcmp(argv[i], "--runs") == 0 && i + 1 < argc) {
      runs = std::max(1, std::atoi(argv[++i]));
    } else if (std::strcmp(argv[i], "--all") == 0) {
      all = true;
    } else {
      std::fprintf(stderr, "usage: %s [--dfv PATH] [--runs N] [--all]\n", argv[0]);
      return 2;
    }
  }
  const std::optional<fs::path> reference = qtk::bench::FindInPath("lzma_alone");
  if (!reference)
    std::printf("lzma_alone is not installed (Debian package lzma-alone): no comparison\n");

  std::vector<qtk::bench::NamedList> lists = qtk::bench::BenchLists();
  if (!all)
    lists.resize(2);

  std::printf("%-28s %7s %13s %13s %6s %7s %7s %7s\n", "program list", "raw", "dfv s (cpu)",
              "lzma s (cpu)", "time", "dfv B", "lzma B", "size");
  int failures = 0;
  for (const qtk::bench::NamedList& list : lists) {
    qtk::testdata::TempDir dir("qtk_builder_run_bench");
    const fs::path exe = dir.path() / "dfv_k7720x";
    std::error_code ec;
    fs::copy_file(dfv, exe, ec);
    if (ec || !WriteText(dir.path() / "program_list.txt", list.text)) {
      std::fprintf(stderr, "cannot prepare %s with %s\n", list.name.c_str(), dfv.c_str());
      return 1;
    }
    const std::optional<qtk::bench::ProcessRun> builder =
        qtk::bench::BestOf(runs, {exe.string()}, dir.path());
    const fs::path packed = dir.path() / "m_6615_df.bin";
    const fs::path raw = dir.path() / "unzipped_m_6615_df.bin";
    if (!builder || !LooksCompressed(packed)) {
      std::fprintf(stderr, "%s: the builder did not leave a compressed database\n",
                   list.name.c_str());
      ++failures;
      continue;
    }
    std::printf("%-28s %7ju %5.3f (%5.3f)", list.name.c_str(), SizeOf(raw), builder->wall_seconds,
                builder->cpu_seconds);
    if (!reference) {
      std::printf(" %13s %6s %7ju %7s %7s\n", "-", "-", SizeOf(packed), "-", "-");
      continue;
    }
    const fs::path ref_out = dir.path() / "reference.lzma";
    const std::optional<qtk::bench::ProcessRun> lzma = qtk::bench::BestOf(
        runs, {reference->string(), "e", raw.string(), ref_out.string(), "-lc0", "-lp2"},
        dir.path());
    if (!lzma) {
      std::printf("  (lzma_alone failed)\n");
      ++failures;
      continue;
    }
    std::printf(" %5.3f (%5.3f) %5.2fx %7ju %7ju %6.4fx\n", lzma->wall_seconds, lzma->cpu_seconds,
                builder->wall_seconds / lzma->wall_seconds, SizeOf(packed), SizeOf(ref_out),
                static_cast<double>(SizeOf(packed)) / static_cast<double>(SizeOf(ref_out)));
  }
  std::printf(
      "time: builder wall / lzma_alone wall (goal <= 1); size: builder / lzma_alone "
      "(goal <= 0.995)\n");
  return failures == 0 ? 0 : 1;
}
