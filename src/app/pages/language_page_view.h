#pragma once

#include <QComboBox>
#include <QLabel>
#include <QListWidget>

#include "app/pages/page_controls.h"
#include "app/pages/page_view.h"
#include "app/widgets/bitmap_push_button.h"
#include "app/widgets/editable_list_control.h"
#include "pages/language_page.h"

namespace qtk {

// The Qt view of the Language page.
class LanguagePageView : public PageView {
  Q_OBJECT
 public:
  LanguagePageView(LanguagePage& model, QWidget* parent = nullptr);

  SettingsPage& model() override { return model_; }
  void PutControls() override;

  // Controls by caption, for the tests.
  EditableListControl* languages() const { return list_; }
  QComboBox* current() const { return current_; }
  QListWidget* reserved() const { return reserved_; }
  QLabel* reserved_label() const { return reserved_label_; }
  BitmapPushButton* add_button() const { return add_; }
  BitmapPushButton* remove_button() const { return remove_; }
  BitmapPushButton* up_button() const { return up_; }
  BitmapPushButton* down_button() const { return down_; }

 private:
  // Runs one of the list buttons' model actions and shows its result.
  void RunAction(void (LanguagePage::*action)());

  LanguagePage& model_;
  EditableListControl* list_;
  QComboBox* current_;
  QListWidget* reserved_;
  QLabel* reserved_label_;
  BitmapPushButton* add_;
  BitmapPushButton* remove_;
  BitmapPushButton* up_;
  BitmapPushButton* down_;
};

}  // namespace qtk
