#pragma once

#include <QPushButton>
#include <QWidget>
#include <memory>
#include <vector>

#include "ui/geometry.h"

namespace ui {
class CommandButton;
class Form;
class Image;
class Label;
}  // namespace ui

namespace ui::qt {

class PictureCache;

// The top-level window of one loaded form. It paints the form's images and
// labels from the model, hosts a real push button for each command button, and
// turns the window's events into the Application's. Once detached it never
// touches the model again.
class FormWindow final : public QWidget {
 public:
  // Creates the window, hidden, with its buttons.
  FormWindow(ui::Form& form, PictureCache& pictures);
  FormWindow(const FormWindow&) = delete;
  FormWindow& operator=(const FormWindow&) = delete;
  FormWindow(FormWindow&&) = delete;
  FormWindow& operator=(FormWindow&&) = delete;
  ~FormWindow() override;

  [[nodiscard]] const ui::Form* form() const { return form_; }

  void showForm();
  void updateCaption();
  void repaintArea(const ui::PixelRect& area);
  // The form is about to be destroyed: forget it, and close without asking.
  void detach();

 protected:
  bool event(QEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  struct Button {
    std::unique_ptr<QPushButton> widget;
    ui::CommandButton* control;
  };
  void createButtons();
  // Buttons are widgets: they follow their controls' place and visibility.
  void syncButtons();
  [[nodiscard]] ui::CommandButton* focusedButton() const;
  void drawImage(QPainter& painter, const ui::Image& image);
  static void drawLabel(QPainter& painter, const ui::Label& label);

  ui::Form* form_;
  PictureCache* pictures_;
  QColor background_;
  std::vector<Button> buttons_;  // in tab order
};

}  // namespace ui::qt
