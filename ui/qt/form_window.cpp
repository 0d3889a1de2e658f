#include "ui/qt/form_window.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QTextOption>
#include <algorithm>

#include "ui/application.h"
#include "ui/controls.h"
#include "ui/form.h"
#include "ui/qt/picture_cache.h"
#include "ui/qt/to_qt.h"
#include "ui/text.h"
#include "ui/twips.h"

namespace ui::qt {
namespace {

QColor toQColor(ui::Color color) {
  return QColor::fromRgb(static_cast<QRgb>(color.standardRgb()));
}

QRect toQRect(const ui::PixelRect& rect) {
  return {rect.x, rect.y, rect.width, rect.height};
}

ui::PixelRect toPixelRect(const QRect& rect) {
  return {rect.x(), rect.y(), rect.width(), rect.height()};
}

// The system's sans-serif face. Sizes are set in pixels at 96 dpi, so that
// every platform plugin, offscreen included, draws the same glyphs; Qt scales
// them with the rest for the display.
QFont toQFont(const ui::Font& design) {
  QFont font(QStringLiteral("Sans Serif"));
  font.setStyleHint(QFont::SansSerif);
  font.setPixelSize(design.pixelSize());
  font.setWeight(static_cast<QFont::Weight>(std::clamp(design.weight, 1, 1000)));
  font.setItalic(design.italic);
  return font;
}

Qt::WindowFlags flagsFor(ui::BorderStyle border) {
  if (border == ui::BorderStyle::FixedDialog) {
    // A plain window with a trimmed frame, not a Qt::Dialog: an X11 dialog
    // without a parent is made transient for all of the program's windows,
    // that is owned, and kept above them.
    return Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint;
  }
  return Qt::Window;
}

}  // namespace

FormWindow::FormWindow(ui::Form& form, PictureCache& pictures)
    : QWidget(nullptr, flagsFor(form.design().border)),
      form_(&form),
      pictures_(&pictures),
      background_(toQColor(form.design().background)) {
  const ui::FormDesign& design = form.design();
  // Every pixel is painted by paintEvent; Qt need not clear first.
  setAttribute(Qt::WA_OpaquePaintEvent);
  setWindowTitle(toQString(form.caption()));
  if (design.icon != nullptr) {
    setWindowIcon(PictureCache::icon(*design.icon));
  }
  // The geometry of a top-level widget is that of its client area.
  setGeometry(ui::toPixels(design.left), ui::toPixels(design.top), form.pixelWidth(),
              form.pixelHeight());
  if (design.border == ui::BorderStyle::FixedDialog) {
    setFixedSize(form.pixelWidth(), form.pixelHeight());
  }
  createButtons();
}

FormWindow::~FormWindow() = default;

void FormWindow::createButtons() {
  // Creation order is the Tab order.
  const ui::CommandButton* defaultButton = form_->defaultButton();
  for (ui::CommandButton* control : form_->buttonsInTabOrder()) {
    auto widget = std::make_unique<QPushButton>(toQString(control->caption()), this);
    widget->setDefault(control == defaultButton);
    QObject::connect(widget.get(), &QPushButton::clicked, this, [this, control] {
      if (form_ != nullptr) {
        form_->app().click(*control);
      }
    });
    buttons_.push_back(Button{std::move(widget), control});
  }
  syncButtons();
}

void FormWindow::syncButtons() {
  for (const Button& button : buttons_) {
    button.widget->setGeometry(toQRect(button.control->pixelRect()));
    button.widget->setVisible(button.control->visible());
  }
}

// A window that is up already comes forward with its focus where it was; a
// new one opens with the focus on its first button, the first in tab order.
void FormWindow::showForm() {
  show();
  raise();
  activateWindow();
}

void FormWindow::updateCaption() {
  setWindowTitle(toQString(form_->caption()));
}

void FormWindow::repaintArea(const ui::PixelRect& area) {
  syncButtons();
  // At once, not through a posted update: the model calls this once a handler
  // is over, with everything it changed, so there is nothing to gather, and
  // the event loop need not wake itself a second time.
  repaint(toQRect(area).intersected(rect()));
}

void FormWindow::detach() {
  form_ = nullptr;
  for (Button& button : buttons_) {
    button.control = nullptr;
  }
}

ui::CommandButton* FormWindow::focusedButton() const {
  const QWidget* focused = focusWidget();
  for (const Button& button : buttons_) {
    if (button.widget.get() == focused) {
      return button.control;
    }
  }
  return nullptr;
}

bool FormWindow::event(QEvent* event) {
  switch (event->type()) {
    case QEvent::WindowActivate:
    case QEvent::WindowDeactivate:
      // Nothing painted from the model looks different in an inactive window:
      // only the buttons hear of it, and the window is not repainted.
      for (const Button& button : buttons_) {
        if (button.widget->isVisible()) {
          QCoreApplication::sendEvent(button.widget.get(), event);
        }
      }
      return true;
    default:
      return QWidget::event(event);
  }
}

// Nothing drawn shows where the focus is: the window is not repainted when
// it takes or loses the keyboard.
void FormWindow::focusInEvent(QFocusEvent* /*event*/) {}
void FormWindow::focusOutEvent(QFocusEvent* /*event*/) {}

void FormWindow::resizeEvent(QResizeEvent* event) {
  if (form_ != nullptr) {
    form_->setViewSize(width(), height());
  }
  QWidget::resizeEvent(event);
}

// The keys the buttons leave: the model's named keys, then the character.
void FormWindow::keyPressEvent(QKeyEvent* event) {
  if (form_ == nullptr) {
    return;
  }
  ui::Application& app = form_->app();
  switch (event->key()) {
    case Qt::Key_F1:
      app.keyDown(*form_, ui::Key::Help);
      return;
    case Qt::Key_Escape:
      app.keyDown(*form_, ui::Key::Escape);
      break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
      app.keyDown(*form_, ui::Key::Enter, focusedButton());
      break;
    default:
      break;
  }
  // Alt combinations are the window system's (menus, access keys), not text.
  const QString text = event->text();
  if (form_ != nullptr && !text.isEmpty() && (event->modifiers() & Qt::AltModifier) == 0) {
    app.keyPress(*form_, static_cast<std::int16_t>(text.at(0).unicode()));
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
  QPainter painter(this);
  painter.fillRect(event->rect(), background_);
  if (form_ != nullptr) {
    form_->forEachDrawn(
        toPixelRect(event->rect()), [&](const ui::Image& image) { drawImage(painter, image); },
        [&](const ui::Label& label) { drawLabel(painter, label); });
  }
}

void FormWindow::drawImage(QPainter& painter, const ui::Image& image) {
  if (image.picture() == nullptr || !image.picture()->complete()) {
    return;
  }
  const QImage& picture = pictures_->image(*image.picture());
  const ui::PixelRect box = image.pixelRect();
  if (image.stretch()) {
    // No smooth transform: stretched pixels stay crisp.
    painter.drawImage(toQRect(box), picture);
  } else {
    painter.drawImage(QPoint(box.x, box.y), picture);
  }
}

void FormWindow::drawLabel(QPainter& painter, const ui::Label& label) {
  const ui::LabelDesign& design = label.design();
  const QRect box = toQRect(label.pixelRect());
  painter.fillRect(box, toQColor(design.background));
  if (label.caption().empty()) {
    return;
  }
  QString text = toQString(label.caption());
  text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  QTextOption option(
      (design.alignment == ui::Alignment::Center ? Qt::AlignHCenter : Qt::AlignLeft) |
      Qt::AlignTop);
  // Arabic reads from the right: shaped by the layout, placed right to left.
  option.setTextDirection(ui::isRightToLeft(label.caption()) ? Qt::RightToLeft : Qt::LeftToRight);

  // Text beyond the box is cut off: drawText clips to its rectangle.
  painter.setFont(toQFont(design.font));
  painter.setPen(toQColor(design.foreground));
  painter.drawText(QRectF(box), text, option);
}

}  // namespace ui::qt
