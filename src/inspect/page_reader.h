#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "firmware/firmware_project.h"
#include "pages/page_fields.h"
#include "settings/customer_settings.h"

namespace qtk {

// One shown field of one page with the value its control shows.
struct ShownField {
  std::string page;
  std::string field;
  FieldValue value;
  bool operator==(const ShownField&) const = default;
};

// The settings pages of the page registry made over a copy of a loaded project, each time
// with another record: what the desktop program would show for that record. Every page
// that the registry holds is read, so a new page joins without changes here. The pages never
// write anything (no dialog answers a file request, no program is started).
class PageReader {
 public:
  PageReader(const FirmwareProject& project, std::filesystem::path application_directory);
  ~PageReader();

  // Every shown field of every page, in page order and each page's field order.
  std::vector<ShownField> Read(const CustomerSettings::Bytes& record);

  // The project the pages are made over; its record is the one given to the last Read.
  FirmwareProject& project() { return *project_; }
  const std::filesystem::path& application_directory() const { return directory_; }

 private:
  std::unique_ptr<FirmwareProject> project_;
  std::filesystem::path directory_;
};

}  // namespace qtk
