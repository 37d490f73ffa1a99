// Any bytes as a firmware image, opened as the desktop program opens it: chunk table, common
// data chunk, record, configuration version, password words and dynamic panel. A load either
// gives a project or says why in a message; it never crashes or reads outside the image.
#include <cstddef>
#include <cstdint>

#include "common/recording_dialogs.h"
#include "firmware/firmware_loader.h"
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
  const std::string image = qtk::fuzz::ScratchFile("firmware.bin");
  qtk::fuzz::WriteScratch(image, data, size);
  qtk::LoadSession session;
  qtk::RecordingDialogs dialogs;
  auto project = qtk::OpenFirmwareImage(image, Description(), "1234", session, dialogs);
  qtk::fuzz::Check(project != nullptr || !dialogs.messages.empty());
  if (project)
    qtk::fuzz::Check(session.current_password == "1234");
  return 0;
}
