#pragma once

#include <windows.h>

#include <chrono>
#include <deque>
#include <functional>
#include <optional>

#include "platform/win32/base_window.h"
#include "platform/win32/handles.h"
#include "ui/driver.h"
#include "ui/win32/gdi_cache.h"
#include "ui/windowed_driver.h"

namespace ui::win32 {

class FormWindow;

// The model on the plain Windows API: one top-level window per loaded form,
// painted from the model, real BUTTON controls, MessageBoxW, and a waitable
// timer that wakes the message loop when a tick is due. Its own window, a
// message-only one, runs posted tasks and has a WM_TIMER set for each tick as
// well, which comes through the modal loops that the system runs (a window
// moved or sized, a menu, a message box), where the driver's loop does not wait.
class Win32Driver final : public ui::WindowedDriver<FormWindow>,
                          private platform::win32::BaseWindow<Win32Driver> {
 public:
  static constexpr const wchar_t* kClassName = L"VorelTicks";

  // Raises ui::Error with the reason when the system refuses a timer or a window.
  Win32Driver();
  Win32Driver(const Win32Driver&) = delete;
  Win32Driver& operator=(const Win32Driver&) = delete;
  Win32Driver(Win32Driver&&) = delete;
  Win32Driver& operator=(Win32Driver&&) = delete;
  ~Win32Driver() override;

  void attach(ui::Application& app) override { app_ = &app; }
  [[nodiscard]] Time now() const override {
    return std::chrono::steady_clock::now().time_since_epoch();
  }
  void wakeAt(std::optional<Time> due) override;
  void messageBox(const ui::BoxRequest& box) override;
  void quit(int status) override;
  void post(std::function<void()> task) override;

  // The message loop, until quit; returns the status quit was given. It may
  // run inside itself, from a handler.
  int exec();

  // The window of a loaded form; nullptr when it has none.
  [[nodiscard]] HWND windowOf(const ui::Form& form) const;
  // Whether the loop will wake for a tick.
  [[nodiscard]] bool waking() const { return due_.has_value(); }

 protected:
  [[nodiscard]] std::unique_ptr<FormWindow> makeWindow(ui::Form& form) override;

 private:
  friend class platform::win32::BaseWindow<Win32Driver>;
  LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  // A key for a form's window goes to the model first; false when it took it.
  bool keyToModel(const MSG& message);
  // Waits for a message or the next tick; true when the tick is due.
  bool waitForMessageOrTick();

  ui::Application* app_ = nullptr;
  GdiCache gdi_;
  std::optional<Time> due_;                   // when the next tick is due
  platform::win32::KernelHandle wakeTimer_;   // wakes the loop for it
  std::deque<std::function<void()>> posted_;  // each with its message in the queue
};

}  // namespace ui::win32
