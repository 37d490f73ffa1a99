#include "firmware/settings_import.h"

#include "firmware/password_words.h"

namespace qtk {

void ImportWholeSettings(FirmwareProject& project, const CustomerSettings::Bytes& file,
                         const std::string& current_password) {
  const uint32_t word0 = project.settings.U32(record::kPasswordWord0);
  const uint32_t word1 = project.settings.U32(record::kPasswordWord1);
  project.settings.CopyRecordIn(file);
  project.password_refresh = true;
  if (current_password.empty()) {
    // The encoding leaves an empty password alone, so the words that hold it stay; the
    // file's words would lock the image with another image's password.
    project.settings.SetU32(record::kPasswordWord0, word0);
    project.settings.SetU32(record::kPasswordWord1, word1);
    return;
  }
  EncodePassword(project, current_password);
}

}  // namespace qtk
