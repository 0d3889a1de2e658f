#include "ui/win32/form_window.h"

#include <windowsx.h>

#include <algorithm>
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
RECT frameAround(RECT frame, HWND window, int dpi) {
  static const auto adjustForDpi =
      user32Function<BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT)>("AdjustWindowRectExForDpi");
  const auto style = static_cast<DWORD>(::GetWindowLongW(window, GWL_STYLE));
  const auto exStyle = static_cast<DWORD>(::GetWindowLongW(window, GWL_EXSTYLE));
  if (adjustForDpi == nullptr ||
      !adjustForDpi(&frame, style, FALSE, exStyle, static_cast<UINT>(dpi))) {
    ::AdjustWindowRectEx(&frame, style, FALSE, exStyle);
  }
  return frame;
}

}  // namespace

FormWindow::FormWindow(ui::Form& form, GdiCache& gdi) : form_(&form), gdi_(&gdi) {
  const ui::WindowFace& face = form.face();
  // A modal frame: no sizing, and no icon in the caption.
  if (!create(wide(face.caption).c_str(),
              WS_CLIPCHILDREN |
                  (face.dialog ? WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU : WS_OVERLAPPEDWINDOW),
              face.dialog ? WS_EX_DLGMODALFRAME : 0)) {
    throw ui::Error(ui::ErrorNumber::OutOfMemory);
  }
  for (const auto& [size, kind] : {std::pair{SM_CXICON, ICON_BIG}, {SM_CXSMICON, ICON_SMALL}}) {
    const ui::Picture* image = face.icon ? face.icon->imageFor(::GetSystemMetrics(size)) : nullptr;
    HICON icon = image == nullptr ? nullptr : gdi_->icon(*image);
    ::SendMessageW(window(), WM_SETICON, kind, reinterpret_cast<LPARAM>(icon));
  }
  for (const ui::ButtonFace& shown : face.buttons) {
    HWND button = ::CreateWindowExW(0, L"BUTTON", wide(ui::markedCaption(shown.caption)).c_str(),
                                    WS_CHILD | BS_PUSHBUTTON | BS_NOTIFY, 0, 0, 0, 0, window(),
                                    nullptr, thisModule(), nullptr);
    if (button == nullptr) {
      throw ui::Error(ui::ErrorNumber::OutOfMemory);
    }
    // The model's button, which this one clicks and focuses.
    buttons_.push_back({*std::ranges::find(form_->buttonsInTabOrder(), shown.control), button});
  }
  showFocus();
  layOut(dpiOf(window()), nullptr);
}

void FormWindow::layOut(int dpi, const RECT* suggested) {
  scale_ = ui::DisplayScale(dpi);
  for (const Button& button : buttons_) {
    HFONT font = gdi_->font(button.control->design().font.on(scale_));
    ::SendMessageW(button.window, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  }
  const RECT frame =
      suggested != nullptr
          ? *suggested
          : frameAround(toRect(scale_.toDevice(form_->face().place)), window(), scale_.dpi());
  ::SetWindowPos(window(), nullptr, frame.left, frame.top, frame.right - frame.left,
                 frame.bottom - frame.top, SWP_NOZORDER | SWP_NOACTIVATE);
  syncButtons();
  ::InvalidateRect(window(), nullptr, FALSE);
}

void FormWindow::syncButtons() {
  const std::vector<ui::ButtonFace>& shown = form_->face().buttons;  // as buttons_, in tab order
  for (std::size_t i = 0; i < buttons_.size(); ++i) {
    const ui::PixelRect box = scale_.toDevice(shown[i].place);
    ::SetWindowPos(
        buttons_[i].window, nullptr, box.x, box.y, box.width, box.height,
        SWP_NOZORDER | SWP_NOACTIVATE | (shown[i].visible ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
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
  ::SetWindowTextW(window(), wide(form_->face().caption).c_str());
}

void FormWindow::repaintArea(const ui::PixelRect& area) {
  const RECT rect = toRect(scale_.toDevice(area));
  ::RedrawWindow(window(), &rect, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
}

// Setting the focus in an inactive window would activate it: the focus
// follows at the window's next activation.
void FormWindow::showFocus() {
  const ui::WindowFace& face = form_->face();
  HWND focus = window();
  for (const Button& button : buttons_) {
    const WPARAM style = button.control == face.framed ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
    ::SendMessageW(button.window, BM_SETSTYLE, style | BS_NOTIFY, TRUE);
    focus = button.control == face.focus ? button.window : focus;
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
      form_->setViewSize(scale_.toModelCeiling(LOWORD(lParam)),
                         scale_.toModelCeiling(HIWORD(lParam)));
      return 0;
    case WM_DPICHANGED:
      // NOLINTNEXTLINE(performance-no-int-to-ptr)
      layOut(HIWORD(wParam), reinterpret_cast<const RECT*>(lParam));
      return 0;
    case WM_COMMAND:
      // NOLINTNEXTLINE(performance-no-int-to-ptr)
      return onCommand(reinterpret_cast<HWND>(lParam), HIWORD(wParam));
    case WM_ACTIVATE:
      // Not the default handling, which would put the focus on the window itself.
      if (LOWORD(wParam) != WA_INACTIVE) {
        form_->app().activated(*form_);
      }
      return 0;
    case WM_CLOSE:
      // The model decides: it unloads the form, which takes this window away.
      form_->app().closeRequested(*form_);
      return 0;
    case WM_LBUTTONDOWN:
      capture_.emplace(window());  // until the release
      form_->app().mousePress(*form_, scale_.toModel(GET_X_LPARAM(lParam)),
                              scale_.toModel(GET_Y_LPARAM(lParam)));
      return 0;
    case WM_LBUTTONUP:
      capture_.reset();
      form_->app().mouseRelease(*form_, scale_.toModel(GET_X_LPARAM(lParam)),
                                scale_.toModel(GET_Y_LPARAM(lParam)));
      return 0;
    case WM_GETOBJECT:
      return accessibility_.answer(wParam, lParam);
    default:
      return defaultHandling(message, wParam, lParam);
  }
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

// A button tells of the focus it took and of its clicks.
LRESULT FormWindow::onCommand(HWND from, int code) {
  for (const Button& button : buttons_) {
    if (button.window == from && code == BN_SETFOCUS) {
      form_->app().focusTo(*button.control);
    } else if (button.window == from && code == BN_CLICKED) {
      form_->app().click(*button.control);
    }
  }
  return 0;
}

}  // namespace ui::win32
