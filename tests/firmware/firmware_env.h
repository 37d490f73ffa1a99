#pragma once

#include <memory>
#include <string>
#include <vector>

#include "common/recording_dialogs.h"
#include "firmware/firmware_loader.h"
#include "testdata/config_writer.h"
#include "testdata/firmware_fixture.h"
#include "testdata/temp_dir.h"

namespace qtk::testing {

inline constexpr const char* kPassword = "1234";

// A temporary folder with a realistic description and a standard image, and the means to
// open it as the desktop program does.
class FirmwareEnv {
 public:
  FirmwareEnv() { testdata::RealisticDescription().Write(config_path()); }

  std::string config_path() const { return dir.File("QTK_K7720X.ini"); }
  std::string image_path() const { return dir.File("firmware.bin"); }

  void WriteImage(const std::vector<uint8_t>& image) const {
    testdata::WriteFile(image_path(), image);
  }
  void WriteStandardImage(const testdata::StandardImageOptions& options = {},
                          const std::string& password = kPassword) const {
    WriteImage(testdata::BuildStandardFirmware(options, password));
  }

  std::unique_ptr<FirmwareProject> Open(const std::string& password = kPassword) {
    return OpenFirmware(image_path(), config_path(), password, session, dialogs);
  }

  testdata::TempDir dir;
  LoadSession session;
  RecordingDialogs dialogs;
};

}  // namespace qtk::testing
