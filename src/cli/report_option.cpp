#include "cli/report_option.h"

#include <filesystem>

#include "cli/inspect_json.h"
#include "firmware/output_guard.h"
#include "inspect/change_report.h"

namespace qtk::cli {

bool ReportPathAllowed(const std::string& report_path, const std::string& output_path,
                       const FirmwareProject& project, const LoadSession& session,
                       UserDialogs& dialogs) {
  if (report_path.empty())
    return true;
  std::vector<std::string> others = ProjectInputFiles(project, session);
  others.push_back(output_path);
  others.push_back(output_path + ".ota");
  return OutputsAvoidInputs({report_path}, others, dialogs);
}

bool SaveWithReport(FirmwareProject& project, const LoadSession& session,
                    const std::string& output_path, const std::string& report_path,
                    UserDialogs& dialogs, std::ostream& err) {
  SavedImage saved;
  if (!SaveFirmwareAndReport(project, session, output_path, dialogs, {},
                             report_path.empty() ? nullptr : &saved)) {
    return false;
  }
  if (report_path.empty())
    return true;
  // The description's directory plays the application directory, as for the pages of apply.
  std::error_code ec;
  const auto directory = std::filesystem::absolute(project.config_path, ec).parent_path();
  if (!WriteJsonFile(report_path, ChangeReportJson(BuildChangeReport(project, saved, directory)))) {
    err << "qtkcli: can not write the report " << report_path << " (" << output_path
        << " is saved)\n";
    return false;
  }
  return true;
}

}  // namespace qtk::cli
