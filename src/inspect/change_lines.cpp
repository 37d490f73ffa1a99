#include "inspect/change_lines.h"

#include <cstdio>

#include "common/latin1_text.h"

namespace qtk {
namespace {

std::string Facts(const ChunkFacts& f) {
  return Hex8(f.id) + " \"" + Latin1ToUtf8(f.name) + "\"";
}

}  // namespace

std::string ChunkLine(const ChunkChange& c) {
  switch (c.kind) {
    case ChunkChangeKind::kAdded:
      return "chunk added " + Facts(c.after) + ": length " + Hex8(c.after.length) + ", CRC " +
             Hex8(c.after.crc);
    case ChunkChangeKind::kRemoved:
      return "chunk removed " + Facts(c.before) + ": length " + Hex8(c.before.length) + ", CRC " +
             Hex8(c.before.crc);
    case ChunkChangeKind::kChanged:
      break;
  }
  std::string line = "chunk changed " + Facts(c.after);
  if (c.before.name != c.after.name)
    line += ", named \"" + Latin1ToUtf8(c.before.name) + "\" before";
  return line + ": length " + Hex8(c.before.length) + " -> " + Hex8(c.after.length) + ", CRC " +
         Hex8(c.before.crc) + " -> " + Hex8(c.after.crc);
}

std::string FieldLine(const FieldChange& c) {
  return "field " + c.page + " / " + c.field + ": " + DescribeValue(c.before) + " -> " +
         DescribeValue(c.after);
}

std::string ByteRunLine(const ByteRun& run) {
  char where[48];
  const size_t last = run.offset + run.before.size() - 1;
  if (run.before.size() == 1) {
    std::snprintf(where, sizeof where, "record byte %zu (0x%03zX)", run.offset, run.offset);
  } else {
    std::snprintf(where, sizeof where, "record bytes %zu-%zu (0x%03zX)", run.offset, last,
                  run.offset);
  }
  return std::string(where) + ": " + HexBytes(run.before) + " -> " + HexBytes(run.after);
}

}  // namespace qtk
