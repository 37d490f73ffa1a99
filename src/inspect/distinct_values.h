#pragma once

#include <string>
#include <vector>

#include "inspect/finding.h"
#include "pages/page_fields.h"

namespace qtk {

// The values of one page's shown fields that the fields declare distinct (a key code on two
// keys, a GPIO number with two uses) and that are not: one finding per repeated value,
// naming the first holder of the value.
std::vector<Finding> DistinctValueFindings(const std::string& page,
                                           const std::vector<PageField>& fields);

}  // namespace qtk
