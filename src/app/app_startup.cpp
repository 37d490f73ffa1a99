#include "app/app_startup.h"

#include <QCoreApplication>
#include <system_error>

#include "app/model/firmware_load_loop.h"
#include "app/path_text.h"
#include "app/qt_load_dialog_port.h"

namespace qtk {

std::filesystem::path ApplicationDirectory() {
  std::error_code error;
  auto directory = std::filesystem::current_path(error);
  return error ? std::filesystem::path(".") : directory;
}

std::filesystem::path InstallationDirectory() {
  return PathFromQString(QCoreApplication::applicationDirPath());
}

std::string DefaultConfigPath(const std::filesystem::path& application_directory) {
  return Utf8FromPath(application_directory / "QTK_K7720X.ini");
}

std::unique_ptr<MainWindow> StartUp(const StartupEnvironment& environment,
                                    LoadDialogPort& first_dialog) {
  LoadSession session;
  auto project = LoadFirmwareFromDialog(first_dialog, session, *environment.dialogs);
  if (!project)
    return nullptr;

  MainWindowSetup setup;
  setup.dialogs = environment.dialogs;
  setup.application_directory = environment.application_directory;
  setup.runner = environment.runner;
  setup.long_work = environment.long_work;
  setup.page_models = environment.page_models;
  setup.page_views = environment.page_views;
  setup.load_dialog = [memory = environment.memory, dialogs = environment.dialogs,
                       config = DefaultConfigPath(environment.application_directory)](
                          QWidget* parent,
                          const std::string& firmware_path) -> std::unique_ptr<LoadDialogPort> {
    auto port = std::make_unique<QtLoadDialogPort>(*memory, config, *dialogs, parent);
    if (!firmware_path.empty())
      port->dialog().PrefillFirmwarePath(firmware_path);
    return port;
  };
  return std::make_unique<MainWindow>(std::move(*project), std::move(session), std::move(setup));
}

}  // namespace qtk
