#include "monitor/listview.h"

#include <QHeaderView>
#include <QPalette>

#include <array>
#include <string>

#include "platform/text.h"

namespace monitor {

namespace {

void SetText(QTreeWidgetItem* item, int column, const std::string& text) {
  const QString value = platform::ToUnicode(text);
  if (item->text(column) != value) item->setText(column, value);
}

// Ensures the list holds exactly `count` top-level items.
void Resize(QTreeWidget* list, int count, int columns) {
  while (list->topLevelItemCount() > count) delete list->takeTopLevelItem(list->topLevelItemCount() - 1);
  if (list->topLevelItemCount() < count) {
    QList<QTreeWidgetItem*> items;
    for (int i = list->topLevelItemCount(); i < count; ++i) {
      auto* item = new QTreeWidgetItem;
      for (int c = 0; c < columns; ++c) item->setText(c, QString());
      items.append(item);
    }
    list->addTopLevelItems(items);
  }
}

}  // namespace

QTreeWidget* MakeListView(QWidget* parent, const char* name, std::initializer_list<std::pair<const char*, int>> columns) {
  auto* list = new QTreeWidget(parent);
  list->setObjectName(name);
  list->setRootIsDecorated(false);
  list->setItemsExpandable(false);
  list->setUniformRowHeights(true);
  list->setAllColumnsShowFocus(true);
  list->setSelectionMode(QAbstractItemView::SingleSelection);
  list->setSelectionBehavior(QAbstractItemView::SelectRows);
  list->setEditTriggers(QAbstractItemView::NoEditTriggers);
  list->setSortingEnabled(false);
  QStringList headers;
  for (const auto& column : columns) headers << column.first;
  list->setHeaderLabels(headers);
  list->header()->setStretchLastSection(false);
  list->header()->setSectionsMovable(false);
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
  list->viewport()->update();
}

void FillListView(QTreeWidget* list, const std::vector<protocol::InfoRow>& rows) {
  Resize(list, static_cast<int>(rows.size()), 2);
  FillTexts(list, [&] {
    for (int i = 0; i < static_cast<int>(rows.size()); ++i) {
      QTreeWidgetItem* item = list->topLevelItem(i);
      SetText(item, 0, rows[i].key);
      SetText(item, 1, rows[i].value);
    }
  });
}

void FillListView(QTreeWidget* list, const std::vector<protocol::PlayerRow>& rows, int columns) {
  Resize(list, static_cast<int>(rows.size()), columns);
  FillTexts(list, [&] {
    for (int i = 0; i < static_cast<int>(rows.size()); ++i) {
      QTreeWidgetItem* item = list->topLevelItem(i);
      const protocol::PlayerRow& row = rows[i];
      SetText(item, 0, row.num);
      SetText(item, 1, row.name);
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
  return list->indexOfTopLevelItem(selected.front());
}

}  // namespace monitor
