#include "ui/win32/form_window.h"

#include <windowsx.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <utility>

#include "platform/win32/wide.h"
#include "platform/win32/window_procedure.h"
#include "ui/application.h"
#include "ui/controls.h"
#include "ui/error.h"
#include "ui/form.h"
#include "ui/text.h"
#include "ui/twips.h"
#include "ui/win32/win32_driver.h"

namespace ui::win32 {

using platform::win32::BitmapHandle;
using platform::win32::BrushHandle;
using platform::win32::MemoryDc;
using platform::win32::PaintScope;
using platform::win32::Selection;
using platform::win32::thisModule;
using platform::win32::wide;

namespace {

// Button ids start above IDOK, IDCANCEL and their kin, which the dialog
// manager sends on its own.
constexpr int kFirstButtonId = 100;

using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);
using AdjustForDpiFunction = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);

// A function of user32 that older systems do not have; nullptr there.
template <typename Function>
Function user32Function(const char* name) {
  return reinterpret_cast<Function>(
      reinterpret_cast<void (*)()>(::GetProcAddress(::GetModuleHandleW(L"user32"), name)));
}

int systemDpi() {
  HDC screen = ::GetDC(nullptr);
  const int dpi = ::GetDeviceCaps(screen, LOGPIXELSY);
  ::ReleaseDC(nullptr, screen);
  return dpi;
}

// The window's DPI: its monitor's where the system tells (Windows 10 on),
// else the system's.
UINT dpiOf(HWND window) {
  static const auto getDpiForWindow = user32Function<GetDpiForWindowFunction>("GetDpiForWindow");
  return getDpiForWindow != nullptr ? getDpiForWindow(window) : static_cast<UINT>(systemDpi());
}

// The frame around a client area, with the frame's metrics at that DPI.
void adjustFrame(RECT& frame, DWORD style, DWORD exStyle, UINT dpi) {
  static const auto adjustForDpi = user32Function<AdjustForDpiFunction>("AdjustWindowRectExForDpi");
  if (adjustForDpi != nullptr) {
    adjustForDpi(&frame, style, FALSE, exStyle, dpi);
  } else {
    ::AdjustWindowRectEx(&frame, style, FALSE, exStyle);
  }
}

}  // namespace

COLORREF colorRef(Color color) {
  if (color.isSystem()) {
    return ::GetSysColor(color.systemIndex());
  }
  const std::uint32_t rgb = color.standardRgb();
  return RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

bool FormWindow::registerClass() {
  // No class background: every pixel of the client area is painted.
  return platform::win32::registerWindowClass<FormWindow>(kClassName,
                                                          ::LoadCursorW(nullptr, IDC_ARROW));
}

FormWindow::FormWindow(Win32Driver& driver, Form& form) : driver_(&driver), form_(&form) {
  const FormDesign& design = form.design();
  const bool dialog = design.border == BorderStyle::FixedDialog;
  const DWORD style =
      WS_CLIPCHILDREN | (dialog ? WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU : WS_OVERLAPPEDWINDOW);
  // A modal frame also takes the icon out of the caption.
  const DWORD exStyle = dialog ? WS_EX_DLGMODALFRAME : 0;
  background_.reset(::CreateSolidBrush(colorRef(design.background)));
  const std::wstring caption = wide(form.caption());
  // Made anywhere, then laid out for its display.
  ::CreateWindowExW(exStyle, kClassName, caption.c_str(), style, 0, 0, 0, 0, nullptr, nullptr,
                    thisModule(), this);
  if (window_ == nullptr || !background_) {
    throw Error(ErrorNumber::OutOfMemory);
  }
  if (design.icon != nullptr && !dialog) {
    // Icon group 1 of the program's resources, at the sizes the system asks for.
    const auto load = [](int width, int height) {
      return ::LoadImageW(thisModule(), MAKEINTRESOURCEW(1), IMAGE_ICON, ::GetSystemMetrics(width),
                          ::GetSystemMetrics(height), LR_DEFAULTCOLOR | LR_SHARED);
    };
    if (HANDLE big = load(SM_CXICON, SM_CYICON)) {
      ::SendMessageW(window_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big));
    }
    if (HANDLE small = load(SM_CXSMICON, SM_CYSMICON)) {
      ::SendMessageW(window_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small));
    }
  }
  createButtons();
  layOut(dpiOf(window_), nullptr);
}

FormWindow::~FormWindow() {
  detach();
}

// The design's place and size at the DPI, or the place the system suggests
// when the window moves to a display of another DPI.
void FormWindow::layOut(UINT dpi, const RECT* suggested) {
  scale_ = DisplayScale(dpi);
  LOGFONTW font = Win32Driver::messageFont();
  font.lfHeight = ::MulDiv(font.lfHeight, static_cast<int>(scale_.dpi()), systemDpi());
  platform::win32::FontHandle buttonFont(::CreateFontIndirectW(&font));
  for (const Button& button : buttons_) {
    ::SendMessageW(button.window, WM_SETFONT, reinterpret_cast<WPARAM>(buttonFont.get()), FALSE);
  }
  buttonFont_ = std::move(buttonFont);  // after the buttons let go of the one before
  RECT frame{};
  if (suggested != nullptr) {
    frame = *suggested;
  } else {
    const FormDesign& design = form_->design();
    frame = scale_.toDevice(PixelRect{toPixels(design.left), toPixels(design.top),
                                      form_->pixelWidth(), form_->pixelHeight()});
    adjustFrame(frame, static_cast<DWORD>(::GetWindowLongW(window_, GWL_STYLE)),
                static_cast<DWORD>(::GetWindowLongW(window_, GWL_EXSTYLE)), scale_.dpi());
  }
  ::SetWindowPos(window_, nullptr, frame.left, frame.top, frame.right - frame.left,
                 frame.bottom - frame.top, SWP_NOZORDER | SWP_NOACTIVATE);
  syncButtons();
  ::InvalidateRect(window_, nullptr, FALSE);
}

void FormWindow::createButtons() {
  // Creation order is the Tab order.
  const CommandButton* defaultButton = form_->defaultButton();
  for (CommandButton* control : form_->buttonsInTabOrder()) {
    const auto index = static_cast<int>(buttons_.size());
    const ButtonDesign& design = control->design();
    const DWORD style = WS_CHILD | WS_TABSTOP | BS_NOTIFY |
                        (control == defaultButton ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
    const std::wstring caption = wide(design.caption);
    HWND button = ::CreateWindowExW(0, L"BUTTON", caption.c_str(), style, 0, 0, 0, 0, window_,
                                    // A child window's id travels in the menu handle.
                                    reinterpret_cast<HMENU>(  // NOLINT(performance-no-int-to-ptr)
                                        static_cast<INT_PTR>(kFirstButtonId + index)),
                                    thisModule(), nullptr);
    if (button == nullptr) {
      throw Error(ErrorNumber::OutOfMemory);
    }
    buttons_.push_back(Button{control, button});
  }
  syncButtons();
}

void FormWindow::syncButtons() {
  for (const Button& button : buttons_) {
    const RECT box = scale_.toDevice(button.control->pixelRect());
    ::SetWindowPos(button.window, nullptr, box.left, box.top, box.right - box.left,
                   box.bottom - box.top,
                   SWP_NOZORDER | SWP_NOACTIVATE |
                       (button.control->visible() ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
  }
}

void FormWindow::showForm() {
  if (!::IsWindowVisible(window_)) {
    ::ShowWindow(window_, SW_SHOWNORMAL);
  }
  ::SetForegroundWindow(window_);
  ::BringWindowToTop(window_);
  ::SetActiveWindow(window_);
  restoreFocus();
}

void FormWindow::updateCaption() {
  const std::wstring caption = wide(form_->caption());
  ::SetWindowTextW(window_, caption.c_str());
}

void FormWindow::repaintArea(const PixelRect& area) {
  if (window_ == nullptr) {
    return;
  }
  syncButtons();
  const RECT rect = scale_.toDevice(area);
  ::InvalidateRect(window_, &rect, FALSE);
}

void FormWindow::detach() {
  if (window_ == nullptr) {
    return;
  }
  dying_ = true;
  if (inModalLoop_) {
    inModalLoop_ = false;
    driver_->leaveModalLoop();
  }
  ::DestroyWindow(window_);  // WM_NCDESTROY clears window_
  window_ = nullptr;
  buttons_.clear();
}

LRESULT FormWindow::handleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    window_ = window;
  } else if (message == WM_NCDESTROY) {
    window_ = nullptr;
    return ::DefWindowProcW(window, message, wParam, lParam);
  }
  return handle(message, wParam, lParam);
}

// Every call into the model comes last in its branch: the model may unload
// the form, and with it this window, before the call returns.
LRESULT FormWindow::handle(UINT message, WPARAM wParam, LPARAM lParam) {
  if (dying_) {
    return ::DefWindowProcW(window_, message, wParam, lParam);
  }
  switch (message) {
    case WM_ERASEBKGND:
      return 1;  // the paint covers everything; erasing first would flicker
    case WM_PAINT:
      paint();
      return 0;
    case WM_SIZE:
      form_->setViewSize(scale_.toModelCeiling(LOWORD(lParam)),
                         scale_.toModelCeiling(HIWORD(lParam)));
      return 0;
    case WM_DPICHANGED:
      layOut(HIWORD(wParam),
             reinterpret_cast<const RECT*>(lParam));  // NOLINT(performance-no-int-to-ptr)
      return 0;
    case WM_CHAR:
      form_->app().keyPress(*form_, static_cast<std::int16_t>(static_cast<std::uint16_t>(wParam)));
      return 0;
    case WM_KEYDOWN:
      if (wParam == VK_F1) {
        form_->app().keyDown(*form_, Key::Help);
        return 0;
      }
      break;
    case WM_LBUTTONDOWN:
      ::SetCapture(window_);
      form_->app().mousePress(*form_, scale_.toModel(GET_X_LPARAM(lParam)),
                              scale_.toModel(GET_Y_LPARAM(lParam)));
      return 0;
    case WM_LBUTTONUP:
      if (::GetCapture() == window_) {
        ::ReleaseCapture();
      }
      form_->app().mouseRelease(*form_, scale_.toModel(GET_X_LPARAM(lParam)),
                                scale_.toModel(GET_Y_LPARAM(lParam)));
      return 0;
    case WM_COMMAND:
      onCommand(LOWORD(wParam), HIWORD(wParam));
      return 0;
    case DM_GETDEFID:
      return defaultId();
    case WM_ACTIVATE:
      if (LOWORD(wParam) == WA_INACTIVE) {
        HWND focused = ::GetFocus();
        if (focused != nullptr && ::IsChild(window_, focused)) {
          focus_ = focused;
        }
      } else {
        restoreFocus();
      }
      return 0;
    case WM_CLOSE:
      // The model decides: it unloads the form, which takes this window away.
      form_->app().closeRequested(*form_);
      return 0;
    case WM_ENTERSIZEMOVE:
    case WM_ENTERMENULOOP:
      if (!inModalLoop_) {
        inModalLoop_ = true;
        driver_->enterModalLoop();
      }
      break;
    case WM_EXITSIZEMOVE:
    case WM_EXITMENULOOP:
      if (inModalLoop_) {
        inModalLoop_ = false;
        driver_->leaveModalLoop();
      }
      break;
    default:
      break;
  }
  return ::DefWindowProcW(window_, message, wParam, lParam);
}

void FormWindow::onCommand(int id, int code) {
  if (code == BN_SETFOCUS) {
    makeDefault(::GetFocus());
    return;
  }
  if (code != BN_CLICKED) {
    return;
  }
  // The dialog manager's Escape, and its Enter where no button is the default.
  if (id == IDCANCEL) {
    form_->app().keyDown(*form_, Key::Escape);
  } else if (id == IDOK) {
    form_->app().keyDown(*form_, Key::Enter, focusedButton());
  } else if (id >= kFirstButtonId && id < kFirstButtonId + static_cast<int>(buttons_.size())) {
    form_->app().click(*buttons_[static_cast<std::size_t>(id - kFirstButtonId)].control);
  }
}

// As in a dialog, the focused button is the one Enter clicks, and shows it.
void FormWindow::makeDefault(HWND focused) {
  for (const Button& button : buttons_) {
    const WPARAM type = button.window == focused ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
    ::SendMessageW(button.window, BM_SETSTYLE, type | BS_NOTIFY, TRUE);
  }
}

CommandButton* FormWindow::focusedButton() const {
  HWND focused = ::GetFocus();
  const auto found = std::find_if(buttons_.begin(), buttons_.end(),
                                  [&](const Button& button) { return button.window == focused; });
  return found == buttons_.end() ? nullptr : found->control;
}

// The button Enter clicks, as the dialog manager asks for it.
LRESULT FormWindow::defaultId() const {
  const CommandButton* button = form_->buttonForEnter(focusedButton());
  for (std::size_t i = 0; i < buttons_.size(); ++i) {
    if (buttons_[i].control == button) {
      return MAKELRESULT(kFirstButtonId + static_cast<int>(i), DC_HASDEFID);
    }
  }
  return 0;
}

void FormWindow::restoreFocus() {
  if (buttons_.empty()) {
    ::SetFocus(window_);
    return;
  }
  if (focus_ == nullptr || !::IsChild(window_, focus_)) {
    focus_ = buttons_.front().window;
  }
  ::SetFocus(focus_);
}

void FormWindow::paint() {
  const PaintScope paint(window_);
  RECT client{};
  ::GetClientRect(window_, &client);
  if (client.right <= 0 || client.bottom <= 0) {
    return;
  }
  if (!backDc_ || backSize_.cx != client.right || backSize_.cy != client.bottom) {
    MemoryDc dc(::CreateCompatibleDC(paint.dc()));
    BitmapHandle bitmap(::CreateCompatibleBitmap(paint.dc(), client.right, client.bottom));
    if (!dc || !bitmap) {
      return;  // nothing to draw with; the next paint tries again
    }
    ::SelectObject(dc.get(), bitmap.get());
    backDc_ = std::move(dc);  // before the bitmap it held goes
    backBitmap_ = std::move(bitmap);
    backSize_ = {client.right, client.bottom};
  }
  const RECT& area = paint.area();
  HDC dc = backDc_.get();
  const int saved = ::SaveDC(dc);
  ::IntersectClipRect(dc, area.left, area.top, area.right, area.bottom);
  ::FillRect(dc, &area, background_.get());
  const MemoryDc source(::CreateCompatibleDC(dc));
  form_->forEachDrawn(
      scale_.toModel(area), [&](const Image& image) { drawImage(dc, source.get(), image); },
      [&](const Label& label) { drawLabel(dc, label); });
  ::RestoreDC(dc, saved);
  ::BitBlt(paint.dc(), area.left, area.top, area.right - area.left, area.bottom - area.top, dc,
           area.left, area.top, SRCCOPY);
}

void FormWindow::drawImage(HDC dc, HDC source, const Image& image) {
  const Picture* picture = image.picture();
  HBITMAP bitmap = picture == nullptr ? nullptr : driver_->bitmapOf(*picture);
  if (bitmap == nullptr || source == nullptr) {
    return;
  }
  // At its own size unless stretched to its box; pixels are repeated or
  // dropped whole when scaled, so the picture keeps its own colours.
  const PixelRect box = image.pixelRect();
  const RECT to = scale_.toDevice(
      image.stretch() ? box : PixelRect{box.x, box.y, picture->width, picture->height});
  const Selection selected(source, bitmap);
  ::SetStretchBltMode(dc, COLORONCOLOR);
  ::StretchBlt(dc, to.left, to.top, to.right - to.left, to.bottom - to.top, source, 0, 0,
               picture->width, picture->height, SRCCOPY);
}

void FormWindow::drawLabel(HDC dc, const Label& label) {
  const LabelDesign& design = label.design();
  RECT box = scale_.toDevice(label.pixelRect());
  const BrushHandle brush(::CreateSolidBrush(colorRef(design.background)));
  ::FillRect(dc, &box, brush.get());
  std::wstring text = wide(label.caption());
  if (text.empty()) {
    return;
  }
  UINT format =
      DT_NOPREFIX | DT_WORDBREAK | (design.alignment == Alignment::Center ? DT_CENTER : DT_LEFT);
  if (isRightToLeft(label.caption())) {
    format |= DT_RTLREADING;
  }
  const int saved = ::SaveDC(dc);
  ::IntersectClipRect(dc, box.left, box.top, box.right, box.bottom);
  if (HFONT font = driver_->fontOf(design.font, scale_.dpi())) {
    ::SelectObject(dc, font);
  }
  ::SetTextColor(dc, colorRef(design.foreground));
  ::SetBkMode(dc, TRANSPARENT);
  ::DrawTextW(dc, text.data(), static_cast<int>(text.size()), &box, format);
  ::RestoreDC(dc, saved);
}

}  // namespace ui::win32
