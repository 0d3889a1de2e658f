#include "first_frame.h"

#include <QPixmap>
#include <QWidget>

#include "game/form1.h"

namespace qt_testing {

QImage gameFirstFrame(ui::qt::QtDriver& driver, ui::Application& app) {
  if (!app.start(game::Form1::kName)) {
    return {};
  }
  QWidget* window = driver.window(app.form(game::Form1::kName));
  if (window == nullptr) {
    return {};
  }
  return window->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

}  // namespace qt_testing
