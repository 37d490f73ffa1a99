#include "app/qt_program_runner.h"

#include <QApplication>
#include <QEventLoop>
#include <QProcess>
#include <QStringDecoder>

#include "app/busy_cursor.h"
#include "app/console_lines.h"
#include "app/path_text.h"
#include "app/progress_window.h"
#include "firmware/program_location.h"

namespace qtk {

QString ConsoleText(const std::string& bytes) {
  QStringDecoder utf8(QStringDecoder::Utf8);
  QString text = utf8.decode(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
  if (utf8.hasError())
    return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
  return text;
}

bool QtProgramRunner::RunProgramAndWait(const std::string& program,
                                        const std::vector<std::string>& arguments) {
  last_lines_.clear();
  const std::optional<ProgramStart> start =
      LocateProgram(program, arguments, application_directory_, installed_directory_);
  if (!start)
    return false;

  QProcess process;
  process.setProgram(QStringFromPath(start->executable));
  QStringList args;
  for (const std::string& a : start->arguments)
    args << QString::fromStdString(a);
  process.setArguments(args);
  process.setProcessChannelMode(QProcess::MergedChannels);

  bool cancelled = false;
  ProgressWindow window(
      ProgressWindow::Options{
          QStringLiteral("qtktool"),
          QStringLiteral("Running %1 ...").arg(QString::fromStdString(ExecutableFileName(program))),
          true,
          [&] {
            cancelled = true;
            process.kill();
          }},
      QApplication::activeWindow());
  ConsoleLines lines;
  auto show = [&](const std::vector<std::string>& complete) {
    for (const std::string& line : complete) {
      window.AppendLine(ConsoleText(line));
      if (observer_)
        observer_(window);
    }
  };

  const BusyCursor busy;
  QEventLoop loop;
  QObject::connect(&process, &QProcess::readyReadStandardOutput, &window,
                   [&] { show(lines.Add(process.readAllStandardOutput().toStdString())); });
  QObject::connect(&process, &QProcess::finished, &loop, &QEventLoop::quit);
  process.start();
  // The builder has nothing to read; an input that ends at once keeps any read from waiting.
  if (!process.waitForStarted(-1))
    return false;
  process.closeWriteChannel();
  window.show();
  if (observer_)
    observer_(window);
  if (process.state() != QProcess::NotRunning)
    loop.exec();
  show(lines.Add(process.readAllStandardOutput().toStdString()));
  show(lines.Finish());
  last_lines_ = window.Lines();
  return !cancelled;
}

}  // namespace qtk
