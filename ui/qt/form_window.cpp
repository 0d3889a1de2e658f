#include "ui/qt/form_window.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <algorithm>
#include <map>

#include "ui/application.h"
#include "ui/form.h"
#include "ui/qt/canvas.h"

namespace ui::qt {
namespace {

Qt::WindowFlags flagsFor(const ui::WindowFace& face) {
  if (face.dialog) {
    // A plain window with a trimmed frame, not a Qt::Dialog: an X11 dialog
    // without a parent is made transient for all of the program's windows,
    // that is owned, and kept above them.
    return Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint;
  }
  return Qt::Window;
}

// The keys the model names, and the key of a character by what Qt names it:
// the layout's letter in upper case, but a symbol as Shift makes it ('@' for
// Shift+2 on a US layout): Qt's interface tells no key's character without Shift.
ui::KeyStroke strokeOf(const QKeyEvent& event) {
  static const std::map<int, ui::Key> kNamed{
      {Qt::Key_Tab, ui::Key::Tab},       {Qt::Key_Backtab, ui::Key::Tab},
      {Qt::Key_Return, ui::Key::Enter},  {Qt::Key_Enter, ui::Key::Enter},
      {Qt::Key_Escape, ui::Key::Escape}, {Qt::Key_Backspace, ui::Key::Backspace},
      {Qt::Key_Delete, ui::Key::Delete}, {Qt::Key_Space, ui::Key::Space},
      {Qt::Key_F1, ui::Key::Help}};
  const int key = event.key();
  const bool latin = key > 0x20 && key < 0x7F;  // the space bar is named
  const auto named = kNamed.find(key);
  const ui::Key kind = named != kNamed.end() ? named->second : ui::Key::Other;
  const Qt::KeyboardModifiers held = event.modifiers();
  return {latin ? ui::Key::Character : kind,
          latin ? static_cast<char32_t>(key) : 0,
          {held.testFlag(Qt::ShiftModifier), held.testFlag(Qt::ControlModifier),
           held.testFlag(Qt::AltModifier)}};
}

}  // namespace

FormWindow::FormWindow(ui::Form& form) : QWidget(nullptr, flagsFor(form.face())), form_(&form) {
  const ui::WindowFace& face = form.face();
  // Every pixel is painted by paintEvent; Qt need not clear first.
  setAttribute(Qt::WA_OpaquePaintEvent);
  setAttribute(Qt::WA_InputMethodEnabled);
  setFocusPolicy(Qt::StrongFocus);
  setWindowTitle(toQString(face.caption));
  if (face.icon != nullptr) {
    setWindowIcon(toQIcon(*face.icon));
  }
  // The geometry of a top-level widget is that of its client area.
  setGeometry(toQRect(face.place));
  if (face.dialog) {
    setFixedSize(face.place.width, face.place.height);
  }
  for (const ui::ButtonFace& shown : face.buttons) {
    // The model's button, which this one clicks and focuses.
    ui::CommandButton* control = *std::ranges::find(form.buttonsInTabOrder(), shown.control);
    auto widget = std::make_unique<QPushButton>(toQString(ui::markedCaption(shown.caption)), this);
    // The caption shows its access key; the model decides what Alt and a
    // letter click, and what every other key does.
    widget->setShortcut({});
    widget->setFont(toQFont(control->design().font.on(ui::DisplayScale())));
    widget->installEventFilter(this);
    QObject::connect(widget.get(), &QPushButton::clicked, this, [this, control] {
      if (form_ != nullptr) {
        form_->app().click(*control);
      }
    });
    buttons_.push_back(Button{std::move(widget), control});
  }
  syncButtons();
  showFocus();
}

QPushButton* FormWindow::buttonFor(const ui::Control& control) const {
  const auto found = std::ranges::find(buttons_, &control, &Button::control);
  return found == buttons_.end() ? nullptr : found->widget.get();
}

void FormWindow::syncButtons() {
  for (const ui::ButtonFace& shown : form_->face().buttons) {
    QPushButton* widget = buttonFor(*shown.control);
    widget->setGeometry(toQRect(shown.place));
    widget->setVisible(shown.visible);
  }
}

void FormWindow::showForm() {
  setWindowState(windowState() & ~Qt::WindowMinimized);
  show();
  raise();
  activateWindow();
}

void FormWindow::updateCaption() {
  setWindowTitle(toQString(form_->face().caption));
}

void FormWindow::repaintArea(const ui::PixelRect& area) {
  repaint(toQRect(area).intersected(rect()));
}

void FormWindow::showFocus() {
  const ui::WindowFace& face = form_->face();
  for (const Button& button : buttons_) {
    button.widget->setDefault(button.control == face.framed);
    if (button.control == face.focus) {
      button.widget->setFocus();
    }
  }
  if (face.focus == nullptr) {
    setFocus();
  }
}

void FormWindow::detach() {
  form_ = nullptr;
  hide();
}

bool FormWindow::event(QEvent* event) {
  const QEvent::Type type = event->type();
  if (type == QEvent::WindowActivate || type == QEvent::WindowDeactivate) {
    // Nothing painted from the model looks different in an inactive window:
    // only the buttons hear of it, and the window is not repainted.
    for (const Button& button : buttons_) {
      if (button.widget->isVisible()) {
        QCoreApplication::sendEvent(button.widget.get(), event);
      }
    }
    if (type == QEvent::WindowActivate && form_ != nullptr) {
      form_->app().activated(*form_);
    }
    return true;
  }
  // Tab is the model's, not Qt's focus chain.
  if (type == QEvent::KeyPress && keyDown(static_cast<const QKeyEvent&>(*event))) {
    return true;
  }
  return QWidget::event(event);
}

// The buttons' keys are the model's too; a button that takes the focus (a
// click on it) tells the model.
bool FormWindow::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress) {
    return keyDown(static_cast<const QKeyEvent&>(*event));
  }
  if (event->type() == QEvent::FocusIn && form_ != nullptr) {
    for (const Button& button : buttons_) {
      if (button.widget.get() == watched) {
        form_->app().focusTo(*button.control);
      }
    }
  }
  return false;
}

bool FormWindow::keyDown(const QKeyEvent& event) {
  if (form_ == nullptr) {
    return true;
  }
  const ui::KeyResult result = form_->app().keyDown(*form_, strokeOf(event));
  if (result == ui::KeyResult::Type) {
    form_->app().typed(*form_, event.text().toStdU16String());
  }
  return result != ui::KeyResult::System;
}

void FormWindow::resizeEvent(QResizeEvent* event) {
  if (form_ != nullptr) {
    form_->setViewSize(width(), height());
  }
  QWidget::resizeEvent(event);
}

void FormWindow::inputMethodEvent(QInputMethodEvent* event) {
  if (form_ != nullptr && !event->commitString().isEmpty()) {
    form_->app().typed(*form_, event->commitString().toStdU16String());
  }
}

void FormWindow::mousePressEvent(QMouseEvent* event) {
  if (form_ != nullptr && event->button() == Qt::LeftButton) {
    const QPoint at = event->position().toPoint();
    form_->app().mousePress(*form_, at.x(), at.y());
  }
}

void FormWindow::mouseReleaseEvent(QMouseEvent* event) {
  if (form_ != nullptr && event->button() == Qt::LeftButton) {
    const QPoint at = event->position().toPoint();
    form_->app().mouseRelease(*form_, at.x(), at.y());
  }
}

void FormWindow::closeEvent(QCloseEvent* event) {
  if (form_ == nullptr) {
    return;  // accepted: the window goes
  }
  // The model decides: it unloads the form, which takes this window away.
  event->ignore();
  form_->app().closeRequested(*form_);
}

void FormWindow::paintEvent(QPaintEvent* event) {
  if (form_ == nullptr) {
    return;  // hidden
  }
  QPainter painter(this);
  Canvas canvas(painter);
  TextMetrics metrics;
  const QRect area = event->rect();
  form_->paint({area.x(), area.y(), area.width(), area.height()}, ui::DisplayScale(), canvas,
               metrics);
}

}  // namespace ui::qt
