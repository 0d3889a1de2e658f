#pragma once

#include <windows.h>

#include <memory>
#include <type_traits>

#include "platform/win32/handles.h"

namespace platform::win32 {

// Destroys a window of the program. Its object lets go of it first, so the
// messages that destruction sends get the default handling, whatever is left
// of the object by then.
struct WindowDeleter {
  void operator()(HWND window) const noexcept {
    ::SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    ::DestroyWindow(window);
  }
};
using WindowHandle = std::unique_ptr<std::remove_pointer_t<HWND>, WindowDeleter>;

// A window that is an object of Derived, which names its window class
// (kClassName) and answers its messages (handleMessage, one small handler per
// message), and makes BaseWindow<Derived> its friend. The way from the window
// procedure to the object is written here once: the object comes as
// CreateWindowEx's last argument and stays in the window's user data until
// the window goes.
template <typename Derived>
class BaseWindow {
 public:
  BaseWindow(const BaseWindow&) = delete;
  BaseWindow& operator=(const BaseWindow&) = delete;
  BaseWindow(BaseWindow&&) = delete;
  BaseWindow& operator=(BaseWindow&&) = delete;

  [[nodiscard]] HWND window() const { return window_.get(); }

 protected:
  BaseWindow() = default;
  ~BaseWindow() = default;

  // Makes the window, at no place and of no size yet, registering its class
  // on first use; false when the system refuses.
  bool create(const wchar_t* caption, DWORD style, DWORD exStyle = 0, HWND parent = nullptr) {
    WNDCLASSEXW windowClass{.cbSize = sizeof(WNDCLASSEXW)};
    if (!::GetClassInfoExW(thisModule(), Derived::kClassName, &windowClass)) {
      windowClass.lpfnWndProc = &procedure;
      windowClass.hInstance = thisModule();
      windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
      windowClass.lpszClassName = Derived::kClassName;
      if (::RegisterClassExW(&windowClass) == 0) {
        return false;
      }
    }
    ::CreateWindowExW(exStyle, Derived::kClassName, caption, style, 0, 0, 0, 0, parent, nullptr,
                      thisModule(), this);
    return window_ != nullptr;
  }
  LRESULT defaultHandling(UINT message, WPARAM wParam, LPARAM lParam) {
    return ::DefWindowProcW(window(), message, wParam, lParam);
  }

 private:
  static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
      auto* self = static_cast<BaseWindow*>(
          reinterpret_cast<const CREATESTRUCTW*>(lParam)  // NOLINT(performance-no-int-to-ptr)
              ->lpCreateParams);
      self->window_.reset(window);
      ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<BaseWindow*>(  // NOLINT(performance-no-int-to-ptr)
        ::GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self == nullptr) {
      return ::DefWindowProcW(window, message, wParam, lParam);
    }
    if (message == WM_NCDESTROY) {
      // The system took the window down (a failed creation): nothing is left to destroy.
      ::SetWindowLongPtrW(window, GWLP_USERDATA, 0);
      static_cast<void>(self->window_.release());
      return ::DefWindowProcW(window, message, wParam, lParam);
    }
    return static_cast<Derived*>(self)->handleMessage(message, wParam, lParam);
  }

  WindowHandle window_;
};

}  // namespace platform::win32
