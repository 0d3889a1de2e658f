#pragma once

#include <QPushButton>
#include <QWidget>
#include <memory>
#include <vector>

#include "ui/geometry.h"

class QKeyEvent;

namespace ui {
class CommandButton;
class Control;
class Form;
}  // namespace ui

namespace ui::qt {

// The top-level window of one loaded form. It paints what the form hands it,
// hosts a real push button for each command button, and passes the window's
// events on to the Application. Once detached it never touches the model again.
class FormWindow final : public QWidget {
 public:
  // Creates the window, hidden, with its buttons.
  explicit FormWindow(ui::Form& form);

  [[nodiscard]] ui::Form* form() const { return form_; }
  // The real button of a command button; nullptr for any other control.
  [[nodiscard]] QPushButton* buttonFor(const ui::Control& control) const;

  // Shown, restored if minimised, in front, and active.
  void showForm();
  void updateCaption();
  void repaintArea(const ui::PixelRect& area);
  // Buttons are widgets: they follow their controls' place and visibility.
  void syncButtons();
  // The native focus and the default frame where the model has them.
  void showFocus();
  // The form is unloading: forget it, and leave the screen.
  void detach();

 protected:
  bool event(QEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void inputMethodEvent(QInputMethodEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  struct Button {
    std::unique_ptr<QPushButton> widget;
    ui::CommandButton* control;
  };
  // A key for the model; false when it is the window system's.
  bool keyDown(const QKeyEvent& event);

  ui::Form* form_;
  std::vector<Button> buttons_;  // in tab order
};

}  // namespace ui::qt
