#include "monitor/listview.h"

#include <QHeaderView>
#include <QPalette>

#include <memory>
#include <string>

#include "monitor/cellorder.h"
#include "platform/colourtext.h"
#include "platform/reportview.h"
#include "platform/text.h"

namespace monitor {

namespace {

// An item that sorts by CompareCells, rows that compare equal keeping their given order.
class ListItem : public QTreeWidgetItem {
 public:
  bool operator<(const QTreeWidgetItem& other) const override {
    const int column = treeWidget() ? treeWidget()->sortColumn() : 0;
    const int order = CompareCells(platform::ToAnsi(text(column)), platform::ToAnsi(other.text(column)));
    if (order != 0) return order < 0;
    return data(0, kRowRole).toInt() < other.data(0, kRowRole).toInt();
  }
};

void SetText(QTreeWidgetItem* item, int column, const std::string& text) {
  const QString value = platform::ToUnicode(text);
  if (item->text(column) != value) item->setText(column, value);
}

// The cell's coloured text: none when it is drawn as its plain text.
void SetColoured(QTreeWidgetItem* item, int column, const std::string& coloured) {
  const QVariant now = item->data(column, platform::kColouredTextRole);
  if (coloured.empty()) {
    if (now.isValid()) item->setData(column, platform::kColouredTextRole, QVariant());
    return;
  }
  const QByteArray bytes(coloured.data(), static_cast<qsizetype>(coloured.size()));
  if (!now.isValid() || now.toByteArray() != bytes) item->setData(column, platform::kColouredTextRole, bytes);
}

void SetRow(QTreeWidgetItem* item, int row) {
  if (item->data(0, kRowRole).toInt() != row || !item->data(0, kRowRole).isValid()) item->setData(0, kRowRole, row);
}

// Ensures the list holds exactly `count` top-level items.
void Resize(QTreeWidget* list, int count, int columns) {
  while (list->topLevelItemCount() > count) delete list->takeTopLevelItem(list->topLevelItemCount() - 1);
  if (list->topLevelItemCount() < count) {
    QList<QTreeWidgetItem*> items;
    for (int i = list->topLevelItemCount(); i < count; ++i) {
      auto* item = new ListItem;
      for (int c = 0; c < columns; ++c) item->setText(c, QString());
      items.append(item);
    }
    list->addTopLevelItems(items);
  }
}

bool Sorted(const QTreeWidget* list) { return list->header()->isSortIndicatorShown(); }

void SortAgain(QTreeWidget* list) {
  if (Sorted(list)) list->sortItems(list->header()->sortIndicatorSection(), list->header()->sortIndicatorOrder());
}

}  // namespace

QTreeWidget* MakeListView(QWidget* parent, const char* name, std::initializer_list<std::pair<const char*, int>> columns) {
  auto* list = new QTreeWidget(parent);
  list->setObjectName(name);
  platform::SetReportStyle(*list);
  list->setSortingEnabled(false);
  QStringList headers;
  for (const auto& column : columns) headers << column.first;
  list->setHeaderLabels(headers);
  list->header()->setStretchLastSection(false);
  list->header()->setSortIndicatorShown(false);
  int index = 0;
  for (const auto& column : columns) list->setColumnWidth(index++, column.second);
  // The selection stays visible when the list loses the focus.
  QPalette palette = list->palette();
  palette.setColor(QPalette::Inactive, QPalette::Highlight, palette.color(QPalette::Active, QPalette::Highlight));
  palette.setColor(QPalette::Inactive, QPalette::HighlightedText,
                   palette.color(QPalette::Active, QPalette::HighlightedText));
  list->setPalette(palette);
  return list;
}

// Sets the texts of the list's items with the model's change signals held back, then repaints
// the list once: a refresh changes hundreds of cells, and a signal for each costs more than
// the whole refresh otherwise does. Only texts change here (no item comes or goes), so the
// view needs nothing but the repaint.
template <class Fill>
void FillTexts(QTreeWidget* list, Fill fill) {
  QAbstractItemModel* model = list->model();
  const bool blocked = model->blockSignals(true);
  fill();
  model->blockSignals(blocked);
  SortAgain(list);
  list->viewport()->update();
}

void FillListView(QTreeWidget* list, const std::vector<protocol::InfoRow>& rows, common::ColorCodes codes) {
  Resize(list, static_cast<int>(rows.size()), 2);
  FillTexts(list, [&] {
    for (int i = 0; i < static_cast<int>(rows.size()); ++i) {
      QTreeWidgetItem* item = list->topLevelItem(i);
      const protocol::InfoRow& row = rows[static_cast<std::size_t>(i)];
      SetRow(item, i);
      SetText(item, 0, row.key);
      SetText(item, 1, row.value);
      const std::string& shown = row.ShownValue();
      SetColoured(item, 1, common::HasColourCodes(shown, codes) ? shown : std::string());
    }
  });
}

void FillListView(QTreeWidget* list, const std::vector<protocol::PlayerRow>& rows, int columns) {
  Resize(list, static_cast<int>(rows.size()), columns);
  FillTexts(list, [&] {
    for (int i = 0; i < static_cast<int>(rows.size()); ++i) {
      QTreeWidgetItem* item = list->topLevelItem(i);
      const protocol::PlayerRow& row = rows[static_cast<std::size_t>(i)];
      SetRow(item, i);
      SetText(item, 0, row.num);
      SetText(item, 1, row.name);
      SetColoured(item, 1, row.colouredName);
      SetText(item, 2, row.frags);
      SetText(item, 3, row.ping);
      SetText(item, 4, row.address);
      if (columns > 5) SetText(item, 5, row.rate);
    }
  });
}

int SelectedIndex(const QTreeWidget* list) {
  const QList<QTreeWidgetItem*> selected = list->selectedItems();
  if (selected.isEmpty()) return -1;
  const QVariant row = selected.front()->data(0, kRowRole);
  return row.isValid() ? row.toInt() : list->indexOfTopLevelItem(selected.front());
}

QTreeWidgetItem* ItemOfRow(const QTreeWidget* list, int row) {
  if (row < 0) return nullptr;
  QTreeWidgetItem* guess = list->topLevelItem(row);  // unsorted lists keep rows in place
  if (guess && guess->data(0, kRowRole).toInt() == row) return guess;
  for (int i = 0; i < list->topLevelItemCount(); ++i)
    if (list->topLevelItem(i)->data(0, kRowRole).toInt() == row) return list->topLevelItem(i);
  return nullptr;
}

void SortByHeadings(QTreeWidget* list) {
  QHeaderView* header = list->header();
  header->setSectionsClickable(true);
  // The order is kept here: the heading flips its own indicator on a click as well, before
  // it reports the click.
  auto sorted = std::make_shared<std::pair<int, Qt::SortOrder>>(-1, Qt::AscendingOrder);
  QObject::connect(header, &QHeaderView::sectionClicked, list, [list, sorted](int column) {
    const Qt::SortOrder order = sorted->first == column && sorted->second == Qt::AscendingOrder ? Qt::DescendingOrder
                                                                                               : Qt::AscendingOrder;
    *sorted = {column, order};
    list->header()->setSortIndicatorShown(true);
    list->header()->setSortIndicator(column, order);
    list->sortItems(column, order);
  });
}

}  // namespace monitor
