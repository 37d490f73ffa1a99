// libFuzzer target: any bytes as a configuration description. Load must end with true or
// with a message, never crash, read out of bounds or throw.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <utility>

#include "config/config_description.h"
#include "config/ini/ini_document.h"
#include "config/ini/private_profile.h"

namespace {

const std::string& TempIniPath() {
  static const std::string path = (std::filesystem::temp_directory_path() /
                                   ("qtk_config_fuzz_" + std::to_string(::getpid()) + ".ini"))
                                      .string();
  return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string& path = TempIniPath();
  {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  }
  // The load answers from the file read once; a few keys read from the file one by one
  // must give the same text.
  const std::optional<qtk::ini::IniDocument> document = qtk::ini::IniDocument::Read(path);
  if (!document)
    std::abort();
  for (const auto& [section, key] :
       {std::pair{"CommonConfig", "ConfigVersion"}, std::pair{"ChunkId", "item0"},
        std::pair{"Password", "Limit"}}) {
    if (document->GetString(section, key, "\x01") !=
        qtk::ini::GetPrivateProfileString(section, key, "\x01", path))
      std::abort();
  }

  qtk::ConfigDescription config;
  config.SetDescriptionPath(path);
  if (!config.Load()) {
    qtk::LoadError error = config.GetLoadError();
    if (error.code != -3 && error.code != -9)
      std::abort();
    if (error.message.rfind("Error: " + path + ":\r\n", 0) != 0)
      std::abort();
  } else {
    // A successful load leaves the invariants the pages rely on.
    if (config.GetChunkIds().empty() || config.password_limit.empty())
      std::abort();
    if (config.GPIOBusTypeCount() != config.GetGPIOBusType().size())
      std::abort();
    qtk::FlashDeviceTable devices = config.GetFlashDevices();
    if (devices.names.size() != devices.data.size())
      std::abort();
    for (const qtk::FlashDeviceEntry& entry : devices.data) {
      if (!config.FindDeviceValue(entry))
        std::abort();
    }
  }
  return 0;
}
