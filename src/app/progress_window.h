#pragma once

#include <QDialog>
#include <functional>

class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace qtk {

// The small modal window shown while a long piece of work runs: a caption, the console lines
// of a helper program as they come (when there is one), and "Cancel" when the work can be
// stopped. The window stays up until the work has ended; neither Escape nor the close box
// ends it, so no work is abandoned by a stray key.
class ProgressWindow : public QDialog {
  Q_OBJECT

 public:
  struct Options {
    QString title;
    QString caption;
    bool console = false;          // shows the console lines
    std::function<void()> cancel;  // "Cancel" is offered only with this
  };

  ProgressWindow(const Options& options, QWidget* parent = nullptr);

  void AppendLine(const QString& line);
  // Every console line shown so far.
  QStringList Lines() const;

  QLabel* caption() const { return caption_; }
  QPlainTextEdit* console() const { return console_; }
  QPushButton* cancel_button() const { return cancel_button_; }

  void reject() override {}

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  QLabel* caption_ = nullptr;
  QPlainTextEdit* console_ = nullptr;
  QPushButton* cancel_button_ = nullptr;
  QStringList lines_;
};

}  // namespace qtk
