#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "common/recording_dialogs.h"
#include "common/utf8_path.h"
#include "firmware/firmware_loader.h"
#include "testdata/config_writer.h"
#include "testdata/firmware_fixture.h"
#include "testdata/temp_dir.h"

namespace qtk::testing {

inline constexpr const char* kPassword = "1234";

// A temporary folder with a realistic description and a standard image, and the means to
// open it as the desktop program does. With `folder` (UTF-8 text), the description and the
// image lie in that folder below the temporary one.
class FirmwareEnv {
 public:
  explicit FirmwareEnv(std::string folder = "") : folder_(std::move(folder)) {
    if (!folder_.empty())
      std::filesystem::create_directories(PathFromUtf8(dir.File(folder_)));
    testdata::RealisticDescription().Write(config_path());
  }

  std::string config_path() const { return InFolder("QTK_K7720X.ini"); }
  std::string image_path() const { return InFolder("firmware.bin"); }
  // The file `name` in the folder of the image.
  std::string InFolder(const std::string& name) const {
    return folder_.empty() ? dir.File(name) : dir.File(folder_ + "/" + name);
  }

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

 private:
  std::string folder_;
};

}  // namespace qtk::testing
