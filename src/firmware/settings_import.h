#pragma once

#include "firmware/firmware_project.h"
#include "settings/customer_settings.h"

namespace qtk {

// Takes a whole setting file into the project (the Common page's "Load Settings..."): the
// record and both companion lists, then the password words of the file are replaced by those
// of the password in force, keyed with this image's main code.
void ImportWholeSettings(FirmwareProject& project, const CustomerSettings::Bytes& file,
                         const std::string& current_password);

}  // namespace qtk
