#pragma once
// Hands a document, folder or link to the desktop, as the Windows shell-execute call does.
// The desktop call can be replaced, so that tests never start a mail program or browser.
#include <functional>
#include <string>

namespace platform {

struct ShellRequest {
  std::string verb;        // "open", "explore", or empty for the default action
  std::string fileName;    // 8-bit text: a path, or a URL such as "mailto:someone@example.org"
  std::string parameters;  // 8-bit text; passed to a program that is opened
  std::string directory;   // working directory for a program; empty: the program's directory
  int showCmd = 1;         // Windows show-window code; the desktop decides how windows appear
};

using ShellFunction = std::function<bool(const ShellRequest&)>;

// Carries the request out; true when the desktop accepted it.
bool ShellExecute(const ShellRequest& request);

// Installs a replacement for the desktop call; an empty function restores the desktop's.
// Returns the previous replacement (empty when the desktop's was in use).
ShellFunction SetShellFunction(ShellFunction function);

// The desktop's own implementation: URLs and files go to the desktop's handler (xdg-open
// and friends through QDesktopServices); "explore" opens a folder, or the folder holding a
// file; "open" with parameters starts the file as a program with those parameters.
bool DesktopShellExecute(const ShellRequest& request);

}  // namespace platform
