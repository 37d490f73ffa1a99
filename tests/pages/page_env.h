#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "common/recording_dialogs.h"
#include "firmware/firmware_loader.h"
#include "firmware/program_runner.h"
#include "pages/settings_page.h"
#include "testdata/config_writer.h"
#include "testdata/firmware_fixture.h"
#include "testdata/temp_dir.h"

namespace qtk::testing {

inline constexpr const char* kPassword = "1234";

// Stands in for the database builder: records what was started and, when told to, leaves
// output files in the application directory as the builder would.
class FakeRunner : public ProgramRunner {
 public:
  explicit FakeRunner(std::filesystem::path directory) : directory_(std::move(directory)) {}
  bool RunProgramAndWait(const std::string& program,
                         const std::vector<std::string>& arguments) override {
    started.push_back(program);
    argument_counts.push_back(arguments.size());
    if (!can_start)
      return false;
    if (!default_db_output.empty()) {
      testdata::WriteFile((directory_ / "m_6615_df.bin").string(), default_db_output);
    }
    if (!user_db_output.empty()) {
      testdata::WriteFile((directory_ / "user_db.bin").string(), user_db_output);
    }
    return true;
  }

  bool can_start = true;
  std::vector<uint8_t> default_db_output;
  std::vector<uint8_t> user_db_output;
  std::vector<std::string> started;
  std::vector<size_t> argument_counts;

 private:
  std::filesystem::path directory_;
};

// A temporary application directory with a description and a standard image, opened as the
// desktop program opens it, and a page context over the result.
class PageEnv {
 public:
  explicit PageEnv(const testdata::StandardImageOptions& options = {},
                   testdata::DescriptionSpec description = testdata::RealisticDescription())
      : runner(dir.path()) {
    description.Write(dir.File(testdata::kDefaultDescriptionName));
    testdata::WriteFile(image_path(), testdata::BuildStandardFirmware(options, kPassword));
    Reopen();
  }

  // Opens the image file again, as after a change to it.
  void Reopen() {
    // Pages keep the project object for the whole run; a reload replaces its contents.
    std::unique_ptr<FirmwareProject> fresh = OpenFirmware(
        image_path(), dir.File(testdata::kDefaultDescriptionName), kPassword, session, dialogs);
    if (!project || !fresh) {
      project = std::move(fresh);
    } else {
      *project = std::move(*fresh);
    }
    dialogs.messages.clear();
    context.project = project.get();
    context.session = &session;
    context.dialogs = &dialogs;
    context.application_directory = dir.path();
    context.runner = &runner;
    context.shared = &shared;
  }

  std::string image_path() const { return dir.File("firmware.bin"); }
  CustomerSettings& settings() { return project->settings; }
  ChunkEntry& chunk(uint32_t id) {
    return project->chunks.entries[*project->chunks.FindLoaded(id)];
  }

  testdata::TempDir dir{"qtk_pages"};
  LoadSession session;
  RecordingDialogs dialogs;
  FakeRunner runner;
  SharedPageState shared;
  std::unique_ptr<FirmwareProject> project;
  PageContext context;
};

}  // namespace qtk::testing
