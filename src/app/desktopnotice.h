#pragma once
// Notices on the desktop: a message from the program's icon in the system tray, where the
// desktop offers a tray. Without one (or on the offscreen platform) nothing is shown and
// nothing fails.
#include <string>

namespace app {

// 8-bit texts.
void ShowDesktopNotice(const std::string& title, const std::string& text);

}  // namespace app
