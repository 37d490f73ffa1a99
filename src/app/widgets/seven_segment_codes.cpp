#include "app/widgets/seven_segment_codes.h"

namespace qtk {

std::uint8_t SegmentBitsFor(char c) {
  const auto byte = static_cast<unsigned char>(c);
  if (byte >= 0xC0 && byte <= 0xC7) {
    return static_cast<std::uint8_t>(0x80u >> (byte - 0xC0u));
  }
  switch (c) {
    case '0':
      return 0xFC;
    case '1':
      return 0x60;
    case '2':
      return 0xDA;
    case '3':
      return 0xF2;
    case '4':
      return 0x66;
    case '5':
      return 0xB6;
    case '6':
      return 0xBE;
    case '7':
      return 0xE0;
    case '8':
      return 0xFE;
    case '9':
      return 0xF6;
    case '-':
      return kSegmentG;
    case '.':
      return kSegmentH;
    default:
      return 0;
  }
}

bool IsColonCharacter(char c) {
  return c == ':';
}

SegmentMetrics SegmentMetricsFor(int height) {
  // Integer arithmetic truncates exactly where a floating product could land just below
  // a whole number.
  const long long h = height > 0 ? height : 0;
  SegmentMetrics m;
  m.thickness = static_cast<int>(h * 6 / 100);
  m.length = static_cast<int>(h * 35 / 100);
  if (m.thickness < 1)
    m.thickness = 1;
  if (m.length < 1)
    m.length = 1;
  return m;
}

std::uint32_t DefaultUnlitColour(std::uint32_t lit_rgb) {
  const std::uint32_t r = ((lit_rgb >> 16) & 0xFF) / 3;
  const std::uint32_t g = ((lit_rgb >> 8) & 0xFF) / 3;
  const std::uint32_t b = (lit_rgb & 0xFF) / 3;
  return (r << 16) | (g << 8) | b;
}

}  // namespace qtk
