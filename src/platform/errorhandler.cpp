#include "platform/errorhandler.h"

#include "platform/dialogs.h"

namespace platform {

std::string ErrorBoxText(const std::string& message) {
  if (!message.empty() && static_cast<unsigned char>(message.back()) > static_cast<unsigned char>('.')) return message + ".";
  return message;
}

void ShowException(const std::exception& error) {
  CurrentDialogs().MessageBox(nullptr, MessageBoxRequest{MsgType::Error, ApplicationTitle(), ErrorBoxText(error.what()), MsgButtons::Ok});
}

void ShowUnknownException() {
  CurrentDialogs().MessageBox(nullptr, MessageBoxRequest{MsgType::Error, ApplicationTitle(), "Unknown error.", MsgButtons::Ok});
}

}  // namespace platform
