#include "ui/win32/win32_driver.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>

#include "ui/application.h"
#include "ui/error.h"
#include "ui/form.h"
#include "ui/text.h"
#include "ui/win32/form_window.h"
#include "ui/win32/wide.h"

#ifndef CREATE_WAITABLE_TIMER_HIGH_RESOLUTION
#define CREATE_WAITABLE_TIMER_HIGH_RESOLUTION 0x00000002
#endif

namespace ui::win32 {
namespace {

constexpr const wchar_t* kBridgeClass = L"VorelTicks";
constexpr UINT_PTR kBridgeTimer = 1;

// What the system refused, with its error number, as the start-up report says it.
[[noreturn]] void refuse(const char* what) {
  throw Error(ErrorNumber::Internal,
              std::string(what) + " (system error " + decimal(::GetLastError()) + ")");
}

LOGFONTW messageFont() {
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  if (::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) {
    return metrics.lfMessageFont;
  }
  LOGFONTW font{};
  ::GetObjectW(::GetStockObject(DEFAULT_GUI_FONT), sizeof font, &font);
  return font;
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
  if (!registerWindowClass(kBridgeClass, &Win32Driver::bridgeProcedure)) {
    refuse("The window class of the ticks could not be registered");
  }
  bridge_ = ::CreateWindowExW(0, kBridgeClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                              thisModule(), nullptr);
  if (bridge_ == nullptr) {
    refuse("The window of the ticks could not be made");
  }
  ::SetWindowLongPtrW(bridge_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  LOGFONTW font = messageFont();
  buttonFont_.reset(::CreateFontIndirectW(&font));
}

Win32Driver::~Win32Driver() {
  windows_.clear();
  retired_.clear();
  ::DestroyWindow(bridge_);
  // A quit that no loop took would end the next loop of this thread at once.
  MSG message;
  while (::PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
  }
}

FormWindow* Win32Driver::find(const Form& form) const {
  const auto found = std::find_if(windows_.begin(), windows_.end(),
                                  [&](const auto& window) { return &window->form() == &form; });
  return found == windows_.end() ? nullptr : found->get();
}

FormWindow* Win32Driver::findWindow(HWND window) const {
  const auto found = std::find_if(windows_.begin(), windows_.end(), [&](const auto& candidate) {
    return candidate->window() == window;
  });
  return found == windows_.end() ? nullptr : found->get();
}

HWND Win32Driver::windowOf(const Form& form) const {
  const FormWindow* window = find(form);
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
  windows_.push_back(std::make_unique<FormWindow>(*this, form));
}

void Win32Driver::formShown(Form& form) {
  if (FormWindow* window = find(form)) {
    window->showForm();
  }
}

void Win32Driver::formUnloading(Form& form) {
  const auto found = std::find_if(windows_.begin(), windows_.end(),
                                  [&](const auto& window) { return &window->form() == &form; });
  if (found == windows_.end()) {
    return;
  }
  // This may run inside a message of that very window: the object stays
  // until the loop is back at the top.
  (*found)->detach();
  retired_.push_back(std::move(*found));
  windows_.erase(found);
}

void Win32Driver::captionChanged(Form& form) {
  if (FormWindow* window = find(form)) {
    window->updateCaption();
  }
}

void Win32Driver::repaint(Form& form, const PixelRect& area) {
  if (FormWindow* window = find(form)) {
    window->repaintArea(area);
  }
}

void Win32Driver::wakeAt(std::optional<Time> due) {
  due_ = quitStatus_ ? std::nullopt : due;
  armBridge();
}

void Win32Driver::messageBox(std::string_view prompt, std::string_view title) {
  for (const auto& window : windows_) {
    ::UpdateWindow(window->window());
  }
  // The box belongs to the program's active window, or else to the one
  // loaded last, and holds every other window of the program too.
  FormWindow* owner = findWindow(::GetActiveWindow());
  if (owner == nullptr && !windows_.empty()) {
    owner = windows_.back().get();
  }
  std::vector<HWND> others;
  for (const auto& window : windows_) {
    if (window.get() != owner) {
      others.push_back(window->window());
    }
  }
  const HeldWindows held(std::move(others));
  const std::wstring text = wide(prompt);
  const std::wstring caption = wide(title);
  UINT style = MB_OK;
  if (isRightToLeft(text)) {
    style |= MB_RTLREADING | MB_RIGHT;
  }
  enterModalLoop();
  ::MessageBoxW(owner == nullptr ? nullptr : owner->window(), text.c_str(), caption.c_str(), style);
  leaveModalLoop();
}

void Win32Driver::quit(int status) {
  if (quitStatus_) {
    return;
  }
  quitStatus_ = status;
  due_.reset();
  ::CancelWaitableTimer(wake_.get());
  ::KillTimer(bridge_, kBridgeTimer);
  for (auto& window : windows_) {
    window->detach();
    retired_.push_back(std::move(window));
  }
  windows_.clear();
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

LRESULT CALLBACK Win32Driver::bridgeProcedure(HWND window, UINT message, WPARAM wParam,
                                              LPARAM lParam) {
  auto* self = reinterpret_cast<Win32Driver*>(  // NOLINT(performance-no-int-to-ptr)
      ::GetWindowLongPtrW(window, GWLP_USERDATA));
  if (message == WM_TIMER && wParam == kBridgeTimer && self != nullptr) {
    self->deliverDueTicks();
    self->armBridge();
    return 0;
  }
  return ::DefWindowProcW(window, message, wParam, lParam);
}

void Win32Driver::deliverDueTicks() {
  if (app_ != nullptr && due_ && *due_ <= now()) {
    app_->deliverDueTicks();
  }
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

void Win32Driver::wait(std::optional<Time> until) {
  std::optional<Time> due = due_;
  if (until && (!due || *until < *due)) {
    due = until;
  }
  if (!due) {
    // Nothing ticks: sleep until a message comes, however long that takes.
    ::CancelWaitableTimer(wake_.get());
    ::MsgWaitForMultipleObjectsEx(0, nullptr, INFINITE, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    return;
  }
  const Time left = *due - now();
  if (left <= Time::zero()) {
    return;
  }
  // Relative due times are negative, in 100 ns units; rounded up, so the
  // wait never ends before the tick is due.
  LARGE_INTEGER relative{};
  relative.QuadPart = -((left.count() + 99) / 100);
  HANDLE wake = wake_.get();
  ::SetWaitableTimer(wake, &relative, 0, nullptr, nullptr, FALSE);
  ::MsgWaitForMultipleObjectsEx(1, &wake, INFINITE, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
}

int Win32Driver::loop(const std::function<bool()>* done, std::optional<Time> until) {
  class Depth {
   public:
    explicit Depth(int& depth) : depth_(&depth) { ++*depth_; }
    Depth(const Depth&) = delete;
    Depth& operator=(const Depth&) = delete;
    Depth(Depth&&) = delete;
    Depth& operator=(Depth&&) = delete;
    ~Depth() { --*depth_; }

   private:
    int* depth_;
  };
  const Depth depth(loopDepth_);
  for (;;) {
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (message.message == WM_QUIT) {
        return static_cast<int>(message.wParam);
      }
      dispatch(message);
    }
    deliverDueTicks();
    if (loopDepth_ == 1) {
      retired_.clear();
    }
    if ((done != nullptr && (*done)()) || (until && now() >= *until)) {
      return 0;
    }
    wait(until);
  }
}

int Win32Driver::exec() {
  return loop(nullptr, std::nullopt);
}

bool Win32Driver::runUntil(const std::function<bool()>& done, std::chrono::milliseconds limit) {
  if (done()) {
    return true;
  }
  loop(&done, now() + limit);
  return done();
}

HBITMAP Win32Driver::bitmapOf(const Picture& picture) {
  const auto cached = bitmaps_.find(&picture);
  if (cached != bitmaps_.end()) {
    return cached->second.get();
  }
  if (picture.width <= 0 || picture.height <= 0 ||
      picture.pixels.size() <
          static_cast<std::size_t>(picture.width) * static_cast<std::size_t>(picture.height)) {
    return nullptr;  // a picture without its pixels is not drawn
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

HFONT Win32Driver::fontOf(const Font& font) {
  const auto key = std::make_tuple(font.points, font.weight, font.italic, font.charset);
  const auto cached = fonts_.find(key);
  if (cached != fonts_.end()) {
    return cached->second.get();
  }
  // The system's sans-serif message face at the design's size, taken at 96 dpi.
  LOGFONTW face = messageFont();
  face.lfHeight = -static_cast<LONG>(std::lround(font.points * 96.0 / 72.0));
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
