#include "pages/page_set.h"

namespace qtk {

PageSet::PageSet(const PageContext& context, const PageModelFactory& factory) {
  if (!factory)
    return;
  for (const auto& info : kPageTable) {
    if (auto page = factory(info.id, context))
      pages_.push_back(std::move(page));
  }
}

SettingsPage* PageSet::Page(PageId id) const {
  for (const auto& page : pages_) {
    if (page->Id() == id)
      return page.get();
  }
  return nullptr;
}

SettingsPage* PageSet::Page(std::string_view name) const {
  for (const auto& page : pages_) {
    if (InfoOf(page->Id()).name == name)
      return page.get();
  }
  return nullptr;
}

void PageSet::LoadAll() {
  for (const auto& page : pages_)
    page->Load();
}

SettingsPage* PageSet::StoreAll() {
  for (const auto& page : pages_) {
    if (!page->Store())
      return page.get();
  }
  return nullptr;
}

}  // namespace qtk
