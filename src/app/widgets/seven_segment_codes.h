#pragma once

#include <cstdint>

namespace qtk {

// Segment bits of one LED digit, as the front panel wires them: A is the top bar, then
// clockwise round the digit, G the middle bar and H the decimal point.
inline constexpr std::uint8_t kSegmentA = 0x80;  // top
inline constexpr std::uint8_t kSegmentB = 0x40;  // upper right
inline constexpr std::uint8_t kSegmentC = 0x20;  // lower right
inline constexpr std::uint8_t kSegmentD = 0x10;  // bottom
inline constexpr std::uint8_t kSegmentE = 0x08;  // lower left
inline constexpr std::uint8_t kSegmentF = 0x04;  // upper left
inline constexpr std::uint8_t kSegmentG = 0x02;  // middle
inline constexpr std::uint8_t kSegmentH = 0x01;  // dot

// The segments a character lights. Characters 0xC0..0xC7 light exactly one segment (A..H)
// so the panel tables can show which wire a single segment sits on. ':' lights no bars:
// it is drawn as a colon (see IsColonCharacter). Unknown characters light nothing.
std::uint8_t SegmentBitsFor(char c);

bool IsColonCharacter(char c);

// Bar sizes of a digit drawn in a picture of the given height.
struct SegmentMetrics {
  int thickness = 1;
  int length = 1;
};

// thickness = height x 0.06, length = height x 0.35, both truncated and at least 1.
SegmentMetrics SegmentMetricsFor(int height);

// The colour of unlit bars when none is set: every channel of the lit colour divided by 3.
// Colours are 0xRRGGBB.
std::uint32_t DefaultUnlitColour(std::uint32_t lit_rgb);

}  // namespace qtk
