#include "ui/win32/form_window.h"

#include <windowsx.h>

#include <string>

#include "platform/win32/wide.h"
#include "ui/application.h"
#include "ui/error.h"
#include "ui/form.h"
#include "ui/win32/dc_canvas.h"
#include "ui/win32/gdi_cache.h"

namespace ui::win32 {

using platform::win32::BitmapHandle;
using platform::win32::MemoryDc;
using platform::win32::PaintScope;
using platform::win32::Selection;
using platform::win32::thisModule;
using platform::win32::wide;

namespace {

constexpr int kFirstButtonId = 100;

// A function of user32 that older systems lack; nullptr there.
template <typename Function>
Function user32Function(const char* name) {
  return reinterpret_cast<Function>(
      reinterpret_cast<void (*)()>(::GetProcAddress(::GetModuleHandleW(L"user32"), name)));
}

// The window's DPI: its display's from Windows 10 on, else the system's.
int dpiOf(HWND window) {
  static const auto getDpiForWindow = user32Function<UINT(WINAPI*)(HWND)>("GetDpiForWindow");
  if (getDpiForWindow != nullptr) {
    return static_cast<int>(getDpiForWindow(window));
  }
  const platform::win32::WindowDc screen(nullptr);
  return ::GetDeviceCaps(screen.get(), LOGPIXELSY);
}

// The frame around a client area, with the frame's metrics at that DPI.
void adjustFrame(RECT& frame, HWND window, int dpi) {
  static const auto adjustForDpi =
      user32Function<BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT)>("AdjustWindowRectExForDpi");
  const auto style = static_cast<DWORD>(::GetWindowLongW(window, GWL_STYLE));
  const auto exStyle = static_cast<DWORD>(::GetWindowLongW(window, GWL_EXSTYLE));
  if (adjustForDpi == nullptr ||
      !adjustForDpi(&frame, style, FALSE, exStyle, static_cast<UINT>(dpi))) {
    ::AdjustWindowRectEx(&frame, style, FALSE, exStyle);
  }
}

}  // namespace

FormWindow::FormWindow(ui::Form& form, GdiCache& gdi) : form_(&form), gdi_(&gdi) {
  const bool dialog = form.design().border == ui::BorderStyle::FixedDialog;
  // A modal frame: no sizing, and no icon in the caption.
  if (!create(wide(form.caption()).c_str(),
              WS_CLIPCHILDREN |
                  (dialog ? WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU : WS_OVERLAPPEDWINDOW),
              dialog ? WS_EX_DLGMODALFRAME : 0)) {
    throw ui::Error(ui::ErrorNumber::OutOfMemory);
  }
  showIcon();
  createButtons();
  layOut(dpiOf(window()), nullptr);
}

void FormWindow::showIcon() {
  const ui::Icon* icon = form_->icon();
  for (const auto& [size, kind] : {std::pair{SM_CXICON, ICON_BIG}, {SM_CXSMICON, ICON_SMALL}}) {
    const ui::Picture* image = icon == nullptr ? nullptr : icon->imageFor(::GetSystemMetrics(size));
    if (HICON handle = image == nullptr ? nullptr : gdi_->icon(*image)) {
      ::SendMessageW(window(), WM_SETICON, kind, reinterpret_cast<LPARAM>(handle));
    }
  }
}

void FormWindow::createButtons() {
  for (ui::CommandButton* control : form_->buttonsInTabOrder()) {
    const auto id = static_cast<INT_PTR>(kFirstButtonId + buttons_.size());
    HWND button =
        ::CreateWindowExW(0, L"BUTTON", wide(control->caption()).c_str(),
                          WS_CHILD | BS_PUSHBUTTON | BS_NOTIFY, 0, 0, 0, 0, window(),
                          // A child's id travels as its menu.
                          reinterpret_cast<HMENU>(id),  // NOLINT(performance-no-int-to-ptr)
                          thisModule(), nullptr);
    if (button == nullptr) {
      throw ui::Error(ui::ErrorNumber::OutOfMemory);
    }
    buttons_.push_back(Button{control, button});
  }
  showFocus();
}

void FormWindow::layOut(int dpi, const RECT* suggested) {
  scale_ = ui::DisplayScale(dpi);
  for (const Button& button : buttons_) {
    HFONT font = gdi_->font(button.control->design().font.on(scale_));
    ::SendMessageW(button.window, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  }
  RECT frame{};
  if (suggested != nullptr) {
    frame = *suggested;
  } else {
    frame = toRect(scale_.toDevice(form_->initialPlace()));
    adjustFrame(frame, window(), scale_.dpi());
  }
  ::SetWindowPos(window(), nullptr, frame.left, frame.top, frame.right - frame.left,
                 frame.bottom - frame.top, SWP_NOZORDER | SWP_NOACTIVATE);
  syncButtons();
  ::InvalidateRect(window(), nullptr, FALSE);
}

void FormWindow::syncButtons() {
  for (const Button& button : buttons_) {
    const RECT box = toRect(scale_.toDevice(button.control->pixelRect()));
    ::SetWindowPos(button.window, nullptr, box.left, box.top, box.right - box.left,
                   box.bottom - box.top,
                   SWP_NOZORDER | SWP_NOACTIVATE |
                       (button.control->visible() ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
  }
}

void FormWindow::showForm() {
  ::ShowWindow(window(), ::IsIconic(window()) ? SW_RESTORE : SW_SHOW);
  ::SetForegroundWindow(window());
  ::BringWindowToTop(window());
  ::SetActiveWindow(window());
  showFocus();
}

void FormWindow::updateCaption() {
  ::SetWindowTextW(window(), wide(form_->caption()).c_str());
}

void FormWindow::repaintArea(const ui::PixelRect& area) {
  const RECT rect = toRect(scale_.toDevice(area));
  ::InvalidateRect(window(), &rect, FALSE);
  ::UpdateWindow(window());
}

// Setting the focus in an inactive window would activate it: the focus
// follows at the window's next activation.
void FormWindow::showFocus() {
  const ui::CommandButton* framed = form_->framedButton();
  HWND focus = window();
  for (const Button& button : buttons_) {
    const WPARAM style = button.control == framed ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
    ::SendMessageW(button.window, BM_SETSTYLE, style | BS_NOTIFY, TRUE);
    if (button.control == form_->focus()) {
      focus = button.window;
    }
  }
  if (::GetActiveWindow() == window()) {
    ::SetFocus(focus);
  }
}

void FormWindow::detach() {
  form_ = nullptr;
  ::ShowWindow(window(), SW_HIDE);
}

LRESULT FormWindow::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (form_ == nullptr) {
    return defaultHandling(message, wParam, lParam);
  }
  switch (message) {
    case WM_ERASEBKGND:
      return 1;  // the paint covers everything; erasing first would flicker
    case WM_PAINT:
      return onPaint();
    case WM_SIZE:
      return onSize(LOWORD(lParam), HIWORD(lParam));
    case WM_DPICHANGED:
      return onDpiChanged(
          HIWORD(wParam),
          *reinterpret_cast<const RECT*>(lParam));  // NOLINT(performance-no-int-to-ptr)
    case WM_COMMAND:
      return onCommand(LOWORD(wParam), HIWORD(wParam));
    case WM_ACTIVATE:
      return onActivate(LOWORD(wParam) != WA_INACTIVE);
    case WM_CLOSE:
      return onClose();
    case WM_LBUTTONDOWN:
      return onMouseDown(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
    case WM_LBUTTONUP:
      return onMouseUp(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
    case WM_GETOBJECT:
      if (static_cast<DWORD>(lParam) == static_cast<DWORD>(OBJID_CLIENT)) {
        return accessibility_.answer(wParam);
      }
      break;
    default:
      break;
  }
  return defaultHandling(message, wParam, lParam);
}

LRESULT FormWindow::onPaint() {
  const PaintScope paint(window());
  const RECT& area = paint.area();
  const ui::PixelRect device{area.left, area.top, area.right - area.left, area.bottom - area.top};
  if (device.empty()) {
    return 0;
  }
  // Painted off the screen, then copied in one go: nothing flickers.
  const MemoryDc back(::CreateCompatibleDC(paint.dc()));
  const BitmapHandle bitmap(::CreateCompatibleBitmap(paint.dc(), device.width, device.height));
  const Selection selected(back.get(), bitmap.get());
  ::SetViewportOrgEx(back.get(), -area.left, -area.top, nullptr);
  DcCanvas canvas(back.get(), *gdi_);
  form_->paint(device, scale_, canvas, canvas);
  ::BitBlt(paint.dc(), area.left, area.top, device.width, device.height, back.get(), area.left,
           area.top, SRCCOPY);
  return 0;
}

LRESULT FormWindow::onSize(int width, int height) {
  form_->setViewSize(scale_.toModelCeiling(width), scale_.toModelCeiling(height));
  return 0;
}

LRESULT FormWindow::onDpiChanged(int dpi, const RECT& suggested) {
  layOut(dpi, &suggested);
  return 0;
}

LRESULT FormWindow::onCommand(int id, int code) {
  const auto index = static_cast<std::size_t>(id - kFirstButtonId);
  if (index >= buttons_.size()) {
    return 0;
  }
  ui::CommandButton& button = *buttons_[index].control;
  if (code == BN_SETFOCUS) {
    form_->app().focusTo(button);
  } else if (code == BN_CLICKED) {
    form_->app().click(button);
  }
  return 0;
}

// Not the default handling, which would put the focus on the window itself.
LRESULT FormWindow::onActivate(bool active) {
  if (active) {
    form_->app().activated(*form_);
  }
  return 0;
}

// The model decides: it unloads the form, which takes this window away.
LRESULT FormWindow::onClose() {
  form_->app().closeRequested(*form_);
  return 0;
}

LRESULT FormWindow::onMouseDown(int x, int y) {
  capture_.emplace(window());
  form_->app().mousePress(*form_, scale_.toModel(x), scale_.toModel(y));
  return 0;
}

LRESULT FormWindow::onMouseUp(int x, int y) {
  capture_.reset();
  form_->app().mouseRelease(*form_, scale_.toModel(x), scale_.toModel(y));
  return 0;
}

}  // namespace ui::win32
