#pragma once

// A program's windows as a person at the screen sees them: its shown
// top-level windows by class and title, and their pixels.

#include <windows.h>

#include <cstdint>
#include <span>

#include "frame.h"
#include "platform/win32/handles.h"

namespace win32_testing {

// The topmost shown top-level window of the process with that class and title
// (nullptr: any); nullptr when there is none.
inline HWND findWindow(const wchar_t* className, const wchar_t* caption,
                       DWORD process = ::GetCurrentProcessId()) {
  HWND window = nullptr;
  while ((window = ::FindWindowExW(nullptr, window, className, caption)) != nullptr) {
    DWORD owner = 0;
    ::GetWindowThreadProcessId(window, &owner);
    if (owner == process && ::IsWindowVisible(window)) {
      return window;
    }
  }
  return nullptr;
}

// A window's client area as the screen shows it. A window of another process
// is read off the screen, where nothing may cover it.
inline testing_support::Frame capture(HWND window) {
  RECT client{};
  ::GetClientRect(window, &client);
  DWORD owner = 0;
  ::GetWindowThreadProcessId(window, &owner);
  const HWND source = owner == ::GetCurrentProcessId() ? window : nullptr;
  POINT origin{0, 0};
  if (source == nullptr) {
    ::ClientToScreen(window, &origin);
  }
  testing_support::Frame frame{client.right, client.bottom, {}};
  BITMAPINFO info{};
  info.bmiHeader = {
      sizeof info.bmiHeader, frame.width, -frame.height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  const platform::win32::BitmapHandle bitmap(
      ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  const platform::win32::MemoryDc memory(::CreateCompatibleDC(nullptr));
  const platform::win32::WindowDc screen(source);
  const platform::win32::Selection selected(memory.get(), bitmap.get());
  ::BitBlt(memory.get(), 0, 0, frame.width, frame.height, screen.get(), origin.x, origin.y,
           SRCCOPY);
  ::GdiFlush();
  const auto* first = static_cast<const std::uint32_t*>(bits);
  for (const std::uint32_t pixel :
       std::span(first, static_cast<std::size_t>(frame.width * frame.height))) {
    frame.pixels.push_back(pixel & 0xFFFFFF);
  }
  return frame;
}

}  // namespace win32_testing
