#pragma once

#include <memory>

#include "app/pages/page_view.h"
#include "pages/settings_page.h"

namespace qtk {

// Creates the model of a page; nothing for a page that is not built yet (the main window then
// leaves it out of the tree and of Load and Store).
std::unique_ptr<SettingsPage> CreatePageModel(PageId id, const PageContext& context);

// Creates the view of a page over its model.
PageView* CreatePageView(PageId id, SettingsPage& model, QWidget* parent);

}  // namespace qtk
