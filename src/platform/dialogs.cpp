#include "platform/dialogs.h"

#include <QApplication>
#include <QColorDialog>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFontDialog>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include "platform/text.h"

namespace platform {
namespace {

// "Text file|*.txt|Log File|*.log" -> "Text file (*.txt);;Log File (*.log)"
QStringList QtFilters(const QString& filter) {
  const QStringList parts = filter.split('|');
  QStringList result;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) result << parts[i] + " (" + parts[i + 1] + ")";
  return result;
}

// The font dialog with the colour choice that the Windows font dialog's effects offer.
class FontColorDialog : public QDialog {
 public:
  FontColorDialog(QWidget* parent, const QFont& font, const QColor& color) : QDialog(parent), color_(color) {
    setWindowTitle("Font");
    fonts_ = new QFontDialog(font, this);
    fonts_->setOptions(QFontDialog::NoButtons | QFontDialog::DontUseNativeDialog);
    fonts_->setWindowFlags(Qt::Widget);
    auto* colorRow = new QHBoxLayout;
    colorRow->addWidget(new QLabel("Colour:"));
    swatch_ = new QPushButton;
    swatch_->setFixedWidth(80);
    connect(swatch_, &QPushButton::clicked, this, [this] {
      const QColor chosen = QColorDialog::getColor(color_, this);
      if (chosen.isValid()) SetColor(chosen);
    });
    colorRow->addWidget(swatch_);
    colorRow->addStretch();
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(fonts_);
    layout->addLayout(colorRow);
    layout->addWidget(buttons);
    SetColor(color);
  }
  QFont Font() const { return fonts_->currentFont(); }
  QColor Color() const { return color_; }

 private:
  void SetColor(const QColor& c) {
    color_ = c;
    swatch_->setStyleSheet(QString("background-color: %1").arg(c.name()));
  }
  QFontDialog* fonts_;
  QPushButton* swatch_;
  QColor color_;
};

// Gives the activation back to the window that had it when a modal dialog opened, once the
// dialog has closed. A window manager often does so by itself, but not always (and there may
// be none): the window then goes on taking keys for its focused control without being the
// active window, so its menus' Alt letters type into that control instead of opening them.
class KeepActivation {
 public:
  KeepActivation() : before_(QApplication::activeWindow()) {}
  ~KeepActivation() {
    if (before_ && before_->isVisible() && QApplication::activeWindow() != before_) before_->activateWindow();
  }
  KeepActivation(const KeepActivation&) = delete;
  KeepActivation& operator=(const KeepActivation&) = delete;

 private:
  QPointer<QWidget> before_;
};

class QtDialogs : public Dialogs {
 public:
  int MessageBox(QWidget* parent, const MessageBoxRequest& request) override {
    const KeepActivation keep;
    QMessageBox box(parent);
    switch (request.type) {
      case MsgType::Warning: box.setIcon(QMessageBox::Warning); break;
      case MsgType::Error: box.setIcon(QMessageBox::Critical); break;
      case MsgType::Information: box.setIcon(QMessageBox::Information); break;
      case MsgType::Confirmation: box.setIcon(QMessageBox::Question); break;
      case MsgType::Custom: box.setIcon(QMessageBox::NoIcon); break;
    }
    box.setWindowTitle(ToUnicode(request.caption.empty() ? CaptionFor(request.type) : request.caption));
    box.setText(ToDisplay(request.text));
    box.setTextFormat(Qt::PlainText);
    if (request.buttons == MsgButtons::YesNo) {
      box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
      box.setEscapeButton(QMessageBox::No);
      return box.exec() == QMessageBox::Yes ? mrYes : mrNo;
    }
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
    return mrOk;
  }

  int ExecModal(QDialog& dialog) override {
    const KeepActivation keep;
    return dialog.exec();
  }

  bool SaveFile(QWidget* parent, const SaveDialogRequest& request, QString& fileName) override {
    const KeepActivation keep;
    QFileDialog dialog(parent);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(request.defaultExtension);
    const QStringList filters = QtFilters(request.filter);
    dialog.setNameFilters(filters);
    if (request.filterIndex >= 1 && request.filterIndex <= filters.size()) dialog.selectNameFilter(filters[request.filterIndex - 1]);
    if (!request.overwritePrompt) dialog.setOption(QFileDialog::DontConfirmOverwrite);
    if (!fileName.isEmpty()) dialog.selectFile(fileName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return false;
    fileName = dialog.selectedFiles().first();
    return true;
  }

  bool ChooseFont(QWidget* parent, QFont& font, QColor& color) override {
    const KeepActivation keep;
    FontColorDialog dialog(parent, font, color);
    if (dialog.exec() != QDialog::Accepted) return false;
    font = dialog.Font();
    color = dialog.Color();
    return true;
  }

  bool ChooseColor(QWidget* parent, QColor& color) override {
    const KeepActivation keep;
    const QColor chosen = QColorDialog::getColor(color, parent);
    if (!chosen.isValid()) return false;
    color = chosen;
    return true;
  }
};

QtDialogs& QtProvider() {
  static QtDialogs provider;
  return provider;
}

Dialogs*& Installed() {
  static Dialogs* installed = nullptr;
  return installed;
}

}  // namespace

Dialogs& CurrentDialogs() { return Installed() ? *Installed() : QtProvider(); }

Dialogs* SetDialogs(Dialogs* dialogs) {
  Dialogs* previous = Installed();
  Installed() = dialogs;
  return previous;
}

std::string ApplicationTitle() { return "Corvane"; }

std::string CaptionFor(MsgType type) {
  switch (type) {
    case MsgType::Warning: return "Warning";
    case MsgType::Error: return "Error";
    case MsgType::Information: return "Information";
    case MsgType::Confirmation: return "Confirm";
    case MsgType::Custom: break;
  }
  return ApplicationTitle();
}

int MessageDlg(const std::string& text, MsgType type, MsgButtons buttons, QWidget* parent) {
  return CurrentDialogs().MessageBox(parent, MessageBoxRequest{type, CaptionFor(type), text, buttons});
}

void ShowMessage(const std::string& text, QWidget* parent) {
  CurrentDialogs().MessageBox(parent, MessageBoxRequest{MsgType::Custom, ApplicationTitle(), text, MsgButtons::Ok});
}

int ExecModal(QDialog& dialog) { return CurrentDialogs().ExecModal(dialog); }

void CentreOnScreen(QWidget& window) {
  const QScreen* screen = window.screen() ? window.screen() : QGuiApplication::primaryScreen();
  if (!screen) return;
  const QRect area = screen->availableGeometry();
  const QSize frame = window.frameGeometry().size();
  window.move(area.x() + (area.width() - frame.width()) / 2, area.y() + (area.height() - frame.height()) / 2);
}

}  // namespace platform
