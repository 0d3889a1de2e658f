#pragma once
// Until the model's WindowedDriver lands: the same forwarding, here.
#include <functional>
#include <memory>
#include <string>

#include "ui/application.h"
#include "ui/driver.h"
#include "ui/form.h"
#include "ui/twips.h"
#include "ui/window_table.h"

namespace ui {

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
  void repaint(Form& form, const PixelRect& area) override {
    windows_.with(form, [&](Window& window) {
      window.syncButtons();
      window.repaintArea(area);
    });
  }
  virtual void buttonsChanged(Form& form) {
    windows_.with(form, [](Window& window) { window.syncButtons(); });
  }
  virtual void post(std::function<void()> task) = 0;

 protected:
  virtual std::unique_ptr<Window> makeWindow(Form& form) = 0;
  WindowTable<Window>& windows() { return windows_; }

 private:
  WindowTable<Window> windows_;
};

struct AccessibleWindow {
  std::string name;
  std::string description;
};
inline AccessibleWindow accessibleWindow(const Form& form) {
  return {form.caption(), std::string(form.design().help)};
}
inline PixelRect initialPlace(const Form& form) {
  return {toPixels(form.design().left), toPixels(form.design().top), form.pixelWidth(),
          form.pixelHeight()};
}
inline void accessiblePress(Application& app, Form& form, const Control* control) {
  for (const AccessibleItem& item : form.accessibleItems()) {
    if (item.control == control && item.pressable) {
      app.click(*item.control);
      return;
    }
  }
}

}  // namespace ui
