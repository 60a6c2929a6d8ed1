#pragma once
// Notices on the desktop: a message from the program's icon in the system tray, where the
// desktop offers a tray. Without one (or on the offscreen platform) nothing is shown and
// nothing fails.
//
// Notices that come together (a poll that tells of many players at once) are gathered for a
// moment and shown as one, so that the desktop is not flooded.
#include <string>
#include <utility>
#include <vector>

namespace app {

// 8-bit texts.
void ShowDesktopNotice(const std::string& title, const std::string& text);

// The title and text of one notice for the notices gathered (title, text each), in order: one
// notice as it is; several counted in the title, each a line "title: text", at most
// kNoticeLines of them and the number of the rest.
inline constexpr std::size_t kNoticeLines = 5;
std::pair<std::string, std::string> GatheredNotice(const std::vector<std::pair<std::string, std::string>>& notices);

}  // namespace app
