#include "cli/report_option.h"

#include <filesystem>

#include "common/utf8_path.h"
#include "common/file_io.h"

#include "cli/inspect_json.h"
#include "firmware/output_guard.h"
#include "inspect/change_report.h"

namespace qtk::cli {
namespace {

bool SamePath(const std::string& a, const std::string& b) {
  std::error_code ec_a;
  std::error_code ec_b;
  const auto path_a = std::filesystem::weakly_canonical(PathFromUtf8(a), ec_a);
  const auto path_b = std::filesystem::weakly_canonical(PathFromUtf8(b), ec_b);
  return !ec_a && !ec_b && path_a == path_b;
}

}  // namespace

bool ReportPathAllowed(const std::string& report_path, const std::string& output_path,
                       const FirmwareProject& project, const LoadSession& session,
                       UserDialogs& dialogs) {
  if (report_path.empty())
    return true;
  // The image and its OTA file usually do not exist yet, so they are compared by path as
  // well as by file.
  for (const std::string& output : {output_path, output_path + ".ota"}) {
    if (SameFile(PathFromUtf8(report_path), PathFromUtf8(output)) || SamePath(report_path, output)) {
      dialogs.ShowMessage("the report " + report_path +
                          " can not be the same file as the output file " + output + "!");
      return false;
    }
  }
  return OutputsAvoidInputs({report_path}, ProjectInputFiles(project, session), dialogs);
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
  const auto directory = std::filesystem::absolute(PathFromUtf8(project.config_path), ec).parent_path();
  if (!WriteJsonFile(report_path, ChangeReportJson(BuildChangeReport(project, saved, directory)))) {
    err << "qtkcli: can not write the report " << report_path << " (" << output_path
        << " is saved)\n";
    return false;
  }
  return true;
}

}  // namespace qtk::cli
