#include "about/aboutform.h"

#include <QApplication>
#include <QFrame>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPushButton>

#include "about/execunit.h"
#include "about/osversionlabel.h"
#include "about/verinfo.h"
#include "platform/cursor.h"
#include "platform/dialogs.h"
#include "platform/errorhandler.h"
#include "platform/text.h"

QPointer<TAboutForm> AboutForm;

namespace about {

std::string RunningExecutable() {
  const QString path = QCoreApplication::applicationFilePath();
  if (path.isEmpty()) return "/proc/self/exe";
  return path.toLocal8Bit().toStdString();
}

void ClickableLabel::mouseReleaseEvent(QMouseEvent* event) {
  QLabel::mouseReleaseEvent(event);
  if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) emit clicked();
}

}  // namespace about

namespace {

QLabel* PlacedLabel(QWidget* parent, const char* name, const std::string& text, int left, int top) {
  auto* label = new QLabel(platform::ToDisplay(text), parent);
  label->setObjectName(name);
  label->move(left, top);
  label->adjustSize();
  return label;
}

}  // namespace

TAboutForm::TAboutForm(QWidget* parent) : TAboutForm(about::RunningExecutable(), parent) {}

TAboutForm::TAboutForm(const std::string& executableFile, QWidget* parent) : QDialog(parent) {
  BuildControls();
  // A failure to read the record is shown by the general error handler; the box opens
  // all the same, with the version line as it was laid out.
  platform::Guarded([&] { FormCreate(executableFile); });
  L_BuildNumber->adjustSize();
  InfoLabel->adjustSize();
}

void TAboutForm::BuildControls() {
  setObjectName("AboutForm");
  setWindowTitle("About");
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
  setFixedSize(313, 179);
  // The box is laid out for a small dialog font (11 pixels high).
  QFont small = font();
  small.setPixelSize(11);
  setFont(small);

  Panel1 = new QFrame(this);
  Panel1->setObjectName("Panel1");
  Panel1->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  Panel1->setGeometry(1, 1, 147, 177);

  Image1 = new QLabel(Panel1);
  Image1->setObjectName("Image1");
  const QPixmap logo(":/images/about_logo.bmp");
  Image1->setPixmap(logo);
  Image1->setGeometry(3, 3, logo.isNull() ? 140 : logo.width(), logo.isNull() ? 170 : logo.height());

  Label1 = PlacedLabel(this, "Label1", "Corvane", 152, 8);
  QFont title = Label1->font();
  title.setBold(true);
  title.setPixelSize(16);
  Label1->setFont(title);
  Label1->adjustSize();

  L_BuildNumber = PlacedLabel(this, "L_BuildNumber", "Version unknown", 152, 32);
  InfoLabel = PlacedLabel(this, "InfoLabel", "", 152, 56);
  Label2 = PlacedLabel(this, "Label2", "Please send bugreports to", 152, 96);

  Label3 = new about::ClickableLabel(platform::ToDisplay(about::kMaintainerAddress), this);
  Label3->setObjectName("Label3");
  QPalette link = Label3->palette();
  link.setColor(QPalette::WindowText, Qt::blue);
  Label3->setPalette(link);
  QFont underlined = Label3->font();
  underlined.setUnderline(true);
  Label3->setFont(underlined);
  Label3->setCursor(Qt::PointingHandCursor);
  Label3->move(152, 112);
  Label3->adjustSize();
  connect(Label3, &about::ClickableLabel::clicked, this, platform::Handler([this] { Label3Click(); }));

  Button1 = new QPushButton("&OK", this);
  Button1->setObjectName("Button1");
  Button1->setGeometry(232, 152, 75, 25);
  Button1->setDefault(true);
  Button1->setFocus();
  connect(Button1, &QPushButton::clicked, this, [this] { done(platform::mrOk); });
}

void TAboutForm::FormCreate(const std::string& executableFile) {
  ShowOSVersion(InfoLabel);
  const TVerInfoRes reader(executableFile);
  L_BuildNumber->setText(platform::ToDisplay("Version " + reader.GetVersionString(TVerInfoKey::FileVersion) + " \xDF" "eta"));
}

void TAboutForm::Label3Click() {
  platform::WaitCursor hourglass;
  ExecFile(std::string("mailto:") + about::kMaintainerAddress, 2, 1);
}

void TAboutForm::keyPressEvent(QKeyEvent* event) {
  // "&OK" is the cancel button as well: Escape closes with its result.
  if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
    Button1->click();
    return;
  }
  QDialog::keyPressEvent(event);
}

void TAboutForm::reject() { done(platform::mrCancel); }

int ShowAboutBox() { return about::ShowAboutBoxFor(about::RunningExecutable()); }

int about::ShowAboutBoxFor(const std::string& executableFile) {
  TAboutForm form(executableFile, QApplication::activeWindow());
  AboutForm = &form;
  const int result = platform::ExecModal(form);
  AboutForm = nullptr;
  return result;
}
