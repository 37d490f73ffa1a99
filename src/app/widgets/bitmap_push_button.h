#pragma once

#include <QImage>
#include <QPushButton>
#include <array>

namespace qtk {

// A push button that draws itself from a skin: a strip of equal frames (normal, pressed,
// focused, disabled, and a spare) whose corners keep their size while edges and centre
// stretch to the button. Magenta 0xFF00FF in the skin is transparent.
class BitmapPushButton : public QPushButton {
  Q_OBJECT

 public:
  enum class State { Normal = 0, Pressed = 1, Focused = 2, Disabled = 3 };

  // The skin of the dialogs' buttons: 275 x 22 pixels, 5 frames.
  static constexpr int kStandardSkinId = 131;
  // How far the caption moves down while the button is held.
  static constexpr int kPressedTextOffset = 5;
  static constexpr QRgb kTransparentKey = 0xFFFF00FF;

  explicit BitmapPushButton(QWidget* parent = nullptr);
  BitmapPushButton(const QString& text, QWidget* parent = nullptr);

  // Loads the skin with the given id. False, with the look unchanged, for an unknown id or
  // a frame count that does not fit.
  bool SetSkin(int skin_id, int frames, int left, int top, int right, int bottom);
  bool SetSkin(const QImage& skin, int frames, int left, int top, int right, int bottom);

  // The skin images, drawn in code so that no picture files ship with the program.
  static QImage SkinImage(int skin_id);

  // The prepared picture of one state at the button's size (null before a skin is set).
  const QImage& StateImage(State state) const;

  // The whole button as drawn in `state`, caption included.
  QImage Render(State state) const;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  void BuildStateImages() const;
  void Draw(QPainter& painter, bool focused, bool pressed, bool enabled) const;

  QImage skin_;
  int frames_ = 0;
  int left_ = 0;
  int top_ = 0;
  int right_ = 0;
  int bottom_ = 0;
  // Drawn when they are used at a size other than theirs: a layout resizes a button several
  // times before it is shown, and a hidden button gets no resize events.
  mutable std::array<QImage, 4> states_;
};

// The push button of the main window, the dialogs and the pages: the standard skin (5 frames,
// edge widths 5, 5, 5, 4) and room for the caption's height.
BitmapPushButton* MakeStandardButton(const QString& caption, QWidget* parent = nullptr);

}  // namespace qtk
