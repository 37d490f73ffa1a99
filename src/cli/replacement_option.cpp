#include "cli/replacement_option.h"

#include <charconv>

#include "cli/text_format.h"
#include "firmware/image/chunk_ids.h"

namespace qtk::cli {
namespace {

// "0x02FD0100=logo.m2v" -> id and path.
bool ParseReplacement(const std::string& text, Replacement& out) {
  const size_t eq = text.find('=');
  if (eq == std::string::npos || eq < 3 || eq + 1 == text.size())
    return false;
  if (text[0] != '0' || (text[1] != 'x' && text[1] != 'X'))
    return false;
  const char* first = text.data() + 2;
  const char* last = text.data() + eq;
  auto [end, error] = std::from_chars(first, last, out.id, 16);
  if (error != std::errc() || end != last)
    return false;
  out.path = text.substr(eq + 1);
  return true;
}

}  // namespace

std::optional<std::vector<Replacement>> ParseReplacements(const std::vector<std::string>& texts,
                                                          std::ostream& err) {
  std::vector<Replacement> replacements;
  for (const std::string& text : texts) {
    Replacement r;
    if (!ParseReplacement(text, r)) {
      err << "qtkcli: --replace takes ID=FILE with the chunk id in hexadecimal as 0x...: " << text
          << "\n";
      return std::nullopt;
    }
    if (r.id == kCommonDataChunkId) {
      err << "qtkcli: the common data chunk " << Hex32(r.id)
          << " is written from the settings record; use --settings instead of --replace\n";
      return std::nullopt;
    }
    for (const Replacement& earlier : replacements) {
      if (earlier.id == r.id) {
        err << "qtkcli: --replace names chunk " << Hex32(r.id) << " twice\n";
        return std::nullopt;
      }
    }
    replacements.push_back(r);
  }
  return replacements;
}

}  // namespace qtk::cli
