#pragma once
// Report-style lists of the monitor windows: flat QTreeWidgets with fixed columns, read-only,
// whole-row selection that stays visible without focus, filled in place so that a refresh
// of a full server costs next to nothing.
//
// Each item remembers which row of the rows it was filled from it shows (kRowRole), so that
// a list sorted by a column heading still maps its selection to the right row. Cells whose
// text has colour codes carry it in platform::kColouredTextRole for the list's
// platform::ColourTextDelegate; the display text stays clean.
#include <QTreeWidget>

#include <initializer_list>
#include <utility>
#include <vector>

#include "common/colorcodes.h"
#include "protocol/rows.h"

class QWidget;

namespace monitor {

inline constexpr int kRowRole = Qt::UserRole + 1;

QTreeWidget* MakeListView(QWidget* parent, const char* name, std::initializer_list<std::pair<const char*, int>> columns);

// Makes the list hold rows.size() items showing the rows, one each; only texts that differ
// are set, surplus items are removed and missing ones added at the end. A list sorted by a
// heading is sorted again afterwards. Values with colour codes (`codes`) are drawn in colour.
void FillListView(QTreeWidget* list, const std::vector<protocol::InfoRow>& rows, common::ColorCodes codes);
// The same for player rows; `columns` is 5 or 6 (with Rate). Names are drawn in colour.
void FillListView(QTreeWidget* list, const std::vector<protocol::PlayerRow>& rows, int columns);

// The row the selected item shows, or -1.
int SelectedIndex(const QTreeWidget* list);
// The item that shows the row, or nullptr.
QTreeWidgetItem* ItemOfRow(const QTreeWidget* list, int row);

// Clicking a column heading sorts the list by it (cells compared by CompareCells), a second
// click on the same heading reverses the order. Until the first click the list keeps the
// order the rows come in.
void SortByHeadings(QTreeWidget* list);

}  // namespace monitor
