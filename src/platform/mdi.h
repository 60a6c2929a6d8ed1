#pragma once
// The multiple-document frame as the rest of the program sees it: a host for child windows
// (monitor windows, consoles, to-do viewers). The frame window registers itself as the host;
// tests may register a small host of their own.
#include <vector>

class QMenu;
class QWidget;

namespace platform {

// A child window that brings a menu of merge group 100: the frame shows that menu between
// its File and Window menus while the child is active.
class MergedMenuOwner {
 public:
  virtual ~MergedMenuOwner() = default;
  virtual QMenu* MergedMenu() = 0;
};

class MdiHost {
 public:
  virtual ~MdiHost() = default;
  // Makes the widget a visible child window of the frame; it frees itself when closed
  // (the widget must have Qt::WA_DeleteOnClose set). Its size is taken from the widget.
  virtual void AddChild(QWidget* child) = 0;
  // The frame's children, index 0 first: index 0 is the topmost (active) window, the last
  // index the one furthest back, as the frame's own window list counts them.
  virtual std::vector<QWidget*> Children() const = 0;
};

MdiHost* Frame();
void SetFrame(MdiHost* host);

}  // namespace platform
