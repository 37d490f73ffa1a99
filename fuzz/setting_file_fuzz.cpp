// Any bytes as a customized setting file, read against a loaded image and imported whole and
// page by page.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <fstream>
#include <string>

#include "common/recording_dialogs.h"
#include "firmware/image/chunk_ids.h"
#include "settings/setting_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string path = "/tmp/qtk_setting_fuzz_" + std::to_string(getpid()) + ".set";
  {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  }
  qtk::ChunkTable chunks;
  chunks.count = 1;
  chunks.entries[0].id = qtk::kCommonDataChunkId;
  chunks.entries[0].length = 4096;
  qtk::CustomerSettings current;
  qtk::RecordingDialogs dialogs;
  if (auto buffer = qtk::ReadSettingFile(path, chunks, current, dialogs)) {
    qtk::CustomerSettings settings;
    settings.CopyRecordIn(*buffer);
    qtk::ImportTunerSettings(settings, *buffer);
    qtk::ImportPanelSettings(settings, *buffer);
    qtk::ImportSerialFlashSettings(settings, *buffer);
    qtk::ImportOtaSettings(settings, *buffer);
    qtk::ImportKeyMapSettings(settings, *buffer);
    qtk::CustomerSettings::Bytes out{};
    settings.CopyRecordOut(out, true);
  }
  std::remove(path.c_str());
  return 0;
}
