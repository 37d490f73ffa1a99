#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "inspect/page_reader.h"

namespace qtk {

// A field whose shown value differs between two records.
struct FieldChange {
  std::string page;
  std::string field;
  FieldValue before;
  FieldValue after;
};

// A run of neighbouring record bytes that differ and that no shown field depends on.
struct ByteRun {
  size_t offset = 0;
  std::vector<uint8_t> before;
  std::vector<uint8_t> after;
};

struct RecordDiff {
  std::vector<FieldChange> fields;
  std::vector<ByteRun> bytes;
  bool Empty() const { return fields.empty() && bytes.empty(); }
};

// Compares two records field by field through the pages, then lists the differing bytes
// that no field covers. A byte is covered when putting the other record's value into it
// alone changes what some page shows (tried both ways). Without a reader every differing
// byte is listed.
RecordDiff DiffRecords(PageReader* reader, const CustomerSettings::Bytes& before,
                       const CustomerSettings::Bytes& after);

}  // namespace qtk
