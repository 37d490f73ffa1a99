#pragma once

#include <array>
#include <string_view>

namespace qtk {

// The twelve settings pages in page order: the order in which Load and Store run over them.
enum class PageId {
  kGeneral,
  kCommon,
  kTuner,
  kLanguage,
  kAvSet,
  kKeyMap,
  kPanel,
  kGpioUsage,
  kProgramSet,
  kSystemSet,
  kSerialFlash,
  kOtaSet,
};
inline constexpr size_t kPageCount = 12;

struct PageInfo {
  PageId id;
  std::string_view name;        // GetName
  std::string_view tree_label;  // the label of its item in the main window's tree
  // The label of the "Load Settings" button while the page is shown; empty: the two
  // settings buttons are hidden on this page.
  std::string_view load_settings_label;
};

inline constexpr std::array<PageInfo, kPageCount> kPageTable = {{
    {PageId::kGeneral, "General", "Chunk", ""},
    {PageId::kCommon, "Common", "Common", "Load Settings..."},
    {PageId::kTuner, "Tuner", "Tuner", "Load Tuner..."},
    {PageId::kLanguage, "Language", "Language", ""},
    {PageId::kAvSet, "AV set", "AV set", ""},
    {PageId::kKeyMap, "Key map", "Key map", "Load IR..."},
    {PageId::kPanel, "Panel", "Panel", "Load Panel..."},
    {PageId::kGpioUsage, "GPIO usage", "GPIO usage", "Load Panel..."},
    {PageId::kProgramSet, "Program set", "Program set", ""},
    {PageId::kSystemSet, "System set", "System set", ""},
    {PageId::kSerialFlash, "Serial flash", "Serial flash", "Load Flash..."},
    {PageId::kOtaSet, "OTA set", "OTA set", "Load OTA..."},
}};

constexpr const PageInfo& InfoOf(PageId id) {
  return kPageTable[static_cast<size_t>(id)];
}

}  // namespace qtk
