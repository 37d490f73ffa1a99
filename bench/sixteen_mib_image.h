#pragma once

#include <cstdint>
#include <filesystem>
#include <vector>

namespace qtk::bench {

inline constexpr uint32_t kSixteenMiB = 16u << 20;
inline constexpr const char* kSixteenMiBPassword = "1234";

// A 16 MiB image of eleven chunks, keyed with kSixteenMiBPassword: a boot loader region of
// 0x40000 (so a save also writes the mirror block and the OTA file), a 10 MiB main code
// chunk, 1 MiB logo and database chunks, the small chunks a load looks for, an NCRC game ROM
// chunk and a 2.2 MiB last chunk. The logo chunk holds `logo` when it is given (a boot logo
// as the firmware carries it), else a pattern.
std::vector<uint8_t> SixteenMiBImage(const std::vector<uint8_t>& logo = {});

// Writes SixteenMiBImage(logo) as image.bin and the realistic configuration description as
// QTK_K7720X.ini into `folder`; false when either cannot be written.
bool WriteSixteenMiBFolder(const std::filesystem::path& folder,
                           const std::vector<uint8_t>& logo = {});

}  // namespace qtk::bench
