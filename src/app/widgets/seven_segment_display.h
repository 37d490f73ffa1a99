#pragma once

#include <QColor>
#include <QWidget>
#include <string>

#include "app/widgets/seven_segment_codes.h"

namespace qtk {

// Shows text as the front panel's LED digits on black. Each character is one byte as the
// panel tables store it (so 0xC0..0xC7 light single segments).
class SevenSegmentDisplay : public QWidget {
  Q_OBJECT

 public:
  static constexpr QRgb kLitColour = 0x00FF00;

  explicit SevenSegmentDisplay(QWidget* parent = nullptr);

  void SetText(const std::string& text);
  const std::string& Text() const { return text_; }

  // Also turns on the drawing of unlit bars, so the user sees the whole digit.
  void SetUnlitColour(QColor colour);
  QColor UnlitColour() const { return unlit_; }
  QColor LitColour() const { return lit_; }
  bool ShowsUnlit() const { return show_unlit_; }

  void SetDotEnabled(bool on);
  bool DotEnabled() const { return dot_enabled_; }

  // Left (default), centre or right; only the horizontal part is used.
  void SetAlignment(Qt::Alignment alignment);

  // Bar sizes follow the picture's height.
  SegmentMetrics Metrics() const { return SegmentMetricsFor(height()); }

  // Width of one character cell, also used to lay out the row.
  int CharacterWidth() const;

  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  void DrawCharacter(QPainter& painter, int x, int y, char c) const;
  void DrawSegments(QPainter& painter, int x, int y, std::uint8_t bits, QColor colour) const;

  std::string text_;
  QColor lit_;
  QColor unlit_;
  bool show_unlit_ = false;
  bool dot_enabled_ = false;
  Qt::Alignment alignment_ = Qt::AlignLeft;
};

}  // namespace qtk
