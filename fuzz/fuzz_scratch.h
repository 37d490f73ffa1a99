#pragma once
// A scratch folder for the fuzz targets whose code under test reads or writes files: in
// memory (/dev/shm) where the system has it, one per process.
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "dbbuilder/table_limits.h"

namespace qtk::fuzz {

inline const std::filesystem::path& ScratchFolder() {
  static const std::filesystem::path folder = [] {
    std::filesystem::path base = "/dev/shm";
    std::error_code ec;
    if (!std::filesystem::is_directory(base, ec))
      base = std::filesystem::temp_directory_path();
    std::filesystem::path dir = base / ("qtk_fuzz_" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    return dir;
  }();
  // A run that ends normally (its time is up) takes its folder along, since /dev/shm is
  // memory; made after the folder's name, it is destroyed before it.
  static struct Remover {
    ~Remover() {
      std::error_code ignored;
      std::filesystem::remove_all(folder, ignored);
    }
  } remover;
  (void)remover;
  return folder;
}

inline std::string ScratchFile(const char* name) {
  return (ScratchFolder() / name).string();
}

inline void WriteScratch(const std::string& path, const uint8_t* data, size_t size) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
}

// Table sizes for the targets that parse program lists: small enough that lists of a few
// hundred bytes fill every table, so the table-full paths are reached at full speed.
inline constexpr dbbuilder::TableLimits kSmallTables{.satellites = 8,
                                                     .tp_ids = 24,
                                                     .programs = 64,
                                                     .user_satellites = 5,
                                                     .user_tps = 12,
                                                     .user_programs = 32};

// A broken promise of the code under test: the fuzzer reports it as a crash.
inline void Check(bool ok) {
  if (!ok)
    std::abort();
}

}  // namespace qtk::fuzz
