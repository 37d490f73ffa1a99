// The boot logo preview on the General page as a user sees it: the image's own logo, the chosen
// replacement beside it, a note in place of a logo that does not decode, and saves that go on
// whatever the preview could show.
#include <QLabel>
#include <QTest>

#include "app/pages/general_page_view.h"
#include "common/utf8_path.h"
#include "logo/logo_source.h"
#include "main_window_driver.h"
#include "testdata/mpeg2_still.h"

namespace qtk {

using testing::ImageFolder;
using testing::WindowDriver;

namespace {

constexpr uint32_t kImageColours[4] = {0x2040C0, 0xF0F0F0, 0xC02020, 0x20A040};
constexpr uint32_t kNewColours[4] = {0xFFD000, 0x101010, 0x00B0F0, 0xE000E0};

// The standard chunks with a decodable still in the logo chunk.
std::vector<testdata::ChunkSpec> ChunksWithLogo(const std::vector<uint8_t>& still) {
  std::vector<testdata::ChunkSpec> chunks = testdata::StandardChunks({});
  for (testdata::ChunkSpec& c : chunks) {
    if (c.id == kLogoChunkId)
      c.data = still;
  }
  return chunks;
}

bool ColourNear(const QImage& image, int x, int y, uint32_t colour) {
  const QRgb got = image.pixel(x, y);
  return std::abs(qRed(got) - static_cast<int>(colour >> 16 & 0xFF)) <= 10 &&
         std::abs(qGreen(got) - static_cast<int>(colour >> 8 & 0xFF)) <= 10 &&
         std::abs(qBlue(got) - static_cast<int>(colour & 0xFF)) <= 10;
}

// Each quadrant's middle shows its colour.
bool ShowsQuadrants(const QImage& image, const uint32_t (&colours)[4]) {
  const int xs[2] = {image.width() / 4, image.width() * 3 / 4};
  const int ys[2] = {image.height() / 4, image.height() * 3 / 4};
  for (int q = 0; q < 4; ++q) {
    if (!ColourNear(image, xs[q % 2], ys[q / 2], colours[q]))
      return false;
  }
  return true;
}

QTreeWidgetItem* LogoRow(GeneralPageView* view) {
  return view->chunk_list()->topLevelItem(
      static_cast<GeneralPage&>(view->model()).RowOfChunk(kLogoChunkId));
}

void ReplaceLogo(WindowDriver& d, GeneralPageView* view, const std::string& path) {
  user::ClickItem(view->chunk_list(), LogoRow(view));
  d.dialogs.chosen_paths.push_back(path);
  user::Click(view->replace_button());
}

}  // namespace

class LogoPreviewWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void TheImagesLogoAndTheChosenOneAreShownSideBySide() {
    const std::vector<uint8_t> image_still =
        testdata::EncodeMpeg2Still(testdata::QuadrantPicture(176, 144, kImageColours));
    const std::vector<uint8_t> new_still =
        testdata::EncodeMpeg2Still(testdata::QuadrantPicture(352, 288, kNewColours));
    QVERIFY(!image_still.empty() && !new_still.empty());
    const std::vector<testdata::ChunkSpec> chunks = ChunksWithLogo(image_still);
    ImageFolder folder({}, testdata::RealisticDescription(), &chunks);
    WindowDriver d(folder);
    QVERIFY(d.active);
    auto* view = d.Open<GeneralPageView>(PageId::kGeneral);
    QVERIFY(view);
    LogoPreview* preview = view->logo_preview();
    QVERIFY(preview->isVisible());
    QCOMPARE(preview->current().caption->text(), QStringLiteral("Logo in the image"));
    QCOMPARE(preview->current().note->text(), QStringLiteral("176 x 144"));
    QCOMPARE(preview->current().image.size(), QSize(176, 144));
    QVERIFY(ShowsQuadrants(preview->current().image, kImageColours));
    QVERIFY(!preview->current().picture->pixmap().isNull());
    QVERIFY(!preview->replacement().caption->isVisible());

    const std::string file = folder.dir.File("new_logo.m2v");
    testdata::WriteFile(file, new_still);
    ReplaceLogo(d, view, file);
    QCOMPARE(d.dialogs.file_requests.back().filter,
             std::string("Logo Files(*.m2v)|*.m2v|All Files (*.*)|*.*||"));
    QVERIFY(preview->replacement().caption->isVisible());
    QCOMPARE(preview->replacement().caption->text(), QStringLiteral("New logo"));
    QCOMPARE(preview->replacement().note->text(), QStringLiteral("352 x 288"));
    QVERIFY(ShowsQuadrants(preview->replacement().image, kNewColours));
    // The picture fits its frame with the still's proportions.
    QCOMPARE(preview->replacement().picture->pixmap().size(), QSize(234, 192));
    QVERIFY(ShowsQuadrants(preview->current().image, kImageColours));
    QVERIFY(d.Screenshot("logo_preview.png"));

    // Another page and back: both pictures are still there.
    QVERIFY(d.Open<PageView>(PageId::kCommon));
    view = d.Open<GeneralPageView>(PageId::kGeneral);
    QVERIFY(view->logo_preview()->replacement().caption->isVisible());

    const testdata::SavedImage saved = d.SaveFw("saved.bin");
    QCOMPARE(d.dialogs.Texts(), std::vector<std::string>{"Success to save the file."});
    QCOMPARE(saved.Data(kLogoChunkId, new_still.size()), new_still);
    QCOMPARE(DecodeLogo(saved.Data(kLogoChunkId)).picture->width, 352);

    user::ClickItem(view->chunk_list(), LogoRow(view));
    user::Click(view->clear_button());
    QVERIFY(!preview->replacement().caption->isVisible());
    QVERIFY(ShowsQuadrants(preview->current().image, kImageColours));
  }

  void ALogoThatDoesNotDecodeShowsTheNoteAndIsSavedAllTheSame() {
    // The standard image's logo chunk holds pattern bytes: no picture.
    ImageFolder folder;
    WindowDriver d(folder);
    QVERIFY(d.active);
    auto* view = d.Open<GeneralPageView>(PageId::kGeneral);
    QVERIFY(view);
    LogoPreview* preview = view->logo_preview();
    QCOMPARE(preview->current().note->text(), QString::fromUtf8(logo_notes::kNotDecoded));
    QVERIFY(preview->current().image.isNull());
    QVERIFY(preview->current().picture->pixmap().isNull());

    // The logo check wants only the two codes at the ends; what lies between need not decode.
    std::vector<uint8_t> odd = testdata::PatternBytes(900, 4);
    const std::vector<uint8_t> head = {0x00, 0x00, 0x01, 0xB3};
    const std::vector<uint8_t> tail = {0x00, 0x00, 0x01, 0xB7};
    std::copy(head.begin(), head.end(), odd.begin());
    std::copy(tail.begin(), tail.end(), odd.end() - 4);
    const std::string file = folder.dir.File("odd.m2v");
    testdata::WriteFile(file, odd);
    ReplaceLogo(d, view, file);
    QVERIFY(d.dialogs.messages.empty());
    QCOMPARE(preview->replacement().note->text(), QString::fromUtf8(logo_notes::kNotDecoded));
    QVERIFY(preview->replacement().picture->pixmap().isNull());
    QVERIFY(d.Screenshot("logo_preview_note.png"));
    const testdata::SavedImage saved = d.SaveFw("saved.bin");
    QCOMPARE(d.dialogs.Texts(), std::vector<std::string>{"Success to save the file."});
    QCOMPARE(saved.Data(kLogoChunkId, odd.size()), odd);

    // A replacement file that vanishes after the choice: the note says so, the page stays.
    const std::string gone = folder.dir.File("gone.m2v");
    testdata::WriteFile(gone, odd);
    ReplaceLogo(d, view, gone);
    QVERIFY(std::filesystem::remove(PathFromUtf8(gone)));
    QVERIFY(d.Open<PageView>(PageId::kCommon));
    view = d.Open<GeneralPageView>(PageId::kGeneral);
    QCOMPARE(view->logo_preview()->replacement().note->text(),
             QString::fromUtf8(logo_notes::kCannotRead));
  }

  void AnImageWithoutALogoChunkShowsNoPreview() {
    std::vector<testdata::ChunkSpec> chunks = testdata::StandardChunks({});
    std::erase_if(chunks, [](const testdata::ChunkSpec& c) { return c.id == kLogoChunkId; });
    ImageFolder folder({}, testdata::RealisticDescription(), &chunks);
    WindowDriver d(folder);
    QVERIFY(d.active);
    auto* view = d.Open<GeneralPageView>(PageId::kGeneral);
    QVERIFY(view);
    QVERIFY(!view->logo_preview()->isVisible());
  }
};

}  // namespace qtk

QTEST_MAIN(qtk::LogoPreviewWindowTest)
#include "logo_preview_window_test.moc"
