#pragma once

#include <memory>
#include <utility>

#include "pages/av_set_page.h"
#include "pages/common_page.h"
#include "pages/general_page.h"
#include "pages/gpio_usage_page.h"
#include "pages/key_map_page.h"
#include "pages/language_page.h"
#include "pages/ota_page.h"
#include "pages/panel_page.h"
#include "pages/program_set_page.h"
#include "pages/serial_flash_page.h"
#include "pages/system_set_page.h"
#include "pages/tuner_page.h"

namespace qtk {

// The Qt views of the pages (src/app/pages). They are only named here, so that one table pairs
// every model with its view while this library stays free of any windowing toolkit.
class GeneralPageView;
class CommonPageView;
class TunerPageView;
class SerialFlashPageView;
class OtaPageView;
class ProgramSetPageView;
class AvSetPageView;
class LanguagePageView;
class SystemSetPageView;
class KeyMapPageView;
class PanelPageView;
class GpioUsagePageView;

template <class Model, class View>
struct PageRow {
  using ModelType = Model;
  using ViewType = View;
};
template <class... Rows>
struct PageRows {};

// Every settings page that exists: one row per page, its model and its view. The page's id,
// name and place in the page order come from the model (PageModel<id>) and kPageTable. A new
// page adds its row here and nothing else: the main window, qtktool and qtkcli find it here.
// One row per line, so that pages added side by side merge without touching each other.
// clang-format off
using BuiltPages = PageRows<
    PageRow<GeneralPage, GeneralPageView>,
    PageRow<CommonPage, CommonPageView>,
    PageRow<TunerPage, TunerPageView>,
    PageRow<SerialFlashPage, SerialFlashPageView>,
    PageRow<OtaPage, OtaPageView>,
    PageRow<AvSetPage, AvSetPageView>,
    PageRow<ProgramSetPage, ProgramSetPageView>,
    PageRow<LanguagePage, LanguagePageView>,
    PageRow<SystemSetPage, SystemSetPageView>,
    PageRow<KeyMapPage, KeyMapPageView>,
    PageRow<PanelPage, PanelPageView>,
    PageRow<GpioUsagePage, GpioUsagePageView>>;
// clang-format on

// Calls `visit(Row{})` for every row of the table.
template <class... Rows, class Visitor>
void ForEachPageRow(PageRows<Rows...>, Visitor&& visit) {
  (visit(Rows{}), ...);
}
template <class Visitor>
void ForEachPageRow(Visitor&& visit) {
  ForEachPageRow(BuiltPages{}, std::forward<Visitor>(visit));
}

// No page may appear twice.
template <class... Rows>
constexpr bool DistinctPages(PageRows<Rows...>) {
  constexpr PageId ids[] = {Rows::ModelType::kId...};
  for (size_t i = 0; i < sizeof...(Rows); ++i) {
    for (size_t j = i + 1; j < sizeof...(Rows); ++j) {
      if (ids[i] == ids[j])
        return false;
    }
  }
  return true;
}
static_assert(DistinctPages(BuiltPages{}), "a page has two rows in BuiltPages");

// Creates the model of a page; nothing for a page that is not built yet (the main window then
// leaves it out of the tree and of Load and Store).
std::unique_ptr<SettingsPage> CreatePageModel(PageId id, const PageContext& context);

}  // namespace qtk
