#include "app/progress_window.h"

#include <QCloseEvent>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QVBoxLayout>

namespace qtk {

ProgressWindow::ProgressWindow(const Options& options, QWidget* parent) : QDialog(parent) {
  setWindowTitle(options.title);
  setWindowModality(Qt::ApplicationModal);
  // Only the end of the work closes the window.
  setWindowFlags((windowFlags() | Qt::CustomizeWindowHint | Qt::WindowTitleHint) &
                 ~(Qt::WindowCloseButtonHint | Qt::WindowContextHelpButtonHint));

  caption_ = new QLabel(options.caption, this);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(caption_);
  if (options.console) {
    console_ = new QPlainTextEdit(this);
    console_->setReadOnly(true);
    console_->setLineWrapMode(QPlainTextEdit::NoWrap);
    console_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    console_->setMinimumSize(520, 200);
    layout->addWidget(console_, 1);
  }
  if (options.cancel) {
    cancel_button_ = new QPushButton(QStringLiteral("Cancel"), this);
    cancel_button_->setAutoDefault(false);
    connect(cancel_button_, &QPushButton::clicked, this, [this, cancel = options.cancel] {
      // One request is enough; the window stays until the work has really ended.
      cancel_button_->setEnabled(false);
      cancel();
    });
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cancel_button_);
    layout->addLayout(buttons);
  }
}

void ProgressWindow::AppendLine(const QString& line) {
  lines_ << line;
  if (console_ == nullptr)
    return;
  console_->appendPlainText(line);
  console_->verticalScrollBar()->setValue(console_->verticalScrollBar()->maximum());
}

QStringList ProgressWindow::Lines() const {
  return lines_;
}

void ProgressWindow::closeEvent(QCloseEvent* event) {
  event->ignore();
}

}  // namespace qtk
