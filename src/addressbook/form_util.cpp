#include "addressbook/form_util.h"

#include <QScreen>
#include <QWidget>

namespace addressbook {

void CenterOnScreen(QWidget* window) {
  const QScreen* screen = window->screen();
  if (!screen) return;
  const QRect area = screen->availableGeometry();
  const QSize frame = window->frameGeometry().size();
  window->move(area.x() + (area.width() - frame.width()) / 2, area.y() + (area.height() - frame.height()) / 2);
}

}  // namespace addressbook
