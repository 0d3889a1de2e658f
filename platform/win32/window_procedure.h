#pragma once

#include <windows.h>

#include "platform/win32/handles.h"

namespace platform::win32 {

// The one way from a window procedure to the object behind the window: the
// object comes as CreateWindowEx's last argument and stays in the window's
// user data until WM_NCDESTROY, which is the last message it gets. Messages
// before WM_NCCREATE get the default handling.
template <typename T>
LRESULT CALLBACK windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    const auto* create =
        reinterpret_cast<const CREATESTRUCTW*>(lParam);  // NOLINT(performance-no-int-to-ptr)
    ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* self = reinterpret_cast<T*>(  // NOLINT(performance-no-int-to-ptr)
      ::GetWindowLongPtrW(window, GWLP_USERDATA));
  if (self == nullptr) {
    return ::DefWindowProcW(window, message, wParam, lParam);
  }
  if (message == WM_NCDESTROY) {
    ::SetWindowLongPtrW(window, GWLP_USERDATA, 0);
  }
  return self->handleMessage(window, message, wParam, lParam);
}

// Registers a window class of the program whose windows are objects of type
// T, unless it is registered already (by an earlier driver in the same
// process); false when the system refuses it.
template <typename T>
bool registerWindowClass(const wchar_t* name, HCURSOR cursor = nullptr) {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  if (::GetClassInfoExW(thisModule(), name, &windowClass)) {
    return true;
  }
  windowClass = WNDCLASSEXW{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = &windowProcedure<T>;
  windowClass.hInstance = thisModule();
  windowClass.hCursor = cursor;
  windowClass.lpszClassName = name;
  return ::RegisterClassExW(&windowClass) != 0;
}

}  // namespace platform::win32
