#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "firmware/firmware_project.h"
#include "inspect/chunk_walk.h"
#include "inspect/finding.h"

namespace qtk {

// The record of a loaded image against its description, through every page of the page
// registry: a choice whose stored value is none of its entries; a page that shows a message
// while it loads; a value that the page's own rule refuses or changes when the user enters
// it again as it stands (values outside their ranges); values that the fields declare
// distinct and that repeat (distinct_values.h); every page that refuses to store (the
// Serial flash page refuses two devices with the same flash ID and bit offset). Then the
// counts of the record's own lists that a load cuts or ignores: a character table count
// beyond the entries the record holds, a serial flash device count beyond its slots.
std::vector<Finding> CheckRecord(const FirmwareProject& project,
                                 const std::filesystem::path& application_directory);

}  // namespace qtk
