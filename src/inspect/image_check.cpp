#include "inspect/image_check.h"

#include <algorithm>

#include "common/recording_dialogs.h"
#include "firmware/program_runner.h"
#include "inspect/distinct_values.h"
#include "pages/page_list.h"
#include "pages/page_set.h"
#include "settings/record_layout.h"

namespace qtk {
namespace {

class NoProgramRunner : public ProgramRunner {
 public:
  bool RunProgramAndWait(const std::string&, const std::vector<std::string>&) override {
    return false;
  }
};

std::string MessagesOf(RecordingDialogs& dialogs) {
  std::string text;
  for (const auto& m : dialogs.messages) {
    std::string t = m.text;
    std::replace(t.begin(), t.end(), '\r', ' ');
    std::replace(t.begin(), t.end(), '\n', ' ');
    while (!t.empty() && t.back() == ' ')
      t.pop_back();
    text += (text.empty() ? "" : " / ") + t;
  }
  dialogs.messages.clear();
  return text;
}

// A list count of the record beyond the room a load reads.
Finding CountBeyond(std::string where, uint32_t count, size_t offset, size_t room,
                    const std::string& what_happens) {
  return {std::move(where), "the count " + std::to_string(count) + " at offset " +
                                std::to_string(offset) + " is more than the " +
                                std::to_string(room) + " " + what_happens};
}

// The lists the record holds besides the page fields, as the copy-in reads them.
std::vector<Finding> RecordListFindings(const CustomerSettings& settings) {
  std::vector<Finding> findings;
  const uint32_t characters = settings.U32(record::kCharacterTableCount);
  if (characters > record::kMaxCharacterTableEntries) {
    findings.push_back(CountBeyond("record / character table", characters,
                                   record::kCharacterTableCount, record::kMaxCharacterTableEntries,
                                   "entries the record holds"));
  }
  const uint16_t flash_count = settings.U16(record::kFlashDeviceCount);
  if (flash_count > record::kFlashDeviceSlots) {
    findings.push_back(CountBeyond("record / serial flash devices", flash_count,
                                   record::kFlashDeviceCount, record::kFlashDeviceSlots,
                                   "slots; a load ignores the list"));
  }
  return findings;
}

}  // namespace

std::vector<Finding> CheckRecord(const FirmwareProject& loaded,
                                 const std::filesystem::path& application_directory) {
  FirmwareProject project = loaded;
  LoadSession session;
  RecordingDialogs dialogs;
  NoProgramRunner runner;
  SharedPageState shared;
  PageSet pages(PageContext{&project, &session, &dialogs, application_directory, &runner, &shared},
                CreatePageModel);
  std::vector<Finding> findings;
  for (const auto& page : pages.pages()) {
    page->Load();
    if (std::string said = MessagesOf(dialogs); !said.empty())
      findings.push_back({page->GetName(), "while it loads: " + said});
  }
  for (const auto& page : pages.pages()) {
    for (const PageField& field : page->Fields()) {
      if (!field.IsShown() || !field.IsEnabled())
        continue;
      const std::string where = page->GetName() + " / " + field.name;
      const FieldValue value = field.get();
      if (field.kind == FieldKind::kChoice) {
        const bool has_choices = field.choices && !field.choices().empty();
        if (has_choices && std::get<std::string>(value).empty())
          findings.push_back({where, "the record holds a value that is none of its choices"});
        continue;
      }
      // A list is changed by its rows' own controls; entering its rows again is no user action.
      if (field.kind == FieldKind::kList)
        continue;
      std::string refused = field.set(value);
      page->FinishEditing();
      const FieldValue kept = field.get();
      const std::string said = MessagesOf(dialogs);
      if (!refused.empty() || !said.empty() || kept != value) {
        std::string what = "the page refuses " + DescribeValue(value);
        if (!said.empty())
          what += ": " + said;
        else if (!refused.empty())
          what += ": " + refused;
        if (kept != value)
          what += " (it makes it " + DescribeValue(kept) + ")";
        findings.push_back({where, what});
      }
    }
  }
  for (const auto& page : pages.pages()) {
    for (Finding& f : DistinctValueFindings(page->GetName(), page->Fields()))
      findings.push_back(std::move(f));
  }
  // Every page that refuses is named, not only the first that would stop a save.
  for (const auto& page : pages.pages()) {
    if (!page->Store())
      findings.push_back({page->GetName(), "the page refuses to store: " + MessagesOf(dialogs)});
  }
  for (Finding& f : RecordListFindings(loaded.settings))
    findings.push_back(std::move(f));
  return findings;
}

}  // namespace qtk
