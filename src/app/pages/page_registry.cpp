#include "app/pages/page_registry.h"

namespace qtk {

std::unique_ptr<SettingsPage> CreatePageModel(PageId id, const PageContext& context) {
  (void)context;
  switch (id) {
    default:
      return nullptr;
  }
}

PageView* CreatePageView(PageId id, SettingsPage& model, QWidget* parent) {
  (void)model;
  (void)parent;
  switch (id) {
    default:
      return nullptr;
  }
}

}  // namespace qtk
