#pragma once

#include "pages/settings_page.h"

namespace qtk {

// What every page model holds: the context the main window gave it, with short ways to the
// project, the record, the configuration description and the dialogs.
class PageBase : public SettingsPage {
 public:
  explicit PageBase(const PageContext& context) : context_(context) {}

 protected:
  const PageContext& context() const { return context_; }
  FirmwareProject& project() const { return *context_.project; }
  CustomerSettings& settings() const { return context_.project->settings; }
  const ConfigDescription& config() const { return context_.project->config; }
  UserDialogs& dialogs() const { return *context_.dialogs; }
  SharedPageState& shared() const { return *context_.shared; }

 private:
  PageContext context_;
};

// A page model with its place in the page table: `kId` names it in the registry
// (page_list.h), so a model can only ever be paired with its own page.
template <PageId kPageId>
class PageModel : public PageBase {
 public:
  static constexpr PageId kId = kPageId;
  using PageBase::PageBase;
  PageId Id() const final { return kId; }
};

}  // namespace qtk
