#include "app/pages/page_registry.h"

#include "app/pages/common_page_view.h"
#include "app/pages/general_page_view.h"
#include "app/pages/tuner_page_view.h"

namespace qtk {

std::unique_ptr<SettingsPage> CreatePageModel(PageId id, const PageContext& context) {
  switch (id) {
    case PageId::kGeneral:
      return std::make_unique<GeneralPage>(context);
    case PageId::kCommon:
      return std::make_unique<CommonPage>(context);
    case PageId::kTuner:
      return std::make_unique<TunerPage>(context);
    default:
      return nullptr;
  }
}

PageView* CreatePageView(PageId id, SettingsPage& model, QWidget* parent) {
  switch (id) {
    case PageId::kGeneral:
      return new GeneralPageView(static_cast<GeneralPage&>(model), parent);
    case PageId::kCommon:
      return new CommonPageView(static_cast<CommonPage&>(model), parent);
    case PageId::kTuner:
      return new TunerPageView(static_cast<TunerPage&>(model), parent);
    default:
      return nullptr;
  }
}

}  // namespace qtk
