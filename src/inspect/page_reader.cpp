#include "inspect/page_reader.h"

#include "common/recording_dialogs.h"
#include "firmware/program_runner.h"
#include "pages/page_list.h"
#include "pages/page_set.h"

namespace qtk {
namespace {

// Loading a page starts nothing; should a page ever try, nothing runs.
class NoProgramRunner : public ProgramRunner {
 public:
  bool RunProgramAndWait(const std::string&, const std::vector<std::string>&) override {
    return false;
  }
};

}  // namespace

PageReader::PageReader(const FirmwareProject& project, std::filesystem::path application_directory)
    : project_(std::make_unique<FirmwareProject>(project)),
      directory_(std::move(application_directory)) {}

PageReader::~PageReader() = default;

std::vector<ShownField> PageReader::Read(const CustomerSettings::Bytes& record) {
  project_->settings.CopyRecordIn(record);
  LoadSession session;
  RecordingDialogs dialogs;
  NoProgramRunner runner;
  SharedPageState shared;
  PageSet pages(PageContext{project_.get(), &session, &dialogs, directory_, &runner, &shared},
                CreatePageModel);
  pages.LoadAll();
  std::vector<ShownField> shown;
  for (const auto& page : pages.pages()) {
    for (const PageField& field : page->Fields()) {
      if (field.IsShown())
        shown.push_back({page->GetName(), field.name, field.get()});
    }
  }
  return shown;
}

}  // namespace qtk
