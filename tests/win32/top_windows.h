#pragma once

// Finding a program's top-level windows as a person at the screen would: by
// process, window class and title. Shared by the Windows tests and the
// performance report's probe.

#include <windows.h>

#include <string_view>
#include <vector>

namespace win32_testing {

// What a window must be to count; a field left empty (or 0) matches anything.
struct WindowQuery {
  DWORD process = 0;
  std::wstring_view className;
  std::wstring_view caption;
  // Only windows that take input: a box covered by another one is disabled.
  bool enabledOnly = false;
};

namespace detail {
struct WindowSearch {
  const WindowQuery* query;
  std::vector<HWND> found;
};

inline BOOL CALLBACK visitTopWindow(HWND window, LPARAM data) {
  auto& search = *reinterpret_cast<WindowSearch*>(data);  // NOLINT(performance-no-int-to-ptr)
  const WindowQuery& query = *search.query;
  DWORD owner = 0;
  ::GetWindowThreadProcessId(window, &owner);
  if ((query.process != 0 && owner != query.process) || ::IsWindowVisible(window) == FALSE ||
      (query.enabledOnly && ::IsWindowEnabled(window) == FALSE)) {
    return TRUE;
  }
  if (!query.className.empty()) {
    wchar_t name[64]{};
    ::GetClassNameW(window, name, 64);
    if (query.className != name) {
      return TRUE;
    }
  }
  if (!query.caption.empty()) {
    // Read without sending the window a message: a thread that asks one of
    // its own process's windows for its text would wait on the thread that
    // owns it, which may be waiting for this one to finish.
    wchar_t text[128]{};
    ::InternalGetWindowText(window, text, 128);
    if (query.caption != text) {
      return TRUE;
    }
  }
  search.found.push_back(window);
  return TRUE;
}
}  // namespace detail

// The visible top-level windows that match, topmost first.
inline std::vector<HWND> topWindows(const WindowQuery& query) {
  detail::WindowSearch search{&query, {}};
  ::EnumWindows(&detail::visitTopWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// The topmost one of them; nullptr when there is none.
inline HWND findWindow(const WindowQuery& query) {
  const std::vector<HWND> found = topWindows(query);
  return found.empty() ? nullptr : found.front();
}

}  // namespace win32_testing
