#include "app/widgets/seven_segment_display.h"

#include <QPainter>
#include <QPixmap>
#include <algorithm>

namespace qtk {

SevenSegmentDisplay::SevenSegmentDisplay(QWidget* parent)
    : QWidget(parent),
      lit_(QColor::fromRgb(kLitColour)),
      unlit_(QColor::fromRgb(DefaultUnlitColour(kLitColour))) {}

void SevenSegmentDisplay::SetText(const std::string& text) {
  text_ = text;
  update();
}

void SevenSegmentDisplay::SetUnlitColour(QColor colour) {
  unlit_ = colour;
  show_unlit_ = true;
  update();
}

void SevenSegmentDisplay::SetDotEnabled(bool on) {
  dot_enabled_ = on;
  update();
}

void SevenSegmentDisplay::SetAlignment(Qt::Alignment alignment) {
  alignment_ = alignment & Qt::AlignHorizontal_Mask;
  update();
}

int SevenSegmentDisplay::CharacterWidth() const {
  // Two vertical bars, the horizontal bar between them, and room for the dot and a gap.
  const SegmentMetrics metrics = Metrics();
  return metrics.length + 5 * metrics.thickness;
}

QSize SevenSegmentDisplay::sizeHint() const {
  const int count = std::max<int>(1, static_cast<int>(text_.size()));
  return QSize(count * CharacterWidth(), std::max(height(), 24));
}

void SevenSegmentDisplay::DrawSegments(QPainter& painter, int x, int y, std::uint8_t bits,
                                       QColor colour) const {
  const SegmentMetrics metrics = Metrics();
  const int t = metrics.thickness;
  const int len = metrics.length;
  // Centre lines of the bars.
  const double left = x + t / 2.0;
  const double right = x + t + len + t / 2.0;
  const double top = y + t / 2.0;
  const double middle = y + t + len + t / 2.0;
  const double bottom = y + 2 * (t + len) + t / 2.0;
  const double h_from = x + t;
  const double h_to = x + t + len;
  const double upper_from = y + t;
  const double upper_to = y + t + len;
  const double lower_from = y + 2 * t + len;
  const double lower_to = y + 2 * t + 2 * len;

  QPen pen(colour, t, Qt::SolidLine, Qt::FlatCap);
  painter.setPen(pen);
  if (bits & kSegmentA)
    painter.drawLine(QPointF(h_from, top), QPointF(h_to, top));
  if (bits & kSegmentB)
    painter.drawLine(QPointF(right, upper_from), QPointF(right, upper_to));
  if (bits & kSegmentC)
    painter.drawLine(QPointF(right, lower_from), QPointF(right, lower_to));
  if (bits & kSegmentD)
    painter.drawLine(QPointF(h_from, bottom), QPointF(h_to, bottom));
  if (bits & kSegmentE)
    painter.drawLine(QPointF(left, lower_from), QPointF(left, lower_to));
  if (bits & kSegmentF)
    painter.drawLine(QPointF(left, upper_from), QPointF(left, upper_to));
  if (bits & kSegmentG)
    painter.drawLine(QPointF(h_from, middle), QPointF(h_to, middle));
  if ((bits & kSegmentH) && dot_enabled_) {
    const double radius = std::max(1.0, t * 0.75);
    painter.setPen(Qt::NoPen);
    painter.setBrush(colour);
    painter.drawEllipse(QPointF(x + 2 * t + len + 1.5 * t, bottom), radius, radius);
    painter.setBrush(Qt::NoBrush);
  }
}

void SevenSegmentDisplay::DrawCharacter(QPainter& painter, int x, int y, char c) const {
  const SegmentMetrics metrics = Metrics();
  if (IsColonCharacter(c)) {
    const int t = metrics.thickness;
    const double radius = std::max(1.0, t * 0.75);
    const double cx = x + t + metrics.length / 2.0;
    painter.setPen(Qt::NoPen);
    painter.setBrush(lit_);
    painter.drawEllipse(QPointF(cx, y + t + metrics.length / 2.0), radius, radius);
    painter.drawEllipse(QPointF(cx, y + 2 * t + metrics.length * 1.5), radius, radius);
    painter.setBrush(Qt::NoBrush);
    return;
  }
  if (show_unlit_)
    DrawSegments(painter, x, y, 0xFF, unlit_);
  DrawSegments(painter, x, y, SegmentBitsFor(c), lit_);
}

void SevenSegmentDisplay::paintEvent(QPaintEvent* /*event*/) {
  QPixmap buffer(size() * devicePixelRatio());
  buffer.setDevicePixelRatio(devicePixelRatio());
  buffer.fill(Qt::black);
  {
    QPainter painter(&buffer);
    const int step = CharacterWidth();
    const int row_width = step * static_cast<int>(text_.size());
    int x = 0;
    if (alignment_ & Qt::AlignHCenter) {
      x = (width() - row_width) / 2;
    } else if (alignment_ & Qt::AlignRight) {
      x = width() - row_width;
    }
    const SegmentMetrics metrics = Metrics();
    const int digit_height = 3 * metrics.thickness + 2 * metrics.length;
    const int y = (height() - digit_height) / 2;
    for (char c : text_) {
      DrawCharacter(painter, x, y, c);
      x += step;
    }
  }
  QPainter screen(this);
  screen.drawPixmap(0, 0, buffer);
}

}  // namespace qtk
