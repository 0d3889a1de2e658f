#pragma once

#include <chrono>
#include <optional>
#include <string_view>

#include "ui/geometry.h"

namespace ui {

class Application;
class Form;

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
  // Show the window (or bring it forward) and make it active.
  virtual void formShown(Form& form) = 0;
  // Destroy the window; the form's controls still exist during the call.
  virtual void formUnloading(Form& form) = 0;
  virtual void captionChanged(Form& form) = 0;
  // Repaint part of a window, buttons included. Called only between handlers
  // and before a message box opens, never in the middle of a handler.
  virtual void repaint(Form& form, const PixelRect& area) = 0;

  // The monotonic clock that ticks are scheduled on; any origin.
  [[nodiscard]] virtual Time now() const = 0;
  // Call Application::deliverDueTicks once `due` has come (at once if it is
  // past), replacing any earlier request; nothing: no wake-up at all.
  virtual void wakeAt(std::optional<Time> due) = 0;

  // A modal box with an OK button only and no icon, holding every window of
  // the program; returns when dismissed, delivering events meanwhile. It
  // belongs to `owner` (nullptr: to none), and the window system places it
  // over that window.
  virtual void messageBox(std::string_view prompt, std::string_view title, Form* owner) = 0;

  // Leave every event loop, nested ones included; the program exits with status.
  virtual void quit(int status) = 0;
};

}  // namespace ui
