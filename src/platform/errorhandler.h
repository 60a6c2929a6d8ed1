#pragma once
// The application's general error handler: an exception that leaves a command handler is
// shown in an error box titled with the application title, and the program keeps running.
// Every event handler that can raise runs through Guarded, so that no exception ever
// crosses Qt's event loop.
#include <concepts>
#include <exception>
#include <string>
#include <utility>

namespace platform {

// The text the error box shows: a full stop is appended when the message's last character
// sorts after the full stop ("No fixed file info" -> "No fixed file info.").
std::string ErrorBoxText(const std::string& message);

// Shows the exception in the error box.
void ShowException(const std::exception& error);
void ShowUnknownException();

// Runs f; an exception it raises is shown by the general error handler.
template <class F>
void Guarded(F&& f) noexcept {
  try {
    std::forward<F>(f)();
  } catch (const std::exception& e) {
    ShowException(e);
  } catch (...) {
    ShowUnknownException();
  }
}

// Wraps a callable for use as a Qt slot: Guarded(f) each time it is called. The wrapper takes
// exactly the arguments f takes, so that a signal with more arguments (clicked(bool)) connects
// to a handler that wants fewer, as with any Qt slot.
template <class F>
auto Handler(F f) {
  return [f = std::move(f)]<class... Args>(Args&&... args) mutable noexcept -> void
    requires std::invocable<F&, Args...>
  {
    Guarded([&] { f(std::forward<Args>(args)...); });
  };
}

}  // namespace platform
