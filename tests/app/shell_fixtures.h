#pragma once

#include <deque>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "app/model/load_dialog_port.h"
#include "app/model/main_window_model.h"
#include "common/recording_dialogs.h"
#include "firmware/firmware_loader.h"
#include "testdata/config_writer.h"
#include "testdata/firmware_fixture.h"
#include "testdata/temp_dir.h"

namespace qtk::shell_testing {

inline constexpr const char* kPassword = "1234";

// What the fake pages did, in order: "Load Tuner", "Store Common", "Validate Panel", ...
using EventLog = std::vector<std::string>;

// A page model that records the calls of the main window and answers as a test scripts.
class FakePage : public SettingsPage {
 public:
  FakePage(PageId id, const PageContext& context, EventLog& log)
      : id_(id), context_(context), log_(log) {}

  PageId Id() const override { return id_; }
  void Load() override {
    Log("Load");
    loaded_firmware_path = context_.project->firmware_path;
  }
  bool Store() override {
    Log("Store");
    return store_answer;
  }
  bool Validate() override {
    Log("Validate");
    return validate_answer;
  }
  void FinishEditing() override { Log("Finish"); }
  void ImportSettings(const CustomerSettings::Bytes& file) override {
    Log("Import");
    imported = file;
  }

  const PageContext& context() const { return context_; }

  bool store_answer = true;
  bool validate_answer = true;
  std::string loaded_firmware_path;
  std::optional<CustomerSettings::Bytes> imported;

 private:
  void Log(const char* what) { log_.push_back(std::string(what) + " " + GetName()); }

  PageId id_;
  PageContext context_;
  EventLog& log_;
};

// Makes fake pages for every page id except the ones listed as missing, and keeps them
// reachable for the test.
struct FakePages {
  EventLog log;
  std::set<PageId> missing;
  std::vector<FakePage*> made;

  PageModelFactory Factory() {
    return [this](PageId id, const PageContext& context) -> std::unique_ptr<SettingsPage> {
      if (missing.count(id) != 0)
        return nullptr;
      auto page = std::make_unique<FakePage>(id, context, log);
      made.push_back(page.get());
      return page;
    };
  }
  FakePage* Page(PageId id) const {
    for (FakePage* page : made) {
      if (page->Id() == id)
        return page;
    }
    return nullptr;
  }
};

// One answer of the scripted Load Firmware dialog.
struct DialogStep {
  bool ok = true;
  std::string firmware_path;
  std::string config_path;
  std::string password;
};

// What the dialog was told just before each showing.
struct Showing {
  int load_status;
  bool retry_mark;
};

class ScriptedLoadDialog : public LoadDialogPort {
 public:
  void SetLoadStatus(int status) override { load_status_ = status; }
  void SetRetryMark(bool on) override { retry_mark_ = on; }
  bool ShowModal() override {
    showings.push_back({load_status_, retry_mark_});
    if (steps.empty())
      return false;
    current_ = steps.front();
    steps.pop_front();
    return current_.ok;
  }
  bool GetLoadPaths(std::string& firmware_path, std::string& config_path) const override {
    firmware_path = current_.firmware_path;
    config_path = current_.config_path;
    return !firmware_path.empty() && !config_path.empty();
  }
  std::string EnteredPassword() const override { return current_.password; }

  std::deque<DialogStep> steps;
  std::vector<Showing> showings;

 private:
  int load_status_ = 99;
  bool retry_mark_ = true;
  DialogStep current_;
};

// A folder with the default description, a standard image keyed with "1234" and the dynamic
// panel files of the description's bus types.
class ShellEnv {
 public:
  explicit ShellEnv(const testdata::StandardImageOptions& options = {}) {
    const testdata::DescriptionSpec description = testdata::RealisticDescription();
    description.Write(config_path());
    testdata::WriteFile(image_path(), testdata::BuildStandardFirmware(options, kPassword));
    // The GPIO usage page marks the dynamic panel chunk with its bus type's file at every load.
    description.WriteItemFiles("GPIOBusType", dir.path(), 0x100, 0x33);
  }

  std::string config_path() const { return dir.File("QTK_K7720X.ini"); }
  std::string image_path() const { return dir.File("firmware.bin"); }

  DialogStep Good() const { return {true, image_path(), config_path(), kPassword}; }

  std::unique_ptr<FirmwareProject> Open() {
    LoadSession scratch;
    RecordingDialogs quiet;
    auto project = OpenFirmware(image_path(), config_path(), kPassword, scratch, quiet);
    session = scratch;
    return project;
  }

  testdata::TempDir dir{"qtkshell"};
  LoadSession session;
};

}  // namespace qtk::shell_testing
