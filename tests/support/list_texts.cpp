#include "support/list_texts.h"

#include <QTreeWidget>

namespace test {

std::vector<std::string> RowTexts(const QTreeWidget* list, int row) {
  std::vector<std::string> texts;
  const QTreeWidgetItem* item = list->topLevelItem(row);
  for (int c = 0; c < list->columnCount(); ++c) texts.push_back(item->text(c).toStdString());
  return texts;
}

bool AllRowsComplete(const QTreeWidget* list) {
  if (list->topLevelItemCount() == 0) return false;
  for (int r = 0; r < list->topLevelItemCount(); ++r)
    for (int c = 0; c < list->columnCount(); ++c)
      if (list->topLevelItem(r)->text(c).isEmpty()) return false;
  return true;
}

int RowWith(const QTreeWidget* list, int column, const QString& text) {
  for (int r = 0; r < list->topLevelItemCount(); ++r)
    if (list->topLevelItem(r)->text(column) == text) return r;
  return -1;
}

}  // namespace test
