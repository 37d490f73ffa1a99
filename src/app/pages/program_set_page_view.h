#pragma once

#include <QPointer>

#include "app/pages/page_view.h"
#include "app/pages/program_set_dialogs.h"
#include "pages/program_set_page.h"

class QPushButton;
class QTreeWidget;

namespace qtk {

// The Qt view of the Program set page: the two lists with their add and delete buttons; the
// add buttons open their dialogs window-modal.
class ProgramSetPageView : public PageView {
  Q_OBJECT
 public:
  ProgramSetPageView(ProgramSetPage& model, QWidget* parent = nullptr);

  SettingsPage& model() override { return model_; }
  void PutControls() override;

  QTreeWidget* tp_list() const { return tp_list_; }
  QTreeWidget* forbidden_list() const { return forbidden_list_; }
  QPushButton* add_tp() const { return add_tp_; }
  QPushButton* delete_tp() const { return delete_tp_; }
  QPushButton* add_forbidden() const { return add_forbidden_; }
  QPushButton* delete_forbidden() const { return delete_forbidden_; }
  // The dialog opened by the last click on its button while it is open; null otherwise.
  AddTpDialog* tp_dialog() const { return tp_dialog_; }
  AddForbiddenDialog* forbidden_dialog() const { return forbidden_dialog_; }

 private:
  void OpenTpDialog();
  void OpenForbiddenDialog();

  ProgramSetPage& model_;
  QTreeWidget* tp_list_;
  QTreeWidget* forbidden_list_;
  QPushButton* add_tp_;
  QPushButton* delete_tp_;
  QPushButton* add_forbidden_;
  QPushButton* delete_forbidden_;
  QPointer<AddTpDialog> tp_dialog_;
  QPointer<AddForbiddenDialog> forbidden_dialog_;
};

}  // namespace qtk
