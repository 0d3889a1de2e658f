#include "ui/qt/qt_driver.h"

#include <QApplication>
#include <QCoreApplication>
#include <QIcon>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <algorithm>

#include "ui/application.h"
#include "ui/controls.h"
#include "ui/form.h"
#include "ui/qt/form_window.h"

namespace ui::qt {
namespace {

QString toQString(std::string_view utf8) {
  return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

}  // namespace

QtDriver::QtDriver()
    : ticks_([this](ui::Timer& timer) {
        if (app_ != nullptr) {
          app_->tick(timer);
        }
      }) {}

QtDriver::~QtDriver() {
  ticks_.clear();
  // Out of every event handler now: what Qt has not deleted yet goes here,
  // without the notice meant for deletions that Qt makes.
  for (const auto& window : retired_) {
    QObject::disconnect(window.get(), &QObject::destroyed, nullptr, nullptr);
  }
  retired_.clear();
  windows_.clear();
}

void QtDriver::attach(ui::Application& app) {
  app_ = &app;
}

FormWindow* QtDriver::find(const ui::Form& form) const {
  const auto found = std::find_if(windows_.begin(), windows_.end(),
                                  [&](const auto& window) { return window->form() == &form; });
  return found == windows_.end() ? nullptr : found->get();
}

QWidget* QtDriver::window(const ui::Form& form) const {
  return find(form);
}

void QtDriver::formLoaded(ui::Form& form) {
  windows_.push_back(std::make_unique<FormWindow>(form, pictures_));
  form.forEachControl([this](ui::Control& control) {
    if (control.kind() == ui::ControlKind::Timer) {
      ticks_.update(static_cast<ui::Timer&>(control));
    }
  });
}

void QtDriver::formShown(ui::Form& form) {
  FormWindow* window = find(form);
  if (window == nullptr || quitting_) {
    return;
  }
  // A window that is up already is brought forward with its focus where it
  // was; a new one opens on top with the focus on its first button.
  if (window->isVisible()) {
    window->raise();
    window->activateWindow();
    return;
  }
  window->show();
  window->activateWindow();
  window->focusFirstButton();
}

void QtDriver::formUnloading(ui::Form& form) {
  // The model stops a form's timers before this call; make sure of it.
  form.forEachControl([this](ui::Control& control) {
    if (control.kind() == ui::ControlKind::Timer) {
      ticks_.forget(static_cast<ui::Timer&>(control));
    }
  });
  if (FormWindow* window = find(form)) {
    retire(*window);
  }
}

void QtDriver::retire(FormWindow& window) {
  window.detach();
  window.hide();
  const auto found = std::find_if(windows_.begin(), windows_.end(),
                                  [&](const auto& owned) { return owned.get() == &window; });
  retired_.push_back(std::move(*found));
  windows_.erase(found);
  // The unload may come from inside an event of this very window (its close
  // box, a button's click): Qt deletes it once that event is over.
  QObject::connect(&window, &QObject::destroyed, [this](QObject* gone) {
    const auto dead = std::find_if(retired_.begin(), retired_.end(),
                                   [&](const auto& owned) { return owned.get() == gone; });
    if (dead != retired_.end()) {
      static_cast<void>(dead->release());
      retired_.erase(dead);
    }
  });
  window.deleteLater();
}

void QtDriver::captionChanged(ui::Form& form) {
  if (FormWindow* window = find(form)) {
    window->setWindowTitle(toQString(form.caption()));
  }
}

void QtDriver::repaint(ui::Form& form, const ui::PixelRect& area) {
  if (FormWindow* window = find(form)) {
    window->syncButtons();
    // At once, not through a posted update: the model calls this once a
    // handler is over, with everything it changed, so there is nothing to
    // gather, and the event loop need not wake itself a second time.
    window->repaint(QRect(area.x, area.y, area.width, area.height).intersected(window->rect()));
  }
}

void QtDriver::timerChanged(ui::Timer& timer) {
  if (!quitting_) {
    ticks_.update(timer);
  }
}

void QtDriver::messageBox(std::string_view prompt, std::string_view title) {
  if (quitting_) {
    return;
  }
  const QString text = toQString(prompt);
  QMessageBox box;
  box.setWindowTitle(toQString(title));
  box.setTextFormat(Qt::PlainText);
  box.setText(text);
  box.setIcon(QMessageBox::NoIcon);
  box.setStandardButtons(QMessageBox::Ok);
  box.setDefaultButton(QMessageBox::Ok);
  box.setEscapeButton(QMessageBox::Ok);
  box.button(QMessageBox::Ok)->setIcon(QIcon());  // no icon, not even the theme's on OK
  if (text.isRightToLeft()) {
    box.setLayoutDirection(Qt::RightToLeft);
  }
  // Handlers run inside exec() behind the dispatcher, which lets nothing escape.
  boxes_.push_back(&box);
  // Take the keyboard also where no window manager hands it to new windows,
  // and give it back afterwards to the window that had it.
  const QPointer<QWidget> previous = QApplication::activeWindow();
  box.show();
  box.activateWindow();
  box.exec();
  boxes_.pop_back();
  if (previous != nullptr && previous->isVisible() && !quitting_) {
    previous->activateWindow();
  }
}

void QtDriver::quit(int status) {
  quitting_ = true;
  ticks_.clear();
  while (!windows_.empty()) {
    retire(*windows_.back());
  }
  // Ends the nested loops of open boxes as well as the main loop.
  for (QMessageBox* box : boxes_) {
    box->done(QMessageBox::Ok);
  }
  QCoreApplication::exit(status);
}

}  // namespace ui::qt
