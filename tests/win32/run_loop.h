#pragma once

// The driver's own loop, run by a test until something holds.

#include <windows.h>

#include <chrono>
#include <functional>

#include "screen.h"
#include "ui/application.h"
#include "ui/win32/win32_driver.h"

namespace win32_testing {

namespace detail {
struct Watch {
  const std::function<bool()>* done;
  std::chrono::steady_clock::time_point deadline;
  HWND box;  // the message box that was up when the watch began
  Watch* outer;
  bool over = false;
};
inline Watch* watching = nullptr;

inline HWND openBox() {
  return findWindow({.process = ::GetCurrentProcessId(), .className = L"#32770"});
}

// Ends the innermost loop with a quit message once its watch is over; never
// while a box opened since is up, whose own loop would take the quit: one that
// nobody answers is dismissed once the time is up, so that the test fails
// rather than hangs.
inline void CALLBACK look(HWND /*window*/, UINT /*message*/, UINT_PTR /*id*/, DWORD /*time*/) {
  Watch* watch = watching;
  const bool late = watch != nullptr && std::chrono::steady_clock::now() >= watch->deadline;
  if (watch == nullptr || watch->over || openBox() != watch->box) {
    if (late) {
      ::PostMessageW(openBox(), WM_COMMAND, IDOK, 0);
    }
    return;
  }
  if ((*watch->done)() || late) {
    watch->over = true;
    ::PostQuitMessage(0);
  }
}
}  // namespace detail

// Runs the driver's loop until `done` holds, the program ends or `limit`
// passes; returns done().
inline bool runUntil(ui::win32::Win32Driver& driver, const ui::Application& app,
                     const std::function<bool()>& done, std::chrono::milliseconds limit) {
  if (done() || app.ended()) {
    return done();
  }
  detail::Watch watch{&done, std::chrono::steady_clock::now() + limit, detail::openBox(),
                      detail::watching};
  detail::watching = &watch;
  const UINT_PTR timer = ::SetTimer(nullptr, 0, 10, &detail::look);
  driver.exec();
  ::KillTimer(nullptr, timer);
  detail::watching = watch.outer;
  return done();
}

}  // namespace win32_testing
