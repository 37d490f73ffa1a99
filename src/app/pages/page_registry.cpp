#include "app/pages/page_registry.h"

#include "app/pages/av_set_page_view.h"
#include "app/pages/common_page_view.h"
#include "app/pages/general_page_view.h"
#include "app/pages/gpio_usage_page_view.h"
#include "app/pages/key_map_page_view.h"
#include "app/pages/language_page_view.h"
#include "app/pages/ota_page_view.h"
#include "app/pages/panel_page_view.h"
#include "app/pages/program_set_page_view.h"
#include "app/pages/serial_flash_page_view.h"
#include "app/pages/system_set_page_view.h"
#include "app/pages/tuner_page_view.h"

namespace qtk {

PageView* CreatePageView(PageId id, SettingsPage& model, QWidget* parent) {
  PageView* made = nullptr;
  ForEachPageRow([&](auto row) {
    using Row = decltype(row);
    using Model = typename Row::ModelType;
    if (Model::kId != id)
      return;
    if (auto* page = dynamic_cast<Model*>(&model))
      made = new typename Row::ViewType(*page, parent);
  });
  return made;
}

}  // namespace qtk
