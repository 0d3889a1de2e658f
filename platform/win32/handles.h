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
