#include "inspect/record_diff.h"

#include <map>
#include <utility>

namespace qtk {
namespace {

using FieldKey = std::pair<std::string, std::string>;

std::map<FieldKey, FieldValue> ByKey(const std::vector<ShownField>& fields) {
  std::map<FieldKey, FieldValue> keyed;
  for (const ShownField& f : fields)
    keyed.emplace(FieldKey{f.page, f.field}, f.value);
  return keyed;
}

// A field shown on one side only (a control that the record hides) counts as a change from
// or to an empty text.
std::vector<FieldChange> ChangedFields(const std::vector<ShownField>& before,
                                       const std::vector<ShownField>& after) {
  const auto old_values = ByKey(before);
  const auto new_values = ByKey(after);
  std::vector<FieldChange> changes;
  for (const ShownField& f : after) {
    const auto old_value = old_values.find({f.page, f.field});
    const FieldValue old =
        old_value == old_values.end() ? FieldValue(std::string()) : old_value->second;
    if (old != f.value)
      changes.push_back({f.page, f.field, old, f.value});
  }
  for (const ShownField& f : before) {
    if (!new_values.contains({f.page, f.field}))
      changes.push_back({f.page, f.field, f.value, std::string()});
  }
  return changes;
}

}  // namespace

RecordDiff DiffRecords(PageReader* reader, const CustomerSettings::Bytes& before,
                       const CustomerSettings::Bytes& after) {
  RecordDiff diff;
  if (before == after)
    return diff;
  std::vector<ShownField> shown_before;
  std::vector<ShownField> shown_after;
  if (reader != nullptr) {
    shown_before = reader->Read(before);
    shown_after = reader->Read(after);
    diff.fields = ChangedFields(shown_before, shown_after);
  }
  auto covered = [&](size_t offset) {
    if (reader == nullptr)
      return false;
    CustomerSettings::Bytes probe = before;
    probe[offset] = after[offset];
    if (reader->Read(probe) != shown_before)
      return true;
    probe = after;
    probe[offset] = before[offset];
    return reader->Read(probe) != shown_after;
  };
  for (size_t offset = 0; offset < before.size(); ++offset) {
    if (before[offset] == after[offset] || covered(offset))
      continue;
    if (diff.bytes.empty() ||
        diff.bytes.back().offset + diff.bytes.back().before.size() != offset) {
      diff.bytes.push_back({offset, {}, {}});
    }
    diff.bytes.back().before.push_back(before[offset]);
    diff.bytes.back().after.push_back(after[offset]);
  }
  return diff;
}

}  // namespace qtk
