#pragma once
// Hands a document or link to the desktop shell. The About box's mail link is its user.
#include <cstdint>
#include <string>

// The execution mode: 0 and 1 explore, 2 opens. Other values take the shell's default
// action, which opens too.
using TExecMode = uint8_t;

// True when the desktop accepted the request. ShowCmd is a Windows show-window code; the
// desktop decides how the windows it opens appear.
bool ExecFileEx(const std::string& FileName, const std::string& Params, TExecMode Mode, int32_t ShowCmd);
bool ExecFile(const std::string& FileName, TExecMode Mode, int32_t ShowCmd);

namespace about {
// The shell verb of a mode: "explore", "open", or empty for the default action.
std::string ShellVerb(TExecMode mode);
}  // namespace about
