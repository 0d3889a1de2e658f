#include "ui/win32/win32_driver.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>

#include "platform/win32/wide.h"
#include "platform/win32/window_procedure.h"
#include "ui/application.h"
#include "ui/error.h"
#include "ui/form.h"
#include "ui/text.h"
#include "ui/win32/form_window.h"

#ifndef CREATE_WAITABLE_TIMER_HIGH_RESOLUTION
#define CREATE_WAITABLE_TIMER_HIGH_RESOLUTION 0x00000002
#endif

namespace ui::win32 {

using platform::win32::BitmapHandle;
using platform::win32::FontHandle;
using platform::win32::KernelHandle;
using platform::win32::thisModule;
using platform::win32::wide;

namespace {

constexpr const wchar_t* kBridgeClass = L"VorelTicks";
constexpr UINT_PTR kBridgeTimer = 1;

// What the system refused, with its error number, as the start-up report says it.
[[noreturn]] void refuse(const char* what) {
  throw Error(ErrorNumber::Internal,
              std::string(what) + " (system error " + decimal(::GetLastError()) + ")");
}

// A waitable timer with the finest resolution the system offers.
KernelHandle makeWakeTimer() {
  HANDLE timer = ::CreateWaitableTimerExW(nullptr, nullptr, CREATE_WAITABLE_TIMER_HIGH_RESOLUTION,
                                          TIMER_ALL_ACCESS);
  if (timer == nullptr) {
    timer = ::CreateWaitableTimerW(nullptr, FALSE, nullptr);
  }
  if (timer == nullptr) {
    refuse("No timer for the game's ticks");
  }
  return KernelHandle(timer);
}

LONGLONG counterFrequency() {
  LARGE_INTEGER frequency{};
  ::QueryPerformanceFrequency(&frequency);
  return frequency.QuadPart;
}

// While a message box is open, every window of the program but the box's
// owner is disabled; the box itself disables its owner.
class HeldWindows {
 public:
  explicit HeldWindows(std::vector<HWND> windows) : windows_(std::move(windows)) {
    std::erase_if(windows_, [](HWND window) { return ::EnableWindow(window, FALSE) != FALSE; });
  }
  HeldWindows(const HeldWindows&) = delete;
  HeldWindows& operator=(const HeldWindows&) = delete;
  HeldWindows(HeldWindows&&) = delete;
  HeldWindows& operator=(HeldWindows&&) = delete;
  ~HeldWindows() {
    for (HWND window : windows_) {
      if (::IsWindow(window)) {
        ::EnableWindow(window, TRUE);
      }
    }
  }

 private:
  std::vector<HWND> windows_;  // those this disabled, not those disabled before
};

}  // namespace

Win32Driver::Win32Driver() : frequency_(counterFrequency()), wake_(makeWakeTimer()) {
  if (!FormWindow::registerClass()) {
    refuse("The window class of the game's windows could not be registered");
  }
  if (!platform::win32::registerWindowClass<Win32Driver>(kBridgeClass)) {
    refuse("The window class of the ticks could not be registered");
  }
  bridge_ = ::CreateWindowExW(0, kBridgeClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                              thisModule(), this);
  if (bridge_ == nullptr) {
    refuse("The window of the ticks could not be made");
  }
}

Win32Driver::~Win32Driver() {
  static_cast<void>(windows_.takeAll());
  retired_.clear();
  ::DestroyWindow(bridge_);
  // A quit that no loop took would end the next loop of this thread at once.
  MSG message;
  while (::PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
  }
}

FormWindow* Win32Driver::findWindow(HWND window) const {
  FormWindow* found = nullptr;
  windows_.forEach([&](FormWindow& candidate) {
    if (candidate.window() == window) {
      found = &candidate;
    }
  });
  return found;
}

HWND Win32Driver::windowOf(const Form& form) const {
  const FormWindow* window = windows_.find(form);
  return window == nullptr ? nullptr : window->window();
}

Driver::Time Win32Driver::now() const {
  LARGE_INTEGER counter{};
  ::QueryPerformanceCounter(&counter);
  const LONGLONG count = counter.QuadPart;
  constexpr LONGLONG kSecond = 1'000'000'000;
  return Time((count / frequency_) * kSecond + (count % frequency_) * kSecond / frequency_);
}

void Win32Driver::formLoaded(Form& form) {
  windows_.add(std::make_unique<FormWindow>(*this, form));
}

void Win32Driver::formShown(Form& form) {
  windows_.with(form, [](FormWindow& window) { window.showForm(); });
}

// This may run inside a message of that very window: the object stays until
// the loop is back at the top.
void Win32Driver::formUnloading(Form& form) {
  if (std::unique_ptr<FormWindow> window = windows_.take(form)) {
    retired_.push_back(std::move(window));
  }
}

void Win32Driver::captionChanged(Form& form) {
  windows_.with(form, [](FormWindow& window) { window.updateCaption(); });
}

void Win32Driver::repaint(Form& form, const PixelRect& area) {
  windows_.with(form, [&](FormWindow& window) { window.repaintArea(area); });
}

void Win32Driver::wakeAt(std::optional<Time> due) {
  due_ = due;
  armBridge();
}

void Win32Driver::messageBox(std::string_view prompt, std::string_view title, Form* owner) {
  windows_.forEach([](const FormWindow& window) { ::UpdateWindow(window.window()); });
  // Owned by its window, which the box disables itself; every other window
  // of the program is held too.
  HWND ownerWindow = owner == nullptr ? nullptr : windowOf(*owner);
  std::vector<HWND> others;
  windows_.forEach([&](const FormWindow& window) {
    if (window.window() != ownerWindow) {
      others.push_back(window.window());
    }
  });
  const HeldWindows held(std::move(others));
  const std::wstring text = wide(prompt);
  const std::wstring caption = wide(title);
  UINT style = MB_OK;
  if (isRightToLeft(prompt)) {
    style |= MB_RTLREADING | MB_RIGHT;
  }
  enterModalLoop();
  ::MessageBoxW(ownerWindow, text.c_str(), caption.c_str(), style);
  leaveModalLoop();
}

void Win32Driver::quit(int status) {
  due_.reset();
  ::CancelWaitableTimer(wake_.get());
  ::KillTimer(bridge_, kBridgeTimer);
  for (std::unique_ptr<FormWindow>& window : windows_.takeAll()) {
    retired_.push_back(std::move(window));
  }
  // Modal loops (a message box) end on the quit message and pass it on.
  ::PostQuitMessage(status);
}

void Win32Driver::enterModalLoop() {
  ++modalDepth_;
  armBridge();
}

void Win32Driver::leaveModalLoop() {
  modalDepth_ = std::max(modalDepth_ - 1, 0);
  armBridge();
}

void Win32Driver::armBridge() {
  if (modalDepth_ == 0 || !due_) {
    ::KillTimer(bridge_, kBridgeTimer);
    return;
  }
  const auto left = std::chrono::ceil<std::chrono::milliseconds>(*due_ - now());
  ::SetTimer(
      bridge_, kBridgeTimer,
      std::max<UINT>(static_cast<UINT>(std::max<long long>(left.count(), 0)), USER_TIMER_MINIMUM),
      nullptr);
}

LRESULT Win32Driver::handleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_TIMER && wParam == kBridgeTimer && app_ != nullptr) {
    app_->deliverDueTicks();
    return 0;
  }
  return ::DefWindowProcW(window, message, wParam, lParam);
}

void Win32Driver::dispatch(MSG& message) {
  HWND root = message.hwnd == nullptr ? nullptr : ::GetAncestor(message.hwnd, GA_ROOT);
  const FormWindow* window = root == nullptr ? nullptr : findWindow(root);
  // Tab, Enter, Escape and access keys work in a plain window only through
  // the dialog manager; a form without buttons gets every key as typed.
  if (window != nullptr && window->hasButtons() && ::IsDialogMessageW(root, &message)) {
    return;
  }
  ::TranslateMessage(&message);
  ::DispatchMessageW(&message);
}

bool Win32Driver::waitForMessageOrTick() {
  if (!due_) {
    // Nothing ticks: sleep until a message comes, however long that takes.
    ::CancelWaitableTimer(wake_.get());
    ::MsgWaitForMultipleObjectsEx(0, nullptr, INFINITE, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    return false;
  }
  // Relative due times are negative, in 100 ns units; rounded up, so the
  // wait never ends before the tick is due. A time that is past is at once.
  const Time left = *due_ - now();
  LARGE_INTEGER relative{};
  relative.QuadPart = -std::max<LONGLONG>((left.count() + 99) / 100, 1);
  HANDLE wake = wake_.get();
  ::SetWaitableTimer(wake, &relative, 0, nullptr, nullptr, FALSE);
  return ::MsgWaitForMultipleObjectsEx(1, &wake, INFINITE, QS_ALLINPUT, MWMO_INPUTAVAILABLE) ==
         WAIT_OBJECT_0;
}

int Win32Driver::exec() {
  ++loopDepth_;
  for (;;) {
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (message.message == WM_QUIT) {
        --loopDepth_;
        return static_cast<int>(message.wParam);
      }
      dispatch(message);
    }
    if (loopDepth_ == 1) {
      retired_.clear();
    }
    if (waitForMessageOrTick() && app_ != nullptr) {
      app_->deliverDueTicks();
    }
  }
}

HBITMAP Win32Driver::bitmapOf(const Picture& picture) {
  const auto cached = bitmaps_.find(&picture);
  if (cached != bitmaps_.end()) {
    return cached->second.get();
  }
  if (!picture.complete()) {
    return nullptr;
  }
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = picture.width;
  info.bmiHeader.biHeight = -picture.height;  // top row first, as the pixels are
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  BitmapHandle bitmap(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!bitmap || bits == nullptr) {
    return nullptr;
  }
  // 0xAARRGGBB words are the blue, green, red, unused bytes of a 32-bit DIB.
  std::memcpy(bits, picture.pixels.data(),
              static_cast<std::size_t>(picture.width) * static_cast<std::size_t>(picture.height) *
                  sizeof(std::uint32_t));
  ::GdiFlush();
  HBITMAP result = bitmap.get();
  bitmaps_.emplace(&picture, std::move(bitmap));
  return result;
}

LOGFONTW Win32Driver::messageFont() {
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  if (::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) {
    return metrics.lfMessageFont;
  }
  LOGFONTW font{};
  ::GetObjectW(::GetStockObject(DEFAULT_GUI_FONT), sizeof font, &font);
  return font;
}

HFONT Win32Driver::fontOf(const Font& font, UINT dpi) {
  const auto key = std::make_tuple(font.pixelSize(), font.weight, font.italic, font.charset, dpi);
  const auto cached = fonts_.find(key);
  if (cached != fonts_.end()) {
    return cached->second.get();
  }
  // The system's sans-serif message face at the design's size.
  LOGFONTW face = messageFont();
  face.lfHeight = -::MulDiv(font.pixelSize(), static_cast<int>(dpi), DisplayScale::kModelDpi);
  face.lfWidth = 0;
  face.lfWeight = font.weight;
  face.lfItalic = font.italic ? TRUE : FALSE;
  face.lfUnderline = FALSE;
  face.lfStrikeOut = FALSE;
  face.lfCharSet = static_cast<BYTE>(font.charset);
  FontHandle handle(::CreateFontIndirectW(&face));
  if (!handle) {
    return nullptr;
  }
  HFONT result = handle.get();
  fonts_.emplace(key, std::move(handle));
  return result;
}

}  // namespace ui::win32
