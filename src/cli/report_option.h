#pragma once

#include <ostream>
#include <string>

#include "common/user_dialogs.h"
#include "firmware/firmware_saver.h"

namespace qtk::cli {

// --report FILE.json of save and apply: the change report of the save as JSON.
//
// Checked before the save: the report is no input of the save and neither the image it
// writes nor its OTA file. True when there is no report or its path is allowed; otherwise
// the refusal has been shown.
bool ReportPathAllowed(const std::string& report_path, const std::string& output_path,
                       const FirmwareProject& project, const LoadSession& session,
                       UserDialogs& dialogs);

// Runs the save; with a report path, writes the report of a successful save. A report that
// cannot be written is a failure (the image stays saved, the message says so).
bool SaveWithReport(FirmwareProject& project, const LoadSession& session,
                    const std::string& output_path, const std::string& report_path,
                    UserDialogs& dialogs, std::ostream& err);

}  // namespace qtk::cli
