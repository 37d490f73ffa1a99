#include "app/about_box.h"

#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QVBoxLayout>

#include "app/model/main_window_texts.h"
#include "app/widgets/bitmap_push_button.h"

namespace qtk {

QIcon ProgramIcon() {
  QPixmap pixmap(32, 32);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  // A set-top box front: dark case, a green display and a red standby light.
  painter.setBrush(QColor(40, 48, 64));
  painter.setPen(Qt::NoPen);
  painter.drawRoundedRect(QRectF(1, 9, 30, 14), 3, 3);
  painter.setBrush(QColor(80, 220, 120));
  painter.drawRect(QRectF(5, 13, 14, 6));
  painter.setBrush(QColor(230, 60, 50));
  painter.drawEllipse(QRectF(23, 14, 4, 4));
  painter.end();
  return QIcon(pixmap);
}

QString BuildVersionText() {
  return QStringLiteral("qtk7720x " QTK_VERSION);
}

AboutBox::AboutBox(QWidget* parent) : QDialog(parent) {
  setWindowTitle(QString::fromUtf8(main_window_texts::kAboutCaption));
  auto* icon = new QLabel(this);
  icon->setPixmap(ProgramIcon().pixmap(32, 32));
  auto* name = new QLabel(QString::fromUtf8(main_window_texts::kToolName), this);
  auto* version = new QLabel(QString::fromUtf8(main_window_texts::kVersion), this);
  auto* build = new QLabel(BuildVersionText(), this);
  auto* ok = new BitmapPushButton(QStringLiteral("OK"), this);
  ok->setMinimumHeight(22);
  ok->SetSkin(BitmapPushButton::kStandardSkinId, 5, 5, 5, 5, 4);
  ok->setDefault(true);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);

  auto* texts = new QVBoxLayout;
  texts->addWidget(name);
  texts->addWidget(version);
  texts->addWidget(build);
  auto* row = new QHBoxLayout;
  row->addWidget(icon, 0, Qt::AlignTop);
  row->addLayout(texts, 1);
  row->addWidget(ok, 0, Qt::AlignTop);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(row);
}

}  // namespace qtk
