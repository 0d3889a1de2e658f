#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "ui/accessibility.h"
#include "ui/paint.h"
#include "ui/windowed_driver.h"

namespace ui {
class Form;
}  // namespace ui

namespace ui::web {

class WebDriver;

// One loaded form's window on the page: a caption bar, a canvas the form is
// painted on, a real <button> for each command button and the ARIA that a
// screen reader reads. The page (ui/web/page.js) knows it by its address;
// once detached it never touches the model again.
class WebWindow {
 public:
  WebWindow(Form& form, WebDriver& driver);
  WebWindow(const WebWindow&) = delete;
  WebWindow& operator=(const WebWindow&) = delete;
  WebWindow(WebWindow&&) = delete;
  WebWindow& operator=(WebWindow&&) = delete;
  ~WebWindow();

  [[nodiscard]] Form* form() const { return form_; }
  void detach();
  void showForm();
  void updateCaption();
  void showFocus();
  void repaintArea(const PixelRect& area);
  void syncButtons();
  // The screen reader's view, sent to the page when it changed.
  void describe();

 private:
  Form* form_;
  WebDriver* driver_;
  int dpi_ = 0;                              // the scale the canvas was last painted at
  std::vector<AccessibleItem> described_{};  // what the page's ARIA shows now
};

// Text measured as the page's canvas draws it, in device pixels.
class PageMeasure final : public TextMeasure {
 public:
  int width(std::string_view text, const FontFace& face) override;
  int lineHeight(const FontFace& face) override;
};

// The model in a browser page. The page is the window system: windows,
// boxes, keys and timers are the page's; the model's blocking calls (the
// program's loop, a message box) wait for the page's events with ASYNCIFY,
// innermost first.
class WebDriver final : public WindowedDriver<WebWindow> {
 public:
  WebDriver() = default;
  WebDriver(const WebDriver&) = delete;
  WebDriver& operator=(const WebDriver&) = delete;
  WebDriver(WebDriver&&) = delete;
  WebDriver& operator=(WebDriver&&) = delete;
  ~WebDriver() override;

  void attach(Application& app) override { app_ = &app; }
  [[nodiscard]] Time now() const override;
  void wakeAt(std::optional<Time> due) override;
  void messageBox(const BoxRequest& box) override;
  void quit(int status) override;
  void post(std::function<void()> task) override;

  // The program's loop: waits for the page's events until quit().
  int run();
  // A timeout of the page: the posted tasks run, then the ticks that are due.
  void wokenUp();
  // After each event of the page, as before a native loop waits.
  void idle();

  [[nodiscard]] PageMeasure& measure() { return measure_; }
  // The form's window on the page; nullptr if it has none.
  [[nodiscard]] const WebWindow* window(const Form& form) const { return windows().find(form); }

  // The page says that the program has ended, and offers to play again.
  static void showEnd(int status);

 protected:
  std::unique_ptr<WebWindow> makeWindow(Form& form) override {
    return std::make_unique<WebWindow>(form, *this);
  }

 private:
  Application* app_ = nullptr;
  PageMeasure measure_;
  std::vector<std::function<void()>> posted_;
  std::optional<int> status_;
};

}  // namespace ui::web
