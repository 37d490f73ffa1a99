#pragma once

#include <cstdint>
#include <filesystem>
#include <iosfwd>
#include <limits>
#include <span>

#include "dbbuilder/lzma_compressor.h"
#include "dbbuilder/table_limits.h"

namespace qtk::dbbuilder {

// Fixed file names of the builder.
inline constexpr const char* kDefaultDatabaseName = "m_6615_df.bin";
inline constexpr const char* kUnzippedDefaultDatabaseName = "unzipped_m_6615_df.bin";
inline constexpr const char* kUserDatabaseName = "user_db.bin";
inline constexpr const char* kUpdatedImageName = "OUT.bin";

struct BuilderOptions {
  // A binary file larger than this cannot be held ("No enough memory!"); tests lower it.
  uint64_t max_image_size = std::numeric_limits<uint64_t>::max();
  // The encoder settings tried for m_6615_df.bin, the smallest output kept. The program
  // always uses the default; a fuzz run that checks what the databases hold, not how small
  // they are, takes one cheap setting.
  std::span<const LzmaTuning> lzma_tunings = LzmaCandidateTunings();
  // The encoders' memory (nothing: liblzma's own). A fuzz run keeps it from run to run
  // instead of mapping and touching a megabyte afresh each time.
  const lzma_allocator* lzma_memory = nullptr;
  // The table sizes of the format; a fuzz run lowers them to reach the table-full paths.
  TableLimits table_limits;
};

// One run of dfv_k7720x: settings from dfv_k7720x.ini in `builder_dir`,
// the program list and binary files from `builder_dir`, m_6615_df.bin,
// unzipped_m_6615_df.bin and user_db.bin into `builder_dir`, chout.txt and OUT.bin into
// `current_dir`; every console message to `out`. Never reads standard input.
void RunBuilder(const std::filesystem::path& builder_dir, const std::filesystem::path& current_dir,
                std::ostream& out, const BuilderOptions& options = {});

}  // namespace qtk::dbbuilder
