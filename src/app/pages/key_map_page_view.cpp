#include "app/pages/key_map_page_view.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QVBoxLayout>

namespace qtk {
namespace {

EditableListControl* MakeKeyList(const QStringList& headers, const std::vector<int>& widths) {
  auto* list = new EditableListControl;
  list->setHeaderLabels(headers);
  int total = 0;
  for (size_t i = 0; i < widths.size(); ++i) {
    list->header()->resizeSection(static_cast<int>(i), widths[i]);
    total += widths[i];
  }
  list->setMinimumWidth(total + 2 * list->frameWidth() + 24);
  list->setRootIsDecorated(false);
  list->setSelectionBehavior(QAbstractItemView::SelectRows);
  list->SetColumnReadOnly(0, true);
  list->SetAllowedCharacters(QString::fromLatin1(kKeyCellCharacters));
  return list;
}

}  // namespace

KeyMapPageView::KeyMapPageView(KeyMapPage& model, QWidget* parent)
    : PageView(parent), model_(model) {
  pause_ = new QComboBox;
  preview_ = new QComboBox;
  dview_ = new QComboBox;
  for (QLineEdit*& edit : user_codes_) {
    edit = new QLineEdit;
    edit->setMaxLength(static_cast<int>(kUserCodeLength));
    edit->setMaximumWidth(edit->fontMetrics().horizontalAdvance(QStringLiteral("000000")) + 12);
  }
  panel_list_ =
      MakeKeyList({QStringLiteral("Panel Key Usage"), QStringLiteral("Key(in Hex)")}, {95, 75});
  ir_list_ = MakeKeyList({QStringLiteral("IR Key Usage"), QStringLiteral("Key1(in Hex)"),
                          QStringLiteral("Key2(in Hex)")},
                         {95, 75, 75});

  auto* form = new QFormLayout;
  form->addRow(QStringLiteral("Pause window"), pause_);
  form->addRow(QStringLiteral("Preview window"), preview_);
  form->addRow(QStringLiteral("DView window"), dview_);
  form->addRow(QStringLiteral("IR user code 1"), WithText(user_codes_[0], QStringLiteral("(Hex)")));
  form->addRow(QStringLiteral("IR user code 2"), WithText(user_codes_[1], QStringLiteral("(Hex)")));
  auto* left = new QVBoxLayout;
  left->addLayout(form);
  left->addWidget(panel_list_);
  auto* layout = new QHBoxLayout(this);
  layout->addLayout(left);
  layout->addWidget(ir_list_);

  using Key = KeyMapPage::WindowKey;
  for (auto [combo, state, key] : {std::tuple{pause_, &model_.pause_window, Key::kPause},
                                   std::tuple{preview_, &model_.preview_window, Key::kPreview},
                                   std::tuple{dview_, &model_.dview_window, Key::kDView}}) {
    combos_.Bind(combo, state, [this, key](int index) {
      model_.SelectWindowKey(key, index);
      PutControls();
    });
  }
  BindUserCode(0);
  BindUserCode(1);
  connect(panel_list_, &EditableListControl::CellEdited, this,
          [this](int row, int column, const QString& text) {
            if (column == 1)
              model_.EditPanelKey(row, text.toStdString());
            PutControls();
          });
  connect(ir_list_, &EditableListControl::CellEdited, this,
          [this](int row, int column, const QString& text) {
            if (column == 1 || column == 2)
              model_.EditIrKey(row, column - 1, text.toStdString());
            PutControls();
          });
}

void KeyMapPageView::BindUserCode(int which) {
  QLineEdit* edit = user_codes_[which];
  connect(edit, &QLineEdit::textEdited, this, [this, edit, which] {
    if (!model_.SetUserCode(which, TextOf(edit))) {
      // A character the code does not take: the edit gets its text back and keeps the focus.
      PutText(edit, model_.user_code(which));
      edit->setFocus(Qt::OtherFocusReason);
    }
  });
}

void KeyMapPageView::PutControls() {
  combos_.PutAll();
  PutText(user_codes_[0], model_.user_code(0));
  PutText(user_codes_[1], model_.user_code(1));
  std::vector<QStringList> panel;
  for (const KeyMapPage::PanelRow& r : model_.panel_rows())
    panel.push_back({QString::fromStdString(r.name), QString::fromStdString(r.key)});
  PutRows(panel_list_, panel);
  std::vector<QStringList> ir;
  for (const KeyMapPage::IrRow& r : model_.ir_rows()) {
    ir.push_back({QString::fromStdString(r.name), QString::fromStdString(r.keys[0]),
                  QString::fromStdString(r.keys[1])});
  }
  PutRows(ir_list_, ir);
}

}  // namespace qtk
