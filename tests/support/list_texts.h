#pragma once
// Reading what a list view shows: the texts of a row, whether every cell is filled, the row
// that holds a text in a column.
#include <QString>

#include <string>
#include <vector>

class QTreeWidget;

namespace test {

// The texts of one row, column by column.
std::vector<std::string> RowTexts(const QTreeWidget* list, int row);
// True when the list has rows and none of their cells is empty.
bool AllRowsComplete(const QTreeWidget* list);
// The first row whose text in `column` is `text`, or -1.
int RowWith(const QTreeWidget* list, int column, const QString& text);

}  // namespace test
