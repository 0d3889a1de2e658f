#pragma once

// A program's windows as a person at the screen sees them: top-level windows
// found by process, class and title, and their pixels.

#include <windows.h>

#include <cstdint>
#include <string_view>
#include <vector>

#include "platform/win32/handles.h"

namespace win32_testing {

// What a window must be to count; a field left empty (or 0) matches anything.
struct WindowQuery {
  DWORD process = 0;
  std::wstring_view className;
  std::wstring_view caption;
  bool enabledOnly = false;  // a box covered by another one is disabled
};

namespace detail {
struct Search {
  const WindowQuery* query;
  HWND found = nullptr;
};

inline BOOL CALLBACK visit(HWND window, LPARAM data) {
  auto& search = *reinterpret_cast<Search*>(data);  // NOLINT(performance-no-int-to-ptr)
  const WindowQuery& query = *search.query;
  DWORD owner = 0;
  ::GetWindowThreadProcessId(window, &owner);
  wchar_t name[64]{};
  ::GetClassNameW(window, name, 64);
  // Read without a message: asking a window of this process for its text
  // would wait on its thread, which may be waiting for this one.
  wchar_t text[128]{};
  ::InternalGetWindowText(window, text, 128);
  if ((query.process != 0 && owner != query.process) || ::IsWindowVisible(window) == FALSE ||
      (query.enabledOnly && ::IsWindowEnabled(window) == FALSE) ||
      (!query.className.empty() && query.className != name) ||
      (!query.caption.empty() && query.caption != text)) {
    return TRUE;
  }
  search.found = window;
  return FALSE;
}
}  // namespace detail

// The topmost visible top-level window that matches; nullptr when there is none.
inline HWND findWindow(const WindowQuery& query) {
  detail::Search search{&query};
  ::EnumWindows(&detail::visit, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// A window's client area as the screen shows it, one 0xRRGGBB word per pixel.
// A window of another process is read off the screen, where nothing may cover it.
class Capture {
 public:
  explicit Capture(HWND window) {
    RECT client{};
    ::GetClientRect(window, &client);
    width_ = client.right;
    height_ = client.bottom;
    pixels_.resize(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_));
    DWORD owner = 0;
    ::GetWindowThreadProcessId(window, &owner);
    const HWND source = owner == ::GetCurrentProcessId() ? window : nullptr;
    POINT origin{0, 0};
    if (source == nullptr) {
      ::ClientToScreen(window, &origin);
    }
    HDC screen = ::GetDC(source);
    const platform::win32::MemoryDc memory(::CreateCompatibleDC(screen));
    const platform::win32::BitmapHandle bitmap(::CreateCompatibleBitmap(screen, width_, height_));
    {
      const platform::win32::Selection selected(memory.get(), bitmap.get());
      ::BitBlt(memory.get(), 0, 0, width_, height_, screen, origin.x, origin.y, SRCCOPY);
    }
    BITMAPINFO info{};
    info.bmiHeader = {sizeof info.bmiHeader, width_, -height_, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    ::GetDIBits(memory.get(), bitmap.get(), 0, static_cast<UINT>(height_), pixels_.data(), &info,
                DIB_RGB_COLORS);
    ::ReleaseDC(source, screen);
    for (std::uint32_t& pixel : pixels_) {
      pixel &= 0xFFFFFF;
    }
  }

  [[nodiscard]] int width() const { return width_; }
  [[nodiscard]] int height() const { return height_; }
  [[nodiscard]] const std::vector<std::uint32_t>& pixels() const { return pixels_; }
  // How many pixels of an area `pick` takes.
  template <typename Pick>
  [[nodiscard]] int count(const RECT& area, Pick pick) const {
    int found = 0;
    for (int y = area.top; y < area.bottom; ++y) {
      for (int x = area.left; x < area.right; ++x) {
        found += pick(pixels_[static_cast<std::size_t>(y * width_ + x)]) ? 1 : 0;
      }
    }
    return found;
  }

 private:
  int width_ = 0;
  int height_ = 0;
  std::vector<std::uint32_t> pixels_;
};

}  // namespace win32_testing
