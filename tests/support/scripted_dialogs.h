#pragma once
// A dialog provider for tests: records every modal interaction and answers it from a script,
// so no test ever waits for a person.
#include <QColor>
#include <QFont>
#include <QString>

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "platform/dialogs.h"

namespace test {

class ScriptedDialogs : public platform::Dialogs {
 public:
  // Message boxes shown, in order.
  std::vector<platform::MessageBoxRequest> messages;
  // Answers for the next message boxes (mrOk, mrYes, mrNo); when empty, Ok boxes answer mrOk
  // and Yes/No boxes answer mrNo.
  std::deque<int> messageAnswers;
  // Called for every modal form; returns the modal result. It may change the form's fields
  // and run the event loop (QTest::qWait) before answering. When empty the form is cancelled.
  std::deque<std::function<int(QDialog&)>> modalAnswers;
  std::function<int(QDialog&)> defaultModal;
  int modalCount = 0;
  // Save dialog: the name to answer with; empty means cancel.
  std::deque<QString> saveAnswers;
  std::vector<platform::SaveDialogRequest> saveRequests;
  // Font and colour dialogs: answers to give; empty means cancel.
  std::deque<std::pair<QFont, QColor>> fontAnswers;
  std::deque<QColor> colorAnswers;
  int fontRequests = 0;
  int colorRequests = 0;

  int MessageBox(QWidget* parent, const platform::MessageBoxRequest& request) override;
  int ExecModal(QDialog& dialog) override;
  bool SaveFile(QWidget* parent, const platform::SaveDialogRequest& request, QString& fileName) override;
  bool ChooseFont(QWidget* parent, QFont& font, QColor& color) override;
  bool ChooseColor(QWidget* parent, QColor& color) override;

  // The texts of the message boxes shown, in order.
  std::vector<std::string> Texts() const;
};

// Installs a ScriptedDialogs for the lifetime of the object and restores the previous provider.
class ScopedDialogs : public ScriptedDialogs {
 public:
  ScopedDialogs();
  ~ScopedDialogs() override;
  ScopedDialogs(const ScopedDialogs&) = delete;
  ScopedDialogs& operator=(const ScopedDialogs&) = delete;

 private:
  platform::Dialogs* previous_;
};

}  // namespace test
