#include "ui/qt/qt_driver.h"

#include <QAbstractEventDispatcher>
#include <QAccessible>
#include <QCoreApplication>
#include <QIcon>
#include <QMessageBox>
#include <QPushButton>
#include <algorithm>

#include "ui/application.h"
#include "ui/form.h"
#include "ui/qt/accessible.h"
#include "ui/qt/canvas.h"

namespace ui::qt {

QtDriver::QtDriver() {
  QAccessible::installFactory(&accessibleFor);
  clock_.setSingleShot(true);
  clock_.setTimerType(Qt::PreciseTimer);
  QObject::connect(&clock_, &QTimer::timeout, &clock_, [this] {
    if (app_ != nullptr) {
      app_->deliverDueTicks();
    }
  });
  QObject::connect(QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::aboutToBlock,
                   &clock_, [this] {
                     if (app_ != nullptr) {
                       app_->idle();
                     }
                   });
}

std::unique_ptr<FormWindow> QtDriver::makeWindow(ui::Form& form) {
  return std::make_unique<FormWindow>(form);
}

void QtDriver::post(std::function<void()> task) {
  QMetaObject::invokeMethod(&clock_, std::move(task), Qt::QueuedConnection);
}

// Whole milliseconds, rounded up: the wake-up never comes before the tick is
// due, and ticks keep to their schedule, which counts from the due times.
void QtDriver::wakeAt(std::optional<Time> due) {
  if (due) {
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(*due - now());
    clock_.start(std::max(left, std::chrono::milliseconds(0)));
  } else {
    clock_.stop();
  }
}

void QtDriver::messageBox(const ui::BoxRequest& box) {
  // A child of its owner's window: transient for it on X11, its child on
  // Wayland, so the window system puts the box over it. exec() makes it
  // modal to every window of the program all the same.
  QMessageBox dialog(box.owner == nullptr ? nullptr : windows().find(*box.owner));
  dialog.setWindowTitle(toQString(box.title));
  dialog.setTextFormat(Qt::PlainText);
  dialog.setText(toQString(box.prompt));
  dialog.setStandardButtons(QMessageBox::Ok);
  dialog.setDefaultButton(QMessageBox::Ok);
  dialog.button(QMessageBox::Ok)->setIcon(QIcon());  // no icon, not even the theme's on OK
  dialog.setLayoutDirection(box.rightToLeft ? Qt::RightToLeft : Qt::LeftToRight);
  // Handlers run inside exec() behind the dispatcher, which lets nothing escape.
  boxes_.push_back(&dialog);
  dialog.exec();
  boxes_.pop_back();
}

void QtDriver::quit(int status) {
  // Ends the nested loops of open boxes as well as the main loop.
  for (QMessageBox* box : boxes_) {
    box->done(QMessageBox::Ok);
  }
  QCoreApplication::exit(status);
}

}  // namespace ui::qt
