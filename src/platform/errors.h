// Errors raised by the platform services. They carry the system's own message text;
// no handler catches them except the application's dispatcher, which shows the text.
#pragma once

#include <exception>
#include <string>
#include <utility>

namespace veltrano {

// The base of them: the text the error box shows. Not a std::runtime_error, whose
// message is kept in the library's older reference-counted string: that string's code
// would come into the program for these messages alone.
class VeltranoError : public std::exception {
 public:
  explicit VeltranoError(std::string message) : message_(std::move(message)) {}
  const char* what() const noexcept override { return message_.c_str(); }

 private:
  std::string message_;
};

// The registry store's refusals: "Failed to set data for '%s'" and its read siblings.
class ERegistryException : public VeltranoError {
 public:
  using VeltranoError::VeltranoError;
};

// "Unable to write to %s" from the INI writer.
class EIniFileException : public VeltranoError {
 public:
  using VeltranoError::VeltranoError;
};

// Input/output errors of file handling, e.g. "File not found" from a checked deletion.
class EInOutError : public VeltranoError {
 public:
  using VeltranoError::VeltranoError;
};

// "'%s' is not a valid integer value" from the decimal conversion.
class EConvertError : public VeltranoError {
 public:
  using VeltranoError::VeltranoError;
};

// A restart request the system refused, with the system's reason.
class ERestartRefused : public VeltranoError {
 public:
  using VeltranoError::VeltranoError;
};

}  // namespace veltrano
