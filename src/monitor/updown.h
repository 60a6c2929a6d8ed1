#pragma once
// An up-down control bound to a number edit box: its arrows step the number in the box.
#include <QWidget>

class QLineEdit;
class QToolButton;

namespace monitor {

class UpDown : public QWidget {
 public:
  UpDown(const char* name, QLineEdit* buddy, int minimum, int maximum, QWidget* parent);
  // One step up (+1) or down (-1) from the number in the box, kept within the range; a box
  // that holds no number starts from the minimum.
  void Step(int delta);

  QToolButton* Up;
  QToolButton* Down;

 private:
  QLineEdit* buddy_;
  int minimum_;
  int maximum_;
};

}  // namespace monitor
