#pragma once

#include <filesystem>
#include <memory>
#include <string>

#include "app/load_firmware_form.h"
#include "app/main_window.h"

namespace qtk {

// The directory the program was started in. The database builder, its INI file and the
// default configuration description are looked for there.
std::filesystem::path ApplicationDirectory();

// The directory of the running qtktool. The database builder installed with it is taken from
// there when the application directory has none.
std::filesystem::path InstallationDirectory();

// The configuration description used unless the user picks another: QTK_K7720X.ini in the
// application directory.
std::string DefaultConfigPath(const std::filesystem::path& application_directory);

// What the program shares between the start-up load and the main window.
struct StartupEnvironment {
  std::filesystem::path application_directory;
  UserDialogs* dialogs = nullptr;
  ProgramRunner* runner = nullptr;
  // The Load Firmware dialog's remembered values; live for the whole run.
  LoadFirmwareMemory* memory = nullptr;
  PageModelFactory page_models;
  PageViewFactory page_views;
  LongWork* long_work = nullptr;  // runs the firmware save
};

// Asks for a firmware until one loads; nothing after a cancel, and then no main window
// ever exists. The window's "Load FW..." opens the Load Firmware dialog with the same
// remembered values.
std::unique_ptr<MainWindow> StartUp(const StartupEnvironment& environment,
                                    LoadDialogPort& first_dialog);

}  // namespace qtk
