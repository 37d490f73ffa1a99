#include "cli/page_commands.h"

#include <charconv>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <ostream>
#include <sstream>

#include "common/utf8_path.h"
#include "dbbuilder/builder_directory.h"
#include "cli/exit_status.h"
#include "cli/field_json.h"
#include "cli/password_option.h"
#include "cli/replacement_option.h"
#include "cli/report_option.h"
#include "cli/stream_dialogs.h"
#include "cli/text_format.h"
#include "common/latin1_text.h"
#include "firmware/firmware_loader.h"
#include "firmware/firmware_saver.h"
#include "firmware/program_runner.h"
#include "pages/general_page.h"
#include "pages/page_list.h"
#include "pages/page_set.h"

namespace qtk::cli {
namespace {

// An installed qtkcli finds the database builder installed beside it, as qtktool does.
std::filesystem::path ProgramDirectory() {
  return dbbuilder::ExecutableDirectory();
}

// The image with every page made and loaded over it exactly as the main window makes and
// loads them, so that a batch run and an unedited "Save FW..." write the same record.
struct PagedImage {
  PagedImage(FirmwareProject loaded, LoadSession load_session, std::filesystem::path directory,
             UserDialogs& dialogs)
      : project(std::move(loaded)),
        session(std::move(load_session)),
        application_directory(std::move(directory)),
        runner(application_directory, ProgramDirectory()),
        pages(PageContext{&project, &session, &dialogs, application_directory, &runner, &shared},
              CreatePageModel) {
    pages.LoadAll();
  }
  FirmwareProject project;
  LoadSession session;
  SharedPageState shared;
  std::filesystem::path application_directory;
  SystemProgramRunner runner;
  PageSet pages;
};

std::unique_ptr<PagedImage> OpenPaged(const OpenOptions& options, StreamDialogs& dialogs) {
  const std::optional<std::string> password =
      PasswordOption(options.password, "--password", dialogs);
  if (!password)
    return nullptr;
  LoadSession session;
  std::unique_ptr<FirmwareProject> project =
      OpenFirmware(options.image, options.config, *password, session, dialogs);
  if (!project)
    return nullptr;
  // qtktool's application directory holds its default description, the tuner driver files
  // the description names and the database builder; here the directory of the given
  // description plays that part, wherever qtkcli is started from.
  std::error_code ec;
  std::filesystem::path directory =
      std::filesystem::absolute(PathFromUtf8(options.config), ec).parent_path();
  if (ec || directory.empty())
    directory = std::filesystem::current_path(ec);
  return std::make_unique<PagedImage>(std::move(*project), std::move(session), std::move(directory),
                                      dialogs);
}

std::string Quoted(const std::string& text) {
  return "\"" + text + "\"";
}

std::string PageNames(const PageSet& model) {
  std::string names;
  for (const auto& page : model.pages())
    names += (names.empty() ? "" : ", ") + page->GetName();
  return names;
}

void PrintField(const PageField& field, std::ostream& out) {
  out << "  " << field.name << " (" << KindName(field.kind);
  if (field.kind == FieldKind::kChoice) {
    std::string choices;
    for (const std::string& c : field.choices())
      choices += (choices.empty() ? "" : ", ") + DescribeValue(c);
    out << ": " << (choices.empty() ? std::string("none") : choices);
  }
  if (field.kind == FieldKind::kList) {
    std::string headers;
    for (const std::string& h : field.headers)
      headers += (headers.empty() ? "" : " | ") + h;
    out << ": " << headers;
  }
  if (!field.IsEnabled())
    out << ", disabled";
  out << ")";
  const FieldValue value = field.get();
  if (const auto* rows = std::get_if<FieldRows>(&value)) {
    out << "\n";
    for (const auto& row : *rows) {
      std::string line;
      for (const std::string& cell : row)
        line += (line.empty() ? "" : " | ") + Latin1ToUtf8(cell);
      out << "    " << line << "\n";
    }
    return;
  }
  out << ": " << DescribeValue(value) << "\n";
}

using PageValues = std::map<std::string, FieldValue>;

// Reads the --set file into values per page, refusing unknown pages and fields and values
// that are no field value, before anything is set.
bool ReadValues(const std::string& path, const PageSet& model, std::map<PageId, PageValues>& values,
                std::ostream& err) {
  std::ifstream in(PathFromUtf8(path), std::ios::binary);
  if (!in) {
    err << "qtkcli: can not read " << path << "\n";
    return false;
  }
  nlohmann::ordered_json doc;
  try {
    doc = nlohmann::ordered_json::parse(in);
  } catch (const nlohmann::json::exception& e) {
    err << "qtkcli: " << path << " is not JSON: " << e.what() << "\n";
    return false;
  }
  if (!doc.is_object()) {
    err << "qtkcli: " << path << " must hold an object of pages, {\"Common\": {...}, ...}\n";
    return false;
  }
  for (const auto& [page_name, fields] : doc.items()) {
    SettingsPage* page = model.Page(std::string_view(page_name));
    if (page == nullptr) {
      err << "qtkcli: no page " << Quoted(page_name) << " (the pages are " << PageNames(model)
          << ")\n";
      return false;
    }
    if (!fields.is_object()) {
      err << "qtkcli: " << page_name << ": the page takes an object of fields\n";
      return false;
    }
    const std::vector<PageField> known = page->Fields();
    for (const auto& [field_name, json] : fields.items()) {
      // A structured binding is named through a reference: lambdas may not capture one in
      // every compiler the project builds with.
      const std::string& name = field_name;
      const bool exists = std::any_of(known.begin(), known.end(),
                                      [&](const PageField& f) { return f.name == name; });
      if (!exists) {
        err << "qtkcli: " << page_name << ": no field " << Quoted(field_name) << "\n";
        return false;
      }
      std::string reason;
      FieldValue value;
      if (!FieldValueFromJson(json, value, reason)) {
        err << "qtkcli: " << page_name << ": " << Quoted(field_name) << ": " << reason << "\n";
        return false;
      }
      values[page->Id()].emplace(field_name, std::move(value));
    }
  }
  return true;
}

// Sets the fields of every page in page order, each page in its table's order, then leaves
// the page as the user would.
bool SetValues(PageSet& model, const std::map<PageId, PageValues>& values, std::ostream& err) {
  for (const auto& page : model.pages()) {
    const auto given = values.find(page->Id());
    if (given == values.end())
      continue;
    for (const PageField& field : page->Fields()) {
      const auto value = given->second.find(field.name);
      if (value == given->second.end())
        continue;
      if (std::string reason = SetField(field, value->second); !reason.empty()) {
        err << "qtkcli: " << page->GetName() << ": " << Quoted(field.name) << ": " << reason
            << "\n";
        return false;
      }
    }
    if (!page->Validate()) {
      err << "qtkcli: " << page->GetName() << ": the page refused its values\n";
      return false;
    }
  }
  return true;
}

bool ReplaceChunks(PageSet& model, const std::vector<Replacement>& replacements,
                   std::ostream& err) {
  auto* general = dynamic_cast<GeneralPage*>(model.Page(PageId::kGeneral));
  for (const auto& [id, path] : replacements) {
    const int row = general ? general->RowOfChunk(id) : -1;
    if (row < 0) {
      err << "qtkcli: General: the chunk list has no chunk with id " << Hex32(id) << "\n";
      return false;
    }
    if (!general->ReplaceRow(row, path)) {
      err << "qtkcli: General: chunk " << Hex32(id) << " is not replaced with " << path << "\n";
      return false;
    }
  }
  return true;
}

}  // namespace

int RunShowCommand(const OpenOptions& options, bool json, Streams streams) {
  StreamDialogs dialogs(streams.err);
  std::unique_ptr<PagedImage> paged = OpenPaged(options, dialogs);
  if (!paged)
    return kExitFailure;
  nlohmann::ordered_json doc = nlohmann::ordered_json::object();
  for (const auto& page : paged->pages.pages()) {
    const std::vector<PageField> fields = page->Fields();
    if (json) {
      nlohmann::ordered_json values = nlohmann::ordered_json::object();
      for (const PageField& field : fields) {
        if (field.IsShown())
          values[field.name] = FieldValueJson(field.get());
      }
      doc[page->GetName()] = std::move(values);
      continue;
    }
    streams.out << page->GetName() << "\n";
    for (const PageField& field : fields) {
      if (field.IsShown())
        PrintField(field, streams.out);
    }
  }
  if (json)
    streams.out << doc.dump(2) << "\n";
  return kExitSuccess;
}

int RunApplyCommand(const ApplyOptions& options, Streams streams) {
  StreamDialogs dialogs(streams.err);
  const auto replacements = ParseReplacements(options.replacements, streams.err);
  if (!replacements)
    return kExitUsage;
  std::unique_ptr<PagedImage> paged = OpenPaged(options.open, dialogs);
  if (!paged)
    return kExitFailure;
  // The field values are an input like the firmware: no output may replace them.
  paged->session.command_inputs.push_back(options.set_file);
  PageSet& pages = paged->pages;
  std::map<PageId, PageValues> values;
  if (!ReadValues(options.set_file, pages, values, streams.err) ||
      !SetValues(pages, values, streams.err) || !ReplaceChunks(pages, *replacements, streams.err)) {
    return kExitFailure;
  }
  if (SettingsPage* refused = pages.StoreAll()) {
    streams.err << "qtkcli: " << refused->GetName() << ": the page refused to store its values\n";
    return kExitFailure;
  }
  if (!ReportPathAllowed(options.report, options.output, paged->project, paged->session, dialogs))
    return kExitFailure;
  return SaveWithReport(paged->project, paged->session, options.output, options.report, dialogs,
                        streams.err)
             ? kExitSuccess
             : kExitFailure;
}

void RegisterPageCommands(CLI::App& app, Streams streams, int* status) {
  auto add_open_options = [](CLI::App* cmd, OpenOptions& o) {
    cmd->add_option("IMAGE", o.image, "Firmware image (.bin)")->required();
    cmd->add_option("--config", o.config, "Configuration description (.ini)")->required();
    cmd->add_option("--password", o.password, "Firmware password")->required();
  };

  auto show = std::make_shared<OpenOptions>();
  auto show_json = std::make_shared<bool>(false);
  auto* show_cmd = app.add_subcommand("show", "Print every field of every settings page");
  add_open_options(show_cmd, *show);
  show_cmd->add_flag("--json", *show_json,
                     "Print the JSON object of pages and fields that apply reads");
  show_cmd->callback([=] { *status = RunShowCommand(*show, *show_json, streams); });

  auto apply = std::make_shared<ApplyOptions>();
  auto* apply_cmd =
      app.add_subcommand("apply", "Set page fields from a JSON file and write a new image");
  add_open_options(apply_cmd, apply->open);
  apply_cmd->add_option("--set", apply->set_file, "JSON file of page fields")->required();
  apply_cmd->add_option("-o,--output", apply->output, "Output image")->required();
  apply_cmd->add_option(
      "--replace", apply->replacements,
      "Chunk replacement ID=FILE (ID as 0x...), checked as the General page does");
  apply_cmd->add_option("--report", apply->report, "Write the change report of the save (JSON)");
  apply_cmd->callback([=] { *status = RunApplyCommand(*apply, streams); });
}

}  // namespace qtk::cli
