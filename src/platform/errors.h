#pragma once
// Exceptions that reach the user. Socket failures never raise (they go through the socket
// error path); everything else that fails in a command handler raises one of these, and
// the general error handler (errorhandler.h) shows its 8-bit message in a box.
#include <stdexcept>
#include <string>

namespace platform {

class Exception : public std::runtime_error {
 public:
  explicit Exception(const std::string& message) : std::runtime_error(message) {}
};

// A text that should have been a whole number: "'%s' is not a valid integer value".
class EConvertError : public Exception {
 public:
  using Exception::Exception;
};

// An INI key that could not be written: "Unable to write to %s".
class EIniFileException : public Exception {
 public:
  using Exception::Exception;
};

// A file that could not be created: "Cannot create file %s".
class EFCreateError : public Exception {
 public:
  using Exception::Exception;
};

// A file that could not be opened: "Cannot open file %s".
class EFOpenError : public Exception {
 public:
  using Exception::Exception;
};

// Replaces the first "%s" of a message template by the argument.
std::string FormatMessage(const std::string& pattern, const std::string& argument);

}  // namespace platform
