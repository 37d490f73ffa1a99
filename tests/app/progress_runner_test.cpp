// The builder started without blocking the window: its console lines appear in the progress
// window as they come, under the busy cursor, and the conversion gives exactly what the
// blocking run gives.
#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <thread>

#include "app/background_work.h"
#include "app/progress_window.h"
#include "app/qt_program_runner.h"
#include "demo/demo_set.h"
#include "firmware/program_location.h"
#include "page_env.h"
#include "pages/general_page.h"

namespace qtk {
namespace {

namespace fs = std::filesystem;

// A folder with the console helper under the builder's name.
struct HelperFolder {
  HelperFolder() {
    fs::copy_file(QTK_CONSOLE_HELPER_PATH, dir.path() / ExecutableFileName("dfv_k7720x"));
  }
  bool Exists(const char* name) const { return fs::exists(dir.path() / name); }
  testdata::TempDir dir{"qtk_runner"};
};

bool SaveScreenshot(QWidget& widget, const QString& name) {
  return QDir().mkpath(QStringLiteral(QTK_ARTIFACT_DIR)) &&
         widget.grab().save(QStringLiteral(QTK_ARTIFACT_DIR "/") + name);
}

// Every file of a folder by name, with its bytes.
std::map<std::string, std::vector<uint8_t>> FolderFiles(const fs::path& dir) {
  std::map<std::string, std::vector<uint8_t>> files;
  for (const fs::directory_entry& e : fs::directory_iterator(dir)) {
    if (e.is_regular_file())
      files[e.path().filename().string()] = testdata::ReadFile(e.path().string());
  }
  return files;
}

struct CurrentDirectory {
  explicit CurrentDirectory(const fs::path& dir) { fs::current_path(dir); }
  ~CurrentDirectory() { fs::current_path(saved); }
  fs::path saved = fs::current_path();
};

// What the General page did with a channel list, with the runner it was given.
struct Conversion {
  bool marked = false;
  std::vector<std::string> messages;
  std::string default_db_mark;
  std::string user_db_mark;
  std::map<std::string, std::vector<uint8_t>> files;
};

Conversion Convert(testing::PageEnv& env, ProgramRunner& runner, MessageAnswer domestic) {
  env.settings().SetU8(record::kConfigVersion, 0x02);
  env.context.runner = &runner;
  const std::string text = demo::DemoProgramList();
  testdata::WriteFile(env.dir.File("channels.txt"), std::vector<uint8_t>(text.begin(), text.end()));
  fs::copy_file(QTK_DFV_K7720X_PATH, env.dir.path() / ExecutableFileName("dfv_k7720x"));
  const CurrentDirectory in_folder(env.dir.path());
  GeneralPage general(env.context);
  general.Load();
  env.dialogs.answers = {domestic};
  Conversion c;
  c.marked =
      general.ReplaceRow(general.RowOfChunk(kDefaultDatabaseChunkId), env.dir.File("channels.txt"));
  c.messages = env.dialogs.Texts();
  // The marks name files in each run's own folder; the names are compared.
  c.default_db_mark =
      fs::path(env.chunk(kDefaultDatabaseChunkId).replacement_path).filename().string();
  c.user_db_mark = fs::path(env.chunk(kUserDatabaseChunkId).replacement_path).filename().string();
  c.files = FolderFiles(env.dir.path());
  return c;
}

}  // namespace

class ProgressRunnerTest : public QObject {
  Q_OBJECT

 private slots:
  void LinesAppearAsTheyComeWhileTheWindowWaitsUnderTheBusyCursor() {
    HelperFolder folder;
    QWidget main_window;
    main_window.resize(400, 300);
    main_window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&main_window));
    QtProgramRunner runner(folder.dir.path());
    int calls = 0;
    bool checked = false;
    runner.SetWindowObserver([&](ProgressWindow& window) {
      ++calls;
      if (checked || !window.Lines().contains(QStringLiteral("first line")))
        return;
      checked = true;
      // The first line is shown while the program still runs: it has not written "done".
      QVERIFY(!folder.Exists("done"));
      QVERIFY(window.isVisible());
      QCOMPARE(QApplication::activeModalWidget(), &window);
      QVERIFY(QGuiApplication::overrideCursor() != nullptr);
      QCOMPARE(QGuiApplication::overrideCursor()->shape(), Qt::BusyCursor);
      // The program file as the system names it: dfv_k7720x.exe on Windows.
      QCOMPARE(window.caption()->text(),
               QString::fromStdString("Running " + ExecutableFileName("dfv_k7720x") + " ..."));
      QCOMPARE(window.console()->toPlainText(), QStringLiteral("first line"));
      QVERIFY(window.cancel_button()->isEnabled());
      // Escape and the close box leave the window up.
      QTest::keyClick(&window, Qt::Key_Escape);
      window.close();
      QVERIFY(window.isVisible());
      QVERIFY(SaveScreenshot(window, QStringLiteral("progress_window.png")));
      testdata::WriteFile(folder.dir.File("go"), {});
    });
    QVERIFY(runner.RunProgramAndWait("dfv_k7720x", {}));
    QVERIFY(checked);
    QVERIFY(calls >= 4);
    QVERIFY(folder.Exists("done"));
    // Half a line waits for its end; a line that is not UTF-8 keeps every byte; the last line
    // needs no line end. The exit code (3) is not looked at.
    QCOMPARE(runner.last_lines(),
             QStringList({QStringLiteral("first line"), QStringLiteral("partial end"),
                          QString::fromLatin1("\xC4\xE3 UTF-8 it is not"),
                          QStringLiteral("tail without end")}));
    QCOMPARE(QGuiApplication::overrideCursor(), nullptr);
    QCOMPARE(QApplication::activeModalWidget(), nullptr);
  }

  void CancelStopsTheProgramAndTheRunCountsAsFailed() {
    HelperFolder folder;
    QtProgramRunner runner(folder.dir.path());
    bool clicked = false;
    runner.SetWindowObserver([&](ProgressWindow& window) {
      if (clicked || window.Lines().isEmpty())
        return;
      clicked = true;
      QTest::mouseClick(window.cancel_button(), Qt::LeftButton);
      QVERIFY(!window.cancel_button()->isEnabled());
    });
    QVERIFY(!runner.RunProgramAndWait("dfv_k7720x", {}));
    QVERIFY(clicked);
    QVERIFY(!folder.Exists("done"));
    QCOMPARE(QGuiApplication::overrideCursor(), nullptr);
    // The program has ended, not only been left: let go now, it would write "done" at once.
    testdata::WriteFile(folder.dir.File("go"), {});
    QTest::qWait(1000);
    QVERIFY(!folder.Exists("done"));
  }

  void AProgramThatCannotStartGivesFalseWithoutAWindow() {
    testdata::TempDir empty{"qtk_runner"};
    // A file without the execute bit is no program either.
    testdata::WriteFile(empty.File("dfv_k7720x_v1"), {'#', '!'});
    QtProgramRunner runner(empty.path(), empty.path() / "nowhere");
    bool shown = false;
    runner.SetWindowObserver([&](ProgressWindow&) { shown = true; });
    QVERIFY(!runner.RunProgramAndWait("dfv_k7720x", {}));
    QVERIFY(!runner.RunProgramAndWait("dfv_k7720x_v1", {}));
    QVERIFY(!shown);
    QCOMPARE(QGuiApplication::overrideCursor(), nullptr);
  }

  void TheConversionGivesTheFilesMarksAndMessagesOfTheBlockingRun() {
    for (const MessageAnswer domestic : {MessageAnswer::Yes, MessageAnswer::No}) {
      testing::PageEnv blocking_env;
      SystemProgramRunner blocking(blocking_env.dir.path());
      const Conversion expected = Convert(blocking_env, blocking, domestic);
      QVERIFY(expected.marked);

      testing::PageEnv env;
      QtProgramRunner runner(env.dir.path());
      bool screenshot = false;
      runner.SetWindowObserver([&](ProgressWindow& window) {
        if (!screenshot && window.Lines().contains(QStringLiteral("no binary file!")))
          screenshot = SaveScreenshot(window, QStringLiteral("progress_window_builder.png"));
      });
      const Conversion got = Convert(env, runner, domestic);
      QVERIFY(got.marked);
      QCOMPARE(got.messages, expected.messages);
      QCOMPARE(got.default_db_mark, std::string("m_6615_df.bin"));
      QCOMPARE(got.default_db_mark, expected.default_db_mark);
      QCOMPARE(got.user_db_mark, expected.user_db_mark);
      QCOMPARE(got.files.size(), expected.files.size());
      for (const auto& [name, bytes] : expected.files) {
        QVERIFY2(got.files.count(name) == 1, name.c_str());
        QVERIFY2(got.files.at(name) == bytes, name.c_str());
      }
      QVERIFY(screenshot);
      QCOMPARE(runner.last_lines(),
               QStringList({QStringLiteral("Start of searching Chinese Ch..."),
                            QStringLiteral("End of searching Chinese Ch..."),
                            QStringLiteral("Start of building default value..."),
                            QStringLiteral("End of building default value..."),
                            QStringLiteral("no binary file!")}));
    }
  }

  void LongWorkRunsBesideTheWindowThreadWithItsDialogsShownThere() {
    RecordingDialogs recorded;
    recorded.answers = {MessageAnswer::Yes};
    BackgroundWork background(recorded);
    QThread* const window_thread = QThread::currentThread();
    // The window thread keeps going: its timer fires while the work runs, and after a moment
    // the progress window with the caption is up.
    std::atomic<int> ticks = 0;
    std::atomic<bool> window_seen = false;
    bool busy_seen = false;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] {
      ++ticks;
      busy_seen = busy_seen || (QGuiApplication::overrideCursor() != nullptr &&
                                QGuiApplication::overrideCursor()->shape() == Qt::BusyCursor);
      for (QWidget* w : QApplication::topLevelWidgets()) {
        auto* progress = qobject_cast<ProgressWindow*>(w);
        if (progress != nullptr && progress->isVisible() && !window_seen) {
          QCOMPARE(progress->caption()->text(), QStringLiteral("Saving the firmware ..."));
          QCOMPARE(progress->cancel_button(), nullptr);
          QCOMPARE(progress->console(), nullptr);
          QVERIFY(SaveScreenshot(*progress, QStringLiteral("progress_window_save.png")));
          window_seen = true;
        }
      }
    });
    timer.start(10);
    bool other_thread = false;
    MessageAnswer answer = MessageAnswer::No;
    const bool result = background.Run("Saving the firmware ...", [&](UserDialogs& dialogs) {
      other_thread = QThread::currentThread() != window_thread;
      while (!window_seen)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
      answer =
          dialogs.ShowMessage("asked by the work", MessageIcon::Question, MessageButtons::YesNo);
      return true;
    });
    QVERIFY(result);
    QVERIFY(other_thread);
    QVERIFY(ticks > 1);
    QVERIFY(busy_seen);
    QCOMPARE(answer, MessageAnswer::Yes);
    QCOMPARE(recorded.Texts(), std::vector<std::string>{"asked by the work"});
    QCOMPARE(QGuiApplication::overrideCursor(), nullptr);
    // A short piece of work shows no window and gives its result.
    QVERIFY(!background.Run("quick", [](UserDialogs&) { return false; }));
  }
};

}  // namespace qtk

QTEST_MAIN(qtk::ProgressRunnerTest)
#include "progress_runner_test.moc"
