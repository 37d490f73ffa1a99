#include "app/background_work.h"

#include <QApplication>
#include <QEventLoop>
#include <QThread>
#include <QTimer>
#include <memory>

#include "app/busy_cursor.h"
#include "app/progress_window.h"

namespace qtk {
namespace {

// The dialogs as the work sees them: each call is carried out on the window thread, and the
// work waits for the answer.
class WindowThreadDialogs : public UserDialogs {
 public:
  WindowThreadDialogs(UserDialogs& target, QObject* window_thread_object)
      : target_(target), object_(window_thread_object) {}

  MessageAnswer ShowMessage(const std::string& text, MessageIcon icon,
                            MessageButtons buttons) override {
    return OnWindowThread([&] { return target_.ShowMessage(text, icon, buttons); });
  }
  MessageAnswer ShowTitledMessage(const std::string& title, const std::string& text,
                                  MessageIcon icon, MessageButtons buttons) override {
    return OnWindowThread([&] { return target_.ShowTitledMessage(title, text, icon, buttons); });
  }
  void ShowDetailedMessage(const std::string& text, const std::string& details,
                           MessageIcon icon) override {
    OnWindowThread([&] {
      target_.ShowDetailedMessage(text, details, icon);
      return true;
    });
  }
  std::optional<std::string> AskOpenFile(const FileDialogRequest& request) override {
    return OnWindowThread([&] { return target_.AskOpenFile(request); });
  }
  std::optional<std::string> AskSaveFile(const FileDialogRequest& request) override {
    return OnWindowThread([&] { return target_.AskSaveFile(request); });
  }

 private:
  template <class Call>
  auto OnWindowThread(Call call) -> decltype(call()) {
    if (QThread::currentThread() == object_->thread())
      return call();
    decltype(call()) result{};
    QMetaObject::invokeMethod(
        object_, [&] { result = call(); }, Qt::BlockingQueuedConnection);
    return result;
  }

  UserDialogs& target_;
  QObject* object_;
};

}  // namespace

bool BackgroundWork::Run(const std::string& caption,
                         const std::function<bool(UserDialogs& dialogs)>& work) {
  const BusyCursor busy;
  QObject window_thread_object;
  WindowThreadDialogs dialogs(dialogs_, &window_thread_object);
  bool result = false;
  std::unique_ptr<QThread> thread(QThread::create([&] { result = work(dialogs); }));

  ProgressWindow window(
      ProgressWindow::Options{
          QStringLiteral("qtktool"), QString::fromStdString(caption), false, {}},
      QApplication::activeWindow());
  QTimer delay;
  delay.setSingleShot(true);
  QObject::connect(&delay, &QTimer::timeout, &window, [&] { window.show(); });
  QEventLoop loop;
  QObject::connect(thread.get(), &QThread::finished, &loop, &QEventLoop::quit);
  thread->start();
  delay.start(kWindowDelayMs);
  // Drawing, timers and the work's dialogs go on; the user's clicks and keys wait for the end.
  loop.exec(QEventLoop::ExcludeUserInputEvents);
  thread->wait();
  return result;
}

}  // namespace qtk
