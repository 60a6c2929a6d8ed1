#include "about/osversionlabel.h"

#include <QLabel>

#include "about/verinfo.h"
#include "platform/text.h"

bool ShowOSVersion(QLabel* Label) { return ShowOSVersion(Label, platform::GetVersionEx()); }

bool ShowOSVersion(QLabel* Label, const platform::OSVersionInfo& info) {
  const bool result = about::IsWindowsNT(info);
  if (Label == nullptr) return result;
  Label->setText(platform::ToDisplay(about::OSVersionText(info)));
  return result;
}
