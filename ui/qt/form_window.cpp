#include "ui/qt/form_window.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QTextOption>
#include <algorithm>
#include <cmath>
#include <utility>

#include "ui/application.h"
#include "ui/controls.h"
#include "ui/form.h"
#include "ui/qt/picture_cache.h"
#include "ui/twips.h"

namespace ui::qt {
namespace {

QColor toQColor(ui::Color color) {
  return QColor::fromRgb(static_cast<QRgb>(color.standardRgb()));
}

QRect toQRect(const ui::PixelRect& rect) {
  return {rect.x, rect.y, rect.width, rect.height};
}

QString toQString(std::string_view utf8) {
  return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

// The system's sans-serif face. Sizes are set in pixels at 96 dpi, so that
// every platform plugin, offscreen included, draws the same glyphs.
QFont toQFont(const ui::Font& design) {
  QFont font(QStringLiteral("Sans Serif"));
  font.setStyleHint(QFont::SansSerif);
  font.setPixelSize(std::max(1, static_cast<int>(std::lround(design.points * 96.0 / 72.0))));
  font.setWeight(static_cast<QFont::Weight>(std::clamp(design.weight, 1, 1000)));
  font.setItalic(design.italic);
  return font;
}

Qt::Alignment toQAlignment(ui::Alignment alignment) {
  switch (alignment) {
    case ui::Alignment::Right:
      return Qt::AlignRight;
    case ui::Alignment::Center:
      return Qt::AlignHCenter;
    case ui::Alignment::Left:
      break;
  }
  return Qt::AlignLeft;
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

  std::vector<ui::CommandButton*> controls;
  form.forEachControl([&](ui::Control& control) {
    if (control.kind() == ui::ControlKind::CommandButton) {
      controls.push_back(static_cast<ui::CommandButton*>(&control));
    }
  });
  std::stable_sort(controls.begin(), controls.end(), [](const auto* a, const auto* b) {
    return a->design().tabIndex < b->design().tabIndex;
  });
  for (ui::CommandButton* control : controls) {
    addButton(*control);
  }
  for (std::size_t i = 1; i < buttons_.size(); ++i) {
    setTabOrder(buttons_[i - 1].widget.get(), buttons_[i].widget.get());
  }
  // A window without buttons takes the keyboard itself.
  setFocusPolicy(buttons_.empty() ? Qt::StrongFocus : Qt::NoFocus);
}

FormWindow::~FormWindow() = default;

void FormWindow::addButton(ui::CommandButton& control) {
  auto widget = std::make_unique<QPushButton>(toQString(control.caption()), this);
  widget->setGeometry(toQRect(control.pixelRect()));
  widget->setAutoDefault(false);
  if (control.design().isDefault) {
    widget->setDefault(true);
    default_ = widget.get();
  }
  if (control.design().isCancel) {
    cancel_ = widget.get();
  }
  widget->setVisible(control.visible());
  QObject::connect(widget.get(), &QPushButton::clicked, this, [this, button = &control] {
    if (form_ != nullptr) {
      form_->app().click(*button);
    }
  });
  buttons_.push_back(Button{std::move(widget), &control});
}

void FormWindow::detach() {
  form_ = nullptr;
  pressed_ = nullptr;
  for (Button& button : buttons_) {
    button.control = nullptr;
  }
}

void FormWindow::focusFirstButton() {
  if (!buttons_.empty()) {
    buttons_.front().widget->setFocus(Qt::ActiveWindowFocusReason);
  }
}

void FormWindow::syncButtons() {
  for (const Button& button : buttons_) {
    if (button.control != nullptr) {
      button.widget->setGeometry(toQRect(button.control->pixelRect()));
      button.widget->setVisible(button.control->visible());
    }
  }
}

void FormWindow::clickButton(QPushButton* widget) {
  if (widget != nullptr && widget->isVisible() && widget->isEnabled()) {
    widget->click();
  }
}

bool FormWindow::event(QEvent* event) {
  switch (event->type()) {
    case QEvent::WindowActivate:
    case QEvent::WindowDeactivate:
      // Nothing painted from the model looks different in an inactive window:
      // only the buttons hear of it, and the window is not repainted.
      for (QWidget* child : findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (child->isVisible() && !child->isWindow()) {
          QCoreApplication::sendEvent(child, event);
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

void FormWindow::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  painter.fillRect(event->rect(), background_);
  if (form_ == nullptr) {
    return;
  }
  const QRect area = event->rect();
  form_->forEachControl([&](const ui::Control& control) {
    switch (control.kind()) {
      case ui::ControlKind::Image: {
        const auto& image = static_cast<const ui::Image&>(control);
        if (image.visible() && toQRect(image.pixelRect()).intersects(area)) {
          drawImage(painter, image);
        }
        break;
      }
      case ui::ControlKind::Label: {
        const auto& label = static_cast<const ui::Label&>(control);
        if (label.visible() && toQRect(label.pixelRect()).intersects(area)) {
          drawLabel(painter, label);
        }
        break;
      }
      case ui::ControlKind::Timer:
      case ui::ControlKind::CommandButton:
        break;  // timers are never drawn; buttons are widgets of their own
    }
  });
}

void FormWindow::drawImage(QPainter& painter, const ui::Image& image) {
  if (image.picture() == nullptr) {
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
  if (design.opaque) {
    painter.fillRect(box, toQColor(design.background));
  }
  if (label.caption().empty()) {
    return;
  }
  QString text = toQString(label.caption());
  text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  QTextOption option(toQAlignment(design.alignment) | Qt::AlignTop);
  option.setWrapMode(design.wordWrap ? QTextOption::WordWrap : QTextOption::NoWrap);
  // Arabic reads from the right: shaped by the layout, placed right to left.
  option.setTextDirection(text.isRightToLeft() ? Qt::RightToLeft : Qt::LeftToRight);

  painter.save();
  painter.setClipRect(box, Qt::IntersectClip);
  painter.setFont(toQFont(design.font));
  painter.setPen(toQColor(design.foreground));
  painter.drawText(QRectF(box), text, option);
  painter.restore();
}

void FormWindow::resizeEvent(QResizeEvent* event) {
  if (form_ != nullptr) {
    form_->setViewSize(width(), height());
  }
  QWidget::resizeEvent(event);
}

void FormWindow::keyPressEvent(QKeyEvent* event) {
  if (form_ == nullptr) {
    QWidget::keyPressEvent(event);
    return;
  }
  if (!buttons_.empty()) {
    // Dialog keys, as a plain window does not have them: Escape clicks the
    // cancel button; Enter clicks the focused button, else the default one.
    switch (event->key()) {
      case Qt::Key_Escape:
        clickButton(cancel_);
        return;
      case Qt::Key_Return:
      case Qt::Key_Enter: {
        auto* focused = qobject_cast<QPushButton*>(focusWidget());
        clickButton(focused != nullptr ? focused : default_);
        return;
      }
      default:
        QWidget::keyPressEvent(event);
        return;
    }
  }
  // Alt combinations are the window system's (menus, access keys), not text.
  const QString text = event->text();
  if (text.isEmpty() || (event->modifiers() & Qt::AltModifier) != 0) {
    QWidget::keyPressEvent(event);
    return;
  }
  form_->app().keyPress(*form_, static_cast<std::int16_t>(text.at(0).unicode()));
}

ui::Visual* FormWindow::hit(const QMouseEvent& event) const {
  const QPoint at = event.position().toPoint();
  return form_->hitTest(at.x(), at.y());
}

void FormWindow::mousePressEvent(QMouseEvent* event) {
  if (form_ != nullptr && event->button() == Qt::LeftButton) {
    pressed_ = hit(*event);
  }
}

void FormWindow::mouseReleaseEvent(QMouseEvent* event) {
  if (form_ == nullptr || event->button() != Qt::LeftButton) {
    return;
  }
  // A click is a press and a release on the same control.
  const ui::Visual* pressed = std::exchange(pressed_, nullptr);
  ui::Visual* released = hit(*event);
  if (released != nullptr && released == pressed) {
    form_->app().click(*released);
  }
}

void FormWindow::closeEvent(QCloseEvent* event) {
  if (form_ == nullptr) {
    event->accept();
    return;
  }
  // The model decides: it unloads the form, which takes this window away.
  event->ignore();
  form_->app().closeRequested(*form_);
}

}  // namespace ui::qt
