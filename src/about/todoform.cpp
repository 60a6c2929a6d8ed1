#include "about/todoform.h"

#include <QMdiSubWindow>
#include <QPushButton>
#include <QKeyEvent>
#include <QTextEdit>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "about/richtextview.h"
#include "platform/dialogs.h"
#include "platform/errorhandler.h"
#include "platform/errors.h"
#include "platform/mdi.h"
#include "platform/paths.h"

namespace about {

void ReadDocumentFile(const std::string& name, std::string& bytes) {
  const std::string path = platform::NativePath(name);
  std::error_code ec;
  std::ifstream in;
  if (!std::filesystem::is_directory(path, ec)) in.open(path, std::ios::binary);
  if (!in.is_open() || !in) throw platform::EFOpenError(platform::FormatMessage("Cannot open file %s", name));
  bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  if (in.bad()) throw platform::EFOpenError(platform::FormatMessage("Cannot open file %s", name));
}

}  // namespace about

TF_ToDo::TF_ToDo(QWidget* parent) : QWidget(parent) {
  setObjectName("F_ToDo");
  setAttribute(Qt::WA_DeleteOnClose);
  setWindowTitle("To Do List");
  // A dialog-style child: a title bar without system buttons, fixed size.
  setWindowFlags(Qt::SubWindow | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
  setFixedSize(532, 318);

  RichEdit1 = new QTextEdit(this);
  RichEdit1->setObjectName("RichEdit1");
  RichEdit1->setGeometry(0, 0, 529, 281);
  RichEdit1->setReadOnly(true);
  RichEdit1->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
  RichEdit1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  RichEdit1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  RichEdit1->setFocusPolicy(Qt::ClickFocus);  // not reached with Tab

  Button1 = new QPushButton("&Close", this);
  Button1->setObjectName("Button1");
  Button1->setGeometry(448, 288, 75, 25);
  Button1->setDefault(true);
  connect(Button1, &QPushButton::clicked, this, platform::Handler([this](bool) { Button1Click(); }));
  setFocusProxy(Button1);
}

void TF_ToDo::keyPressEvent(QKeyEvent* event) {
  // "&Close" is the default and the cancel button: Enter and Escape, which neither the
  // read-only view nor the button take, press it.
  const int key = event->key();
  if (event->modifiers() == Qt::NoModifier && (key == Qt::Key_Escape || key == Qt::Key_Return || key == Qt::Key_Enter)) {
    Button1->click();
    return;
  }
  QWidget::keyPressEvent(event);
}

bool TF_ToDo::event(QEvent* event) {
  // Inside the frame, the child window around the viewer gets the viewer's border: a
  // title bar without system buttons.
  if (event->type() == QEvent::ParentChange) {
    if (auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget()))
      sub->setWindowFlags(Qt::SubWindow | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
  }
  return QWidget::event(event);
}

void TF_ToDo::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (shown_) return;
  shown_ = true;
  FormShow();
}

void TF_ToDo::FormShow() {
  RichEdit1->clear();
  try {
    std::string bytes;
    about::ReadDocumentFile("Corvane.rtf", bytes);
    about::LoadRichText(bytes, *RichEdit1->document());
  } catch (const std::exception& error) {
    RichEdit1->clear();
    platform::ShowMessage(error.what(), this);
  }
}

void TF_ToDo::Button1Click() {
  // Inside the frame the window is the frame's child window around this one.
  if (auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget())) {
    sub->close();
  } else {
    close();
  }
}

TF_ToDo* OpenToDoViewer() {
  auto* viewer = new TF_ToDo;
  if (platform::MdiHost* frame = platform::Frame()) {
    frame->AddChild(viewer);
  } else {
    viewer->setWindowFlags(Qt::Window);
    viewer->show();
  }
  return viewer;
}
