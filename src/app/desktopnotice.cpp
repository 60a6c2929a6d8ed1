#include "app/desktopnotice.h"

#include <QApplication>
#include <QPointer>
#include <QSystemTrayIcon>

#include "platform/text.h"

namespace app {

namespace {
constexpr int kNoticeMs = 10000;
}

void ShowDesktopNotice(const std::string& title, const std::string& text) {
  if (!QSystemTrayIcon::isSystemTrayAvailable()) return;
  // Made with the first notice, and goes with the application.
  static QPointer<QSystemTrayIcon> icon;
  if (!icon) {
    icon = new QSystemTrayIcon(QApplication::windowIcon(), qApp);
    icon->setToolTip(QApplication::applicationName());
    icon->show();
  }
  icon->showMessage(platform::ToUnicode(title), platform::ToUnicode(text), QSystemTrayIcon::Information, kNoticeMs);
}

}  // namespace app
