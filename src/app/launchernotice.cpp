#include "app/launchernotice.h"

#include <cstdlib>

#include "platform/text.h"

namespace app {

namespace {
constexpr const char* kNoticeVariable = "CORVANE_NOTICE";
}

std::string TakeLauncherNotice() {
  const char* value = std::getenv(kNoticeVariable);
  // The shell wrote it in the locale's encoding; the folder names in it may not be ASCII.
  std::string notice = value ? platform::PathToAnsi(value) : std::string();
  unsetenv(kNoticeVariable);
  // One line: the status bar has room for no more.
  const size_t end = notice.find_first_of("\r\n");
  if (end != std::string::npos) notice.erase(end);
  return notice;
}

}  // namespace app
