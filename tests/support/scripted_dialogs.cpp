#include "support/scripted_dialogs.h"

#include <QDialog>

namespace test {

int ScriptedDialogs::MessageBox(QWidget*, const platform::MessageBoxRequest& request) {
  messages.push_back(request);
  if (!messageAnswers.empty()) {
    const int answer = messageAnswers.front();
    messageAnswers.pop_front();
    return answer;
  }
  return request.buttons == platform::MsgButtons::YesNo ? platform::mrNo : platform::mrOk;
}

int ScriptedDialogs::ExecModal(QDialog& dialog) {
  ++modalCount;
  std::function<int(QDialog&)> answer = defaultModal;
  if (!modalAnswers.empty()) {
    answer = modalAnswers.front();
    modalAnswers.pop_front();
  }
  const int result = answer ? answer(dialog) : platform::mrCancel;
  dialog.setResult(result);
  return result;
}

bool ScriptedDialogs::SaveFile(QWidget*, const platform::SaveDialogRequest& request, QString& fileName) {
  saveRequests.push_back(request);
  if (saveAnswers.empty()) return false;
  fileName = saveAnswers.front();
  saveAnswers.pop_front();
  return !fileName.isEmpty();
}

bool ScriptedDialogs::ChooseFont(QWidget*, QFont& font, QColor& color) {
  ++fontRequests;
  if (fontAnswers.empty()) return false;
  font = fontAnswers.front().first;
  color = fontAnswers.front().second;
  fontAnswers.pop_front();
  return true;
}

bool ScriptedDialogs::ChooseColor(QWidget*, QColor& color) {
  ++colorRequests;
  if (colorAnswers.empty()) return false;
  color = colorAnswers.front();
  colorAnswers.pop_front();
  return true;
}

std::vector<std::string> ScriptedDialogs::Texts() const {
  std::vector<std::string> texts;
  for (const auto& m : messages) texts.push_back(m.text);
  return texts;
}

ScopedDialogs::ScopedDialogs() : previous_(platform::SetDialogs(this)) {}
ScopedDialogs::~ScopedDialogs() { platform::SetDialogs(previous_); }

}  // namespace test
