#pragma once

#include <windows.h>

#include <vector>

#include "platform/win32/handles.h"
#include "ui/geometry.h"
#include "ui/style.h"
#include "ui/win32/display_scale.h"

namespace ui {
class CommandButton;
class Form;
class Image;
class Label;
}  // namespace ui

namespace ui::win32 {

class Win32Driver;

// The top-level window of one loaded form. It paints the form's images and
// labels from the model, holds a real BUTTON for each command button, and
// turns the window's messages into the model's events.
class FormWindow {
 public:
  static constexpr const wchar_t* kClassName = L"VorelForm";
  // False when the system refuses the class.
  static bool registerClass();

  // Creates the window, hidden, with its buttons; raises ui::Error when the
  // system refuses.
  FormWindow(Win32Driver& driver, Form& form);
  FormWindow(const FormWindow&) = delete;
  FormWindow& operator=(const FormWindow&) = delete;
  FormWindow(FormWindow&&) = delete;
  FormWindow& operator=(FormWindow&&) = delete;
  ~FormWindow();

  // The form; nullptr once detached.
  [[nodiscard]] const Form* form() const { return form_; }
  [[nodiscard]] HWND window() const { return window_; }
  // Forms with buttons get the dialog keys (Tab, Enter, Escape, access keys).
  [[nodiscard]] bool hasButtons() const { return !buttons_.empty(); }

  void showForm();
  void updateCaption();
  void repaintArea(const PixelRect& area);
  // The form is about to be destroyed: the window goes at once, and no event
  // reaches the model any more.
  void detach();

  // The window's messages, from its window procedure.
  LRESULT handleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

 private:
  struct Button {
    CommandButton* control;
    HWND window;
  };
  LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
  // Places and sizes the window for its DPI, with the fonts made for it.
  void layOut(UINT dpi, const RECT* suggested);
  void createButtons();
  // Buttons are windows: they follow their controls' place and visibility.
  void syncButtons();
  void paint();
  void drawImage(HDC dc, HDC source, const Image& image);
  void drawLabel(HDC dc, const Label& label);
  void onCommand(int id, int code);
  void makeDefault(HWND focused);
  [[nodiscard]] CommandButton* focusedButton() const;
  [[nodiscard]] LRESULT defaultId() const;
  void restoreFocus();

  Win32Driver* driver_;
  Form* form_;
  HWND window_ = nullptr;
  DisplayScale scale_;
  platform::win32::FontHandle buttonFont_;  // the system's message face at the window's DPI
  platform::win32::BrushHandle background_;
  std::vector<Button> buttons_;  // in tab order
  HWND focus_ = nullptr;         // the button to give the focus back to on activation
  bool dying_ = false;
  bool inModalLoop_ = false;
  // The back buffer: a bitmap of the client size in a memory DC.
  platform::win32::BitmapHandle backBitmap_;
  platform::win32::MemoryDc backDc_;
  SIZE backSize_{};
};

// A model colour as the system draws it.
[[nodiscard]] COLORREF colorRef(Color color);

}  // namespace ui::win32
