#pragma once

namespace ui {

class Application;
class Form;
class Timer;

// What a form asks of the program it belongs to. The program implements it;
// the form reaches nothing above it but through this.
class FormHost {
 public:
  // The program, for the handlers (other windows, the message box, the end).
  [[nodiscard]] virtual Application& application() = 0;
  // The form's controls exist (its window is made, still hidden), or it is
  // to be shown, or it is unloading and its timers go with it.
  virtual void formLoaded(Form& form) = 0;
  virtual void formShown(Form& form) = 0;
  virtual void formUnloading(Form& form) = 0;
  virtual void captionChanged(Form& form) = 0;
  virtual void focusChanged(Form& form) = 0;
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
