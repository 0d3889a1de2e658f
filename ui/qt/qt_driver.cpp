#include "ui/qt/qt_driver.h"

#include <QApplication>
#include <QCoreApplication>
#include <QIcon>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <algorithm>

#include "ui/application.h"
#include "ui/form.h"
#include "ui/qt/form_window.h"
#include "ui/qt/to_qt.h"

namespace ui::qt {

QtDriver::QtDriver() : notifier_(clock_.get(), QSocketNotifier::Read) {
  QObject::connect(&notifier_, &QSocketNotifier::activated, &notifier_, [this] {
    clock_.acknowledge();
    if (app_ != nullptr) {
      app_->deliverDueTicks();
    }
  });
}

QtDriver::~QtDriver() {
  // Out of every event handler now: what Qt has not deleted yet goes here,
  // without the notice meant for deletions that Qt makes.
  for (const auto& window : retired_) {
    QObject::disconnect(window.get(), &QObject::destroyed, nullptr, nullptr);
  }
  retired_.clear();
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
}

void QtDriver::formShown(ui::Form& form) {
  if (FormWindow* window = find(form); window != nullptr && !quitting_) {
    window->showForm();
  }
}

void QtDriver::formUnloading(ui::Form& form) {
  if (FormWindow* window = find(form)) {
    retire(*window);
  }
}

void QtDriver::retire(FormWindow& window) {
  window.detach();
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
    window->updateCaption();
  }
}

void QtDriver::repaint(ui::Form& form, const ui::PixelRect& area) {
  if (FormWindow* window = find(form)) {
    window->repaintArea(area);
  }
}

void QtDriver::wakeAt(std::optional<Time> due) {
  if (due && !quitting_) {
    clock_.armAt(*due);
  } else {
    clock_.disarm();
  }
}

void QtDriver::messageBox(std::string_view prompt, std::string_view title) {
  if (quitting_) {
    return;
  }
  const QString text = toQString(prompt);
  QMessageBox box;  // without a parent: modal to every window of the program
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
  // The box takes the keyboard; give it back afterwards to the window that
  // had it, also where no window manager does.
  const QPointer<QWidget> previous = QApplication::activeWindow();
  box.exec();
  boxes_.pop_back();
  if (previous != nullptr && previous->isVisible() && !quitting_) {
    previous->activateWindow();
  }
}

void QtDriver::quit(int status) {
  quitting_ = true;
  clock_.disarm();
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
