#include "about/execunit.h"

#include "platform/shell.h"

namespace about {
std::string ShellVerb(TExecMode mode) {
  switch (mode) {
    case 0:
    case 1: return "explore";
    case 2: return "open";
    default: return {};
  }
}
}  // namespace about

bool ExecFileEx(const std::string& FileName, const std::string& Params, TExecMode Mode, int32_t ShowCmd) {
  platform::ShellRequest request;
  request.verb = about::ShellVerb(Mode);
  request.fileName = FileName;
  request.parameters = Params;
  request.showCmd = ShowCmd;
  return platform::ShellExecute(request);
}

bool ExecFile(const std::string& FileName, TExecMode Mode, int32_t ShowCmd) { return ExecFileEx(FileName, "", Mode, ShowCmd); }
