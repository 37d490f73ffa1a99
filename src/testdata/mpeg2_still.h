#pragma once

#include <cstdint>
#include <vector>

namespace qtk::testdata {

// A picture to encode: 8-bit RGB, three bytes per pixel, rows top to bottom.
struct RgbPicture {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> rgb;
};

// Four flat quadrants (top left, top right, bottom left, bottom right) of the given colours:
// areas a lossy coder keeps nearly exact, so a decoded still can be compared pixel by pixel.
RgbPicture QuadrantPicture(int width, int height, const uint32_t (&colours)[4]);

// One intra-coded MPEG-2 still as a boot logo carries it: a video elementary stream from the
// sequence header (00 00 01 B3) to the sequence end code (00 00 01 B7). `quantizer` 2 (fine)
// to 31 (coarse). Empty when the encoder is missing or refuses the picture (width and height
// must be even).
std::vector<uint8_t> EncodeMpeg2Still(const RgbPicture& picture, int quantizer = 4);

}  // namespace qtk::testdata
