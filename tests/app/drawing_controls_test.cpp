#include <QTest>

#include "app/widgets/bitmap_push_button.h"
#include "app/widgets/seven_segment_display.h"

using qtk::BitmapPushButton;
using qtk::SevenSegmentDisplay;

namespace {

bool HasColour(const QImage& image, QRgb rgb) {
  const QImage img = image.convertToFormat(QImage::Format_RGB32);
  for (int y = 0; y < img.height(); ++y) {
    for (int x = 0; x < img.width(); ++x) {
      if ((img.pixel(x, y) & 0xFFFFFF) == (rgb & 0xFFFFFF))
        return true;
    }
  }
  return false;
}

// The darkest pixel's brightest channel: black caption strokes make it small.
int Darkest(const QImage& image) {
  const QImage img = image.convertToFormat(QImage::Format_RGB32);
  int darkest = 255;
  for (int y = 0; y < img.height(); ++y) {
    for (int x = 0; x < img.width(); ++x) {
      const QRgb p = img.pixel(x, y);
      darkest = std::min(darkest, std::max({qRed(p), qGreen(p), qBlue(p)}));
    }
  }
  return darkest;
}

QImage Grab(SevenSegmentDisplay& display) {
  return display.grab().toImage();
}

}  // namespace

class DrawingControlsTest : public QObject {
  Q_OBJECT

 private slots:
  void StandardSkinHasFiveFrames() {
    const QImage skin = BitmapPushButton::SkinImage(BitmapPushButton::kStandardSkinId);
    QCOMPARE(skin.size(), QSize(275, 22));
    QVERIFY(BitmapPushButton::SkinImage(132).isNull());
  }

  void ButtonDrawsFourDifferentStates() {
    BitmapPushButton button("OK");
    button.resize(90, 26);
    QVERIFY(button.SetSkin(BitmapPushButton::kStandardSkinId, 5, 5, 5, 5, 4));
    QCOMPARE(button.StateImage(BitmapPushButton::State::Normal).size(), QSize(90, 26));
    const QImage normal = button.Render(BitmapPushButton::State::Normal);
    const QImage pressed = button.Render(BitmapPushButton::State::Pressed);
    const QImage focused = button.Render(BitmapPushButton::State::Focused);
    const QImage disabled = button.Render(BitmapPushButton::State::Disabled);
    QVERIFY(normal != pressed);
    QVERIFY(normal != focused);
    QVERIFY(normal != disabled);
    QVERIFY(pressed != focused);
    QVERIFY(pressed != disabled);
    QVERIFY(focused != disabled);
    // Caption in black, grey when disabled.
    QVERIFY2(Darkest(normal) < 0x30, qPrintable(QString::number(Darkest(normal))));
    QVERIFY2(Darkest(disabled) > 0x50, qPrintable(QString::number(Darkest(disabled))));

    // The widget's own painting follows its state.
    button.show();
    const QImage shown_normal = button.grab().toImage();
    button.setDown(true);
    const QImage shown_pressed = button.grab().toImage();
    button.setDown(false);
    button.setEnabled(false);
    const QImage shown_disabled = button.grab().toImage();
    QVERIFY(shown_normal != shown_pressed);
    QVERIFY(shown_normal != shown_disabled);
    QVERIFY(shown_pressed != shown_disabled);
  }

  void ResizeRebuildsStatesAndBadSkinKeepsLook() {
    BitmapPushButton button(">>");
    button.resize(40, 22);
    QVERIFY(button.SetSkin(BitmapPushButton::kStandardSkinId, 5, 5, 5, 5, 4));
    button.resize(120, 30);
    QCOMPARE(button.StateImage(BitmapPushButton::State::Focused).size(), QSize(120, 30));
    const QImage before = button.Render(BitmapPushButton::State::Normal);
    QVERIFY(!button.SetSkin(999, 5, 5, 5, 5, 4));
    QVERIFY(!button.SetSkin(BitmapPushButton::kStandardSkinId, 3, 5, 5, 5, 4));
    QVERIFY(button.Render(BitmapPushButton::State::Normal) == before);
  }

  // The state pictures are drawn on first use; a skin set later at the same size must not
  // leave the pictures of the earlier skin in place.
  void AnotherSkinAtTheSameSizeIsDrawnAnew() {
    BitmapPushButton button("Go");
    button.resize(60, 24);
    QVERIFY(button.SetSkin(BitmapPushButton::kStandardSkinId, 5, 5, 5, 5, 4));
    const QImage standard = button.StateImage(BitmapPushButton::State::Normal);
    QImage plain(4 * 20, 22, QImage::Format_RGB32);
    plain.fill(QColor(0x20, 0x80, 0x20));
    QVERIFY(button.SetSkin(plain, 4, 2, 2, 2, 2));
    const QImage green = button.StateImage(BitmapPushButton::State::Normal);
    QCOMPARE(green.size(), QSize(60, 24));
    QVERIFY(green != standard);
    QCOMPARE(green.pixel(30, 12), QColor(0x20, 0x80, 0x20).rgb());
  }

  void SevenSegmentDefaultsAndMetrics() {
    SevenSegmentDisplay display;
    display.resize(100, 50);
    QCOMPARE(display.LitColour().rgb() & 0xFFFFFF, 0x00FF00u);
    QCOMPARE(display.UnlitColour().rgb() & 0xFFFFFF, 0x005500u);
    QVERIFY(!display.ShowsUnlit());
    QVERIFY(!display.DotEnabled());
    QCOMPARE(display.Metrics().thickness, 3);
    QCOMPARE(display.Metrics().length, 17);
  }

  void SevenSegmentDrawsLitUnlitAndDot() {
    SevenSegmentDisplay display;
    display.resize(60, 50);
    display.SetText("8");
    QImage image = Grab(display);
    QVERIFY(HasColour(image, 0x00FF00));
    QVERIFY(!HasColour(image, 0x005500));
    QCOMPARE(image.pixel(0, 0) & 0xFFFFFF, 0x000000u);

    // Unknown characters draw nothing; unlit bars appear only once a colour is set.
    display.SetText("x");
    image = Grab(display);
    QVERIFY(!HasColour(image, 0x00FF00));
    display.SetUnlitColour(QColor(0x80, 0x80, 0x80));
    QVERIFY(display.ShowsUnlit());
    image = Grab(display);
    QVERIFY(HasColour(image, 0x808080));
    QVERIFY(!HasColour(image, 0x00FF00));

    // The dot lights only when enabled.
    display.SetText(".");
    display.SetUnlitColour(QColor(0, 0, 0));
    image = Grab(display);
    QVERIFY(!HasColour(image, 0x00FF00));
    display.SetDotEnabled(true);
    image = Grab(display);
    QVERIFY(HasColour(image, 0x00FF00));

    display.SetText(":");
    QVERIFY(HasColour(Grab(display), 0x00FF00));
  }

  void SevenSegmentAlignment() {
    SevenSegmentDisplay display;
    display.resize(200, 50);
    display.SetText("1");
    const auto lit_columns = [&] {
      const QImage image = Grab(display).convertToFormat(QImage::Format_RGB32);
      int first = -1;
      int last = -1;
      for (int x = 0; x < image.width(); ++x) {
        for (int y = 0; y < image.height(); ++y) {
          if ((image.pixel(x, y) & 0xFFFFFF) == 0x00FF00) {
            if (first < 0)
              first = x;
            last = x;
            break;
          }
        }
      }
      return std::make_pair(first, last);
    };
    const auto left = lit_columns();
    display.SetAlignment(Qt::AlignRight);
    const auto right = lit_columns();
    display.SetAlignment(Qt::AlignHCenter);
    const auto centre = lit_columns();
    QVERIFY(left.first >= 0);
    QVERIFY(left.second < 40);
    QVERIFY(right.first > 160);
    QVERIFY(centre.first > left.second && centre.second < right.first);
  }
};

QTEST_MAIN(DrawingControlsTest)
#include "drawing_controls_test.moc"
