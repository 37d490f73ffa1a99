#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "pages/combo_state.h"
#include "pages/page_base.h"

namespace qtk {

namespace gpio_messages {
inline constexpr const char* kWrongUsageId = "the GPIO usage ID is wrong!";
inline constexpr const char* kGpioRange = "GPIO No. must be 0-62, Unused:63.";
}  // namespace gpio_messages

// The GPIO usage page: which GPIO pin (and with which polarity) serves each usage of the
// chosen bus type, and the plain byte values of the usages beyond the bus type's GPIO count,
// in the 24-byte usage block of the record. The bus type also chooses the file that replaces
// the dynamic panel chunk.
class GpioUsagePage : public PageModel<PageId::kGpioUsage> {
 public:
  static constexpr int kUnusedGpio = 63;

  struct Row {
    std::string usage;
    int id = 0;
    std::string gpio;   // "GPIO No."
    std::string polar;  // "Polar"
    bool operator==(const Row&) const = default;
  };

  using PageModel::PageModel;

  void Load() override;
  bool Store() override;
  // Takes the panel part of a setting file (Panel page import) and reads the page again.
  void ImportSettings(const CustomerSettings::Bytes& file) override;
  std::vector<PageField> Fields() override;

  ComboState bus_type;
  // A choice of "Bus type ": written to the record at once; the list follows.
  void SelectBusType(int index);

  const std::vector<Row>& rows() const { return rows_; }
  int gpio_count() const { return gpio_count_; }
  const std::array<uint8_t, record::kGpioUsageBlockSize>& block() const { return block_; }
  // True for a row whose usage is a GPIO pin (its id below the bus type's GPIO count).
  bool IsGpioRow(int row) const;
  // The end of an edit of a "GPIO No." cell.
  void EditGpioNumber(int row, const std::string& text);
  // The names the "Polar" cell of a row offers: none for a value usage or an unused pin.
  std::vector<std::string> PolarChoices(int row) const;
  void EditPolar(int row, const std::string& text);

 private:
  void FillList();
  void ShowRow(Row& row) const;
  std::string SetRows(const FieldRows& rows);

  std::array<uint8_t, record::kGpioUsageBlockSize> block_{};
  std::array<std::string, 2> polar_names_;
  std::vector<Row> rows_;
  int gpio_count_ = 0;
};

}  // namespace qtk
