#pragma once

#include <windows.h>

#include <memory>
#include <type_traits>

// Owners of native handles: each releases its handle the one right way.
namespace platform::win32 {

struct GdiObjectDeleter {
  void operator()(HGDIOBJ object) const noexcept { ::DeleteObject(object); }
};
template <typename H>
using GdiObject = std::unique_ptr<std::remove_pointer_t<H>, GdiObjectDeleter>;
using BitmapHandle = GdiObject<HBITMAP>;
using FontHandle = GdiObject<HFONT>;
using BrushHandle = GdiObject<HBRUSH>;

struct IconDeleter {
  void operator()(HICON icon) const noexcept { ::DestroyIcon(icon); }
};
using IconHandle = std::unique_ptr<std::remove_pointer_t<HICON>, IconDeleter>;

struct DcDeleter {
  void operator()(HDC dc) const noexcept { ::DeleteDC(dc); }
};
using MemoryDc = std::unique_ptr<std::remove_pointer_t<HDC>, DcDeleter>;

struct KernelHandleDeleter {
  void operator()(HANDLE handle) const noexcept { ::CloseHandle(handle); }
};
using KernelHandle = std::unique_ptr<void, KernelHandleDeleter>;

struct LibraryDeleter {
  void operator()(HMODULE module) const noexcept { ::FreeLibrary(module); }
};
using LibraryHandle = std::unique_ptr<std::remove_pointer_t<HMODULE>, LibraryDeleter>;

// The program's own module, which holds its resources and window classes.
inline HINSTANCE thisModule() {
  return ::GetModuleHandleW(nullptr);
}

// Selects a GDI object into a device context for the current scope.
class Selection {
 public:
  Selection(HDC dc, HGDIOBJ object) : dc_(dc), previous_(::SelectObject(dc, object)) {}
  Selection(const Selection&) = delete;
  Selection& operator=(const Selection&) = delete;
  Selection(Selection&&) = delete;
  Selection& operator=(Selection&&) = delete;
  ~Selection() { ::SelectObject(dc_, previous_); }

 private:
  HDC dc_;
  HGDIOBJ previous_;
};

// A window's device context (the screen's for nullptr) for the current scope.
class WindowDc {
 public:
  explicit WindowDc(HWND window) : window_(window), dc_(::GetDC(window)) {}
  WindowDc(const WindowDc&) = delete;
  WindowDc& operator=(const WindowDc&) = delete;
  WindowDc(WindowDc&&) = delete;
  WindowDc& operator=(WindowDc&&) = delete;
  ~WindowDc() { ::ReleaseDC(window_, dc_); }

  [[nodiscard]] HDC get() const { return dc_; }

 private:
  HWND window_;
  HDC dc_;
};

// The mouse captured by a window while this lives, unless another window takes it meanwhile.
class MouseCapture {
 public:
  explicit MouseCapture(HWND window) : window_(window) { ::SetCapture(window); }
  MouseCapture(const MouseCapture&) = delete;
  MouseCapture& operator=(const MouseCapture&) = delete;
  MouseCapture(MouseCapture&&) = delete;
  MouseCapture& operator=(MouseCapture&&) = delete;
  ~MouseCapture() {
    if (::GetCapture() == window_) {
      ::ReleaseCapture();
    }
  }

 private:
  HWND window_;
};

// BeginPaint and EndPaint around one WM_PAINT.
class PaintScope {
 public:
  explicit PaintScope(HWND window) : window_(window), dc_(::BeginPaint(window, &paint_)) {}
  PaintScope(const PaintScope&) = delete;
  PaintScope& operator=(const PaintScope&) = delete;
  PaintScope(PaintScope&&) = delete;
  PaintScope& operator=(PaintScope&&) = delete;
  ~PaintScope() { ::EndPaint(window_, &paint_); }

  [[nodiscard]] HDC dc() const { return dc_; }
  [[nodiscard]] const RECT& area() const { return paint_.rcPaint; }

 private:
  HWND window_;
  PAINTSTRUCT paint_{};
  HDC dc_;
};

}  // namespace platform::win32
