#include "app/pages/general_page_view.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <filesystem>

#include "app/pages/page_controls.h"
#include "app/widgets/bitmap_push_button.h"
#include "common/utf8_path.h"
#include "logo/logo_source.h"

namespace qtk {

GeneralPageView::GeneralPageView(GeneralPage& model, QWidget* parent)
    : PageView(parent), model_(model) {
  list_ = new QTreeWidget;
  list_->setRootIsDecorated(false);
  list_->setSelectionMode(QAbstractItemView::SingleSelection);
  list_->setSelectionBehavior(QAbstractItemView::SelectRows);
  list_->setAllColumnsShowFocus(true);
  replace_ = MakeStandardButton(QStringLiteral("Replace..."));
  clear_ = MakeStandardButton(QStringLiteral("Clear"));
  export_ = MakeStandardButton(QStringLiteral("Export channel list..."));
  replace_->setEnabled(false);
  clear_->setEnabled(false);
  preview_ = new LogoPreview;
  export_->setEnabled(false);

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(export_);
  buttons->addStretch();
  buttons->addWidget(replace_);
  buttons->addWidget(clear_);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(list_);
  layout->addLayout(buttons);
  layout->addWidget(preview_);

  connect(list_, &QTreeWidget::itemSelectionChanged, this, [this] {
    const QList<QTreeWidgetItem*> selected = list_->selectedItems();
    model_.SelectRow(selected.isEmpty() ? -1 : list_->indexOfTopLevelItem(selected.front()));
    PutButtons();
  });
  connect(replace_, &QPushButton::clicked, this, [this] {
    model_.Replace();
    PutFiles();
    PutButtons();
    PutLogo();
  });
  connect(export_, &QPushButton::clicked, this, [this] { model_.ExportChannelList(); });
  connect(clear_, &QPushButton::clicked, this, [this] {
    model_.Clear();
    PutFiles();
    replace_->setFocus();
    PutButtons();
    PutLogo();
  });
}

void GeneralPageView::PutFiles() {
  std::vector<QStringList> rows;
  for (int row = 0; row < static_cast<int>(model_.rows().size()); ++row) {
    QStringList cells;
    for (const std::string& c : model_.Cells(row))
      cells << QString::fromStdString(c);
    rows.push_back(cells);
  }
  PutRows(list_, rows);
}

void GeneralPageView::PutButtons() {
  replace_->setEnabled(model_.replace_enabled());
  clear_->setEnabled(model_.clear_enabled());
  export_->setEnabled(model_.export_enabled());
}

void GeneralPageView::PutControls() {
  const std::vector<std::string> names = model_.ColumnNames();
  const std::vector<int> widths = model_.ColumnWidths();
  QStringList labels;
  for (const std::string& n : names)
    labels << QString::fromStdString(n);
  // The list is rebuilt whole (a reload may bring other chunks and columns); with its signals
  // blocked the rebuild is no selection change of the user's.
  const QSignalBlocker block(list_);
  list_->clear();
  list_->setColumnCount(static_cast<int>(labels.size()));
  list_->setHeaderLabels(labels);
  for (size_t i = 0; i < widths.size(); ++i) {
    list_->header()->resizeSection(static_cast<int>(i), widths[i]);
  }
  for (int row = 0; row < static_cast<int>(model_.rows().size()); ++row) {
    QStringList cells;
    for (const std::string& c : model_.Cells(row))
      cells << QString::fromStdString(c);
    list_->addTopLevelItem(new QTreeWidgetItem(cells));
  }
  // The widths are those of the original dialog font; a column never shows less than its
  // longest text, so the hexadecimal words are never cut.
  for (int i = 0; i + 1 < list_->columnCount(); ++i) {
    const int width = list_->header()->sectionSize(i);
    list_->resizeColumnToContents(i);
    if (list_->header()->sectionSize(i) < width)
      list_->header()->resizeSection(i, width);
  }
  if (model_.selected_row() >= 0)
    list_->topLevelItem(model_.selected_row())->setSelected(true);
  PutButtons();
  PutLogo();
}

namespace {

// What a decoded still depends on: the file, and where and how long the data is in it. A file
// rewritten in place gets a new modification time.
std::string SourceKey(const std::string& path, uint64_t offset = 0, uint64_t length = 0) {
  std::error_code ec;
  const std::filesystem::path file = PathFromUtf8(path);
  const auto time = std::filesystem::last_write_time(file, ec);
  const auto size = std::filesystem::file_size(file, ec);
  return path + '\n' + std::to_string(offset) + '\n' + std::to_string(length) + '\n' +
         std::to_string(ec ? 0 : size) + '\n' + std::to_string(time.time_since_epoch().count());
}

}  // namespace

void GeneralPageView::PutLogo() {
  const ChunkEntry* logo = model_.LogoChunk();
  preview_->setVisible(logo != nullptr);
  if (logo == nullptr)
    return;
  const std::string current_key = SourceKey(model_.FirmwarePath(), logo->file_offset, logo->length);
  if (current_key != current_logo_key_) {
    current_logo_ = DecodeLogoChunk(model_.FirmwarePath(), *logo);
    current_logo_key_ = current_key;
  }
  if (!logo->replace) {
    replacement_logo_.reset();
    replacement_logo_key_.clear();
  } else if (const std::string key = SourceKey(logo->replacement_path);
             key != replacement_logo_key_) {
    replacement_logo_ = DecodeLogoFile(logo->replacement_path);
    replacement_logo_key_ = key;
  }
  preview_->Put(current_logo_, replacement_logo_);
}

}  // namespace qtk
