#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ui/driver.h"
#include "ui/geometry.h"
#include "ui/keyboard.h"

namespace ui {
class Control;
class Form;
}  // namespace ui

namespace ui::headless {

// A driver with no windows, for tests: a virtual clock the test advances,
// events the test injects, and message boxes the test reads and answers.
class HeadlessDriver final : public Driver {
 public:
  struct Box {
    std::string prompt;
    std::string title;
    const Form* owner = nullptr;
    bool rightToLeft = false;
  };
  // Called while a message box is open, as the user would see it; when it
  // returns, the box has been dismissed with OK. It may advance the clock.
  using BoxAnswerer = std::function<void(const Box&)>;

  void attach(Application& app) override { app_ = &app; }
  void formLoaded(Form& /*form*/) override {}
  void formShown(Form& /*form*/) override {}
  void formUnloading(Form& form) override;
  void releaseWindows() override { ++released_; }
  void captionChanged(Form& /*form*/) override {}
  void focusChanged(Form& /*form*/) override {}
  void buttonsChanged(Form& /*form*/) override {}
  void repaint(Form& form, const PixelRect& area) override;
  [[nodiscard]] Time now() const override { return now_; }
  void wakeAt(std::optional<Time> due) override { due_ = due; }
  void messageBox(const BoxRequest& box) override;
  void quit(int status) override;
  void post(std::function<void()> task) override { posted_.push_back(std::move(task)); }

  // Runs what was posted, as the loop would once the call in progress returns.
  void runPosted();

  // Moves the virtual clock on, delivering every tick that falls due on the way.
  void advance(Time duration);
  // When the program asked to be woken for its next tick; nothing: no wake-up.
  [[nodiscard]] std::optional<Time> wakeTime() const { return due_; }

  // Input, as a user would give it: a key, then the text the platform
  // composes for it when the model leaves it to the platform.
  KeyResult press(Form& form, const KeyStroke& stroke, std::u16string_view text = {});
  void pressKey(Form& form, std::int16_t keyCode);  // a typed character
  void click(Control& control);
  // A press and a release of the left button at pixels of the client area.
  void clickAt(Form& form, int x, int y) { drag(form, x, y, x, y); }
  void drag(Form& form, int fromX, int fromY, int toX, int toY);
  void close(Form& form);

  void answerBoxesWith(BoxAnswerer answerer) { answerer_ = std::move(answerer); }
  [[nodiscard]] const std::vector<Box>& boxes() const { return boxes_; }

  [[nodiscard]] std::optional<int> exitStatus() const { return exitStatus_; }
  // How often the windows of unloaded forms were let go.
  [[nodiscard]] int released() const { return released_; }
  // The repaints asked for a window since the last call.
  [[nodiscard]] std::vector<PixelRect> takeRepaints(const Form& form);

 private:
  Application* app_ = nullptr;
  Time now_{0};
  std::optional<Time> due_;
  std::vector<std::pair<const Form*, PixelRect>> repaints_;
  std::vector<Box> boxes_;
  BoxAnswerer answerer_;
  std::optional<int> exitStatus_;
  std::vector<std::function<void()>> posted_;
  int released_ = 0;
};

}  // namespace ui::headless
