#pragma once
// Every modal interaction of the program (message boxes, modal forms, the save, font and
// colour dialogs) goes through one provider, so that a test can answer it without a person.
// The program runs with the Qt provider; a test installs its own (ScopedDialogs in tests/support).
#include <QColor>
#include <QFont>
#include <QString>

#include <string>

#include "platform/modalresult.h"

class QDialog;
class QWidget;

namespace platform {

enum class MsgType {
  Warning,       // caption "Warning", warning icon
  Error,         // caption "Error", error icon
  Information,   // caption "Information", information icon
  Confirmation,  // caption "Confirm", question icon
  Custom,        // caption = application title, no icon
};

enum class MsgButtons { Ok, YesNo };

struct MessageBoxRequest {
  MsgType type = MsgType::Custom;
  std::string caption;  // 8-bit text
  std::string text;     // 8-bit text; a lone carriage return breaks the line
  MsgButtons buttons = MsgButtons::Ok;
};

struct SaveDialogRequest {
  QString defaultExtension;  // "txt"
  QString filter;            // "Text file|*.txt|Log File|*.log|All files|*.*"
  int filterIndex = 1;       // 1-based, as in the filter
  bool overwritePrompt = true;
};

class Dialogs {
 public:
  virtual ~Dialogs() = default;
  // Returns mrOk, mrYes or mrNo.
  virtual int MessageBox(QWidget* parent, const MessageBoxRequest& request) = 0;
  // Shows a modal form and returns its modal result.
  virtual int ExecModal(QDialog& dialog) = 0;
  // Asks for a file to save to; false when cancelled. Never changes the process's directory.
  virtual bool SaveFile(QWidget* parent, const SaveDialogRequest& request, QString& fileName) = 0;
  // Font dialog with effects (colour, underline, strike-out); false when cancelled.
  virtual bool ChooseFont(QWidget* parent, QFont& font, QColor& color) = 0;
  // Colour dialog; false when cancelled.
  virtual bool ChooseColor(QWidget* parent, QColor& color) = 0;
};

// The provider in use (the Qt one unless a test installed another).
Dialogs& CurrentDialogs();
// Installs a provider; nullptr restores the Qt provider. Returns the previous one.
Dialogs* SetDialogs(Dialogs* dialogs);

// The application's title, used as the caption of plain and error boxes.
std::string ApplicationTitle();  // "Corvane"

// Conveniences over CurrentDialogs().MessageBox.
int MessageDlg(const std::string& text, MsgType type, MsgButtons buttons, QWidget* parent = nullptr);
void ShowMessage(const std::string& text, QWidget* parent = nullptr);  // plain box, application title
int ExecModal(QDialog& dialog);

// The default caption of a message box type.
std::string CaptionFor(MsgType type);

// Moves a top-level window (its frame included) to the middle of its screen's free area.
void CentreOnScreen(QWidget& window);

}  // namespace platform
