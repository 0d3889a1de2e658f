#pragma once

#include <QPushButton>
#include <QWidget>
#include <memory>
#include <vector>

namespace ui {
class CommandButton;
class Form;
class Image;
class Label;
class Visual;
}  // namespace ui

namespace ui::qt {

class PictureCache;

// The top-level window of one loaded form. It paints the form's images and
// labels straight from the model, hosts real push buttons for its command
// buttons, and turns input into the Application's events. Once detached it
// never touches the model again.
class FormWindow final : public QWidget {
 public:
  FormWindow(ui::Form& form, PictureCache& pictures);
  FormWindow(const FormWindow&) = delete;
  FormWindow& operator=(const FormWindow&) = delete;
  FormWindow(FormWindow&&) = delete;
  FormWindow& operator=(FormWindow&&) = delete;
  ~FormWindow() override;

  [[nodiscard]] const ui::Form* form() const { return form_; }
  // The form is about to be destroyed: forget it, and close without asking.
  void detach();
  // Keyboard focus to the button with the lowest tab index, if any.
  void focusFirstButton();
  // Buttons are widgets: they follow their controls' place and visibility here.
  void syncButtons();

 protected:
  bool event(QEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  struct Button {
    std::unique_ptr<QPushButton> widget;
    ui::CommandButton* control;
  };
  void addButton(ui::CommandButton& control);
  void clickButton(QPushButton* widget);
  [[nodiscard]] ui::Visual* hit(const QMouseEvent& event) const;
  void drawImage(QPainter& painter, const ui::Image& image);
  static void drawLabel(QPainter& painter, const ui::Label& label);

  ui::Form* form_;
  PictureCache* pictures_;
  QColor background_;
  std::vector<Button> buttons_;  // in tab order
  QPushButton* default_ = nullptr;
  QPushButton* cancel_ = nullptr;
  const ui::Visual* pressed_ = nullptr;
};

}  // namespace ui::qt
