#pragma once

#include <QImage>

#include "ui/application.h"
#include "ui/qt/qt_driver.h"

namespace qt_testing {

// Starts the program (its windows registered with `app`) on the Qt driver and
// returns the start-up window's first frame: painted by the window from the
// model exactly as start-up left it, before any event or tick. A null image
// when the program ended during start-up.
QImage gameFirstFrame(ui::qt::QtDriver& driver, ui::Application& app);

}  // namespace qt_testing
