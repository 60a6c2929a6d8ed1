#pragma once
// The About box: product title, file version from the executable's version record, the
// operating system's version and the mail address for bug reports.
#include <QDialog>
#include <QLabel>
#include <QPointer>

#include <string>

class QFrame;
class QPushButton;

namespace about {

// The address shown for bug reports and opened as "mailto:" + it.
inline constexpr const char* kMaintainerAddress = "corvane-bugs@example.org";

// The running executable's file name (native path).
std::string RunningExecutable();

// A label that reports a click of the left mouse button.
class ClickableLabel : public QLabel {
  Q_OBJECT
 public:
  using QLabel::QLabel;
 signals:
  void clicked();

 protected:
  void mouseReleaseEvent(QMouseEvent* event) override;
};

}  // namespace about

class TAboutForm : public QDialog {
  Q_OBJECT
 public:
  // Reads the version record of the running executable.
  explicit TAboutForm(QWidget* parent = nullptr);
  // Reads the version record of the file named; for the test suite, which has none of its own.
  explicit TAboutForm(const std::string& executableFile, QWidget* parent = nullptr);

  QFrame* Panel1;
  QLabel* Image1;
  QLabel* Label1;
  QLabel* L_BuildNumber;
  QLabel* InfoLabel;
  QLabel* Label2;
  about::ClickableLabel* Label3;
  QPushButton* Button1;

  // Opens the mail link; nothing is reported when no mail program answers.
  void Label3Click();
  // Closing the window other than with "&OK" (the window manager's close) cancels.
  void reject() override;

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void BuildControls();
  void FormCreate(const std::string& executableFile);
};

// The About box while it is shown; null otherwise.
extern QPointer<TAboutForm> AboutForm;

// Shows the About box modally and returns its modal result (mrOk when closed with "&OK").
int ShowAboutBox();

namespace about {
// The same, with the version record read from the file named.
int ShowAboutBoxFor(const std::string& executableFile);
}  // namespace about
