#pragma once

// Reading a window's pixels as the screen shows them. Shared by the Windows
// tests and the performance report's probe.

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "ui/picture.h"
#include "ui/win32/handles.h"

namespace win32_testing {

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
    const ui::win32::MemoryDc memory(::CreateCompatibleDC(screen));
    const ui::win32::BitmapHandle bitmap(::CreateCompatibleBitmap(screen, width_, height_));
    {
      const ui::win32::Selection selected(memory.get(), bitmap.get());
      ::BitBlt(memory.get(), 0, 0, width_, height_, screen, origin.x, origin.y, SRCCOPY);
    }
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width_;
    info.bmiHeader.biHeight = -height_;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    ::GetDIBits(memory.get(), bitmap.get(), 0, static_cast<UINT>(height_), pixels_.data(), &info,
                DIB_RGB_COLORS);
    ::ReleaseDC(source, screen);
  }

  [[nodiscard]] int width() const { return width_; }
  [[nodiscard]] int height() const { return height_; }
  // How many pixels have that 0xRRGGBB colour.
  [[nodiscard]] long count(std::uint32_t colour) const {
    return static_cast<long>(
        std::count_if(pixels_.begin(), pixels_.end(),
                      [&](std::uint32_t pixel) { return (pixel & 0xFFFFFF) == colour; }));
  }
  [[nodiscard]] std::uint32_t at(int x, int y) const {
    return pixels_[static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) +
                   static_cast<std::size_t>(x)] &
           0xFFFFFF;
  }
  // True when the picture is there at its own size with its top-left pixel at
  // (x, y); only its first `columns` columns when a number is given.
  [[nodiscard]] bool shows(const ui::Picture& picture, int x, int y, int columns = -1) const {
    const int shown = columns < 0 ? picture.width : std::min(columns, picture.width);
    if (x < 0 || y < 0 || x + shown > width_ || y + picture.height > height_) {
      return false;
    }
    for (int row = 0; row < picture.height; ++row) {
      for (int column = 0; column < shown; ++column) {
        const std::uint32_t expected =
            picture.pixels[static_cast<std::size_t>(row * picture.width + column)] & 0xFFFFFF;
        if (at(x + column, y + row) != expected) {
          return false;
        }
      }
    }
    return true;
  }

 private:
  int width_ = 0;
  int height_ = 0;
  std::vector<std::uint32_t> pixels_;
};

}  // namespace win32_testing
