#pragma once
// Writes the running operating system's version into a label, as the About box shows it:
// "Linux 6.1 (Build 0)". The result is true on Windows NT only, so always false here.
#include "platform/osversion.h"

class QLabel;

bool ShowOSVersion(QLabel* Label);
// The same with the version given, for tests and for callers that queried it already.
bool ShowOSVersion(QLabel* Label, const platform::OSVersionInfo& info);
