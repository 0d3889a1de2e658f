#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ui/driver.h"
#include "ui/geometry.h"

namespace ui {
class Application;
class Control;
class Form;
class Timer;
}  // namespace ui

namespace ui::headless {

// A driver with no windows, for tests: a virtual clock the test advances,
// events the test injects, and message boxes the test reads and answers.
class HeadlessDriver final : public Driver {
 public:
  using Clock = std::chrono::milliseconds;

  struct Box {
    std::string prompt;
    std::string title;
    Clock openedAt;
  };
  // Called while a message box is open, as the user would see it; when it
  // returns, the box has been dismissed with OK. It may advance the clock.
  using BoxAnswerer = std::function<void(const Box&)>;

  HeadlessDriver() = default;

  void attach(Application& app) override { app_ = &app; }
  void formLoaded(Form& form) override;
  void formShown(Form& form) override;
  void formUnloading(Form& form) override;
  void captionChanged(Form& form) override;
  void repaint(Form& form, const PixelRect& area) override;
  void timerChanged(Timer& timer) override;
  void messageBox(std::string_view prompt, std::string_view title) override;
  void quit(int status) override;

  // The virtual clock. advance() delivers every tick that falls due, in time
  // order (timers due at the same moment in the order they were started).
  [[nodiscard]] Clock now() const { return now_; }
  void advance(Clock duration);
  // Advances to the next tick of any timer and delivers it; false when no
  // timer runs.
  bool step();
  [[nodiscard]] std::optional<Clock> nextTick() const;

  // Input, as a user would give it.
  void pressKey(Form& form, std::int16_t keyCode);
  void click(Control& control);
  // A click at a pixel of the client area; false when nothing visible is there.
  bool clickAt(Form& form, int x, int y);
  void close(Form& form);

  void answerBoxesWith(BoxAnswerer answerer) { answerer_ = std::move(answerer); }
  [[nodiscard]] const std::vector<Box>& boxes() const { return boxes_; }
  [[nodiscard]] bool boxOpen() const { return boxDepth_ > 0; }

  [[nodiscard]] std::optional<int> exitStatus() const { return exitStatus_; }
  [[nodiscard]] bool isShown(const Form& form) const;
  [[nodiscard]] Form* activeForm() const { return active_; }
  // Repaints asked for, per window, since the last call.
  [[nodiscard]] std::vector<PixelRect> takeRepaints(const Form& form);
  [[nodiscard]] int repaintCount() const { return repaintCount_; }

 private:
  struct Scheduled {
    Timer* timer;
    Clock due;
    Clock period;
    std::uint64_t order;
  };
  Scheduled* findScheduled(const Timer& timer);
  void deliver(Scheduled& next);

  Application* app_ = nullptr;
  Clock now_{0};
  std::vector<Scheduled> timers_;
  std::uint64_t nextOrder_ = 0;
  std::vector<Form*> shown_;
  Form* active_ = nullptr;
  std::vector<std::pair<const Form*, PixelRect>> repaints_;
  int repaintCount_ = 0;
  std::vector<Box> boxes_;
  BoxAnswerer answerer_;
  int boxDepth_ = 0;
  std::optional<int> exitStatus_;
};

}  // namespace ui::headless
