#include "firmware/settings_import.h"

#include "firmware/password_words.h"

namespace qtk {

void ImportWholeSettings(FirmwareProject& project, const CustomerSettings::Bytes& file,
                         const std::string& current_password) {
  project.settings.CopyRecordIn(file);
  project.password_refresh = true;
  EncodePassword(project, current_password);
}

}  // namespace qtk
