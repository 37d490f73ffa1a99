// qtktool: asks for a firmware image, its configuration description and the password, then
// shows the main window over the loaded image.
#include <cstdio>
#include <cstdlib>

#include "app/app_startup.h"
#include "app/background_work.h"
#include "app/guarded_application.h"
#include "app/pages/page_registry.h"
#include "app/qt_load_dialog_port.h"
#include "app/qt_program_runner.h"
#include "app/qt_user_dialogs.h"
#include "common/fault_guard.h"

int main(int argc, char* argv[]) {
  qtk::QtUserDialogs dialogs;
  // A fault is shown in a message box; then the program ends at once, because the code that
  // was interrupted cannot go on safely.
  auto report = [&dialogs](const std::string& description) {
    dialogs.ShowMessage(description, qtk::MessageIcon::Error, qtk::MessageButtons::Ok);
  };
  qtk::GuardedApplication application(argc, argv, [&report](const std::string& description) {
    report(description);
    std::fflush(nullptr);
    std::_Exit(1);
  });
  // The names under which QSettings keeps the last folder of the file dialogs, and the
  // desktop entry the window belongs to.
  QCoreApplication::setOrganizationName(QStringLiteral("qtk7720x"));
  QCoreApplication::setApplicationName(QStringLiteral("qtktool"));
  QCoreApplication::setApplicationVersion(QStringLiteral(QTK_VERSION));
  QGuiApplication::setDesktopFileName(QStringLiteral("org.qtk7720x.qtktool"));

  return qtk::RunGuarded(
      [&] {
        qtk::LoadFirmwareMemory memory;
        qtk::StartupEnvironment environment;
        environment.application_directory = qtk::ApplicationDirectory();
        // The builder runs while the window stays drawn, behind a progress window with its
        // console lines.
        qtk::QtProgramRunner runner(environment.application_directory,
                                    qtk::InstallationDirectory());
        environment.dialogs = &dialogs;
        environment.runner = &runner;
        // The save runs while the windows are still drawn.
        qtk::BackgroundWork long_work(dialogs);
        environment.long_work = &long_work;
        environment.memory = &memory;
        environment.page_models = qtk::CreatePageModel;
        environment.page_views = qtk::CreatePageView;

        std::unique_ptr<qtk::MainWindow> window;
        {
          qtk::QtLoadDialogPort first_dialog(
              memory, qtk::DefaultConfigPath(environment.application_directory), dialogs);
          window = qtk::StartUp(environment, first_dialog);
        }
        if (!window)
          return 0;
        dialogs.SetParentWidget(window.get());
        window->exec();
        return 0;
      },
      report);
}
