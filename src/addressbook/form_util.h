#pragma once
// Small things the address-book dialogs share.
class QWidget;

namespace addressbook {

// Places a window in the middle of its screen.
void CenterOnScreen(QWidget* window);

}  // namespace addressbook
