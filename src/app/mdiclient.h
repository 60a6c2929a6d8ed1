#pragma once
// The frame's client area: the window that hosts the child windows. It is painted black with
// the emblem in the middle and the title banner near the bottom, and the pictures stay where
// they are when the children are scrolled.
#include <QImage>
#include <QMdiArea>
#include <QMdiSubWindow>

namespace app {

class MdiClient : public QMdiArea {
  Q_OBJECT
 public:
  explicit MdiClient(QWidget* parent = nullptr);

  // The background artwork, compiled into the program and never shown as controls.
  QImage Image_Q3A;        // the emblem, 140 x 170
  QImage Image_Q3A_Title;  // the title banner, 600 x 46

 protected:
  void paintEvent(QPaintEvent* event) override;
  void scrollContentsBy(int dx, int dy) override;
  void resizeEvent(QResizeEvent* event) override;
};

// The frame of one child window inside the client area. When the child closes itself (its own
// Close button, Escape) and frees itself, the frame around it goes too instead of staying
// behind empty.
class ChildFrame : public QMdiSubWindow {
  Q_OBJECT
 public:
  // Frames the child; the frame frees itself when closed.
  explicit ChildFrame(QWidget* child);
};

}  // namespace app
