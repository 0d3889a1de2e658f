#include "ui/win32/win32_driver.h"

#include <algorithm>
#include <cwctype>
#include <string>
#include <vector>

#include "platform/win32/wide.h"
#include "ui/application.h"
#include "ui/error.h"
#include "ui/form.h"
#include "ui/text.h"
#include "ui/win32/form_window.h"

#ifndef CREATE_WAITABLE_TIMER_HIGH_RESOLUTION
#define CREATE_WAITABLE_TIMER_HIGH_RESOLUTION 0x00000002
#endif

namespace ui::win32 {

using platform::win32::KernelHandle;
using platform::win32::wide;

namespace {

constexpr UINT_PTR kModalTimer = 1;
constexpr UINT kRunPosted = WM_APP + 1;  // the next task of Win32Driver::post

// What the system refused, with its error number, as the start-up report says it.
[[noreturn]] void refuse(const char* what) {
  throw ui::Error(ui::ErrorNumber::Internal,
                  std::string(what) + " (system error " + ui::decimal(::GetLastError()) + ")");
}

// A waitable timer with the finest resolution the system offers.
KernelHandle makeWakeTimer() {
  HANDLE timer = ::CreateWaitableTimerExW(nullptr, nullptr, CREATE_WAITABLE_TIMER_HIGH_RESOLUTION,
                                          TIMER_ALL_ACCESS);
  return KernelHandle(timer != nullptr ? timer : ::CreateWaitableTimerW(nullptr, FALSE, nullptr));
}

ui::KeyStroke strokeOf(WPARAM virtualKey) {
  static constexpr std::pair<WPARAM, ui::Key> kNamed[] = {
      {VK_TAB, ui::Key::Tab},        {VK_RETURN, ui::Key::Enter},  {VK_ESCAPE, ui::Key::Escape},
      {VK_BACK, ui::Key::Backspace}, {VK_DELETE, ui::Key::Delete}, {VK_SPACE, ui::Key::Space},
      {VK_F1, ui::Key::Help}};
  const auto held = [](int key) { return ::GetKeyState(key) < 0; };
  ui::KeyStroke stroke{.modifiers = {held(VK_SHIFT), held(VK_CONTROL), held(VK_MENU)}};
  const auto* named = std::ranges::find(kNamed, virtualKey, &std::pair<WPARAM, ui::Key>::first);
  if (named != std::ranges::end(kNamed)) {
    stroke.key = named->second;
    return stroke;
  }
  // The key's character on the layout, without Shift; 0 when it has none.
  stroke.character = static_cast<char32_t>(std::towupper(static_cast<std::wint_t>(
      ::MapVirtualKeyW(static_cast<UINT>(virtualKey), MAPVK_VK_TO_CHAR) & 0x7FFF)));
  stroke.key = stroke.character != 0 ? ui::Key::Character : ui::Key::Other;
  return stroke;
}

}  // namespace

Win32Driver::Win32Driver() : wakeTimer_(makeWakeTimer()) {
  if (!wakeTimer_) {
    refuse("No timer for the game's ticks");
  }
  if (!create(L"", 0, 0, HWND_MESSAGE)) {
    refuse("The window of the ticks could not be made");
  }
}

Win32Driver::~Win32Driver() {
  // The windows go before the caches and timer they use.
  windows().retireAll();
  windows().release();
  // A quit that no loop took would end the next loop of this thread at once.
  MSG message;
  while (::PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
  }
}

HWND Win32Driver::windowOf(const ui::Form& form) const {
  const FormWindow* window = windows().find(form);
  return window == nullptr ? nullptr : window->window();
}

std::unique_ptr<FormWindow> Win32Driver::makeWindow(ui::Form& form) {
  return std::make_unique<FormWindow>(form, gdi_);
}

void Win32Driver::post(std::function<void()> task) {
  posted_.push_back(std::move(task));
  ::PostMessageW(window(), kRunPosted, 0, 0);
}

// The loop's own wait sets the waitable timer. The WM_TIMER, due at the same
// time rounded up to the millisecond, is set anew at every tick: it comes only
// where another loop runs.
void Win32Driver::wakeAt(std::optional<Time> due) {
  due_ = due;
  if (!due) {
    ::KillTimer(window(), kModalTimer);
    return;
  }
  const auto left = std::chrono::ceil<std::chrono::milliseconds>(*due - now()).count();
  ::SetTimer(window(), kModalTimer,
             static_cast<UINT>(std::max<long long>(left, USER_TIMER_MINIMUM)), nullptr);
}

void Win32Driver::messageBox(const ui::BoxRequest& box) {
  // Owned by its window, which it disables itself; every other window is held
  // meanwhile (those that this disables, enabled again after).
  HWND owner = box.owner == nullptr ? nullptr : windowOf(*box.owner);
  std::vector<HWND> held;
  windows().forEach([&](const FormWindow& window) {
    if (window.window() != owner && !::EnableWindow(window.window(), FALSE)) {
      held.push_back(window.window());
    }
  });
  ::MessageBoxW(owner, wide(box.prompt).c_str(), wide(box.title).c_str(),
                MB_OK | (box.rightToLeft ? MB_RTLREADING | MB_RIGHT : 0U));
  for (HWND window : held) {
    ::EnableWindow(window, TRUE);
  }
}

void Win32Driver::quit(int status) {
  // Modal loops (a message box) end on the quit message and pass it on.
  ::PostQuitMessage(status);
}

LRESULT Win32Driver::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_TIMER && wParam == kModalTimer && app_ != nullptr) {
    app_->deliverDueTicks();
    return 0;
  }
  if (message == kRunPosted && !posted_.empty()) {
    const std::function<void()> task = std::move(posted_.front());
    posted_.pop_front();
    task();
    return 0;
  }
  return defaultHandling(message, wParam, lParam);
}

// Keys go to the model, not to the dialog manager: the model decides what
// Tab, Enter, Escape and Alt with a letter do, and what a key types.
bool Win32Driver::keyToModel(const MSG& message) {
  const UINT kind = message.message;
  if (kind != WM_KEYDOWN && kind != WM_SYSKEYDOWN && kind != WM_CHAR) {
    return false;
  }
  HWND root = ::GetAncestor(message.hwnd, GA_ROOT);
  ui::Form* form = nullptr;
  windows().forEach(
      [&](const FormWindow& window) { form = window.window() == root ? window.form() : form; });
  if (form == nullptr) {
    return false;
  }
  if (kind == WM_CHAR) {
    const auto unit = static_cast<char16_t>(message.wParam);
    app_->typed(*form, std::u16string_view(&unit, 1));
    return true;
  }
  return app_->keyDown(*form, strokeOf(message.wParam)) == ui::KeyResult::Taken;
}

bool Win32Driver::waitForMessageOrTick() {
  if (!due_) {
    // Nothing ticks: sleep until a message comes, however long that takes.
    ::CancelWaitableTimer(wakeTimer_.get());
    ::MsgWaitForMultipleObjectsEx(0, nullptr, INFINITE, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    return false;
  }
  // Relative due times are negative, in 100 ns units; rounded up, so the
  // wait never ends before the tick is due. A time that is past is at once.
  const Time left = *due_ - now();
  LARGE_INTEGER relative{};
  relative.QuadPart = -std::max<LONGLONG>((left.count() + 99) / 100, 1);
  HANDLE wake = wakeTimer_.get();
  ::SetWaitableTimer(wake, &relative, 0, nullptr, nullptr, FALSE);
  return ::MsgWaitForMultipleObjectsEx(1, &wake, INFINITE, QS_ALLINPUT, MWMO_INPUTAVAILABLE) ==
         WAIT_OBJECT_0;
}

int Win32Driver::exec() {
  for (;;) {
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (message.message == WM_QUIT) {
        return static_cast<int>(message.wParam);
      }
      if (!keyToModel(message)) {
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
      }
    }
    app_->idle();
    if (waitForMessageOrTick()) {
      app_->deliverDueTicks();
    }
  }
}

}  // namespace ui::win32
