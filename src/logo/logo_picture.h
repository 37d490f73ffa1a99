#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace qtk {

// A decoded boot logo: 8-bit RGB, rows top to bottom, three bytes per pixel, no row padding.
struct LogoPicture {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> rgb;
};

// The outcome of decoding a logo: the picture, or the reason there is none, said for the user.
struct LogoDecoding {
  std::optional<LogoPicture> picture;
  std::string problem;
};

namespace logo_notes {
inline constexpr const char* kNotDecoded = "The logo is not an MPEG-2 still that can be shown.";
inline constexpr const char* kDamaged = "The logo's MPEG-2 picture is damaged and is not shown.";
inline constexpr const char* kTooLarge = "The logo is too large to be shown.";
}  // namespace logo_notes

// The largest logo file or chunk that is decoded for a preview; a boot logo is a single still
// of some tens of kilobytes.
inline constexpr size_t kMaxLogoBytes = 16u << 20;

// Decodes the first picture of an MPEG-2 video stream (the boot logo is one intra-coded
// still). A stream that gives no picture, or only a picture the decoder reports as damaged,
// gives the reason instead. Decoding never changes the bytes and never fails the caller.
LogoDecoding DecodeLogo(const std::vector<uint8_t>& stream);

}  // namespace qtk
