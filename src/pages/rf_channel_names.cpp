#include "pages/rf_channel_names.h"

#include <array>

namespace qtk {

std::string RfChannelName(int channel) {
  static constexpr std::array<const char*, 26> kNamed = {
      "V-2", "V-3", "V-4", "X",   "Y",   "Z",    "Z+1",  "Z+2", "S-1",
      "S-2", "S-3", "S-4", "S-5", "S-6", "S-7",  "S-8",  "S-9", "S-10",
      "V-5", "V-6", "V-7", "V-8", "V-9", "V-10", "V-11", "V-12"};
  constexpr int kFirst = 2;
  constexpr int kLastNamed = kFirst + static_cast<int>(kNamed.size()) - 1;  // 27
  constexpr int kLastCable = 58;  // 28 to 58 continue the S channels at S-11
  if (channel >= kFirst && channel <= kLastNamed)
    return kNamed[static_cast<size_t>(channel - kFirst)];
  if (channel > kLastNamed && channel <= kLastCable)
    return "S-" + std::to_string(channel - 17);
  return {};
}

}  // namespace qtk
