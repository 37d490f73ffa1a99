#pragma once

#include <functional>
#include <string>

#include "app/pages/page_view.h"
#include "pages/ota_page.h"

class QComboBox;
class QLabel;

namespace qtk {

class FilteredLineEdit;

// The Qt view of the OTA set page.
class OtaPageView : public PageView {
  Q_OBJECT
 public:
  OtaPageView(OtaPage& model, QWidget* parent = nullptr);

  SettingsPage& model() override { return model_; }
  void PutControls() override;

  FilteredLineEdit* frequency() const { return frequency_; }
  FilteredLineEdit* symbol_rate() const { return symbol_rate_; }
  FilteredLineEdit* pid() const { return pid_; }
  FilteredLineEdit* lnb_frequency_h() const { return lnb_frequency_h_; }
  FilteredLineEdit* lnb_frequency_v() const { return lnb_frequency_v_; }
  FilteredLineEdit* oui() const { return oui_; }
  FilteredLineEdit* hardware_model() const { return hardware_model_; }
  FilteredLineEdit* hardware_version() const { return hardware_version_; }
  FilteredLineEdit* software_model() const { return software_model_; }
  FilteredLineEdit* software_version() const { return software_version_; }
  QComboBox* polarity() const { return polarity_; }
  QComboBox* tone_22k() const { return tone_22k_; }
  QComboBox* diseqc() const { return diseqc_; }
  QComboBox* ota_enable() const { return ota_enable_; }
  QComboBox* lnb_type() const { return lnb_type_; }

 private:
  FilteredLineEdit* Number(std::function<void(long long)> set, std::function<int()> get);
  FilteredLineEdit* Hex(size_t digits, std::string OtaPage::*text);
  QComboBox* Choice(EditableChoice OtaPage::*choice);
  static void PutChoice(QComboBox* combo, const EditableChoice& choice);

  OtaPage& model_;
  FilteredLineEdit* frequency_;
  FilteredLineEdit* symbol_rate_;
  FilteredLineEdit* pid_;
  FilteredLineEdit* lnb_frequency_h_;
  FilteredLineEdit* lnb_frequency_v_;
  FilteredLineEdit* oui_;
  FilteredLineEdit* hardware_model_;
  FilteredLineEdit* hardware_version_;
  FilteredLineEdit* software_model_;
  FilteredLineEdit* software_version_;
  QComboBox* polarity_;
  QComboBox* tone_22k_;
  QComboBox* diseqc_;
  QComboBox* ota_enable_;
  QComboBox* lnb_type_;
  QLabel* lnb_type_label_;
};

}  // namespace qtk
