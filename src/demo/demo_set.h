#pragma once

#include <filesystem>
#include <string>

namespace qtk::demo {

inline constexpr const char* kDemoImageName = "demo_k7720x.bin";

// Writes a complete, self-consistent demo folder. Returns false with a reason on failure.
bool WriteDemoSet(const std::filesystem::path& dir, std::string* error);

}  // namespace qtk::demo
