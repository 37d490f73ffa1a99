#include "app/widgets/bitmap_push_button.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPixmap>
#include <algorithm>

namespace qtk {
namespace {

// Copies a frame into a picture of `size`: corners unscaled, edges stretched along one axis,
// the centre along both.
QImage NineSlice(const QImage& frame, QSize size, int left, int top, int right, int bottom) {
  QImage out(size, QImage::Format_ARGB32_Premultiplied);
  out.fill(Qt::transparent);
  if (size.isEmpty() || frame.isNull())
    return out;
  const int fw = frame.width();
  const int fh = frame.height();
  left = std::clamp(left, 0, fw);
  right = std::clamp(right, 0, fw - left);
  top = std::clamp(top, 0, fh);
  bottom = std::clamp(bottom, 0, fh - top);
  const int src_x[4] = {0, left, fw - right, fw};
  const int src_y[4] = {0, top, fh - bottom, fh};
  const int dst_x[4] = {0, std::min(left, size.width()),
                        std::max(size.width() - right, std::min(left, size.width())), size.width()};
  const int dst_y[4] = {0, std::min(top, size.height()),
                        std::max(size.height() - bottom, std::min(top, size.height())),
                        size.height()};
  QPainter painter(&out);
  painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
  for (int row = 0; row < 3; ++row) {
    for (int col = 0; col < 3; ++col) {
      const QRect src(src_x[col], src_y[row], src_x[col + 1] - src_x[col],
                      src_y[row + 1] - src_y[row]);
      const QRect dst(dst_x[col], dst_y[row], dst_x[col + 1] - dst_x[col],
                      dst_y[row + 1] - dst_y[row]);
      if (src.isEmpty() || dst.isEmpty())
        continue;
      painter.drawImage(dst, frame, src);
    }
  }
  return out;
}

// Turns the key colour into transparency so the face colour shows at the rounded corners.
QImage WithTransparentKey(const QImage& image) {
  QImage out = image.convertToFormat(QImage::Format_ARGB32);
  for (int y = 0; y < out.height(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
    for (int x = 0; x < out.width(); ++x) {
      if ((line[x] | 0xFF000000u) == BitmapPushButton::kTransparentKey)
        line[x] = 0;
    }
  }
  return out;
}

void PaintSkinFrame(QPainter& painter, QRect frame, QColor top, QColor bottom, QColor border,
                    QColor inner) {
  QLinearGradient fill(frame.topLeft(), frame.bottomLeft());
  fill.setColorAt(0.0, top);
  fill.setColorAt(1.0, bottom);
  painter.fillRect(frame, fill);
  painter.setPen(border);
  painter.drawRect(frame.adjusted(0, 0, -1, -1));
  painter.setPen(inner);
  painter.drawRect(frame.adjusted(1, 1, -2, -2));
  // Clipped corners in the key colour give the button its rounded outline.
  painter.setPen(QColor(0xFF, 0x00, 0xFF));
  painter.drawPoint(frame.topLeft());
  painter.drawPoint(frame.topRight());
  painter.drawPoint(frame.bottomLeft());
  painter.drawPoint(frame.bottomRight());
}

}  // namespace

BitmapPushButton::BitmapPushButton(QWidget* parent) : QPushButton(parent) {
  QFont caption(QStringLiteral("SimSun"));
  caption.setPixelSize(12);
  caption.setWeight(QFont::Normal);
  setFont(caption);
}

BitmapPushButton::BitmapPushButton(const QString& text, QWidget* parent)
    : BitmapPushButton(parent) {
  setText(text);
}

QImage BitmapPushButton::SkinImage(int skin_id) {
  if (skin_id != kStandardSkinId)
    return QImage();
  constexpr int kFrames = 5;
  constexpr int kFrameWidth = 55;
  QImage skin(kFrameWidth * kFrames, 22, QImage::Format_RGB32);
  skin.fill(QColor(0xFF, 0x00, 0xFF));
  QPainter painter(&skin);
  const auto frame = [&](int i) { return QRect(i * kFrameWidth, 0, kFrameWidth, 22); };
  // normal, pressed, focused, disabled, spare
  PaintSkinFrame(painter, frame(0), QColor(0xF4, 0xF6, 0xFA), QColor(0xC8, 0xD0, 0xDC),
                 QColor(0x60, 0x70, 0x88), QColor(0xFF, 0xFF, 0xFF));
  PaintSkinFrame(painter, frame(1), QColor(0xA8, 0xB8, 0xD0), QColor(0xE0, 0xE8, 0xF4),
                 QColor(0x30, 0x40, 0x60), QColor(0x88, 0x98, 0xB0));
  PaintSkinFrame(painter, frame(2), QColor(0xF0, 0xF8, 0xFF), QColor(0xB0, 0xD0, 0xF0),
                 QColor(0x20, 0x60, 0xC0), QColor(0x90, 0xC0, 0xF0));
  PaintSkinFrame(painter, frame(3), QColor(0xEC, 0xEC, 0xEC), QColor(0xDC, 0xDC, 0xDC),
                 QColor(0xA8, 0xA8, 0xA8), QColor(0xF4, 0xF4, 0xF4));
  PaintSkinFrame(painter, frame(4), QColor(0xF4, 0xF6, 0xFA), QColor(0xC8, 0xD0, 0xDC),
                 QColor(0x60, 0x70, 0x88), QColor(0xFF, 0xFF, 0xFF));
  return skin;
}

bool BitmapPushButton::SetSkin(int skin_id, int frames, int left, int top, int right, int bottom) {
  // Every button of every page wears the standard skin; it is drawn once.
  static const QImage standard = SkinImage(kStandardSkinId);
  return SetSkin(skin_id == kStandardSkinId ? standard : SkinImage(skin_id), frames, left, top,
                 right, bottom);
}

bool BitmapPushButton::SetSkin(const QImage& skin, int frames, int left, int top, int right,
                               int bottom) {
  // Four states need four frames.
  if (skin.isNull() || frames < 4 || skin.width() / frames < 1)
    return false;
  skin_ = WithTransparentKey(skin);
  frames_ = frames;
  left_ = left;
  top_ = top;
  right_ = right;
  bottom_ = bottom;
  // The state pictures are drawn when the button is first painted at its final size: a
  // button that is not laid out yet has the default size of a window, and drawing four
  // pictures of that size for each of the many buttons slowed the main window's start.
  states_ = {};
  update();
  return true;
}

const QImage& BitmapPushButton::StateImage(State state) const {
  const QImage& image = states_[static_cast<int>(state)];
  if (!skin_.isNull() && image.size() != size())
    BuildStateImages();
  return image;
}

void BitmapPushButton::BuildStateImages() const {
  if (skin_.isNull() || frames_ < 4)
    return;
  const int frame_width = skin_.width() / frames_;
  for (int i = 0; i < 4; ++i) {
    const QImage frame = skin_.copy(i * frame_width, 0, frame_width, skin_.height());
    states_[i] = NineSlice(frame, size(), left_, top_, right_, bottom_);
  }
}

void BitmapPushButton::Draw(QPainter& painter, bool focused, bool pressed, bool enabled) const {
  const QRect area(QPoint(0, 0), size());
  painter.fillRect(area, palette().color(QPalette::Active, QPalette::Button));
  int text_offset = 0;
  const auto draw_state = [&](State state) {
    const QImage& image = StateImage(state);
    if (!image.isNull())
      painter.drawImage(0, 0, image);
  };
  // A held button has the focus in normal use; without it the press still shows.
  if (pressed && enabled) {
    if (focused)
      draw_state(State::Focused);
    draw_state(State::Pressed);
    text_offset = kPressedTextOffset;
  } else if (focused && enabled) {
    draw_state(State::Focused);
  } else {
    draw_state(enabled ? State::Normal : State::Disabled);
  }
  painter.setFont(font());
  painter.setPen(enabled ? QColor(Qt::black) : palette().color(QPalette::Disabled, QPalette::Text));
  painter.drawText(area.translated(0, text_offset), Qt::AlignCenter | Qt::TextSingleLine, text());
}

QImage BitmapPushButton::Render(State state) const {
  QImage out(size(), QImage::Format_ARGB32_Premultiplied);
  out.fill(Qt::transparent);
  QPainter painter(&out);
  Draw(painter, state == State::Focused, state == State::Pressed, state != State::Disabled);
  return out;
}

void BitmapPushButton::paintEvent(QPaintEvent* /*event*/) {
  // Draw off-screen first so the button never flickers through a half-drawn state.
  QPixmap buffer(size() * devicePixelRatio());
  buffer.setDevicePixelRatio(devicePixelRatio());
  {
    QPainter painter(&buffer);
    Draw(painter, hasFocus(), isDown(), isEnabled());
  }
  QPainter screen(this);
  screen.drawPixmap(0, 0, buffer);
}

BitmapPushButton* MakeStandardButton(const QString& caption, QWidget* parent) {
  auto* button = new BitmapPushButton(caption, parent);
  button->setMinimumHeight(22);
  button->SetSkin(BitmapPushButton::kStandardSkinId, 5, 5, 5, 5, 4);
  return button;
}

}  // namespace qtk
