#include "app/pages/logo_preview.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QVBoxLayout>

namespace qtk {
namespace {

// A PAL logo (720 x 576) shown at a third of its size keeps the page's list readable.
constexpr int kPictureWidth = 240;
constexpr int kPictureHeight = 192;

}  // namespace

LogoPreview::Side LogoPreview::MakeSide(const QString& caption) {
  Side side;
  side.caption = new QLabel(caption);
  side.picture = new QLabel;
  side.picture->setFixedSize(kPictureWidth, kPictureHeight);
  side.picture->setAlignment(Qt::AlignCenter);
  side.picture->setFrameShape(QFrame::StyledPanel);
  side.note = new QLabel;
  side.note->setWordWrap(true);
  side.note->setMaximumWidth(kPictureWidth);
  return side;
}

LogoPreview::LogoPreview(QWidget* parent) : QWidget(parent) {
  current_ = MakeSide(QStringLiteral("Logo in the image"));
  replacement_ = MakeSide(QStringLiteral("New logo"));
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  for (Side* side : {&current_, &replacement_}) {
    auto* box = new QWidget(this);
    auto* column = new QVBoxLayout(box);
    column->setContentsMargins(0, 0, 0, 0);
    column->addWidget(side->caption);
    column->addWidget(side->picture);
    column->addWidget(side->note);
    column->addStretch();
    layout->addWidget(box);
    if (side == &replacement_)
      replacement_box_ = box;
  }
  layout->addStretch();
  replacement_box_->hide();
}

void LogoPreview::PutSide(Side& side, const LogoDecoding& decoding) {
  if (!decoding.picture) {
    side.image = QImage();
    side.picture->clear();
    side.note->setText(QString::fromStdString(decoding.problem));
    return;
  }
  const LogoPicture& p = *decoding.picture;
  // The copy owns its pixels; the decoded buffer may go.
  side.image = QImage(p.rgb.data(), p.width, p.height, p.width * 3, QImage::Format_RGB888).copy();
  side.picture->setPixmap(QPixmap::fromImage(side.image.scaled(
      kPictureWidth, kPictureHeight, Qt::KeepAspectRatio, Qt::SmoothTransformation)));
  side.note->setText(QStringLiteral("%1 x %2").arg(p.width).arg(p.height));
}

void LogoPreview::Put(const LogoDecoding& current, const std::optional<LogoDecoding>& replacement) {
  PutSide(current_, current);
  if (replacement)
    PutSide(replacement_, *replacement);
  replacement_box_->setVisible(replacement.has_value());
}

}  // namespace qtk
