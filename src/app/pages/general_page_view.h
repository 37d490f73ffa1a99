#pragma once

#include "app/pages/logo_preview.h"
#include "app/pages/page_view.h"
#include "app/widgets/bitmap_push_button.h"
#include "pages/general_page.h"

#include <QTreeWidget>

namespace qtk {

// The Qt view of the General page: the chunk list, its two buttons, and the channel list
// export that the default database row offers.
class GeneralPageView : public PageView {
  Q_OBJECT
 public:
  GeneralPageView(GeneralPage& model, QWidget* parent = nullptr);

  SettingsPage& model() override { return model_; }
  void PutControls() override;

  QTreeWidget* chunk_list() const { return list_; }
  BitmapPushButton* replace_button() const { return replace_; }
  BitmapPushButton* clear_button() const { return clear_; }
  BitmapPushButton* export_button() const { return export_; }
  // Hidden when the image has no logo chunk.
  LogoPreview* logo_preview() const { return preview_; }

 private:
  void PutFiles();
  void PutButtons();
  // The logo pictures follow the loaded image and the logo chunk's mark; a still is decoded
  // again only when its source changed.
  void PutLogo();

  GeneralPage& model_;
  QTreeWidget* list_;
  BitmapPushButton* replace_;
  BitmapPushButton* clear_;
  BitmapPushButton* export_;
  LogoPreview* preview_;
  std::string current_logo_key_;
  std::string replacement_logo_key_;
  LogoDecoding current_logo_;
  std::optional<LogoDecoding> replacement_logo_;
};

}  // namespace qtk
