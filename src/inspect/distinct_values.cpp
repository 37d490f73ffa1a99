#include "inspect/distinct_values.h"

#include <algorithm>
#include <map>

namespace qtk {
namespace {

std::string Upper(std::string text) {
  for (char& c : text) {
    if (c >= 'a' && c <= 'z')
      c = static_cast<char>(c - 'a' + 'A');
  }
  return text;
}

bool Unused(const PageField& field, const std::string& cell) {
  if (cell.empty())
    return true;
  return std::any_of(field.unused_values.begin(), field.unused_values.end(),
                     [&](const std::string& u) { return Upper(u) == Upper(cell); });
}

std::string Quoted(const std::vector<std::string>& cells) {
  std::string text;
  for (const std::string& c : cells)
    text += (text.empty() ? "" : ", ") + DescribeValue(c);
  return text;
}

void ListFindings(const std::string& page, const PageField& field, std::vector<Finding>& out) {
  const FieldRows rows = std::get<FieldRows>(field.get());
  for (const std::vector<size_t>& columns : field.distinct_columns) {
    std::string names;
    for (size_t c : columns)
      names += (names.empty() ? "" : " and ") + (c < field.headers.size() ? field.headers[c] : "");
    std::map<std::vector<std::string>, size_t> first_row;
    for (size_t r = 0; r < rows.size(); ++r) {
      std::vector<std::string> cells;
      bool used = false;
      for (size_t c : columns) {
        const std::string cell = c < rows[r].size() ? rows[r][c] : std::string();
        used = used || !Unused(field, cell);
        cells.push_back(cell);
      }
      if (!used || (field.distinct_row && !field.distinct_row(r)))
        continue;
      std::vector<std::string> key;
      for (const std::string& cell : cells)
        key.push_back(Upper(cell));
      const auto [at, added] = first_row.emplace(key, r);
      if (!added) {
        out.push_back({page + " / " + field.name,
                       "rows " + std::to_string(at->second + 1) + " and " + std::to_string(r + 1) +
                           " hold the same " + names + ": " + Quoted(cells)});
      }
    }
  }
}

}  // namespace

std::vector<Finding> DistinctValueFindings(const std::string& page,
                                           const std::vector<PageField>& fields) {
  std::vector<Finding> findings;
  // Per group: each value with the first field that holds it.
  std::map<std::string, std::map<std::string, std::string>> groups;
  for (const PageField& field : fields) {
    if (!field.IsShown() || !field.get)
      continue;
    const FieldValue value = field.get();
    if (std::holds_alternative<FieldRows>(value)) {
      ListFindings(page, field, findings);
      continue;
    }
    if (field.distinct_group.empty())
      continue;
    const std::string text = std::holds_alternative<long long>(value)
                                 ? std::to_string(std::get<long long>(value))
                                 : std::get<std::string>(value);
    if (Unused(field, text))
      continue;
    const auto [at, added] = groups[field.distinct_group].emplace(Upper(text), field.name);
    if (!added) {
      findings.push_back({page + " / " + field.name,
                          "holds the same value as " + at->second + ": " + DescribeValue(value)});
    }
  }
  return findings;
}

}  // namespace qtk
