#pragma once
// The to-do viewer: a child window of the frame that shows the document "Corvane.rtf" from
// the program's directory, read-only. Any number of viewers may be open at once.
#include <QWidget>

#include <string>

class QPushButton;
class QTextEdit;

class TF_ToDo : public QWidget {
  Q_OBJECT
 public:
  explicit TF_ToDo(QWidget* parent = nullptr);

  QTextEdit* RichEdit1;
  QPushButton* Button1;

  // Loads the document; a file that cannot be read is reported in a plain box and the
  // view stays empty.
  void FormShow();
  void Button1Click();

 protected:
  bool event(QEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  bool shown_ = false;
};

// The frame's "&To Do List" command: a new viewer, added to the frame (or shown as a window
// of its own when there is no frame). Returns it; it frees itself when closed.
TF_ToDo* OpenToDoViewer();

namespace about {
// Reads the document named (a Windows-style name relative to the program's directory) into
// `bytes`; raises EFOpenError "Cannot open file <name>" when it cannot be read.
void ReadDocumentFile(const std::string& name, std::string& bytes);
}  // namespace about
