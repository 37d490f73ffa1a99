// The General page ("Chunk") as a user works it in the main window: select a row, replace its
// chunk with a file, clear it, convert a channel list, saved through "Save FW..." and read back.
#include <QTest>

#include "app/pages/general_page_view.h"
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
};

}  // namespace qtk

QTEST_MAIN(qtk::GeneralPageWindowTest)
#include "general_page_window_test.moc"
