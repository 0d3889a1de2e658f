#pragma once

#include <QTimer>
#include <chrono>
#include <memory>
#include <vector>

#include "ui/driver.h"
#include "ui/qt/form_window.h"
#include "ui/windowed_driver.h"

class QMessageBox;
class QWidget;

namespace ui::qt {

// The model on Qt 6 Widgets: one top-level window per loaded form, painted
// from the model; a precise timer that wakes the loop when a tick is due;
// modal message boxes. Needs a QApplication that outlives it.
class QtDriver final : public ui::WindowedDriver<FormWindow> {
 public:
  QtDriver();

  void attach(ui::Application& app) override { app_ = &app; }
  [[nodiscard]] Time now() const override {
    return std::chrono::steady_clock::now().time_since_epoch();
  }
  void wakeAt(std::optional<Time> due) override;
  void messageBox(const ui::BoxRequest& box) override;
  void quit(int status) override;
  void post(std::function<void()> task) override;

  // The window of a loaded form; nullptr when it has none.
  [[nodiscard]] QWidget* window(const ui::Form& form) const { return windows().find(form); }
  // Whether the timer will wake the program for a tick.
  [[nodiscard]] bool waking() const { return clock_.isActive(); }

 protected:
  [[nodiscard]] std::unique_ptr<FormWindow> makeWindow(ui::Form& form) override;

 private:
  ui::Application* app_ = nullptr;
  QTimer clock_;
  std::vector<QMessageBox*> boxes_;  // open message boxes, innermost last
};

}  // namespace ui::qt
