#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QMessageBox>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ui/application.h"
#include "ui/form.h"
#include "ui/qt/qt_driver.h"

namespace qt_testing {

// A window whose handlers are whatever the test puts in. Client area 200 x 100
// pixels on the grey button face: a cyan label "Bar" along the bottom (y 80 to
// 99), a 2 x 2 picture stretched to 30 x 30 at (15, 15), an empty white label
// at (60, 0) of 100 x 60, a hidden image over the ground at (170, 15), a timer.
class TestForm final : public ui::Form {
 public:
  static constexpr const char* kName = "Test";
  explicit TestForm(ui::Application& app);

  std::function<void(ui::Timer&)> tick;
  std::function<void(std::int16_t)> key;
  std::function<void(ui::Control&)> clicked;

  ui::Timer* timer = nullptr;
  ui::Label* label = nullptr;
  ui::Image* image = nullptr;
  ui::Label* text = nullptr;
  ui::Image* hidden = nullptr;

 private:
  void build() override;
  void onTick(ui::Timer& t) override;
  void onKeyPress(std::int16_t code) override;
  void onClick(ui::Control& control) override;
};

// A fixed dialog with two buttons: "&Stop" (cancel, tab index 1) first in
// design order, then "&Run" (default, tab index 0).
class ButtonForm final : public ui::Form {
 public:
  static constexpr const char* kName = "Buttons";
  explicit ButtonForm(ui::Application& app);

  std::vector<std::string> clicks;  // names of the buttons clicked, in order

 private:
  void build() override;
  void onClick(ui::Control& control) override;
};

// What a message box showed when it was answered.
struct SeenBox {
  QString title;
  QString text;
  Qt::LayoutDirection direction;
  QMessageBox::Icon icon;
  qsizetype buttons;
};

class QtFixture : public ::testing::Test {
 protected:
  QtFixture();
  ~QtFixture() override;
  QtFixture(const QtFixture&) = delete;
  QtFixture& operator=(const QtFixture&) = delete;
  QtFixture(QtFixture&&) = delete;
  QtFixture& operator=(QtFixture&&) = delete;

  TestForm& testForm() { return app.form<TestForm>(TestForm::kName); }
  ButtonForm& buttonForm() { return app.form<ButtonForm>(ButtonForm::kName); }
  [[nodiscard]] QWidget* window(const ui::Form& form) const { return driver.window(form); }

  // Runs the main event loop, as the program does, with `script` called once
  // it runs; returns the loop's exit status. A loop still running after a
  // minute is ended with status -99 so that a fault never hangs the suite.
  int runProgram(const std::function<void()>& script);

  // While the program runs, answer with OK every modal box whose text starts
  // with `prefix`, recording what it showed; `whileOpen` runs first, the box
  // still open.
  void answerBoxes(const QString& prefix = {}, std::function<void()> whileOpen = {});
  std::vector<SeenBox> seenBoxes;

  ui::qt::QtDriver driver;
  ui::Application app{driver, "vorel"};

 private:
  QTimer answerer_;
  QString answerPrefix_;
  std::function<void()> whileOpen_;
  bool answering_ = false;  // waits in whileOpen_ run the answerer again
};

// The image of a widget's client area at one device pixel per pixel.
QImage snapshot(QWidget& widget);
// The smallest rectangle of pixels within `area` for which `pick` holds.
QRect boundsOf(const QImage& image, const QRect& area, const std::function<bool(QRgb)>& pick);

}  // namespace qt_testing
