// libFuzzer target: any bytes as a configuration description. Load must end with true or
// with a message, never crash, read out of bounds or throw. The description is parsed from
// memory, as the loader parses the file it has read once.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <utility>

#include "config/config_description.h"
#include "config/ini/ini_document.h"
#include "config/ini/private_profile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // The name the messages give; no file of that name is read.
  const std::string path = "fuzz.ini";
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  // The load answers from the text parsed once; a few keys read line by line, as the
  // private-profile functions read a file, must give the same text.
  qtk::ini::IniDocument document = qtk::ini::IniDocument::Parse(text);
  for (const auto& [section, key] :
       {std::pair{"CommonConfig", "ConfigVersion"}, std::pair{"ChunkId", "item0"},
        std::pair{"Password", "Limit"}}) {
    if (document.GetString(section, key, "\x01") !=
        qtk::ini::GetProfileStringFromText(section, key, "\x01", text))
      std::abort();
  }

  qtk::ConfigDescription config;
  config.SetDescriptionPath(path);
  if (!config.Load(std::move(document))) {
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
