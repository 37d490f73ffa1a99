#include "dbbuilder/character_scan.h"

#include <array>
#include <bit>

namespace qtk::dbbuilder {

std::vector<uint16_t> ScanCharacters(std::span<const uint8_t> text) {
  // A set over all 65536 codes replaces the linear search; walking it in order replaces the
  // sort. The result is the same list. The walk goes word by word and visits only the codes
  // that are set, so a short list costs little more than its own bytes.
  std::array<uint64_t, 65536 / 64> seen{};
  const size_t size = text.size();
  size_t read = 0;
  while (size > 0 && read < size - 1) {
    const uint8_t lead = text[read++];
    if (lead < 0xB0)
      continue;
    const uint8_t trail = text[read++];  // read < size here, since read was below size - 1
    if (trail < 0xA1)
      continue;
    const unsigned code = unsigned{lead} << 8 | trail;
    if (code != 0xFFFF)
      seen[code / 64] |= uint64_t{1} << (code % 64);
  }
  std::vector<uint16_t> codes;
  for (size_t word = 0; word < seen.size(); ++word) {
    for (uint64_t bits = seen[word]; bits != 0; bits &= bits - 1)
      codes.push_back(
          static_cast<uint16_t>(word * 64 + static_cast<size_t>(std::countr_zero(bits))));
  }
  return codes;
}

std::string FormatCharacterList(std::span<const uint16_t> codes) {
  std::string out;
  out.reserve(codes.size() * 2 + codes.size() / kCharactersPerLine);
  for (size_t i = 0; i < codes.size(); ++i) {
    out.push_back(static_cast<char>(codes[i] >> 8));
    out.push_back(static_cast<char>(codes[i] & 0xFF));
    if ((i + 1) % kCharactersPerLine == 0)
      out.push_back('\n');
  }
  return out;
}

}  // namespace qtk::dbbuilder
