#pragma once

namespace qtk::main_window_texts {

inline constexpr const char* kToolName = "qtktool";
inline constexpr const char* kVersion = "Version 3.0.0";
inline constexpr const char* kWindowTitle = "qtktool - QTK for K7720X Ver 3.0.0";
inline constexpr const char* kAboutCaption = "About QTK_K7720X";
inline constexpr const char* kAboutMenuItem = "关于 qtktool(&A)...";

inline constexpr const char* kTreeTip = "Click one branch to open a setting page";
inline constexpr const char* kFirmwarePathTip = "Current the open firmware file";
inline constexpr const char* kConfigVersionCaption = "Config ver:";

inline constexpr const char* kLoadFirmware = "Load FW...";
inline constexpr const char* kSaveFirmware = "Save FW...";
// The settings load button shows this until a page with a settings import is opened.
inline constexpr const char* kLoadSettings = "Load Settings";
inline constexpr const char* kSaveSettings = "Save Settings...";
inline constexpr const char* kChangePassword = "Change password...";
inline constexpr const char* kExit = "Exit";
inline constexpr const char* kAbout = "About";

inline constexpr const char* kExitQuestion = "Are you sure to EXIT?";
// The progress window of a save that takes more than a moment.
inline constexpr const char* kSavingFirmware = "Saving the firmware ...";

inline constexpr const char* kFirmwareFilter = "Firmware Files(*.bin)|*.bin|All Files (*.*)|*.*||";
inline constexpr const char* kSettingFilter =
    "Customized Setting(*.set)|*.set|All Files (*.*)|*.*||";

}  // namespace qtk::main_window_texts
