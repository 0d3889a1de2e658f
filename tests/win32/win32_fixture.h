#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "ui/application.h"
#include "ui/win32/win32_driver.h"

namespace win32_testing {

using namespace std::chrono_literals;

// Answers the message boxes of this process as a user would, from a thread of
// its own: it reads each box's title and text, waits until `ready` holds,
// then presses OK.
class BoxAnswerer {
 public:
  struct Box {
    std::wstring title;
    std::wstring text;
  };

  explicit BoxAnswerer(std::function<bool()> ready = [] { return true; })
      : ready_(std::move(ready)), thread_([this](const std::stop_token& stop) { run(stop); }) {}

  [[nodiscard]] std::vector<Box> boxes() const {
    const std::scoped_lock lock(mutex_);
    return boxes_;
  }
  [[nodiscard]] int answered() const { return answered_.load(); }

 private:
  struct Search {
    DWORD process;
    HWND found;
  };
  static BOOL CALLBACK visit(HWND window, LPARAM data) {
    auto& search = *reinterpret_cast<Search*>(data);
    DWORD process = 0;
    ::GetWindowThreadProcessId(window, &process);
    wchar_t name[16]{};
    ::GetClassNameW(window, name, 16);
    // A box that another one covers is disabled until that one is answered.
    if (process == search.process && std::wstring(name) == L"#32770" && ::IsWindowVisible(window) &&
        ::IsWindowEnabled(window)) {
      search.found = window;
      return FALSE;
    }
    return TRUE;
  }
  // A message box of this process, the dialog class the system gives them.
  static HWND findBox() {
    Search search{::GetCurrentProcessId(), nullptr};
    ::EnumWindows(&visit, reinterpret_cast<LPARAM>(&search));
    return search.found;
  }

  static std::wstring textOf(HWND window) {
    wchar_t text[512]{};
    ::GetWindowTextW(window, text, 512);
    return text;
  }

  void run(const std::stop_token& stop) {
    while (!stop.stop_requested()) {
      HWND box = findBox();
      if (box == nullptr || !ready_()) {
        std::this_thread::sleep_for(20ms);
        continue;
      }
      {
        const std::scoped_lock lock(mutex_);
        // The prompt is the box's static control, id 0xFFFF.
        boxes_.push_back(Box{textOf(box), textOf(::GetDlgItem(box, 0xFFFF))});
      }
      ::PostMessageW(box, WM_COMMAND, IDOK, 0);
      ++answered_;
      while (::IsWindow(box) && ::IsWindowVisible(box) && !stop.stop_requested()) {
        std::this_thread::sleep_for(10ms);
      }
    }
  }

  std::function<bool()> ready_;
  mutable std::mutex mutex_;
  std::vector<Box> boxes_;
  std::atomic<int> answered_{0};
  std::jthread thread_;
};

// The Win32 driver with an application on it, and the user's input as the
// window system delivers it: messages in the thread's queue.
class DriverTest : public ::testing::Test {
 protected:
  // Runs the real message loop until `done` holds (or the program ends).
  bool runUntil(const std::function<bool()>& done) { return driver.runUntil(done, 20s); }

  static HWND focused(HWND fallback) {
    HWND focus = ::GetFocus();
    return focus != nullptr ? focus : fallback;
  }
  static void pressKey(HWND window, WPARAM key) {
    ::PostMessageW(window, WM_KEYDOWN, key, 1);
    ::PostMessageW(window, WM_KEYUP, key, 0xC0000001);
  }
  static void click(HWND window, int x, int y) {
    ::PostMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    ::PostMessageW(window, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
  }

  ui::win32::Win32Driver driver;
  ui::Application app{driver, "vorel"};
};

}  // namespace win32_testing
