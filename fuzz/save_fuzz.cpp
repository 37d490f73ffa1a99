// Any bytes as a firmware image: when it loads, one record field is edited and the project is
// saved; every save that reports success must load again with the password in force and give
// back the record as saved, and a save that fails must leave no output file.
#include <cstddef>
#include <cstdint>
#include <filesystem>

#include "common/recording_dialogs.h"
#include "firmware/firmware_loader.h"
#include "firmware/firmware_saver.h"
#include "fuzz_scratch.h"
#include "testdata/config_writer.h"

namespace {

const qtk::ConfigDescription& Description() {
  static const qtk::ConfigDescription config = [] {
    const std::string path = qtk::fuzz::ScratchFile("QTK_K7720X.ini");
    qtk::testdata::RealisticDescription().Write(path);
    qtk::ConfigDescription loaded;
    loaded.SetDescriptionPath(path);
    qtk::fuzz::Check(loaded.Load());
    return loaded;
  }();
  return config;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using qtk::fuzz::Check;
  const std::string image = qtk::fuzz::ScratchFile("firmware.bin");
  const std::string out = qtk::fuzz::ScratchFile("out.bin");
  std::error_code ec;
  std::filesystem::remove(out, ec);
  std::filesystem::remove(out + ".ota", ec);
  qtk::fuzz::WriteScratch(image, data, size);
  qtk::LoadSession session;
  qtk::RecordingDialogs dialogs;
  auto project = qtk::OpenFirmwareImage(image, Description(), "1234", session, dialogs);
  if (!project)
    return 0;
  // An edit that every save must carry: the default volume, from the input's length.
  project->settings.SetU8(qtk::record::kDefaultVolume, static_cast<uint8_t>(size % 32));
  const qtk::SaveResult result = qtk::SaveFirmware(*project, session, out, dialogs);
  if (result != qtk::SaveResult::kSaved) {
    Check(!std::filesystem::exists(out, ec) && !std::filesystem::exists(out + ".ota", ec));
    return 0;
  }
  qtk::LoadSession reload_session;
  qtk::RecordingDialogs reload_dialogs;
  auto reloaded = qtk::OpenFirmwareImage(out, Description(), session.current_password,
                                         reload_session, reload_dialogs);
  Check(reloaded != nullptr);
  Check(reloaded->settings.bytes() == project->settings.bytes());
  return 0;
}
