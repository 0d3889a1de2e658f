#include "ui/error.h"

namespace ui {

Error::Error(ErrorNumber number) : Error(number, describe(number)) {}

Error::Error(ErrorNumber number, const std::string& description)
    : std::runtime_error(description), number_(static_cast<int>(number)) {}

const char* Error::describe(ErrorNumber number) noexcept {
  switch (number) {
    case ErrorNumber::InvalidArgument:
      return "Invalid argument";
    case ErrorNumber::Overflow:
      return "Overflow";
    case ErrorNumber::OutOfMemory:
      return "Out of memory";
    case ErrorNumber::TypeMismatch:
      return "Type mismatch";
    case ErrorNumber::FileNotFound:
      return "File not found";
    case ErrorNumber::FunctionNotBound:
      return "Function not found in its library";
    case ErrorNumber::ControlMissing:
      return "Control array element does not exist";
    case ErrorNumber::AlreadyLoaded:
      return "Object already loaded";
    case ErrorNumber::Internal:
      return "Internal error";
  }
  return "Unknown error";
}

}  // namespace ui
