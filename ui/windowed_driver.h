#pragma once

#include <memory>

#include "ui/driver.h"
#include "ui/window_table.h"

namespace ui {

// A driver with one native window per loaded form. The model's requests for a
// form go to its window, which offers:
//   const Form* form() const;  void detach();  void showForm();
//   void updateCaption();  void showFocus();  void syncButtons();
//   void repaintArea(const PixelRect& area);
template <typename Window>
class WindowedDriver : public Driver {
 public:
  void formLoaded(Form& form) override { windows_.add(makeWindow(form)); }
  void formShown(Form& form) override {
    windows_.with(form, [](Window& window) { window.showForm(); });
  }
  void formUnloading(Form& form) override { windows_.retire(form); }
  void releaseWindows() override { windows_.release(); }
  void captionChanged(Form& form) override {
    windows_.with(form, [](Window& window) { window.updateCaption(); });
  }
  void focusChanged(Form& form) override {
    windows_.with(form, [](Window& window) { window.showFocus(); });
  }
  void buttonsChanged(Form& form) override {
    windows_.with(form, [](Window& window) { window.syncButtons(); });
  }
  void repaint(Form& form, const PixelRect& area) override {
    windows_.with(form, [&area](Window& window) { window.repaintArea(area); });
  }

 protected:
  // The form's window, still hidden.
  [[nodiscard]] virtual std::unique_ptr<Window> makeWindow(Form& form) = 0;
  [[nodiscard]] WindowTable<Window>& windows() { return windows_; }
  [[nodiscard]] const WindowTable<Window>& windows() const { return windows_; }

 private:
  WindowTable<Window> windows_;
};

}  // namespace ui
