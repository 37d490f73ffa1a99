#include "dbbuilder/builder_settings.h"

#include "common/file_io.h"
#include "config/ini/ini_document.h"

namespace qtk::dbbuilder {
namespace {

uint8_t ReadByte(const char* key, const ini::IniDocument& ini) {
  return static_cast<uint8_t>(ini.GetInt("config", key, 0) & 0xFF);
}

std::string ReadFileName(const char* section, const char* default_value,
                         const ini::IniDocument& ini) {
  std::string value = ini.GetString(section, "File", default_value);
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
  // Read once and answered key by key as the private-profile functions would answer them
  // from the file; a file that cannot be read gives every default, as it would key by key.
  const ini::IniDocument ini =
      ini::IniDocument::Read(ini_file).value_or(ini::IniDocument::Parse(""));
  s.load_domestic = ReadByte("LoadDomestic", ini);
  s.fixed_order = ReadByte("FixedOrder", ini);
  s.remove_program = ReadByte("RemoveProgram", ini);
  s.tv_radio_audio_channel = ReadByte("TVRadioAudioChannel", ini);
  s.radio_audio_channel = ReadByte("RadioAudioChannel", ini);
  s.load_default_4in1 = ReadByte("LoadDefault4IN1", ini);
  s.list_file_name = ReadFileName("File0", kDefaultListFileName, ini);
  s.binary_file_name = ReadFileName("File1", "", ini);
  return s;
}

}  // namespace qtk::dbbuilder
