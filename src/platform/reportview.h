#pragma once
// The "report style" list of the program's windows: a flat list of rows under fixed column
// headings, one whole row selected at a time, nothing edited in place.
class QTreeView;

namespace platform {

// Gives the view that style: no tree lines or expanding, rows of one height, whole-row and
// single selection, no in-place editing, headings that cannot be dragged about.
void SetReportStyle(QTreeView& view);

}  // namespace platform
