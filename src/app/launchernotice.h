#pragma once
// The launcher's word for the frame's status bar: one line on what it did before it started the
// program, such as importing the level pictures of an installed game on the first start. It
// comes in the environment variable CORVANE_NOTICE.
#include <string>

namespace app {

// The notice as 8-bit text (empty when there is none). The variable is cleared, so that the
// programs Corvane starts (a mail program, say) do not inherit it.
std::string TakeLauncherNotice();

}  // namespace app
