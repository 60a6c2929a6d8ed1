#include "platform/reportview.h"

#include <QHeaderView>
#include <QTreeView>

namespace platform {

void SetReportStyle(QTreeView& view) {
  view.setRootIsDecorated(false);
  view.setItemsExpandable(false);
  view.setUniformRowHeights(true);
  view.setAllColumnsShowFocus(true);
  view.setSelectionBehavior(QAbstractItemView::SelectRows);
  view.setSelectionMode(QAbstractItemView::SingleSelection);
  view.setEditTriggers(QAbstractItemView::NoEditTriggers);
  view.header()->setSectionsMovable(false);
}

}  // namespace platform
