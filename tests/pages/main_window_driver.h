#pragma once

// The real main window over a generated image, driven as a user drives it: pages are opened
// by clicking their tree items, "Save FW..." is clicked with a scripted file dialog, and the
// saved image is parsed again so that a test checks the bytes the user's work produced.
#include <QDir>
#include <QStackedWidget>
#include <QTest>
#include <QTreeWidget>
#include <deque>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "app/main_window.h"
#include "app/pages/page_registry.h"
#include "app/widgets/bitmap_push_button.h"
#include "firmware/firmware_loader.h"
#include "page_env.h"
#include "testdata/saved_image.h"
#include "user_actions.h"

namespace qtk::testing {

// A folder with a description, an image, and the tuner driver and dynamic panel files the
// description names.
struct ImageFolder {
  explicit ImageFolder(const testdata::StandardImageOptions& options = {},
                       testdata::DescriptionSpec description = testdata::RealisticDescription(),
                       const std::vector<testdata::ChunkSpec>* chunks = nullptr) {
    description.Write(config_path());
    testdata::WriteFile(image_path(), chunks ? testdata::BuildFirmware(*chunks, kPassword)
                                             : testdata::BuildStandardFirmware(options, kPassword));
    description.WriteItemFiles("ExtTunerDriver", dir.path(), 0x200, 50);
    // The dynamic panel files the GPIO usage page chooses by bus type.
    description.WriteItemFiles("GPIOBusType", dir.path(), 0x100, 80);
  }
  std::string config_path() const { return dir.File(testdata::kDefaultDescriptionName); }
  std::string image_path() const { return dir.File("firmware.bin"); }

  testdata::TempDir dir{"qtk_window"};
};

// Answers "Load FW..." with the next folder's image.
class FolderLoadDialog : public LoadDialogPort {
 public:
  explicit FolderLoadDialog(std::deque<const ImageFolder*>& next) : next_(next) {}
  void SetLoadStatus(int) override {}
  void SetRetryMark(bool) override {}
  bool ShowModal() override {
    if (next_.empty())
      return false;
    current_ = next_.front();
    next_.pop_front();
    return true;
  }
  bool GetLoadPaths(std::string& firmware, std::string& config) const override {
    firmware = current_->image_path();
    config = current_->config_path();
    return true;
  }
  std::string EnteredPassword() const override { return kPassword; }

 private:
  std::deque<const ImageFolder*>& next_;
  const ImageFolder* current_ = nullptr;
};

class WindowDriver {
 public:
  explicit WindowDriver(const ImageFolder& folder, PageModelFactory models = CreatePageModel,
                        LongWork* long_work = nullptr)
      : folder_(folder), runner(folder.dir.path()) {
    LoadSession session;
    std::unique_ptr<FirmwareProject> project =
        OpenFirmware(folder.image_path(), folder.config_path(), kPassword, session, dialogs);
    if (!project)
      return;
    MainWindowSetup setup;
    setup.dialogs = &dialogs;
    setup.application_directory = folder.dir.path();
    setup.runner = &runner;
    setup.long_work = long_work;
    setup.page_models = std::move(models);
    setup.page_views = CreatePageView;
    setup.load_dialog = [this](QWidget*, const std::string&) -> std::unique_ptr<LoadDialogPort> {
      return std::make_unique<FolderLoadDialog>(reloads);
    };
    window = std::make_unique<MainWindow>(std::move(*project), session, std::move(setup));
    window->resize(1000, 640);
    window->show();
    window->activateWindow();
    active = QTest::qWaitForWindowActive(window.get());
  }

  // Clicks the page's tree item; the view shown afterwards, or nullptr.
  template <class View>
  View* Open(PageId id) {
    user::ClickItem(window->Tree(), window->TreeItem(id));
    return qobject_cast<View*>(window->PageArea()->currentWidget());
  }

  // Clicks "Save FW..." and answers the file dialog with a file in the folder.
  testdata::SavedImage SaveFw(const std::string& name) {
    const std::string path = folder_.dir.File(name);
    dialogs.chosen_paths.push_back(path);
    dialogs.messages.clear();
    user::Click(window->SaveFirmwareButton());
    return testdata::ReadSavedImage(path);
  }

  // "Load FW..." with another folder's image.
  void Reload(const ImageFolder& other) {
    reloads.push_back(&other);
    user::Click(window->LoadFirmwareButton());
  }

  // A picture of the window as it is, in the build tree's artifacts folder.
  bool Screenshot(const QString& name) {
    return QDir().mkpath(QStringLiteral(QTK_ARTIFACT_DIR)) &&
           window->grab().save(QStringLiteral(QTK_ARTIFACT_DIR "/") + name);
  }

  const ImageFolder& folder_;
  RecordingDialogs dialogs;
  FakeRunner runner;
  std::deque<const ImageFolder*> reloads;
  std::unique_ptr<MainWindow> window;
  bool active = false;
};

// The record as a test expects it: a copy of another record with fields written over it.
class ExpectedRecord {
 public:
  explicit ExpectedRecord(std::vector<uint8_t> bytes) : bytes_(std::move(bytes)) {}
  ExpectedRecord& U8(size_t offset, uint8_t value) {
    bytes_.at(offset) = value;
    return *this;
  }
  ExpectedRecord& U16(size_t offset, uint16_t value) {
    bytes_.at(offset) = static_cast<uint8_t>(value);
    bytes_.at(offset + 1) = static_cast<uint8_t>(value >> 8);
    return *this;
  }
  // A text field: the text, then zeros to the end of the field.
  ExpectedRecord& Text(size_t offset, size_t size, const std::string& text) {
    for (size_t i = 0; i < size; ++i)
      bytes_.at(offset + i) = i < text.size() ? static_cast<uint8_t>(text[i]) : 0;
    return *this;
  }
  const std::vector<uint8_t>& bytes() const { return bytes_; }

 private:
  std::vector<uint8_t> bytes_;
};

// The bytes where two records differ, one "offset: expected -> actual" line each; empty when
// they are equal, so a failing comparison names every wrong field.
inline std::string RecordDifferences(const std::vector<uint8_t>& expected,
                                     const std::vector<uint8_t>& actual) {
  if (expected.size() != actual.size())
    return "sizes " + std::to_string(expected.size()) + " and " + std::to_string(actual.size());
  std::ostringstream out;
  for (size_t i = 0; i < expected.size(); ++i) {
    if (expected[i] != actual[i])
      out << i << ": " << int(expected[i]) << " -> " << int(actual[i]) << "\n";
  }
  return out.str();
}

// The chunks, other than the common data chunk and the ones listed, whose data differs.
inline std::string OtherChunkDifferences(const testdata::SavedImage& before,
                                         const testdata::SavedImage& after,
                                         const std::vector<uint32_t>& changed = {}) {
  std::ostringstream out;
  for (int i = 0; i < before.table.count; ++i) {
    const uint32_t id = before.table.entries[static_cast<size_t>(i)].id;
    if (id == kCommonDataChunkId || std::find(changed.begin(), changed.end(), id) != changed.end())
      continue;
    if (before.Data(id) != after.Data(id))
      out << std::hex << id << " ";
  }
  return out.str();
}

}  // namespace qtk::testing
