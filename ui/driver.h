#pragma once

#include <chrono>
#include <functional>
#include <optional>
#include <string_view>

#include "ui/geometry.h"

namespace ui {

class Application;
class Form;

// A modal box with an OK button only and no icon, as the model asks for it.
struct BoxRequest {
  std::string_view prompt;
  std::string_view title;
  // The window it belongs to, which the window system puts it over; nullptr: none.
  Form* owner = nullptr;
  bool rightToLeft = false;  // the prompt reads, and the box is laid out, right to left
};

// What a windowing back end does for the model: it turns the model's requests
// into native calls, and native events into the Application's entry points.
// Everything that does not depend on the toolkit is decided in the model.
class Driver {
 public:
  using Time = std::chrono::nanoseconds;

  Driver() = default;
  Driver(const Driver&) = delete;
  Driver& operator=(const Driver&) = delete;
  Driver(Driver&&) = delete;
  Driver& operator=(Driver&&) = delete;
  virtual ~Driver() = default;

  virtual void attach(Application& app) = 0;

  // The form's controls exist: make its window, still hidden.
  virtual void formLoaded(Form& form) = 0;
  // Show the window, restored if the user minimised it, in front of the
  // others, and make it active: a window shown is a window seen.
  virtual void formShown(Form& form) = 0;
  // The form is unloading (its controls still exist during the call): its
  // window leaves the screen at once and reaches the model no more. The
  // window may be inside one of its own events; it stays until releaseWindows.
  virtual void formUnloading(Form& form) = 0;
  // No event of the program is running: the windows of unloaded forms go.
  virtual void releaseWindows() = 0;
  virtual void captionChanged(Form& form) = 0;
  // The form's focus or the button that shows the default frame changed, or
  // its window became active again: the native focus and frames follow.
  virtual void focusChanged(Form& form) = 0;
  // The place or visibility of some of the form's command buttons changed:
  // the native buttons follow now. Called before the repaint that shows it.
  virtual void buttonsChanged(Form& form) = 0;
  // Paint part of a window now (Form::paint), buttons included. Called only
  // between handlers and before a message box opens.
  virtual void repaint(Form& form, const PixelRect& area) = 0;

  // The monotonic clock that ticks are scheduled on; any origin.
  [[nodiscard]] virtual Time now() const = 0;
  // Call Application::deliverDueTicks once `due` has come (at once if it is
  // past), replacing any earlier request; nothing: no wake-up at all.
  virtual void wakeAt(std::optional<Time> due) = 0;

  // Runs `task` as an event of its own once the native call in progress has
  // returned.
  virtual void post(std::function<void()> task) = 0;

  // The box, holding every window of the program; returns when dismissed,
  // delivering events meanwhile.
  virtual void messageBox(const BoxRequest& box) = 0;

  // Leave every event loop, nested ones included; the program exits with status.
  // The model has already stopped the clock and unloaded every form.
  virtual void quit(int status) = 0;
};

}  // namespace ui
