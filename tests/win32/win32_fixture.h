#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "capture.h"
#include "top_windows.h"
#include "ui/application.h"
#include "ui/picture.h"
#include "ui/win32/handles.h"
#include "ui/win32/win32_driver.h"

namespace win32_testing {

using namespace std::chrono_literals;

// Answers the message boxes of this process as a user would, from a thread of
// its own: it reads each box's title and text, then presses OK.
class BoxAnswerer {
 public:
  struct Box {
    std::wstring title;
    std::wstring text;
  };

  BoxAnswerer() : thread_([this](const std::stop_token& stop) { run(stop); }) {}

  [[nodiscard]] std::vector<Box> boxes() const {
    const std::scoped_lock lock(mutex_);
    return boxes_;
  }

 private:
  // A message box of this process, the dialog class the system gives them.
  static HWND findBox() {
    return findWindow(
        {.process = ::GetCurrentProcessId(), .className = L"#32770", .enabledOnly = true});
  }

  static std::wstring textOf(HWND window) {
    wchar_t text[512]{};
    ::GetWindowTextW(window, text, 512);
    return text;
  }

  void run(const std::stop_token& stop) {
    while (!stop.stop_requested()) {
      HWND box = findBox();
      if (box == nullptr) {
        std::this_thread::sleep_for(20ms);
        continue;
      }
      {
        const std::scoped_lock lock(mutex_);
        // The prompt is the box's static control, id 0xFFFF.
        boxes_.push_back(Box{textOf(box), textOf(::GetDlgItem(box, 0xFFFF))});
      }
      ::PostMessageW(box, WM_COMMAND, IDOK, 0);
      while (::IsWindow(box) && ::IsWindowVisible(box) && !stop.stop_requested()) {
        std::this_thread::sleep_for(10ms);
      }
    }
  }

  mutable std::mutex mutex_;
  std::vector<Box> boxes_;
  std::jthread thread_;
};

// The user's keyboard and mouse, through the system's input queue: the keys go
// to the window that has the focus, the clicks to the window under the cursor.
class User {
 public:
  static void press(WORD key) { send({keyInput(key, 0), keyInput(key, KEYEVENTF_KEYUP)}); }
  // A key held down while another is pressed, as Alt+S.
  static void chord(WORD held, WORD key) {
    send({keyInput(held, 0), keyInput(key, 0), keyInput(key, KEYEVENTF_KEYUP),
          keyInput(held, KEYEVENTF_KEYUP)});
  }
  // A left click at a point of a window's client area.
  static void click(HWND window, int x, int y) {
    POINT point{x, y};
    ::ClientToScreen(window, &point);
    ::SetCursorPos(point.x, point.y);
    send({mouseInput(MOUSEEVENTF_LEFTDOWN), mouseInput(MOUSEEVENTF_LEFTUP)});
  }
  // A left click in the middle of a child window, such as a button.
  static void clickCentre(HWND child) {
    RECT box{};
    ::GetClientRect(child, &box);
    click(child, box.right / 2, box.bottom / 2);
  }

 private:
  static INPUT keyInput(WORD key, DWORD flags) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.dwFlags = flags;
    return input;
  }
  static INPUT mouseInput(DWORD flags) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = flags;
    return input;
  }
  static void send(std::vector<INPUT> inputs) {
    const UINT sent = ::SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
    ASSERT_EQ(sent, inputs.size()) << "SendInput refused, error " << ::GetLastError();
  }
};

// A Unix path as Wine's Z: drive shows it.
inline std::wstring windowsPath(std::string_view unixPath) {
  std::wstring path = L"Z:";
  for (const char c : unixPath) {
    path.push_back(c == '/' ? L'\\' : static_cast<wchar_t>(c));
  }
  return path;
}

// The Win32 driver with an application on it, and the user's input as the
// window system delivers it: messages in the thread's queue.
class DriverTest : public ::testing::Test {
 protected:
  // Runs the real message loop until `done` holds (or the program ends). A
  // thread nudges the loop now and then, so that `done` is looked at even
  // while no timer runs and no input comes.
  bool runUntil(const std::function<bool()>& done) {
    const DWORD loopThread = ::GetCurrentThreadId();
    const std::jthread nudger([loopThread](const std::stop_token& stop) {
      while (!stop.stop_requested()) {
        std::this_thread::sleep_for(10ms);
        ::PostThreadMessageW(loopThread, WM_NULL, 0, 0);
      }
    });
    return driver.runUntil(done, 20s);
  }

  static void click(HWND window, int x, int y) {
    ::PostMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    ::PostMessageW(window, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
  }

  ui::win32::Win32Driver driver;
  ui::Application app{driver, "vorel"};
};

}  // namespace win32_testing
