#pragma once

#include "app/pages/page_view.h"
#include "pages/page_list.h"

namespace qtk {

// Creates the view that BuiltPages (pages/page_list.h) pairs with the page's model; nothing
// for a page that is not built, or for a model that is not that page's.
PageView* CreatePageView(PageId id, SettingsPage& model, QWidget* parent);

}  // namespace qtk
