#pragma once

#include <functional>
#include <memory>
#include <string_view>
#include <vector>

#include "pages/settings_page.h"

namespace qtk {

// Creates the model of one page; nothing for a page that does not exist in this build.
using PageModelFactory = std::function<std::unique_ptr<SettingsPage>(PageId, const PageContext&)>;

// The settings pages over one firmware project: made once, in page order, with the context
// they keep for their whole life. The main window and the batch front end both hold their
// pages here, so a batch run loads and stores exactly as the desktop program does.
class PageSet {
 public:
  // Pages the factory does not make are left out.
  PageSet(const PageContext& context, const PageModelFactory& factory);

  const std::vector<std::unique_ptr<SettingsPage>>& pages() const { return pages_; }
  // A page by id or by name (GetName); nullptr when absent.
  SettingsPage* Page(PageId id) const;
  SettingsPage* Page(std::string_view name) const;

  // Every page's Load, in page order.
  void LoadAll();
  // Every page's Store, in page order; the first page that refuses stops it and is returned.
  // nullptr when every page stored.
  SettingsPage* StoreAll();

 private:
  std::vector<std::unique_ptr<SettingsPage>> pages_;
};

}  // namespace qtk
