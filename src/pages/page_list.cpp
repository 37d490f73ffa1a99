#include "pages/page_list.h"

namespace qtk {

std::unique_ptr<SettingsPage> CreatePageModel(PageId id, const PageContext& context) {
  std::unique_ptr<SettingsPage> made;
  ForEachPageRow([&](auto row) {
    using Model = typename decltype(row)::ModelType;
    if (Model::kId == id)
      made = std::make_unique<Model>(context);
  });
  return made;
}

}  // namespace qtk
