#pragma once

#include <windows.h>

#include <optional>
#include <vector>

#include "platform/win32/base_window.h"
#include "ui/display_scale.h"
#include "ui/win32/accessible.h"

namespace ui {
class CommandButton;
class Form;
}  // namespace ui

namespace ui::win32 {

class GdiCache;

// The top-level window of one loaded form. It paints what the form hands it,
// holds a real BUTTON for each command button, and passes the window's
// messages on to the Application. Once detached it reaches the model no more.
class FormWindow final : public platform::win32::BaseWindow<FormWindow> {
 public:
  static constexpr const wchar_t* kClassName = L"VorelForm";

  // Hidden, with its buttons; raises ui::Error when the system refuses.
  FormWindow(ui::Form& form, GdiCache& gdi);

  // The form; nullptr once detached.
  [[nodiscard]] ui::Form* form() const { return form_; }
  [[nodiscard]] const ui::DisplayScale& scale() const { return scale_; }

  // Shown, restored if minimised, in front, and active.
  void showForm();
  void updateCaption();
  // Paints the area now.
  void repaintArea(const ui::PixelRect& area);
  // Buttons are windows: they follow their controls' place and visibility.
  void syncButtons();
  // The native focus and the default frame where the model has them.
  void showFocus();
  // The form is unloading: leave the screen, and forget it.
  void detach();

 private:
  friend class platform::win32::BaseWindow<FormWindow>;
  struct Button {
    ui::CommandButton* control;
    HWND window;  // a child, which goes with this window
  };
  LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT onPaint();
  LRESULT onCommand(HWND from, int code);

  // Places and sizes everything for a display of that DPI: at the design's
  // place, or where the system suggests when the window moved to the display.
  void layOut(int dpi, const RECT* suggested);

  ui::Form* form_;
  GdiCache* gdi_;
  ui::DisplayScale scale_;
  std::vector<Button> buttons_;                           // in tab order
  std::optional<platform::win32::MouseCapture> capture_;  // from a button press to its release
  Accessibility accessibility_{*this};
};

}  // namespace ui::win32
