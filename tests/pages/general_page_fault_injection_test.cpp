// Every output call of a channel list conversion on the General page fails in turn: the
// builder's input copy, its settings file, the removal of earlier outputs and the builder's
// own databases (the builder run in-process, as the installed program runs it).
#include <gtest/gtest.h>

#include <set>
#include <sstream>

#include "config/ini/private_profile.h"
#include "dbbuilder/builder.h"
#include "demo/demo_set.h"
#include "page_env.h"
#include "pages/general_page.h"
#include "testdata/failing_output.h"

namespace qtk {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;
using testdata::FailEachOutputCall;
using testdata::FailingOutputSeam;
using testdata::FolderSnapshot;
using testing::PageEnv;
using Snapshot = std::map<std::string, Bytes>;

// Runs dfv_k7720x in this process, in the application directory, so that its outputs go
// through the output seam in force.
class InProcessBuilder : public ProgramRunner {
 public:
  explicit InProcessBuilder(fs::path directory) : directory_(std::move(directory)) {}
  bool RunProgramAndWait(const std::string&, const std::vector<std::string>&) override {
    std::ostringstream console;
    dbbuilder::RunBuilder(directory_, directory_, console);
    return true;
  }

 private:
  fs::path directory_;
};

struct ConversionCase {
  const char* name;
  bool earlier_files;  // the folder holds the files of an earlier conversion
};

class ConversionFaultInjection : public ::testing::TestWithParam<ConversionCase> {
 protected:
  ConversionFaultInjection() {
    const std::string text = demo::DemoProgramList();
    testdata::WriteFile(list_, Bytes(text.begin(), text.end()));
  }
  PageContext WithBuilder() {
    PageContext context = env_.context;
    context.runner = &builder_;
    return context;
  }

  // The file as text for messages and the page (UTF-8), and as a path for the file system:
  // a folder named outside ASCII reaches the system only through the path.
  std::string App(const char* name) const { return env_.dir.File(name); }
  fs::path AppPath(const std::string& name) const { return env_.dir.path() / name; }

  // The folder and the project as the user has them before choosing the list.
  void Restore() {
    for (const auto& [name, bytes] : FolderSnapshot(env_.dir.path())) {
      if (name != "firmware.bin" && name != testdata::kDefaultDescriptionName)
        fs::remove(AppPath(name));
    }
    if (GetParam().earlier_files) {
      for (const char* name : {builder_files::kDefaultDatabase, builder_files::kUserDatabase,
                               builder_files::kUnzipped, builder_files::kInput, "chout.txt"})
        testdata::WriteFile(App(name), testdata::PatternBytes(64, 3));
      const std::string ini =
          "[File0]\r\nFile=old.txt\r\n[config]\r\nLoadDomestic=1\r\nRemoveProgram=0\r\n";
      testdata::WriteFile(App(builder_files::kSettings), Bytes(ini.begin(), ini.end()));
    }
    env_.Reopen();
    // The standard record selects the first builder generation; these runs use the current.
    env_.settings().SetU8(record::kConfigVersion, 0x02);
    page_.Load();
    env_.dialogs.answers.clear();
    env_.dialogs.answers.push_back(MessageAnswer::Yes);
  }

  bool Convert() {
    page_.SelectRow(page_.RowOfChunk(kDefaultDatabaseChunkId));
    env_.dialogs.chosen_paths.push_back(list_);
    return page_.Replace();
  }

  // What the chunk table says about replacements: every chunk's mark and file.
  std::vector<std::pair<bool, std::string>> Marks() const {
    std::vector<std::pair<bool, std::string>> marks;
    for (const ChunkEntry& entry : env_.project->chunks.entries)
      marks.emplace_back(entry.replace, entry.replacement_path);
    return marks;
  }

  testdata::TempDir source_{"qtk_pages_src"};
  std::string list_ = source_.File("list.txt");
  PageEnv env_;
  InProcessBuilder builder_{env_.dir.path()};
  GeneralPage page_{WithBuilder()};
};

TEST_P(ConversionFaultInjection, EveryFailedCallIsReportedAndMarksNothing) {
  const Bytes firmware = testdata::ReadFile(env_.image_path());
  Restore();
  ASSERT_TRUE(Convert());
  const Snapshot reference = FolderSnapshot(env_.dir.path());
  const auto reference_marks = Marks();
  ASSERT_TRUE(reference.count(builder_files::kDefaultDatabase));
  ASSERT_TRUE(reference.count(builder_files::kUserDatabase));

  std::set<std::string> passed_failures;
  const int failed_runs = FailEachOutputCall([&](const FailingOutputSeam& seam) {
    Restore();
    const Snapshot before = FolderSnapshot(env_.dir.path());
    const auto marks_before = Marks();
    const auto record_before = env_.settings().bytes();
    env_.dialogs.messages.clear();
    const bool converted = Convert();
    const std::string at =
        "call " + std::to_string(seam.calls().size()) + " (" +
        (seam.failed_call() ? OutputCallName(*seam.failed_call()) : std::string("none")) + ")";
    EXPECT_EQ(testdata::ReadFile(env_.image_path()), firmware) << at;
    EXPECT_EQ(env_.settings().bytes(), record_before) << at;
    const Snapshot after = FolderSnapshot(env_.dir.path());
    if (converted) {
      // A fault that lets the conversion pass must have lost nothing: the databases and the
      // marks are those of a conversion that never failed.
      if (seam.failed_call())
        passed_failures.insert(seam.failed_folder_sync() ? "folder sync"
                                                         : OutputCallName(*seam.failed_call()));
      for (const char* name : {builder_files::kDefaultDatabase, builder_files::kUserDatabase,
                               builder_files::kUnzipped}) {
        EXPECT_EQ(after.at(name), reference.at(name)) << at << " " << name;
      }
      EXPECT_EQ(Marks(), reference_marks) << at;
      return true;
    }

    // The user is told: the conversion failed, or the database it should have written is
    // not there; the domestic question comes only once the builder's input is in place.
    const std::vector<std::string> texts = env_.dialogs.Texts();
    const std::string missing_db =
        "Can not open chunk file " + App(builder_files::kDefaultDatabase) + "!";
    EXPECT_FALSE(texts.empty()) << at;
    if (texts.empty())
      return false;
    EXPECT_TRUE(texts.back() == general_messages::kConvertFailed || texts.back() == missing_db)
        << at << ": " << texts.back();
    EXPECT_LE(texts.size(), 2u) << at;
    if (texts.size() == 2) {
      EXPECT_EQ(texts[0], general_messages::kDomesticQuestion) << at;
    }
    // Nothing is marked and no row names the list.
    EXPECT_EQ(Marks(), marks_before) << at;
    for (const GeneralPage::Row& row : page_.rows())
      EXPECT_EQ(row.file, "") << at << " " << row.name;

    // No temporary file, no database of this run; each file either kept its old bytes or
    // (the builder's input and settings, written before the run) holds its new ones.
    for (const auto& [name, bytes] : after) {
      EXPECT_TRUE(before.count(name) || reference.count(name)) << at << ": left " << name;
      if (name == builder_files::kSettings)
        continue;
      const bool old_bytes = before.count(name) && before.at(name) == bytes;
      const bool new_input = name == builder_files::kInput && reference.at(name) == bytes;
      EXPECT_TRUE(old_bytes || new_input) << at << ": changed " << name;
    }
    // The settings file keeps every key it does not set, and each key it sets holds its old
    // or its new value.
    const fs::path ini = AppPath(builder_files::kSettings);
    if (after.count(builder_files::kSettings)) {
      const std::string file = ini::GetPrivateProfileString("File0", "File", "", ini);
      EXPECT_TRUE(file == builder_files::kInput ||
                  file == (GetParam().earlier_files ? "old.txt" : ""))
          << at << ": " << file;
      const int domestic = ini::GetPrivateProfileInt("config", "LoadDomestic", -1, ini);
      EXPECT_TRUE(domestic == 0 || domestic == (GetParam().earlier_files ? 1 : -1)) << at;
      EXPECT_EQ(ini::GetPrivateProfileInt("config", "RemoveProgram", -1, ini),
                GetParam().earlier_files ? 0 : -1)
          << at;
    }

    // The page is ready for another try: without the fault it converts as if nothing failed.
    {
      ScopedOutputSeam system(SystemOutputSeam());
      env_.dialogs.answers.clear();
      env_.dialogs.answers.push_back(MessageAnswer::Yes);
      EXPECT_TRUE(Convert()) << at;
    }
    EXPECT_EQ(Marks(), reference_marks) << at;
    const Snapshot retried = FolderSnapshot(env_.dir.path());
    for (const char* name : {builder_files::kDefaultDatabase, builder_files::kUserDatabase})
      EXPECT_EQ(retried.at(name), reference.at(name)) << at << " " << name;
    return false;
  });
  // The removals, the input copy, both settings writes and the builder's four files.
  EXPECT_GE(failed_runs, 30);
  // Only the release of a file whose bytes are already safe, or the folder sync after the
  // complete databases took their names, may fail unseen by the page.
  for (const std::string& call : passed_failures)
    EXPECT_TRUE(call == "close" || call == "remove" || call == "folder sync") << call;
}

INSTANTIATE_TEST_SUITE_P(Folders, ConversionFaultInjection,
                         ::testing::Values(ConversionCase{"EmptyFolder", false},
                                           ConversionCase{"EarlierConversionFiles", true}),
                         [](const ::testing::TestParamInfo<ConversionCase>& test) {
                           return test.param.name;
                         });

}  // namespace
}  // namespace qtk
