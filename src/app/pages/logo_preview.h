#pragma once

#include <QImage>
#include <QWidget>
#include <optional>

#include "logo/logo_picture.h"

class QLabel;

namespace qtk {

// The boot logo beside the chunk list: the one in the image and, when a replacement is chosen,
// the new one to its right. A logo that does not decode shows its note in place of the picture;
// the preview only shows, it never refuses anything.
class LogoPreview : public QWidget {
  Q_OBJECT

 public:
  struct Side {
    QLabel* caption = nullptr;
    QLabel* picture = nullptr;  // the still, scaled to fit; empty with a note
    QLabel* note = nullptr;     // "720 x 576", or why there is no picture
    QImage image;               // the decoded still at its own size; null with a note
  };

  explicit LogoPreview(QWidget* parent = nullptr);

  // The image's logo, and the chosen replacement when there is one (its side is hidden
  // otherwise).
  void Put(const LogoDecoding& current, const std::optional<LogoDecoding>& replacement);

  const Side& current() const { return current_; }
  const Side& replacement() const { return replacement_; }

 private:
  Side MakeSide(const QString& caption);
  static void PutSide(Side& side, const LogoDecoding& decoding);

  Side current_;
  Side replacement_;
  QWidget* replacement_box_ = nullptr;
};

}  // namespace qtk
