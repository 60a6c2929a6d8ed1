#include "platform/shell.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QProcess>
#include <QUrl>

#include "platform/paths.h"
#include "platform/text.h"

namespace platform {
namespace {

ShellFunction& Replacement() {
  static ShellFunction function;
  return function;
}

// "mailto:x", "http://x", "file:///x": a scheme of two letters or more before the colon
// (one letter would be a drive, "C:\...").
bool IsUrl(const QString& name) {
  const qsizetype colon = name.indexOf(':');
  if (colon < 2) return false;
  for (qsizetype i = 0; i < colon; ++i) {
    const QChar c = name[i];
    if (!(c.isLetterOrNumber() || c == '+' || c == '-' || c == '.')) return false;
  }
  return name[0].isLetter();
}

}  // namespace

bool ShellExecute(const ShellRequest& request) {
  if (Replacement()) return Replacement()(request);
  return DesktopShellExecute(request);
}

ShellFunction SetShellFunction(ShellFunction function) {
  ShellFunction previous = std::move(Replacement());
  Replacement() = std::move(function);
  return previous;
}

bool DesktopShellExecute(const ShellRequest& request) {
  const QString name = ToUnicode(request.fileName);
  if (name.isEmpty()) return false;
  if (IsUrl(name)) return QDesktopServices::openUrl(QUrl(name));

  const QFileInfo file(QString::fromLocal8Bit(NativePath(request.fileName).c_str()));
  if (!file.exists()) return false;
  if (request.verb == "explore") {
    const QString folder = file.isDir() ? file.absoluteFilePath() : file.absolutePath();
    return QDesktopServices::openUrl(QUrl::fromLocalFile(folder));
  }
  if (!request.parameters.empty() && file.isFile() && file.isExecutable()) {
    const QString dir = request.directory.empty() ? file.absolutePath()
                                                  : QString::fromLocal8Bit(NativePath(request.directory).c_str());
    return QProcess::startDetached(file.absoluteFilePath(), QProcess::splitCommand(ToUnicode(request.parameters)), dir);
  }
  return QDesktopServices::openUrl(QUrl::fromLocalFile(file.absoluteFilePath()));
}

}  // namespace platform
