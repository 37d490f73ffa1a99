#include "dbbuilder/builder_settings.h"

#include "common/file_io.h"
#include "config/ini/private_profile.h"

namespace qtk::dbbuilder {
namespace {

uint8_t ReadByte(const char* key, const std::filesystem::path& file) {
  return static_cast<uint8_t>(ini::GetPrivateProfileInt("config", key, 0, file) & 0xFF);
}

std::string ReadFileName(const char* section, const char* default_value,
                         const std::filesystem::path& file) {
  std::string value = ini::GetPrivateProfileString(section, "File", default_value, file);
  if (value.size() > kMaxFileNameLength)
    value.resize(kMaxFileNameLength);
  return value;
}

}  // namespace

BuilderSettings ReadBuilderSettings(const std::filesystem::path& ini_file) {
  BuilderSettings s;
  // Anything but a regular file reads as a missing one: a FIFO would block every read.
  if (!IsRegularFile(ini_file))
    return s;
  s.load_domestic = ReadByte("LoadDomestic", ini_file);
  s.fixed_order = ReadByte("FixedOrder", ini_file);
  s.remove_program = ReadByte("RemoveProgram", ini_file);
  s.tv_radio_audio_channel = ReadByte("TVRadioAudioChannel", ini_file);
  s.radio_audio_channel = ReadByte("RadioAudioChannel", ini_file);
  s.load_default_4in1 = ReadByte("LoadDefault4IN1", ini_file);
  s.list_file_name = ReadFileName("File0", kDefaultListFileName, ini_file);
  s.binary_file_name = ReadFileName("File1", "", ini_file);
  return s;
}

}  // namespace qtk::dbbuilder
