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
#include "ui/text.h"

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

QWidget* QtDriver::window(const ui::Form& form) const {
  return windows_.find(form);
}

void QtDriver::formLoaded(ui::Form& form) {
  windows_.add(std::make_unique<FormWindow>(form, pictures_));
}

void QtDriver::formShown(ui::Form& form) {
  windows_.with(form, [](FormWindow& window) { window.showForm(); });
}

void QtDriver::formUnloading(ui::Form& form) {
  if (std::unique_ptr<FormWindow> window = windows_.take(form)) {
    retire(std::move(window));
  }
}

// The unload may come from inside an event of this very window (its close
// box, a button's click): Qt deletes it once that event is over.
void QtDriver::retire(std::unique_ptr<FormWindow> window) {
  // A box it owns lives on the stack of the handler that opened it, not in
  // this window: it must not go with it.
  for (QMessageBox* box : boxes_) {
    if (box->parentWidget() == window.get()) {
      box->setParent(nullptr, box->windowFlags());
    }
  }
  QObject::connect(window.get(), &QObject::destroyed, [this](QObject* gone) {
    const auto dead = std::find_if(retired_.begin(), retired_.end(),
                                   [&](const auto& owned) { return owned.get() == gone; });
    if (dead != retired_.end()) {
      static_cast<void>(dead->release());
      retired_.erase(dead);
    }
  });
  window->deleteLater();
  retired_.push_back(std::move(window));
}

void QtDriver::captionChanged(ui::Form& form) {
  windows_.with(form, [](FormWindow& window) { window.updateCaption(); });
}

void QtDriver::repaint(ui::Form& form, const ui::PixelRect& area) {
  windows_.with(form, [&](FormWindow& window) { window.repaintArea(area); });
}

void QtDriver::wakeAt(std::optional<Time> due) {
  if (due) {
    clock_.armAt(*due);
  } else {
    clock_.disarm();
  }
}

void QtDriver::messageBox(std::string_view prompt, std::string_view title, ui::Form* owner) {
  // A child of its owner's window: transient for it on X11, its child on
  // Wayland, so the window system puts the box over it. exec() makes it
  // modal to every window of the program all the same.
  QMessageBox box(owner == nullptr ? nullptr : windows_.find(*owner));
  box.setWindowTitle(toQString(title));
  box.setTextFormat(Qt::PlainText);
  box.setText(toQString(prompt));
  box.setIcon(QMessageBox::NoIcon);
  box.setStandardButtons(QMessageBox::Ok);
  box.setDefaultButton(QMessageBox::Ok);
  box.button(QMessageBox::Ok)->setIcon(QIcon());  // no icon, not even the theme's on OK
  if (ui::isRightToLeft(prompt)) {
    box.setLayoutDirection(Qt::RightToLeft);
  }
  // Handlers run inside exec() behind the dispatcher, which lets nothing escape.
  boxes_.push_back(&box);
  // The box takes the keyboard; give it back afterwards to the window that
  // had it, also where no window manager does.
  const QPointer<QWidget> previous = QApplication::activeWindow();
  box.exec();
  boxes_.pop_back();
  if (previous != nullptr && previous->isVisible()) {
    previous->activateWindow();
  }
}

void QtDriver::quit(int status) {
  clock_.disarm();
  for (std::unique_ptr<FormWindow>& window : windows_.takeAll()) {
    retire(std::move(window));
  }
  // Ends the nested loops of open boxes as well as the main loop.
  for (QMessageBox* box : boxes_) {
    box->done(QMessageBox::Ok);
  }
  QCoreApplication::exit(status);
}

}  // namespace ui::qt
