#pragma once
// Report-style lists of the monitor windows: flat QTreeWidgets with fixed columns, read-only,
// whole-row selection that stays visible without focus, filled in place so that a refresh
// of a full server costs next to nothing.
#include <QTreeWidget>

#include <initializer_list>
#include <utility>
#include <vector>

#include "protocol/rows.h"

class QWidget;

namespace monitor {

QTreeWidget* MakeListView(QWidget* parent, const char* name, std::initializer_list<std::pair<const char*, int>> columns);

// Makes the list hold rows.size() items, item i showing rows[i]; only texts that differ are
// set, surplus items are removed and missing ones added at the end.
void FillListView(QTreeWidget* list, const std::vector<protocol::InfoRow>& rows);
// The same for player rows; `columns` is 5 or 6 (with Rate).
void FillListView(QTreeWidget* list, const std::vector<protocol::PlayerRow>& rows, int columns);

// The row index of the selected item, or -1.
int SelectedIndex(const QTreeWidget* list);

}  // namespace monitor
