#include "app/pages/gpio_usage_page_view.h"

#include <QFormLayout>
#include <QHeaderView>
#include <QVBoxLayout>

namespace qtk {

GpioUsagePageView::GpioUsagePageView(GpioUsagePage& model, QWidget* parent)
    : PageView(parent), model_(model) {
  bus_type_ = new QComboBox;
  list_ = new EditableListControl;
  list_->setHeaderLabels(
      {QStringLiteral("Usage"), QStringLiteral("GPIO No."), QStringLiteral("Polar")});
  list_->header()->resizeSection(0, 200);
  list_->header()->resizeSection(1, 100);
  list_->header()->resizeSection(2, 100);
  list_->setMinimumWidth(400 + 2 * list_->frameWidth() + 24);
  list_->setRootIsDecorated(false);
  list_->setSelectionBehavior(QAbstractItemView::SelectRows);
  list_->SetColumnReadOnly(0, true);
  list_->SetColumnChoice(2, true);
  list_->SetAllowedCharacters(kDecimalDigits);

  auto* form = new QFormLayout;
  form->addRow(QStringLiteral("Bus type "), bus_type_);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(list_);

  combos_.Bind(bus_type_, &model_.bus_type, [this](int index) {
    model_.SelectBusType(index);
    PutControls();
  });
  connect(list_, &EditableListControl::ChoicesRequested, this,
          [this](int column, QStringList* choices) {
            if (column != 2)
              return;
            for (const std::string& c :
                 model_.PolarChoices(list_->indexOfTopLevelItem(list_->currentItem()))) {
              *choices << QString::fromStdString(c);
            }
          });
  connect(list_, &EditableListControl::CellEdited, this,
          [this](int row, int column, const QString& text) {
            if (column == 1)
              model_.EditGpioNumber(row, text.toStdString());
            else if (column == 2)
              model_.EditPolar(row, text.toStdString());
            PutControls();
          });
}

void GpioUsagePageView::PutControls() {
  combos_.PutAll();
  std::vector<QStringList> rows;
  for (const GpioUsagePage::Row& r : model_.rows()) {
    rows.push_back({QString::fromStdString(r.usage), QString::fromStdString(r.gpio),
                    QString::fromStdString(r.polar)});
  }
  PutRows(list_, rows);
}

}  // namespace qtk
