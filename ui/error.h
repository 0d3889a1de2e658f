#pragma once

#include <stdexcept>
#include <string>

namespace ui {

// Error numbers of the windowing layer. Handlers never trap these (but one), so
// the number and description end up in the untrapped-error report.
enum class ErrorNumber : int {
  InvalidArgument = 5,
  Overflow = 6,
  OutOfMemory = 7,
  TypeMismatch = 13,
  FileNotFound = 53,
  FunctionNotBound = 453,
  ControlMissing = 340,
  AlreadyLoaded = 360,
  Internal = 51,
};

// The one error type of the model: a failed operation on a window or control,
// a failed check of position arithmetic, or a failed platform call.
class Error : public std::runtime_error {
 public:
  explicit Error(ErrorNumber number);
  Error(ErrorNumber number, const std::string& description);

  [[nodiscard]] int number() const noexcept { return number_; }
  [[nodiscard]] std::string description() const { return what(); }

  // The standard wording for a number.
  static const char* describe(ErrorNumber number) noexcept;

 private:
  int number_;
};

}  // namespace ui
