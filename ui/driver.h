#pragma once

#include <string_view>

#include "ui/geometry.h"

namespace ui {

class Application;
class Form;
class Timer;

// What a windowing back end does for the model. The model calls these; the
// driver calls back into the Application's event entry points.
class Driver {
 public:
  Driver() = default;
  Driver(const Driver&) = delete;
  Driver& operator=(const Driver&) = delete;
  Driver(Driver&&) = delete;
  Driver& operator=(Driver&&) = delete;
  virtual ~Driver() = default;

  virtual void attach(Application& app) = 0;

  // The form's controls exist; make its window, still hidden, and start those
  // of its timers that are running.
  virtual void formLoaded(Form& form) = 0;
  // Show the window (or bring it forward) and make it active.
  virtual void formShown(Form& form) = 0;
  // Destroy the window; the form's controls still exist during the call.
  virtual void formUnloading(Form& form) = 0;
  virtual void captionChanged(Form& form) = 0;
  // Repaint part of a window. Called only between handlers and before a
  // message box opens, never in the middle of a handler.
  virtual void repaint(Form& form, const PixelRect& area) = 0;
  // A timer's Interval, Enabled or life changed; see Timer::running().
  virtual void timerChanged(Timer& timer) = 0;

  // A modal box with an OK button only and no icon; returns when dismissed,
  // delivering events meanwhile.
  virtual void messageBox(std::string_view prompt, std::string_view title) = 0;

  // Leave every event loop, nested ones included; the program exits with status.
  virtual void quit(int status) = 0;
};

}  // namespace ui
