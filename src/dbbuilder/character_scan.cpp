#include "dbbuilder/character_scan.h"

#include <bitset>
#include <memory>

namespace qtk::dbbuilder {

std::vector<uint16_t> ScanCharacters(std::span<const uint8_t> text) {
  // A set over all 65536 codes replaces the linear search; walking it in order replaces the
  // sort. The result is the same list.
  auto seen = std::make_unique<std::bitset<65536>>();
  const size_t size = text.size();
  size_t read = 0;
  while (size > 0 && read < size - 1) {
    const uint8_t lead = text[read++];
    if (lead < 0xB0)
      continue;
    const uint8_t trail = text[read++];  // read < size here, since read was below size - 1
    if (trail < 0xA1)
      continue;
    const uint16_t code = static_cast<uint16_t>(lead << 8 | trail);
    if (code != 0xFFFF)
      seen->set(code);
  }
  // Only codes with both bytes in range can have been set: the walk visits those alone.
  std::vector<uint16_t> codes;
  for (unsigned lead = 0xB0; lead <= 0xFF; ++lead) {
    for (unsigned trail = 0xA1; trail <= 0xFF; ++trail) {
      const unsigned code = lead << 8 | trail;
      if (seen->test(code))
        codes.push_back(static_cast<uint16_t>(code));
    }
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
