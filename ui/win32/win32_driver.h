#pragma once

#include <windows.h>

#include <map>
#include <memory>
#include <optional>
#include <string_view>
#include <tuple>
#include <vector>

#include "platform/win32/handles.h"
#include "ui/driver.h"
#include "ui/picture.h"
#include "ui/style.h"
#include "ui/win32/form_window.h"
#include "ui/window_table.h"

namespace ui::win32 {

// The model on the plain Windows API: one top-level window per loaded form,
// painted from the model, real BUTTON controls, MessageBoxW, and a waitable
// timer that wakes the message loop when a tick is due.
class Win32Driver final : public Driver {
 public:
  // Registers the window classes and makes the timer; raises ui::Error with
  // the reason when the system refuses.
  Win32Driver();
  Win32Driver(const Win32Driver&) = delete;
  Win32Driver& operator=(const Win32Driver&) = delete;
  Win32Driver(Win32Driver&&) = delete;
  Win32Driver& operator=(Win32Driver&&) = delete;
  ~Win32Driver() override;

  void attach(Application& app) override { app_ = &app; }
  void formLoaded(Form& form) override;
  void formShown(Form& form) override;
  void formUnloading(Form& form) override;
  void captionChanged(Form& form) override;
  void repaint(Form& form, const PixelRect& area) override;
  [[nodiscard]] Time now() const override;
  void wakeAt(std::optional<Time> due) override;
  void messageBox(std::string_view prompt, std::string_view title, Form* owner) override;
  void quit(int status) override;

  // The message loop, until quit; returns the status quit was given. It may
  // run inside itself, from a handler.
  int exec();

  // The window of a loaded form; nullptr when it has none.
  [[nodiscard]] HWND windowOf(const Form& form) const;
  // Whether the loop will wake for a tick.
  [[nodiscard]] bool waking() const { return due_.has_value(); }

  // What the windows share for painting.
  HBITMAP bitmapOf(const Picture& picture);
  // A design font at a DPI.
  HFONT fontOf(const Font& font, UINT dpi);
  // The system's message face, at the system's DPI.
  [[nodiscard]] static LOGFONTW messageFont();
  // Enters and leaves a modal loop that the system runs (moving or sizing a
  // window, a menu, a message box): ticks go on through WM_TIMER meanwhile.
  void enterModalLoop();
  void leaveModalLoop();

  // The messages of the window that takes WM_TIMER in modal loops.
  LRESULT handleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

 private:
  [[nodiscard]] FormWindow* findWindow(HWND window) const;
  void dispatch(MSG& message);
  // Waits for a message or the next tick, whichever comes first; true when
  // the tick's time has come.
  bool waitForMessageOrTick();
  // Arms the WM_TIMER bridge for the next tick while a modal loop runs.
  void armBridge();

  Application* app_ = nullptr;
  WindowTable<FormWindow> windows_;
  // Windows destroyed while their own message may still be on the stack;
  // dropped by the outermost loop.
  std::vector<std::unique_ptr<FormWindow>> retired_;
  LONGLONG frequency_;
  std::optional<Time> due_;             // when the next tick is due
  platform::win32::KernelHandle wake_;  // the waitable timer that wakes the loop for it
  HWND bridge_ = nullptr;               // message-only window that takes WM_TIMER in modal loops
  int modalDepth_ = 0;
  int loopDepth_ = 0;
  std::map<const Picture*, platform::win32::BitmapHandle> bitmaps_;
  std::map<std::tuple<int, int, bool, int, UINT>, platform::win32::FontHandle> fonts_;
};

}  // namespace ui::win32
