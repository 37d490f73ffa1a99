#pragma once

#include <filesystem>
#include <string>

namespace qtk::demo {

inline constexpr const char* kDemoImageName = "demo_k7720x.bin";
inline constexpr const char* kDemoPassword = "1234";
inline constexpr const char* kDemoProgramList = "demo_program_list.txt";
inline constexpr const char* kDemoLogo = "demo_logo.m2v";

// Writes a complete, self-consistent demo folder: the firmware image (256 KiB boot loader
// region, so the save also writes the mirror block and the OTA file; its default and user
// database chunks hold the databases of the demo channel list), QTK_K7720X.ini with
// every section, a channel list, a boot logo, and the tuner driver and dynamic panel files
// that the description names. Returns false with a reason on failure.
bool WriteDemoSet(const std::filesystem::path& dir, std::string* error);

// The demo channel list text (CR LF line ends, tab-separated columns).
std::string DemoProgramList();

}  // namespace qtk::demo
