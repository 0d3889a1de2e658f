#pragma once

namespace ui {

class Application;
class Driver;
class Form;
class Timer;

// What a form asks of the program it belongs to. The program implements it;
// the form reaches nothing above it but through this.
class FormHost {
 public:
  // The program, for the handlers (other windows, the message box, the end).
  [[nodiscard]] virtual Application& application() = 0;
  // The windowing back end, which shows the form.
  [[nodiscard]] virtual Driver& driver() const = 0;
  // The form is unloading: its timers, and then its window, go.
  virtual void formUnloading(Form& form) = 0;
  // Something of the form must be painted again.
  virtual void formDirty() = 0;
  // A timer started, stopped or changed its period.
  virtual void timerChanged(Timer& timer) = 0;

 protected:
  FormHost() = default;
  FormHost(const FormHost&) = default;
  FormHost& operator=(const FormHost&) = default;
  FormHost(FormHost&&) = default;
  FormHost& operator=(FormHost&&) = default;
  ~FormHost() = default;
};

}  // namespace ui
