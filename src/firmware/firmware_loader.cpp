#include "firmware/firmware_loader.h"

#include <algorithm>
#include <fstream>
#include <vector>

#include "common/utf8_path.h"
#include "common/file_io.h"
#include "common/message_format.h"
#include "firmware/clock_pad_mirror.h"
#include "firmware/image/chunk_ids.h"
#include "firmware/image/image_parser.h"
#include "firmware/password_words.h"

namespace qtk {
namespace {

// Offsets are 32-bit, so an image is at most 4 GiB - 1 bytes long.
constexpr uint64_t kMaxImageSize = 0xFFFFFFFFu;

class ImageLoad {
 public:
  ImageLoad(FirmwareProject& project, LoadSession& session, UserDialogs& dialogs)
      : project_(project), session_(session), dialogs_(dialogs) {}

  bool LoadImage(const std::string& entered_password) {
    return LoadConfiguration() && ReadImage(entered_password);
  }
  // Everything after the configuration description.
  bool ReadImage(const std::string& entered_password);

 private:
  bool Fail(int32_t status, const std::string& message, MessageIcon icon = MessageIcon::None) {
    session_.load_status = status;
    dialogs_.ShowMessage(message, icon);
    return false;
  }
  bool LoadConfiguration();
  bool CheckConfigVersion();

  FirmwareProject& project_;
  LoadSession& session_;
  UserDialogs& dialogs_;
};

bool ImageLoad::LoadConfiguration() {
  const std::string& path = project_.config_path;
  if (path.empty())
    return Fail(-2, load_messages::kSelectConfig);
  if (!IsRegularFile(PathFromUtf8(path)) || !std::ifstream(PathFromUtf8(path), std::ios::binary)) {
    return Fail(-2, std::string(load_messages::kCannotOpenConfig) + path);
  }
  project_.config.SetDescriptionPath(path);
  if (!project_.config.Load()) {
    return Fail(-2, project_.config.GetLoadError().message);
  }
  return true;
}

bool ImageLoad::CheckConfigVersion() {
  const int version = project_.settings.ConfigVersion();
  if (version == 0) {
    return Fail(-1, FormatMessage(load_messages::kConfigVersionOld, ToolVersionName(0)));
  }
  if (version >= 3)
    return Fail(-1, load_messages::kConfigVersionNew);
  return true;
}

bool ImageLoad::ReadImage(const std::string& entered_password) {
  if (project_.firmware_path.empty())
    return Fail(-1, load_messages::kSelectFirmware);

  FileBuffer file = ReadFileBuffer(PathFromUtf8(project_.firmware_path), kMaxImageSize);
  if (file.status == FileReadStatus::kTooBig)
    return Fail(-1, load_messages::kNotStandard, MessageIcon::Error);
  if (file.status != FileReadStatus::kRead)
    return Fail(-1, load_messages::kCannotOpenFirmware);
  ByteBuffer& image = file.bytes;
  if (ParseImage(image, project_.chunks) == 0) {
    return Fail(-1, load_messages::kNotStandard, MessageIcon::Error);
  }
  // The clock and pad bytes at offset 258 belong to the first chunk; a shorter first chunk
  // would have them read from (and every save write them into) the header of the next one.
  if (project_.chunks.entries[0].region_size < kClockPadImageEnd)
    return Fail(-1, load_messages::kNotStandard, MessageIcon::Error);
  if (project_.chunks.old_format)
    return Fail(-1, load_messages::kOldCommonChunk);
  auto common = project_.chunks.FindLoaded(kCommonDataChunkId);
  if (!common)
    return Fail(-1, load_messages::kNoCommonChunk);

  // The record is taken from the chunk's data start; an image that ends before the whole
  // record is not a standard image (nothing is read past its end).
  const size_t record_start =
      size_t{project_.chunks.entries[*common].file_offset} + kChunkHeaderSize;
  if (record_start + record::kSize > image.size())
    return Fail(-1, load_messages::kNotStandard, MessageIcon::Error);
  // The clock and pad settings start from the copy kept in the first chunk.
  if (ClockPadMirrored(project_.chunks)) {
    std::copy_n(image.data() + kClockPadImageOffset, record::kClockPadBlockSize,
                image.data() + record_start + record::kClockPadBlock);
  }
  project_.settings.CopyRecordIn(
      std::span<const uint8_t, record::kSize>(image.data() + record_start, record::kSize));

  if (!CheckConfigVersion())
    return false;
  if (!VerifyPassword(project_, entered_password)) {
    return Fail(-3, load_messages::kWrongPassword);
  }
  project_.password_refresh = false;
  return true;
}

// The end of every load: the dynamic panel chunk, then the password in force.
std::unique_ptr<FirmwareProject> FinishLoad(std::unique_ptr<FirmwareProject> project,
                                            LoadSession& session, UserDialogs& dialogs) {
  if (!project->chunks.FindAny(kDynamicPanelChunkId)) {
    dialogs.ShowMessage(load_messages::kNoDynamicPanel);
    return nullptr;
  }
  session.current_password = DecodePassword(*project);
  return project;
}

}  // namespace

const char* ToolVersionName(int config_version) {
  static const char* const kNames[] = {"Ver 2.56", "Ver 2.60", "Ver 2.65"};
  return config_version >= 0 && config_version < 3 ? kNames[config_version] : "";
}

std::unique_ptr<FirmwareProject> OpenFirmware(const std::string& firmware_path,
                                              const std::string& config_path,
                                              const std::string& entered_password,
                                              LoadSession& session, UserDialogs& dialogs) {
  auto project = std::make_unique<FirmwareProject>();
  project->config_path = config_path;
  project->firmware_path = firmware_path;
  if (!firmware_path.empty()) {
    ImageLoad load(*project, session, dialogs);
    if (!load.LoadImage(entered_password))
      return nullptr;
  }
  return FinishLoad(std::move(project), session, dialogs);
}

std::unique_ptr<FirmwareProject> OpenFirmwareImage(const std::string& firmware_path,
                                                   const ConfigDescription& config,
                                                   const std::string& entered_password,
                                                   LoadSession& session, UserDialogs& dialogs) {
  auto project = std::make_unique<FirmwareProject>();
  project->config_path = config.description_path();
  project->firmware_path = firmware_path;
  project->config = config;
  ImageLoad load(*project, session, dialogs);
  if (!load.ReadImage(entered_password))
    return nullptr;
  return FinishLoad(std::move(project), session, dialogs);
}

}  // namespace qtk
