#pragma once

#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "ui/driver.h"
#include "ui/error.h"
#include "ui/form.h"
#include "ui/keyboard.h"
#include "ui/tick_schedule.h"

namespace ui {

class CommandButton;
class Control;
class Timer;

// Thrown by end() to leave the running handler at once; only the dispatcher
// and the message box catch it.
struct EndRequest {};

// The program: its title, its program-wide form instances, the one event
// dispatcher, the modal message box and the ways of ending.
class Application final : public FormHost {
 public:
  using FormFactory = std::function<std::unique_ptr<Form>(Application&)>;

  Application(Driver& driver, std::string title);
  Application(const Application&) = delete;
  Application& operator=(const Application&) = delete;
  Application(Application&&) = delete;
  Application& operator=(Application&&) = delete;
  ~Application();

  Application& application() override { return *this; }

  [[nodiscard]] const std::string& title() const { return title_; }
  [[nodiscard]] Driver& driver() const override { return *driver_; }

  // Makes a form known by name; its instance is created on first reference.
  void registerForm(std::string name, FormFactory factory);
  // The program-wide instance, created on first reference (not loaded).
  Form& form(std::string_view name);
  template <typename T>
  T& form(std::string_view name) {
    return dynamic_cast<T&>(form(name));
  }
  // The instance if it exists and is loaded; never creates one.
  [[nodiscard]] Form* loadedForm(std::string_view name) const;

  // The modal message box: the prompt, an OK button, no icon, the title as
  // caption. It belongs to the window whose event is being handled. Pending
  // redraws are painted first, so the box shows the scene as the handler
  // left it.
  void msgBox(std::string_view prompt);

  // The program-wide end: every window closes without any handler running,
  // and the process exits with status 0. Never returns.
  [[noreturn]] void end();

  // Runs one handler through the dispatcher: an escaping Error becomes the
  // untrapped-error report, then the program ends with status 1.
  // Events after the end, or while an untrapped error is being reported, are
  // dropped.
  template <typename F>
  void dispatch(F&& handler) {
    if (ended() || reporting_) {
      return;
    }
    ++depth_;
    try {
      std::forward<F>(handler)();
    } catch (...) {
      handleEscape(std::current_exception());
    }
    --depth_;
    afterHandler();
  }

  // Event entry points for drivers.
  // A key went down in a window. The help key goes to the window's help
  // handler. A dialog's keys are its buttons': Tab moves the focus, Enter
  // clicks the framed button, Escape the cancel one, the space bar the
  // focused one, Alt with a letter the button of that access key. Elsewhere
  // the Windows keyboard's table decides what the key types.
  KeyResult keyDown(Form& form, const KeyStroke& stroke);
  // Text the platform composed for a key the model left to it (or that an
  // input method committed): a key press for each UTF-16 unit. A dialog types
  // nothing.
  void typed(Form& form, std::u16string_view text);
  // The left mouse button at a pixel of a window's client area.
  void mousePress(Form& form, int x, int y) { form.mousePressed(x, y); }
  void mouseRelease(Form& form, int x, int y);
  // A finger on a window's client area. On an item a reader may press (the
  // "About" bar), or in a dialog, it is the left button. Elsewhere it is the
  // space bar held down, repeating as a held key does (kRepeatDelay, then
  // every kRepeatInterval), until the finger lifts, a message box opens or
  // the window unloads.
  void touchDown(Form& form, int x, int y);
  void touchUp(Form& form, int x, int y);
  // A click on a control the driver hit-tests itself (a command button).
  void click(Control& control);
  // The user gave a button the keyboard focus (a click on it).
  void focusTo(CommandButton& button) { button.form().setFocus(&button); }
  // A window became the active one: its focus is where it was.
  void activated(Form& form);
  // A screen reader presses an item: refused (false) unless it is a pressable
  // item of the loaded form now and no message box is open. An accepted press
  // clicks once the reader's call has returned (Driver::post), if it still may.
  bool accessiblePress(Form& form, const Control* control);
  // The user closed a window through its frame (close box, system menu).
  void closeRequested(Form& form);
  // The time the driver was asked to wake at has come: every timer that is
  // due ticks once.
  void deliverDueTicks();
  // Start-up: load and show the start-up form; false when the program
  // already ended in the course of it.
  bool start(std::string_view startupForm);
  // The driver's event loop is about to wait: with no event running, the
  // windows of forms unloaded meanwhile go (one may have been unloaded in
  // its own event, which is over now).
  void idle();

  [[nodiscard]] bool ended() const { return exitStatus_.has_value(); }
  [[nodiscard]] std::optional<int> exitStatus() const { return exitStatus_; }

  // When the next tick is due on the driver's clock; nothing while no timer runs.
  [[nodiscard]] std::optional<Driver::Time> nextTick() const { return ticks_.nextDue(); }

  // What forms and timers report (FormHost).
  void formUnloading(Form& form) override;
  void formDirty() override { repaintPending_ = true; }
  void timerChanged(Timer& timer) override;

 private:
  // dispatch(), for an event of one window: a message box that its handler
  // opens belongs to that window.
  template <typename F>
  void dispatchTo(Form& form, F&& handler) {
    Form* const outer = std::exchange(eventForm_, &form);
    dispatch(std::forward<F>(handler));
    eventForm_ = outer;
  }
  [[nodiscard]] Form* boxOwner() const;
  KeyResult dialogKey(Form& form, const KeyStroke& stroke);
  void keyPress(Form& form, char16_t code);
  void showBox(std::string_view prompt);
  void tick(Timer& timer);
  // When the driver should wake next: the next tick, or the held finger's repeat.
  [[nodiscard]] std::optional<Driver::Time> nextWake() const;
  // Tells the driver when to wake next, if that changed.
  void rearm();
  [[noreturn]] static void throwEnd();
  void finish(int status);
  void handleEscape(const std::exception_ptr& escaped);
  void flushRepaints();
  void afterHandler();
  [[nodiscard]] bool anyLoaded() const;
  // The control, when a screen reader may press it now; nullptr otherwise.
  [[nodiscard]] Control* pressable(const Form& form, const Control* control) const;

  struct Entry {
    std::string name;
    FormFactory factory;
    std::unique_ptr<Form> instance;
  };

  Driver* driver_;
  std::string title_;
  std::vector<Entry> forms_;
  TickSchedule ticks_;
  std::optional<Driver::Time> wake_;  // what the driver was last asked
  struct HeldFinger {
    Form* form;
    Driver::Time repeat;  // when the space bar it holds repeats next
  };
  std::optional<HeldFinger> finger_;
  std::optional<int> exitStatus_;
  Form* eventForm_ = nullptr;  // the window whose event is being handled
  int depth_ = 0;
  int boxes_ = 0;  // message boxes open
  bool repaintPending_ = false;
  bool reporting_ = false;
  bool windowsToRelease_ = false;
  // What a posted task holds: the program, while it lives.
  std::shared_ptr<Application*> self_ = std::make_shared<Application*>(this);
};

}  // namespace ui
