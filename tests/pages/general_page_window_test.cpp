// The General page ("Chunk") as a user works it in the main window: select a row, replace its
// chunk with a file, clear it, convert a channel list, saved through "Save FW..." and read back.
#include <QTest>

#include <algorithm>
#include <filesystem>
#include <sstream>

#include "app/pages/general_page_view.h"
#include "common/utf8_path.h"
#include "dbbuilder/database_writer.h"
#include "dbbuilder/decode/channel_list_export.h"
#include "dbbuilder/decode/database_source.h"
#include "dbbuilder/lzma_compressor.h"
#include "dbbuilder/program_list.h"
#include "demo/demo_set.h"
#include "main_window_driver.h"

namespace qtk {

using testing::ImageFolder;
using testing::RecordDifferences;
using testing::WindowDriver;

namespace {

QTreeWidgetItem* RowItem(GeneralPageView* view, int row) {
  return view->chunk_list()->topLevelItem(row);
}

// Clicks the row, then "Replace..." with the file dialog answered by `path`.
void ReplaceRow(WindowDriver& d, GeneralPageView* view, int row, const std::string& path) {
  user::ClickItem(view->chunk_list(), RowItem(view, row));
  d.dialogs.chosen_paths.push_back(path);
  user::Click(view->replace_button());
}

// The standard chunks with the demo channel list compiled into the default database chunk.
std::vector<testdata::ChunkSpec> ChunksWithChannels() {
  const std::string list = demo::DemoProgramList();
  dbbuilder::ProgramTables tables;
  std::ostringstream warnings;
  dbbuilder::ParseProgramList({reinterpret_cast<const uint8_t*>(list.data()), list.size()}, tables,
                              warnings);
  dbbuilder::UserTables user;
  const std::vector<uint8_t> raw = dbbuilder::WriteDefaultDatabase(tables, {}, user);
  std::vector<testdata::ChunkSpec> chunks = testdata::StandardChunks({});
  for (testdata::ChunkSpec& c : chunks) {
    if (c.id == kDefaultDatabaseChunkId)
      c.data = dbbuilder::CompressLzmaAlone(raw).value();
  }
  return chunks;
}

std::string Text(const std::string& path) {
  const std::vector<uint8_t> bytes = testdata::ReadFile(path);
  return std::string(bytes.begin(), bytes.end());
}

}  // namespace

class GeneralPageWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void AReplacedChunkReachesTheSavedImageAndClearTakesItBack() {
    ImageFolder folder;
    WindowDriver d(folder);
    QVERIFY(d.active);
    const testdata::SavedImage before = d.SaveFw("before.bin");
    auto* view = d.Open<GeneralPageView>(PageId::kGeneral);
    QVERIFY(view);
    QVERIFY(d.Screenshot("page_general.png"));
    QVERIFY(!view->replace_button()->isEnabled());

    const std::string emulator = folder.dir.File("emu.bin");
    testdata::WriteFile(emulator, testdata::PatternBytes(0x180, 9));
    ReplaceRow(d, view, 6, emulator);
    QCOMPARE(RowItem(view, 6)->text(4), QString::fromStdString(emulator));
    QVERIFY(view->clear_button()->isEnabled());
    // The mark and the row survive a visit to another page.
    QVERIFY(d.Open<PageView>(PageId::kCommon));
    view = d.Open<GeneralPageView>(PageId::kGeneral);
    QCOMPARE(RowItem(view, 6)->text(4), QString::fromStdString(emulator));

    const testdata::SavedImage after = d.SaveFw("after.bin");
    QCOMPARE(d.dialogs.Texts(), std::vector<std::string>{"Success to save the file."});
    QVERIFY(after.parsed);
    QCOMPARE(after.Data(kGameEmulatorChunkId), testdata::PatternBytes(0x180, 9));
    QCOMPARE(RecordDifferences(before.Record(), after.Record()), std::string());
    QCOMPARE(testing::OtherChunkDifferences(before, after, {kGameEmulatorChunkId}), std::string());

    user::ClickItem(view->chunk_list(), RowItem(view, 6));
    user::Click(view->clear_button());
    QCOMPARE(RowItem(view, 6)->text(4), QString());
    QVERIFY(!view->clear_button()->isEnabled());
    const testdata::SavedImage cleared = d.SaveFw("cleared.bin");
    QCOMPARE(cleared.Data(kGameEmulatorChunkId), before.Data(kGameEmulatorChunkId));
  }

  void RowsWithTheSameNameEachReplaceTheirOwnChunk() {
    std::vector<testdata::ChunkSpec> chunks = testdata::StandardChunks({});
    for (testdata::ChunkSpec& c : chunks) {
      if (c.id == kGameEmulatorChunkId)
        c.name = "logo";
    }
    ImageFolder folder({}, testdata::RealisticDescription(), &chunks);
    WindowDriver d(folder);
    QVERIFY(d.active);
    const testdata::SavedImage before = d.SaveFw("before.bin");
    auto* view = d.Open<GeneralPageView>(PageId::kGeneral);
    QVERIFY(view);
    QCOMPARE(RowItem(view, 6)->text(0), QStringLiteral("logo"));
    const std::string file = folder.dir.File("not_a_logo.bin");
    testdata::WriteFile(file, testdata::PatternBytes(0x100, 3));
    d.dialogs.messages.clear();
    ReplaceRow(d, view, 6, file);
    QCOMPARE(d.dialogs.file_requests.back().filter,
             std::string("Game Emu Files(*.bin)|*.bin|All Files (*.*)|*.*||"));
    QVERIFY(d.dialogs.messages.empty());
    const testdata::SavedImage after = d.SaveFw("after.bin");
    QCOMPARE(after.Data(kGameEmulatorChunkId), testdata::PatternBytes(0x100, 3));
    QCOMPARE(after.Data(kLogoChunkId), before.Data(kLogoChunkId));
  }

  void AChannelListThatDoesNotFitLeavesBothDatabasesAsTheyWere() {
    ImageFolder folder;
    WindowDriver d(folder);
    QVERIFY(d.active);
    const testdata::SavedImage before = d.SaveFw("before.bin");
    auto* view = d.Open<GeneralPageView>(PageId::kGeneral);
    QVERIFY(view);
    const std::string list = folder.dir.File("channels.txt");
    testdata::WriteFile(list, {'#', 'x', '\n'});
    d.runner.default_db_output = testdata::PatternBytes(0x2000);  // larger than the chunk
    d.runner.user_db_output = {1, 2, 3};
    ReplaceRow(d, view, 4, list);
    QCOMPARE(d.dialogs.LastText(), "The size of default base file " +
                                       folder.dir.File("m_6615_df.bin") +
                                       " is too big, you can compress it and try again.");
    QCOMPARE(RowItem(view, 4)->text(4), QString());
    QCOMPARE(RowItem(view, 5)->text(4), QString());
    const testdata::SavedImage after = d.SaveFw("after.bin");
    QCOMPARE(d.dialogs.Texts(), std::vector<std::string>{"Success to save the file."});
    QCOMPARE(after.Data(kDefaultDatabaseChunkId), before.Data(kDefaultDatabaseChunkId));
    QCOMPARE(after.Data(kUserDatabaseChunkId), before.Data(kUserDatabaseChunkId));
  }

  void TheDefaultDatabaseRowExportsTheChannelListOfTheLoadedImage() {
    const std::vector<testdata::ChunkSpec> chunks = ChunksWithChannels();
    ImageFolder folder({}, testdata::RealisticDescription(), &chunks);
    WindowDriver d(folder);
    QVERIFY(d.active);
    auto* view = d.Open<GeneralPageView>(PageId::kGeneral);
    QVERIFY(view);
    QCOMPARE(view->export_button()->text(), QStringLiteral("Export channel list..."));
    QVERIFY(!view->export_button()->isEnabled());
    user::ClickItem(view->chunk_list(), RowItem(view, 2));
    QVERIFY(!view->export_button()->isEnabled());
    user::ClickItem(view->chunk_list(), RowItem(view, 4));
    QCOMPARE(RowItem(view, 4)->text(1), QStringLiteral("0x03fc0100"));
    QVERIFY(view->export_button()->isEnabled());

    // Cancelled: nothing is written, nothing is said.
    d.dialogs.messages.clear();
    user::Click(view->export_button());
    QCOMPARE(d.dialogs.file_requests.back().filter,
             std::string("Channel list Files(*.txt)|*.txt|All Files (*.*)|*.*||"));
    QVERIFY(d.dialogs.file_requests.back().ask_before_overwrite);
    QVERIFY(d.dialogs.messages.empty());

    // The row stays offered after a visit to another page.
    QVERIFY(d.Open<PageView>(PageId::kCommon));
    view = d.Open<GeneralPageView>(PageId::kGeneral);
    QVERIFY(view->export_button()->isEnabled());
    const std::string list = folder.dir.File("exported channels.txt");
    d.dialogs.chosen_paths.push_back(list);
    user::Click(view->export_button());
    QCOMPARE(d.dialogs.Texts(), std::vector<std::string>{"Channel list written to " + list +
                                                         " (satellites: 3, TPs: 5, programs: 7)"});
    const auto expected = dbbuilder::DecodeImageDatabase(testdata::ReadFile(folder.image_path()),
                                                         dbbuilder::DatabaseKind::kDefault);
    QVERIFY(static_cast<bool>(expected));
    QCOMPARE(Text(list), expected->text);
    // The loaded firmware file is only read.
    QCOMPARE(testdata::ReadFile(folder.image_path()), testdata::BuildFirmware(chunks, "1234"));
  }

  void AChunkWithoutADatabaseExportsNothingAndSaysWhy() {
    ImageFolder folder;
    WindowDriver d(folder);
    QVERIFY(d.active);
    auto* view = d.Open<GeneralPageView>(PageId::kGeneral);
    QVERIFY(view);
    user::ClickItem(view->chunk_list(), RowItem(view, 4));
    const std::string list = folder.dir.File("channels.txt");
    d.dialogs.chosen_paths.push_back(list);
    d.dialogs.messages.clear();
    user::Click(view->export_button());
    // The same message the batch front end gives for this chunk.
    RecordingDialogs direct;
    QVERIFY(!dbbuilder::ExportChannelList(PathFromUtf8(folder.image_path()),
                                          dbbuilder::ListSource::kImageDefaultDatabase,
                                          folder.dir.path() / "other.txt", direct));
    QVERIFY(!direct.messages.empty());
    QCOMPARE(d.dialogs.Texts(), direct.Texts());
    QVERIFY(!std::filesystem::exists(PathFromUtf8(list)));
  }

  void TheSuccessMessageOffersWhatTheSaveChanged() {
    ImageFolder folder;
    {
      // The first store of the generated image writes what the pages take from the
      // description: the dynamic panel chunk from the bus type's file, the tuner driver chunk
      // from the driver file, derived record bytes.
      WindowDriver first(folder);
      QVERIFY(first.active);
      first.SaveFw("stored.bin");
      QCOMPARE(first.dialogs.Texts(), std::vector<std::string>{"Success to save the file."});
      const std::string details = first.dialogs.messages[0].details;
      QCOMPARE(details.rfind("chunk changed 0x02FDA101 \"dynpanel\": length 0x00000170 -> "
                             "0x00000170, CRC 0x",
                             0),
               size_t{0});
      QVERIFY(details.find("\nchunk changed 0x06F90301 \"tunerdrv\": length 0x00000970 -> "
                           "0x00000270, CRC 0x") != std::string::npos);
      QVERIFY(details.find("\nchunk changed 0x10EF0100 \"common\": length 0x000007F0 -> "
                           "0x000007F0, CRC 0x") != std::string::npos);
      QVERIFY(details.find("\nrecord byte 28 (0x01C): 20 -> 64\n") != std::string::npos);
    }
    // The stored image loaded as the firmware: an unedited save changes nothing.
    // (Written, not copied: the C++ runtime of mingw-w64 copies over no existing file.)
    testdata::WriteFile(folder.image_path(), testdata::ReadFile(folder.dir.File("stored.bin")));
    WindowDriver d(folder);
    QVERIFY(d.active);
    d.SaveFw("unedited.bin");
    QCOMPARE(d.dialogs.messages.size(), size_t{1});
    QCOMPARE(d.dialogs.messages[0].text, std::string("Success to save the file."));
    QCOMPARE(d.dialogs.messages[0].details, std::string("no change"));
    QCOMPARE(testdata::ReadFile(folder.dir.File("unedited.bin")),
             testdata::ReadFile(folder.image_path()));

    auto* view = d.Open<GeneralPageView>(PageId::kGeneral);
    const std::string emulator = folder.dir.File("emu.bin");
    testdata::WriteFile(emulator, testdata::PatternBytes(0x180, 9));
    ReplaceRow(d, view, 6, emulator);
    d.SaveFw("after.bin");
    QCOMPARE(d.dialogs.Texts(), std::vector<std::string>{"Success to save the file."});
    const std::string details = d.dialogs.messages[0].details;
    QCOMPARE(details.rfind("chunk changed 0x06F90101 \"gameemu\": length 0x00000170 -> "
                           "0x000001F0, CRC 0x",
                           0),
             size_t{0});
    QVERIFY(details.find(", from " + emulator + "\n") != std::string::npos);
    QCOMPARE(std::count(details.begin(), details.end(), '\n'), std::ptrdiff_t{1});
  }
};

}  // namespace qtk

QTEST_MAIN(qtk::GeneralPageWindowTest)
#include "general_page_window_test.moc"
