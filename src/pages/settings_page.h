#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "common/user_dialogs.h"
#include "firmware/firmware_project.h"
#include "pages/page_fields.h"
#include "pages/page_table.h"
#include "settings/customer_settings.h"

namespace qtk {

class ProgramRunner;

// State that pages share outside the record. It describes the loaded firmware: every
// successful load starts it afresh, so one image's state never reaches another's record.
struct SharedPageState {
  // Set by the Tuner page's Load when the loaded firmware has the tuner-driver chunk. The
  // Common page's store then raises the configuration version to 2, and the Tuner page's
  // store writes the parameter entry codes.
  bool had_tuner_driver_chunk = false;
  // Set while a whole setting file is applied and the pages load again: the System set page
  // then keeps its values (its refill flag is clear).
  bool applying_setting_file = false;
};

// What every page model is given once, when the main window creates it. The project object
// lives as long as the main window; a reload replaces its contents, not the object.
struct PageContext {
  FirmwareProject* project = nullptr;
  LoadSession* session = nullptr;
  UserDialogs* dialogs = nullptr;
  std::filesystem::path application_directory;
  ProgramRunner* runner = nullptr;  // starts the database builder (General page)
  SharedPageState* shared = nullptr;
};

// The contract between the main window and a settings page. The page model holds the page's
// state and validation and talks to the user only through the context's dialogs; its Qt view
// binds widgets to it and nothing more.
class SettingsPage {
 public:
  virtual ~SettingsPage() = default;

  virtual PageId Id() const = 0;
  std::string GetName() const { return std::string(InfoOf(Id()).name); }

  // Reads the record (and the configuration description) into the page state.
  virtual void Load() = 0;
  // Validates the page state and writes it into the record in the page's fixed field order;
  // false (after the page showed its message) refuses, leaving the fields written so far.
  virtual bool Store() = 0;
  // Leaving the page (once per page switch): a page whose values fail validation shows its
  // message and returns false, keeping the selection on the page. Every edit has reached the
  // model when it was made, so there is nothing to take from the widgets first.
  virtual bool Validate() { return true; }
  // The edit in progress ends, as when its control loses the focus: the main window calls it
  // for the shown page before a save command, whose button takes the focus.
  virtual void FinishEditing() {}
  // "Load Settings" while this page is shown: takes the page's part of a setting file buffer
  // into the record. Pages without an import ignore it.
  virtual void ImportSettings(const CustomerSettings::Bytes& /*file*/) {}
  // Another page imported the panel part of a setting file (record offsets 164-395): the page
  // reads what it shows of that part again.
  virtual void PanelPartImported() { Load(); }
  // The page's fields by name (page_fields.h) as the page is now: after a Load, ask again.
  virtual std::vector<PageField> Fields() { return {}; }
};

}  // namespace qtk
